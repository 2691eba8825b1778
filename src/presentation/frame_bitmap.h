// A decoded film picture in memory: 32-bit pixels with a padded row stride,
// the layout the display draws without converting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace cabsim {

/// One picture of `width` × `height` pixels. Each pixel is a 32-bit word
/// 0xFFRRGGBB in the machine's byte order (bytes B, G, R, 0xFF on a
/// little-endian machine), which a drawing layer takes as it is ("RGB32").
/// Rows start `stride` bytes apart; the stride is a multiple of 64 and the
/// buffer ends with at least kSlackBytes spare bytes, because vectorised
/// converters write a little past the last pixel of a row.
class FrameBitmap {
 public:
  static constexpr int32_t kRowAlignment = 64;
  static constexpr size_t kSlackBytes = 64;
  static constexpr int32_t kBytesPerPixel = 4;

  FrameBitmap(int32_t width, int32_t height)
      : width_(width > 0 ? width : 0),
        height_(height > 0 ? height : 0),
        stride_((width_ * kBytesPerPixel + kRowAlignment - 1) / kRowAlignment * kRowAlignment),
        bytes_(static_cast<size_t>(stride_) * static_cast<size_t>(height_) + kSlackBytes),
        data_(static_cast<uint8_t*>(std::aligned_alloc(kRowAlignment, round_up(bytes_)))) {
    if (!data_) throw std::bad_alloc();
  }

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  /// Bytes from the start of one row to the next.
  int32_t stride() const { return stride_; }
  /// Size of the whole buffer, slack included.
  size_t byte_size() const { return bytes_; }

  uint8_t* data() { return data_.get(); }
  const uint8_t* data() const { return data_.get(); }
  uint32_t* row(int32_t y) {
    return reinterpret_cast<uint32_t*>(data_.get() + static_cast<ptrdiff_t>(y) * stride_);
  }
  const uint32_t* row(int32_t y) const {
    return reinterpret_cast<const uint32_t*>(data_.get() + static_cast<ptrdiff_t>(y) * stride_);
  }
  /// The pixel at (x, y) as 0xFFRRGGBB; the caller keeps x and y inside.
  uint32_t pixel(int32_t x, int32_t y) const { return row(y)[x]; }

 private:
  struct Free {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  static size_t round_up(size_t n) {
    return (n + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
  }

  int32_t width_;
  int32_t height_;
  int32_t stride_;
  size_t bytes_;
  std::unique_ptr<uint8_t, Free> data_;
};

}  // namespace cabsim
