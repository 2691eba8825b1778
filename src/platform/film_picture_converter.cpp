// Picture conversion with libswscale into padded RGB32 bitmaps (the converter
// writes a little past the last pixel of a row at some widths, which the
// bitmaps' stride and slack absorb).
#include "platform/film_picture_converter.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace cabsim {

FilmPictureConverter::~FilmPictureConverter() {
  sws_freeContext(sws_);
}

void FilmPictureConverter::reset(int32_t width, int32_t height) {
  if (width != width_ || height != height_) bitmaps_.clear();
  width_ = width;
  height_ = height;
}

std::shared_ptr<FrameBitmap> FilmPictureConverter::free_bitmap() {
  for (auto& b : bitmaps_)
    if (b.use_count() == 1) return b;
  auto fresh = std::make_shared<FrameBitmap>(width_, height_);
  if (bitmaps_.size() < kKeptBitmaps) bitmaps_.push_back(fresh);
  return fresh;
}

std::shared_ptr<FrameBitmap> FilmPictureConverter::convert(const DecodedPicture& picture) {
  const AVFrame* frame = picture.frame();
  if (!frame || frame->width <= 0 || frame->height <= 0 || width_ <= 0 || height_ <= 0)
    return nullptr;
  sws_ = sws_getCachedContext(sws_, frame->width, frame->height,
                              static_cast<AVPixelFormat>(frame->format), width_, height_,
                              AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!sws_) return nullptr;
  std::shared_ptr<FrameBitmap> out = free_bitmap();
  uint8_t* planes[4] = {out->data(), nullptr, nullptr, nullptr};
  int strides[4] = {out->stride(), 0, 0, 0};
  if (sws_scale(sws_, frame->data, frame->linesize, 0, frame->height, planes, strides) != height_)
    return nullptr;
  return out;
}

}  // namespace cabsim
