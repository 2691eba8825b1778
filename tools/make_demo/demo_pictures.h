// Pictures of the demo line drawn with QPainter: cab panels, signals, signs,
// timetable cards and the title screen.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <string>
#include <vector>

#include "demo_output.h"
#include "demo_routes.h"
#include "demo_trains.h"

namespace demo {

/// Colour that the program takes as transparent (the bottom-left pixel).
inline const QColor kKeyColour(0, 0, 0);

/// The Japanese Gothic font of the pictures, `pixels` high.
QFont picture_font(int pixels, bool bold = false);

/// Saves `image` as BMP (24-bit) or JPEG (by the name's extension).
void save_picture(Output& out, const std::string& name, const QImage& image);

/// A new picture filled with the key colour.
QImage key_image(int w, int h);

void draw_panels(Output& out, const std::vector<PanelDesign>& panels);
void draw_signals_and_signs(Output& out);
void draw_title_and_cards(Output& out, const std::vector<StafCard>& cards);
/// The title screen's opening film move\\opening.avi, six seconds with music.
void write_opening_film(Output& out);

}  // namespace demo
