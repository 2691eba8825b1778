// Turning a decoded film picture into the 32-bit bitmap the display draws,
// at the film's size, into a few bitmaps that are reused.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/film_reader_ffmpeg.h"
#include "presentation/frame_bitmap.h"

struct SwsContext;

namespace cabsim {

class FilmPictureConverter {
 public:
  /// Bitmaps kept for reuse; the display holds one or two at a time.
  static constexpr size_t kKeptBitmaps = 4;

  FilmPictureConverter() = default;
  ~FilmPictureConverter();
  FilmPictureConverter(const FilmPictureConverter&) = delete;
  FilmPictureConverter& operator=(const FilmPictureConverter&) = delete;

  /// Makes bitmaps of `width` × `height` from now on.
  void reset(int32_t width, int32_t height);
  /// `picture` as a bitmap of the film's size (scaled when the picture has
  /// another size), written into a bitmap nobody else holds; null when its
  /// pixel format cannot be converted.
  std::shared_ptr<FrameBitmap> convert(const DecodedPicture& picture);

 private:
  std::shared_ptr<FrameBitmap> free_bitmap();

  SwsContext* sws_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<std::shared_ptr<FrameBitmap>> bitmaps_;
};

}  // namespace cabsim
