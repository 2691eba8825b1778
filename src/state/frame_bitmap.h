// A decoded film picture in memory: 32-bit pixels with a padded row stride,
// the layout the display draws without converting, or the 24-bit rows of an
// uncompressed film as the file holds them, shared with the buffer they
// were read into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

namespace cabsim {

/// One picture of `width` × `height` pixels.
///
/// kRgb32 (the bitmaps the cache owns): each pixel is a 32-bit word
/// 0xFFRRGGBB in the machine's byte order (bytes B, G, R, 0xFF on a
/// little-endian machine), which a drawing layer takes as it is ("RGB32").
/// Rows start `stride` bytes apart; the stride is a multiple of 64 and the
/// buffer ends with at least kSlackBytes spare bytes, because vectorised
/// converters write a little past the last pixel of a row.
///
/// kBgr24 (shared): three bytes a pixel, blue, green, red, in rows `stride`
/// bytes apart; the stride is negative for a picture stored bottom row first.
/// The memory belongs to whoever made the picture and lives as long as the
/// bitmap.
class FrameBitmap {
 public:
  enum class Layout { kRgb32, kBgr24 };

  static constexpr int32_t kRowAlignment = 64;
  static constexpr size_t kSlackBytes = 64;
  static constexpr int32_t kBytesPerPixel = 4;

  /// An RGB32 picture of its own (contents undefined).
  FrameBitmap(int32_t width, int32_t height)
      : width_(width > 0 ? width : 0),
        height_(height > 0 ? height : 0),
        stride_((width_ * kBytesPerPixel + kRowAlignment - 1) / kRowAlignment * kRowAlignment),
        bytes_(static_cast<size_t>(stride_) * static_cast<size_t>(height_) + kSlackBytes) {
    auto* data = static_cast<uint8_t*>(std::aligned_alloc(kRowAlignment, round_up(bytes_)));
    if (!data) throw std::bad_alloc();
    owner_ = std::shared_ptr<uint8_t>(data, [](uint8_t* p) { std::free(p); });
    data_ = data;
  }

  /// A BGR24 picture in memory that `owner` keeps alive: row 0 starts at
  /// `first_row`, each next row `stride` bytes on (negative for bottom-up
  /// rows). The caller makes sure every row of width × 3 bytes lies inside.
  FrameBitmap(int32_t width, int32_t height, const uint8_t* first_row, int32_t stride,
              std::shared_ptr<const void> owner)
      : layout_(Layout::kBgr24),
        width_(width > 0 ? width : 0),
        height_(height > 0 ? height : 0),
        stride_(stride),
        bytes_(static_cast<size_t>(stride < 0 ? -int64_t{stride} : stride) *
               static_cast<size_t>(height_)),
        owner_(std::move(owner)),
        data_(const_cast<uint8_t*>(first_row)) {}

  Layout layout() const { return layout_; }
  /// True when the pixels are this bitmap's own (an RGB32 picture that a
  /// converter may write into again).
  bool owns_pixels() const { return layout_ == Layout::kRgb32; }

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  /// Bytes from the start of one row to the next (negative: rows upwards).
  int32_t stride() const { return stride_; }
  /// Size of the pixel memory, slack included.
  size_t byte_size() const { return bytes_; }

  /// The start of row 0.
  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  const uint8_t* row_bytes(int32_t y) const { return data_ + static_cast<ptrdiff_t>(y) * stride_; }
  /// Row `y` of an RGB32 picture.
  uint32_t* row(int32_t y) {
    return reinterpret_cast<uint32_t*>(data_ + static_cast<ptrdiff_t>(y) * stride_);
  }
  const uint32_t* row(int32_t y) const { return reinterpret_cast<const uint32_t*>(row_bytes(y)); }
  /// The pixel at (x, y) as 0xFFRRGGBB, whatever the layout; the caller
  /// keeps x and y inside.
  uint32_t pixel(int32_t x, int32_t y) const {
    if (layout_ == Layout::kRgb32) return row(y)[x];
    const uint8_t* p = row_bytes(y) + static_cast<ptrdiff_t>(x) * 3;
    return 0xFF000000u | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
  }

 private:
  static size_t round_up(size_t n) {
    return (n + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
  }

  Layout layout_ = Layout::kRgb32;
  int32_t width_;
  int32_t height_;
  int32_t stride_;
  size_t bytes_;
  std::shared_ptr<const void> owner_;
  uint8_t* data_ = nullptr;
};

}  // namespace cabsim
