// A 24-bit picture in memory: loaded from BMP or JPEG, copied, worked on
// through its scan lines (three bytes a pixel) or through a canvas.
#pragma once

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "platform/canvas.h"

namespace cabsim {

class FrameBitmap;

class Bitmap {
 public:
  Bitmap() = default;
  /// A black picture of `width` x `height` (negative sizes give an empty one).
  Bitmap(int width, int height);

  /// Loads a BMP or JPEG file (recognised by its content). On failure the
  /// picture is left as it was and false is returned.
  bool load(const std::filesystem::path& file);
  /// Takes size and content of `other`.
  void copy_from(const Bitmap& other);
  void copy_from(const QImage& image);
  /// Takes size and content of a film picture, of either layout.
  void copy_from(const FrameBitmap& frame);

  int width() const { return image_.width(); }
  int height() const { return image_.height(); }
  bool empty() const { return image_.isNull(); }

  /// Row `row` as width x 3 bytes (red, green, blue); empty outside the picture.
  std::span<uint8_t> scan_line(int row);
  std::span<const uint8_t> scan_line(int row) const;
  /// The colour at (x, y) as 0xRRGGBB; 0 outside the picture.
  uint32_t pixel(int x, int y) const;

  /// A canvas on the picture, released when it goes.
  std::unique_ptr<Canvas> canvas();

  const QImage& image() const { return image_; }

 private:
  QImage image_;  // always Format_RGB888 or null
};

}  // namespace cabsim
