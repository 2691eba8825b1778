// An off-screen drawing surface: a picture that is drawn onto the drawing
// area, opaque or without its transparent colour.
#pragma once

#include <QImage>
#include <cstdint>
#include <memory>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "state/frame_bitmap.h"

namespace cabsim {

class Surface {
 public:
  Surface() = default;
  /// A black surface of `width` x `height`.
  Surface(int width, int height);

  int width() const { return image_.width(); }
  int height() const { return image_.height(); }
  bool empty() const { return image_.isNull(); }

  /// Takes size and content of a picture.
  void load_from(const Bitmap& bitmap);
  void load_from(const QImage& image);
  /// Copies `bitmap` into the surface at (0, 0) without changing its size.
  void copy_in(const Bitmap& bitmap);
  /// The same for a film picture; nothing is allocated.
  void copy_in(const FrameBitmap& frame);
  void fill(const QColor& colour);

  /// The colour at (x, y) as 0xRRGGBB; 0 outside the surface.
  uint32_t pixel(int x, int y) const;
  /// The colour (0xRRGGBB) left out when the surface is drawn transparent.
  void set_transparent_colour(uint32_t rgb);
  uint32_t transparent_colour() const { return key_; }

  /// A text canvas on the surface, released when it goes; the surface must
  /// outlive it.
  std::unique_ptr<Canvas> canvas();

  /// The picture, opaque (QImage::Format_RGB32).
  const QImage& image() const { return image_; }
  /// The picture to change in place (its keyed copy is made again).
  QImage& changed_image() {
    keyed_stale_ = true;
    return image_;
  }
  /// The picture with the transparent colour made fully transparent
  /// (premultiplied ARGB), rebuilt only after the picture changed.
  const QImage& keyed_image() const;

 private:
  QImage image_;
  uint32_t key_ = 0;
  mutable QImage keyed_;
  mutable bool keyed_stale_ = true;
};

/// `image` as premultiplied ARGB with every pixel of colour `key_rgb`
/// (0xRRGGBB) fully transparent and all others opaque.
QImage key_out_colour(const QImage& image, uint32_t key_rgb);
/// The same into `keyed`, whose pixels are reused when it has the size.
void key_out_colour(const QImage& image, uint32_t key_rgb, QImage& keyed);

}  // namespace cabsim
