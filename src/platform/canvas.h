// Drawing on a picture the way the program's drawing rules are written: a
// pen, a brush, a font, lines, filled boxes and text placed by its top-left.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <functional>

#include "platform/fonts.h"

namespace cabsim {

enum class BrushStyle { kSolid, kClear };

/// A canvas on an image, open for as long as it lives (the picture is
/// "released" when the canvas goes). Text is placed by the top-left corner of
/// its cell; with a solid brush the cell is filled with the brush colour
/// first, with a clear brush only the letters are drawn.
class Canvas {
 public:
  /// `on_release` runs when the canvas goes (the owner's picture changed).
  explicit Canvas(QImage& image, std::function<void()> on_release = {});
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void set_font(const FontSpec& font);
  const FontSpec& font() const { return font_spec_; }
  void set_font_colour(const QColor& colour) { font_colour_ = colour; }
  void set_brush(BrushStyle style, const QColor& colour = Qt::white);
  void set_pen(const QColor& colour, int width = 1);

  /// Fills `box` (right and bottom edges excluded) with the brush colour; a
  /// clear brush fills nothing.
  void fill_rect(const QRect& box);
  /// A line from `from` to `to`, both end points included, in the pen.
  void line(QPoint from, QPoint to);
  void move_to(QPoint at) { pen_at_ = at; }
  void line_to(QPoint to);

  void text_out(int x, int y, const QString& text);
  int text_width(const QString& text) const;
  int text_height(const QString& text) const;
  /// `text` as one line centred both ways in `box`, clipped to it.
  void text_centred(const QRect& box, const QString& text);

  QPainter& painter() { return painter_; }

 private:
  QPainter painter_;
  FontSpec font_spec_;
  QFont font_;
  QFontMetrics metrics_;
  QColor font_colour_ = Qt::black;
  BrushStyle brush_style_ = BrushStyle::kSolid;
  QColor brush_colour_ = Qt::white;
  QColor pen_colour_ = Qt::black;
  int pen_width_ = 1;
  QPoint pen_at_;
  std::function<void()> on_release_;
};

}  // namespace cabsim
