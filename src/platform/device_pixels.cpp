// Pictures enlarged pixel by pixel for scaled screens.
#include "platform/device_pixels.h"

#include <QGuiApplication>
#include <cmath>

namespace cabsim {

qreal screen_pixel_ratio() {
  const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!app) return 1.0;
  const qreal ratio = app->devicePixelRatio();
  return std::isfinite(ratio) && ratio >= 1.0 ? ratio : 1.0;
}

QPixmap crisp_pixmap(const QImage& image) {
  const qreal ratio = screen_pixel_ratio();
  if (ratio == 1.0 || image.isNull()) return QPixmap::fromImage(image);
  QPixmap pixmap = QPixmap::fromImage(
      image.scaled(image.size() * ratio, Qt::IgnoreAspectRatio, Qt::FastTransformation));
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

}  // namespace cabsim
