// 24-bit pictures.
#include "platform/bitmap.h"

#include <QFile>
#include <QImageReader>
#include <cstdlib>

#include "data/regular_file.h"
#include "state/frame_bitmap.h"

namespace cabsim {

namespace {
/// Pictures larger than this many pixels are refused: no route picture comes
/// near it, and a damaged header must not make us allocate gigabytes.
constexpr qint64 kMaxPicturePixels = 8192LL * 8192LL;
uint32_t little_endian(const QByteArray& bytes, int at, int size) {
  uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

/// False for an uncompressed BMP file that ends before its last pixel row
/// (the decoder would fill the missing rows with made-up pixels).
bool bmp_is_whole(const std::filesystem::path& file) {
  QFile in(QString::fromStdString(file.string()));
  if (!in.open(QIODevice::ReadOnly)) return true;  // the reader reports it
  QByteArray header = in.read(54);
  if (header.size() < 54 || header[0] != 'B' || header[1] != 'M') return true;
  uint32_t offset = little_endian(header, 10, 4);
  if (little_endian(header, 14, 4) < 40) return true;  // an old OS/2 header
  auto width = static_cast<int32_t>(little_endian(header, 18, 4));
  auto height = static_cast<int32_t>(little_endian(header, 22, 4));
  uint32_t bits = little_endian(header, 28, 2);
  uint32_t compression = little_endian(header, 30, 4);
  if (compression != 0 && compression != 3) return true;  // run-length coded
  int64_t stride = ((std::abs(static_cast<int64_t>(width)) * bits + 31) / 32) * 4;
  int64_t needed = offset + stride * std::abs(static_cast<int64_t>(height));
  return in.size() >= needed;
}

}  // namespace

Bitmap::Bitmap(int width, int height) {
  if (width <= 0 || height <= 0) return;
  image_ = QImage(width, height, QImage::Format_RGB888);
  image_.fill(Qt::black);
}

bool Bitmap::load(const std::filesystem::path& file) {
  if (!is_regular_file_path(file)) return false;  // a pipe or a device would never end
  QImageReader reader(QString::fromStdString(file.string()));
  reader.setDecideFormatFromContent(true);
  QSize size = reader.size();
  if (size.isValid() && static_cast<qint64>(size.width()) * size.height() > kMaxPicturePixels)
    return false;
  if (reader.format() == "bmp" && !bmp_is_whole(file)) return false;
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

void Bitmap::copy_from(const FrameBitmap& frame) {
  const int w = frame.width(), h = frame.height();
  if (w <= 0 || h <= 0) {
    image_ = QImage();
    return;
  }
  if (frame.layout() == FrameBitmap::Layout::kRgb32) {
    copy_from(QImage(frame.data(), w, h, frame.stride(), QImage::Format_RGB32));
    return;
  }
  // BGR24: Qt swaps the channels of rows that start on 4-byte boundaries
  // fast; rows stored bottom first are read upside down and turned over.
  const bool bottom_up = frame.stride() < 0;
  const uint8_t* lowest = bottom_up ? frame.row_bytes(h - 1) : frame.data();
  const int step = std::abs(frame.stride());
  if (reinterpret_cast<uintptr_t>(lowest) % 4 == 0 && step % 4 == 0) {
    QImage converted =
        QImage(lowest, w, h, step, QImage::Format_BGR888).convertToFormat(QImage::Format_RGB888);
    image_ = bottom_up ? std::move(converted).mirrored(false, true) : std::move(converted);
    return;
  }
  if (image_.width() != w || image_.height() != h || image_.format() != QImage::Format_RGB888)
    image_ = QImage(w, h, QImage::Format_RGB888);
  for (int y = 0; y < h; ++y) {
    const uint8_t* from = frame.row_bytes(y);
    uint8_t* to = image_.scanLine(y);
    for (int x = 0; x < w; ++x, from += 3, to += 3) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
    }
  }
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
