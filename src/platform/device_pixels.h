// Pictures on scaled screens: a picture made at 1x is shown with each of its
// pixels doubled (at 2x) rather than smoothed, so its edges stay sharp.
#pragma once

#include <QImage>
#include <QPixmap>

namespace cabsim {

/// The device pixel ratio of the screens (the largest when there are
/// several); 1 without a GUI application.
qreal screen_pixel_ratio();

/// `image` as a pixmap of the same logical size at the screen's pixel ratio:
/// every pixel repeated, never interpolated. At ratio 1 the image itself.
QPixmap crisp_pixmap(const QImage& image);

}  // namespace cabsim
