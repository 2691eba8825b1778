// The decoded frames of the open film kept in memory: looked up by number,
// the nearest one found when the wanted one is missing, the frames farthest
// behind the display dropped first, and dropped bitmaps reused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "state/frame_bitmap.h"

namespace cabsim {

class FilmFrameCache {
 public:
  /// Memory the cache may hold in pictures.
  static constexpr size_t kCacheBytes = size_t{144} << 20;
  /// Bounds on the number of pictures, whatever their size.
  static constexpr int32_t kMinFrames = 24;
  static constexpr int32_t kMaxFrames = 720;

  /// An empty cache for pictures of `width` × `height` that holds as many as
  /// fit into `budget` bytes (within kMinFrames .. kMaxFrames).
  void reset(int32_t width, int32_t height, size_t budget = kCacheBytes);
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  /// How many pictures it holds at most.
  int32_t capacity() const { return capacity_; }
  int32_t size() const { return static_cast<int32_t>(frames_.size()); }

  bool contains(int32_t n) const { return frames_.count(n) != 0; }
  std::shared_ptr<const FrameBitmap> find(int32_t n) const;
  /// The kept frame whose number is closest to `n` (ties go to the lower
  /// number); -1 and null when the cache is empty.
  std::pair<int32_t, std::shared_ptr<const FrameBitmap>> nearest(int32_t n) const;

  /// A bitmap to decode into: a reused one when possible.
  std::shared_ptr<FrameBitmap> take_buffer();
  /// Keeps `picture` as frame `n`. When the cache is full the frame of least
  /// use to a display at `display` moving in `direction` (+1 or -1) goes; a
  /// picture of even less use than all kept ones is not kept (false).
  bool insert(int32_t n, std::shared_ptr<FrameBitmap> picture, int32_t display, int32_t direction);
  /// Frame `n` is never dropped to make room, and does not count towards
  /// the capacity (the few frames a jump may land on).
  void pin(int32_t n);
  int32_t pinned_count() const { return static_cast<int32_t>(pinned_.size()); }
  bool pinned(int32_t n) const;
  /// Drops every frame and pin (their bitmaps are kept for reuse).
  void clear();
  /// The shared pictures dropped since the last call, to be let go where
  /// giving their memory back holds nobody up.
  std::vector<std::shared_ptr<FrameBitmap>> take_dropped() { return std::exchange(dropped_, {}); }

  /// How far frame `n` is from being shown: frames ahead of the display count
  /// their distance, frames behind it four times theirs.
  static int64_t distance(int32_t n, int32_t display, int32_t direction);

 private:
  void recycle(std::shared_ptr<FrameBitmap> picture);
  int32_t unpinned_count() const;

  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t capacity_ = kMinFrames;
  std::map<int32_t, std::shared_ptr<FrameBitmap>> frames_;
  std::vector<int32_t> pinned_;
  std::vector<std::shared_ptr<FrameBitmap>> spare_;
  std::vector<std::shared_ptr<FrameBitmap>> dropped_;
};

}  // namespace cabsim
