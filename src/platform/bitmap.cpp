// 24-bit pictures.
#include "platform/bitmap.h"

#include <QImageReader>

namespace cabsim {

namespace {
/// Pictures larger than this many pixels are refused: no route picture comes
/// near it, and a damaged header must not make us allocate gigabytes.
constexpr qint64 kMaxPicturePixels = 8192LL * 8192LL;
}  // namespace

Bitmap::Bitmap(int width, int height) {
  if (width <= 0 || height <= 0) return;
  image_ = QImage(width, height, QImage::Format_RGB888);
  image_.fill(Qt::black);
}

bool Bitmap::load(const std::filesystem::path& file) {
  QImageReader reader(QString::fromStdString(file.string()));
  reader.setDecideFormatFromContent(true);
  QSize size = reader.size();
  if (size.isValid() && static_cast<qint64>(size.width()) * size.height() > kMaxPicturePixels)
    return false;
  QImage loaded = reader.read();
  if (loaded.isNull()) return false;
  image_ = loaded.convertToFormat(QImage::Format_RGB888);
  return !image_.isNull();
}

void Bitmap::copy_from(const Bitmap& other) {
  image_ = other.image_.copy();
}

void Bitmap::copy_from(const QImage& image) {
  image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB888);
}

std::span<uint8_t> Bitmap::scan_line(int row) {
  if (row < 0 || row >= height()) return {};
  return {image_.scanLine(row), static_cast<size_t>(width()) * 3};
}

std::span<const uint8_t> Bitmap::scan_line(int row) const {
  if (row < 0 || row >= height()) return {};
  return {image_.constScanLine(row), static_cast<size_t>(width()) * 3};
}

uint32_t Bitmap::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  return image_.pixel(x, y) & 0xFFFFFFu;
}

std::unique_ptr<Canvas> Bitmap::canvas() {
  if (image_.isNull()) return nullptr;
  return std::make_unique<Canvas>(image_);
}

}  // namespace cabsim
