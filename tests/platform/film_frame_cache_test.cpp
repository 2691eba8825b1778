// The frame cache of the film source: how many frames it keeps, which it
// drops when full, and which it gives for a frame it does not hold.
#include "platform/film_frame_cache.h"

#include <gtest/gtest.h>

namespace cabsim {
namespace {

struct Mark {
  int32_t frame;
};
using Cache = FilmFrameCache<Mark>;

std::shared_ptr<const Mark> mark(int32_t n) {
  return std::make_shared<const Mark>(Mark{n});
}

TEST(FilmFrameCache, SizesItselfByPictureMemory) {
  Cache cache;
  cache.reset(684 * 384 * 3 / 2);  // a 4:2:0 picture of the cab window
  EXPECT_EQ(cache.capacity(), static_cast<int32_t>(Cache::kCacheBytes / (684 * 384 * 3 / 2)));
  cache.reset(size_t{4096} * 4096 * 4);
  EXPECT_EQ(cache.capacity(), Cache::kMinFrames);
  cache.reset(16);
  EXPECT_EQ(cache.capacity(), Cache::kMaxFrames);
  cache.reset(0);
  EXPECT_EQ(cache.capacity(), Cache::kMaxFrames);
}

TEST(FilmFrameCache, FindsTheNearestFrameWhenTheAskedOneIsMissing) {
  Cache cache;
  EXPECT_EQ(cache.nearest(5).first, -1);
  EXPECT_FALSE(cache.nearest(5).second);
  for (int n : {10, 20, 40}) cache.insert(n, mark(n), 10, 1);
  EXPECT_EQ(cache.nearest(20).first, 20);
  EXPECT_EQ(cache.nearest(0).first, 10);
  EXPECT_EQ(cache.nearest(14).first, 10);
  EXPECT_EQ(cache.nearest(15).first, 10) << "a tie goes to the lower number";
  EXPECT_EQ(cache.nearest(16).first, 20);
  EXPECT_EQ(cache.nearest(1000).first, 40);
  EXPECT_EQ(cache.nearest(30).second->frame, 20);
  EXPECT_EQ(cache.find(40)->frame, 40);
  EXPECT_FALSE(cache.find(41));
}

TEST(FilmFrameCache, WhenFullDropsWhatIsFarthestBehindTheDirectionOfTravel) {
  Cache cache;
  cache.reset(1, 1);  // the smallest cache
  const int32_t cap = cache.capacity();
  // Display at 100 running forward: frames 100 .. 100 + cap - 1 fill it.
  for (int32_t n = 100; n < 100 + cap; ++n) ASSERT_TRUE(cache.insert(n, mark(n), 100, 1));
  // A frame just behind the display replaces the one farthest ahead.
  EXPECT_TRUE(cache.insert(99, mark(99), 100, 1));
  EXPECT_FALSE(cache.contains(100 + cap - 1));
  // Frames far behind count four times their distance: not kept.
  EXPECT_FALSE(cache.insert(60, mark(60), 100, 1));
  EXPECT_FALSE(cache.contains(60));
  // Running backwards now, the frames ahead (below 100) win over those above.
  EXPECT_TRUE(cache.insert(90, mark(90), 100, -1));
  EXPECT_FALSE(cache.contains(100 + cap - 2));
  EXPECT_EQ(cache.size(), cap);
  // A frame decoded again replaces the kept one without dropping another.
  EXPECT_TRUE(cache.insert(90, mark(-90), 100, -1));
  EXPECT_EQ(cache.find(90)->frame, -90);
  EXPECT_EQ(cache.size(), cap);
}

TEST(FilmFrameCache, PinnedFramesStayAndDoNotCountTowardsTheCapacity) {
  Cache cache;
  cache.reset(1, 1);
  const int32_t cap = cache.capacity();
  cache.pin(5000);
  EXPECT_TRUE(cache.insert(5000, mark(5000), 0, 1));
  for (int32_t n = 0; n < cap + 10; ++n) cache.insert(n, mark(n), n, 1);
  EXPECT_TRUE(cache.contains(5000));
  EXPECT_EQ(cache.size(), cap + 1);
  cache.clear();
  EXPECT_FALSE(cache.pinned(5000));
  EXPECT_EQ(cache.size(), 0);
}

}  // namespace
}  // namespace cabsim
