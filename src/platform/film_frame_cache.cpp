// Keeping, finding and dropping decoded film frames.
#include "platform/film_frame_cache.h"

#include <algorithm>

namespace cabsim {
namespace {

/// Dropped bitmaps kept for reuse: enough for a burst of decoding.
constexpr size_t kSpareBitmaps = 8;

}  // namespace

void FilmFrameCache::reset(int32_t width, int32_t height, size_t budget) {
  // The pictures of the last film are reused when the next one has their
  // size: a run opens films of one size, and fresh memory costs page faults.
  const bool same_size = width == width_ && height == height_;
  clear();
  if (!same_size) spare_.clear();
  width_ = width;
  height_ = height;
  const size_t one = static_cast<size_t>(FrameBitmap(width, 1).stride()) *
                         static_cast<size_t>(std::max(height, 1)) +
                     FrameBitmap::kSlackBytes;
  const size_t fit = budget / std::max<size_t>(one, 1);
  capacity_ = static_cast<int32_t>(
      std::clamp<size_t>(fit, static_cast<size_t>(kMinFrames), static_cast<size_t>(kMaxFrames)));
}

std::shared_ptr<const FrameBitmap> FilmFrameCache::find(int32_t n) const {
  auto it = frames_.find(n);
  return it == frames_.end() ? nullptr : it->second;
}

std::pair<int32_t, std::shared_ptr<const FrameBitmap>> FilmFrameCache::nearest(int32_t n) const {
  if (frames_.empty()) return {-1, nullptr};
  auto above = frames_.lower_bound(n);
  if (above == frames_.end()) return {std::prev(above)->first, std::prev(above)->second};
  if (above->first == n || above == frames_.begin()) return {above->first, above->second};
  auto below = std::prev(above);
  if (int64_t{n} - below->first <= int64_t{above->first} - n) return {below->first, below->second};
  return {above->first, above->second};
}

std::shared_ptr<FrameBitmap> FilmFrameCache::take_buffer() {
  if (!spare_.empty()) {
    std::shared_ptr<FrameBitmap> reused = std::move(spare_.back());
    spare_.pop_back();
    return reused;
  }
  return std::make_shared<FrameBitmap>(width_, height_);
}

int64_t FilmFrameCache::distance(int32_t n, int32_t display, int32_t direction) {
  const int64_t ahead = (int64_t{n} - display) * (direction < 0 ? -1 : 1);
  return ahead >= 0 ? ahead : -ahead * 4;
}

bool FilmFrameCache::insert(int32_t n, std::shared_ptr<FrameBitmap> picture, int32_t display,
                            int32_t direction) {
  if (!picture) return false;
  if (auto it = frames_.find(n); it != frames_.end()) {
    recycle(std::move(it->second));
    it->second = std::move(picture);
    return true;
  }
  if (!pinned(n) && unpinned_count() >= capacity_) {
    auto worst = frames_.end();
    int64_t worst_distance = -1;
    for (auto it = frames_.begin(); it != frames_.end(); ++it) {
      if (pinned(it->first)) continue;
      const int64_t d = distance(it->first, display, direction);
      if (d > worst_distance) worst_distance = d, worst = it;
    }
    if (worst == frames_.end() || distance(n, display, direction) >= worst_distance) {
      recycle(std::move(picture));
      return false;
    }
    recycle(std::move(worst->second));
    frames_.erase(worst);
  }
  frames_.emplace(n, std::move(picture));
  return true;
}

int32_t FilmFrameCache::unpinned_count() const {
  int32_t kept_pins = 0;
  for (int32_t n : pinned_) kept_pins += contains(n) ? 1 : 0;
  return size() - kept_pins;
}

void FilmFrameCache::pin(int32_t n) {
  if (!pinned(n)) pinned_.push_back(n);
}

bool FilmFrameCache::pinned(int32_t n) const {
  return std::find(pinned_.begin(), pinned_.end(), n) != pinned_.end();
}

void FilmFrameCache::clear() {
  for (auto& [n, picture] : frames_)
    if (picture.use_count() == 1 && picture->owns_pixels() &&
        static_cast<int32_t>(spare_.size()) < capacity_)
      spare_.push_back(std::move(picture));
  frames_.clear();
  pinned_.clear();
  dropped_.clear();
}

void FilmFrameCache::recycle(std::shared_ptr<FrameBitmap> picture) {
  // A picture the display still holds is left to it; a shared one goes back
  // to its owner when the caller lets it go.
  if (!picture) return;
  if (!picture->owns_pixels()) {
    dropped_.push_back(std::move(picture));
  } else if (picture.use_count() == 1 && spare_.size() < kSpareBitmaps &&
             picture->width() == width_ && picture->height() == height_) {
    spare_.push_back(std::move(picture));
  }
}

}  // namespace cabsim
