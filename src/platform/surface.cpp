// Off-screen surfaces and colour keying.
#include "platform/surface.h"

#include <QPainter>
#include <cstring>

namespace cabsim {

QImage key_out_colour(const QImage& image, uint32_t key_rgb) {
  QImage keyed;
  key_out_colour(image, key_rgb, keyed);
  return keyed;
}

void key_out_colour(const QImage& image, uint32_t key_rgb, QImage& keyed) {
  if (image.isNull()) {
    keyed = QImage();
    return;
  }
  const QImage source = image.convertToFormat(QImage::Format_RGB32);  // shared when RGB32
  if (keyed.size() != source.size() || keyed.format() != QImage::Format_ARGB32_Premultiplied)
    keyed = QImage(source.size(), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < source.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    auto* out = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < source.width(); ++x)
      out[x] = (in[x] & 0xFFFFFFu) == key_rgb ? 0u : (in[x] | 0xFF000000u);
  }
}

Surface::Surface(int width, int height) {
  if (width <= 0 || height <= 0) return;
  image_ = QImage(width, height, QImage::Format_RGB32);
  image_.fill(Qt::black);
}

void Surface::load_from(const Bitmap& bitmap) {
  load_from(bitmap.image());
}

void Surface::load_from(const QImage& image) {
  image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
  keyed_stale_ = true;
}

void Surface::copy_in(const Bitmap& bitmap) {
  if (image_.isNull() || bitmap.empty()) return;
  int w = std::min(width(), bitmap.width());
  for (int y = 0; y < std::min(height(), bitmap.height()); ++y) {
    const uint8_t* in = bitmap.image().constScanLine(y);
    auto* out = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = 0; x < w; ++x, in += 3) out[x] = qRgb(in[0], in[1], in[2]);
  }
  keyed_stale_ = true;
}

void Surface::copy_in(const FrameBitmap& frame) {
  if (image_.isNull() || frame.width() <= 0 || frame.height() <= 0) return;
  const int w = std::min(width(), frame.width()), h = std::min(height(), frame.height());
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = frame.row_bytes(y);
    auto* out = reinterpret_cast<QRgb*>(image_.scanLine(y));
    if (frame.layout() == FrameBitmap::Layout::kRgb32) {
      std::memcpy(out, in, static_cast<size_t>(w) * sizeof(QRgb));
    } else {  // blue, green, red
      for (int x = 0; x < w; ++x, in += 3) out[x] = qRgb(in[2], in[1], in[0]);
    }
  }
  keyed_stale_ = true;
}

void Surface::fill(const QColor& colour) {
  image_.fill(colour.rgb());
  keyed_stale_ = true;
}

uint32_t Surface::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  return image_.pixel(x, y) & 0xFFFFFFu;
}

void Surface::set_transparent_colour(uint32_t rgb) {
  rgb &= 0xFFFFFFu;
  if (rgb != key_) keyed_stale_ = true;
  key_ = rgb;
}

std::unique_ptr<Canvas> Surface::canvas() {
  if (image_.isNull()) return nullptr;
  // Whatever the canvas draws changes the keyed picture.
  keyed_stale_ = true;
  return std::make_unique<Canvas>(image_, [this] { keyed_stale_ = true; });
}

const QImage& Surface::keyed_image() const {
  if (keyed_stale_) {
    key_out_colour(image_, key_, keyed_);
    keyed_stale_ = false;
  }
  return keyed_;
}

}  // namespace cabsim
