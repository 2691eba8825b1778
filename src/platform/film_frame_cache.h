// The decoded frames of the open film kept in memory: looked up by number,
// the nearest one found when the wanted one is missing, and the frames of
// least use to the display dropped first when the memory is full.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace cabsim {

/// Holds shared pictures of type `Picture` by frame number. Not locked: the
/// owner serialises the calls.
template <class Picture>
class FilmFrameCache {
 public:
  /// Memory the cache may hold in pictures.
  static constexpr size_t kCacheBytes = size_t{160} << 20;
  /// Bounds on the number of pictures, whatever their size.
  static constexpr int32_t kMinFrames = 24;
  static constexpr int32_t kMaxFrames = 1000;

  /// Empties the cache and sizes it for pictures of `picture_bytes` each, as
  /// many as fit into `budget` bytes (within kMinFrames .. kMaxFrames).
  void reset(size_t picture_bytes, size_t budget = kCacheBytes) {
    clear();
    const size_t fit = budget / std::max<size_t>(picture_bytes, 1);
    capacity_ = static_cast<int32_t>(
        std::clamp<size_t>(fit, static_cast<size_t>(kMinFrames), static_cast<size_t>(kMaxFrames)));
  }
  /// How many unpinned pictures it holds at most.
  int32_t capacity() const { return capacity_; }
  int32_t size() const { return static_cast<int32_t>(frames_.size()); }

  bool contains(int32_t n) const { return frames_.count(n) != 0; }
  std::shared_ptr<const Picture> find(int32_t n) const {
    auto it = frames_.find(n);
    return it == frames_.end() ? nullptr : it->second;
  }
  /// The kept frame whose number is closest to `n` (ties go to the lower
  /// number); -1 and null when the cache is empty.
  std::pair<int32_t, std::shared_ptr<const Picture>> nearest(int32_t n) const {
    if (frames_.empty()) return {-1, nullptr};
    auto above = frames_.lower_bound(n);
    if (above == frames_.end()) --above;
    if (above->first <= n || above == frames_.begin()) return {above->first, above->second};
    auto below = std::prev(above);
    if (int64_t{n} - below->first <= int64_t{above->first} - n)
      return {below->first, below->second};
    return {above->first, above->second};
  }

  /// Keeps `picture` as frame `n`. When the cache is full the frame of least
  /// use to a display at `display` moving in `direction` (+1 or -1) goes; a
  /// picture of even less use than every kept one is not kept (false).
  bool insert(int32_t n, std::shared_ptr<const Picture> picture, int32_t display,
              int32_t direction) {
    if (!picture) return false;
    if (auto it = frames_.find(n); it != frames_.end()) {
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
      if (worst == frames_.end() || distance(n, display, direction) >= worst_distance) return false;
      frames_.erase(worst);
    }
    frames_.emplace(n, std::move(picture));
    return true;
  }

  /// Frame `n` is never dropped to make room, and does not count towards the
  /// capacity (the few frames a jump may land on).
  void pin(int32_t n) {
    if (!pinned(n)) pinned_.push_back(n);
  }
  bool pinned(int32_t n) const {
    return std::find(pinned_.begin(), pinned_.end(), n) != pinned_.end();
  }
  int32_t pinned_count() const { return static_cast<int32_t>(pinned_.size()); }

  /// Drops every frame and pin.
  void clear() {
    frames_.clear();
    pinned_.clear();
  }

  /// How far frame `n` is from being shown: frames ahead of the display count
  /// their distance, frames behind it four times theirs.
  static int64_t distance(int32_t n, int32_t display, int32_t direction) {
    const int64_t ahead = (int64_t{n} - display) * (direction < 0 ? -1 : 1);
    return ahead >= 0 ? ahead : -ahead * 4;
  }

 private:
  int32_t unpinned_count() const {
    int32_t kept_pins = 0;
    for (int32_t n : pinned_) kept_pins += contains(n) ? 1 : 0;
    return size() - kept_pins;
  }

  int32_t capacity_ = kMinFrames;
  std::map<int32_t, std::shared_ptr<const Picture>> frames_;
  std::vector<int32_t> pinned_;
};

}  // namespace cabsim
