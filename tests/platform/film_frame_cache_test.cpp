// The frame cache of the film source: which frames it keeps when full, which
// one it gives for a missing frame, and that a picture the display holds is
// never reused under it.
#include "platform/film_frame_cache.h"

#include <gtest/gtest.h>

namespace cabsim {
namespace {

std::shared_ptr<FrameBitmap> picture_of(FilmFrameCache& cache, uint32_t mark) {
  auto p = cache.take_buffer();
  p->row(0)[0] = mark;
  return p;
}

TEST(FilmFrameCache, SizesItselfByPictureMemory) {
  FilmFrameCache cache;
  cache.reset(684, 384);
  const size_t one = size_t{2752} * 384 + FrameBitmap::kSlackBytes;  // 684 * 4 rounded up to 64
  EXPECT_EQ(cache.capacity(), static_cast<int32_t>(FilmFrameCache::kCacheBytes / one));
  cache.reset(4096, 4096);
  EXPECT_EQ(cache.capacity(), FilmFrameCache::kMinFrames);
  cache.reset(64, 64, 100 * (256 * 64 + FrameBitmap::kSlackBytes));
  EXPECT_EQ(cache.capacity(), 100);
  cache.reset(16, 16);
  EXPECT_EQ(cache.capacity(), FilmFrameCache::kMaxFrames);
  auto p = cache.take_buffer();
  EXPECT_EQ(p->width(), 16);
  EXPECT_EQ(p->stride(), 64);
  EXPECT_GE(p->byte_size(), size_t{64} * 16 + FrameBitmap::kSlackBytes);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p->data()) % 64, 0u);
}

TEST(FilmFrameCache, FindsTheNearestFrameWhenTheAskedOneIsMissing) {
  FilmFrameCache cache;
  cache.reset(8, 8);
  EXPECT_EQ(cache.nearest(5).first, -1);
  for (int n : {10, 20, 40}) cache.insert(n, picture_of(cache, n), 10, 1);
  EXPECT_EQ(cache.nearest(20).first, 20);
  EXPECT_EQ(cache.nearest(0).first, 10);
  EXPECT_EQ(cache.nearest(14).first, 10);
  EXPECT_EQ(cache.nearest(15).first, 10) << "a tie goes to the lower number";
  EXPECT_EQ(cache.nearest(16).first, 20);
  EXPECT_EQ(cache.nearest(1000).first, 40);
  EXPECT_EQ(cache.nearest(30).second->pixel(0, 0), 20u);
}

TEST(FilmFrameCache, WhenFullDropsWhatIsFarthestBehindTheDirectionOfTravel) {
  FilmFrameCache cache;
  cache.reset(64, 64, 1);  // the smallest cache
  const int32_t cap = cache.capacity();
  // Display at 100 running forward: frames 100 .. 100 + cap - 1 fill it.
  for (int32_t n = 100; n < 100 + cap; ++n)
    ASSERT_TRUE(cache.insert(n, picture_of(cache, n), 100, 1));
  // A frame just behind the display replaces the one farthest ahead.
  EXPECT_TRUE(cache.insert(99, picture_of(cache, 99), 100, 1));
  EXPECT_FALSE(cache.contains(100 + cap - 1));
  // Frames far behind count four times their distance: not kept.
  EXPECT_FALSE(cache.insert(60, picture_of(cache, 60), 100, 1));
  EXPECT_FALSE(cache.contains(60));
  // Running backwards now, the frames ahead (below 100) win over those above.
  EXPECT_TRUE(cache.insert(90, picture_of(cache, 90), 100, -1));
  EXPECT_FALSE(cache.contains(100 + cap - 2));
  EXPECT_EQ(cache.size(), cap);
}

TEST(FilmFrameCache, PinnedFramesStayAndDoNotCountTowardsTheCapacity) {
  FilmFrameCache cache;
  cache.reset(64, 64, 1);
  const int32_t cap = cache.capacity();
  cache.pin(5000);
  EXPECT_TRUE(cache.insert(5000, picture_of(cache, 5000), 0, 1));
  for (int32_t n = 0; n < cap + 10; ++n) cache.insert(n, picture_of(cache, n), n, 1);
  EXPECT_TRUE(cache.contains(5000));
  EXPECT_EQ(cache.size(), cap + 1);
  cache.clear();
  EXPECT_FALSE(cache.pinned(5000));
  EXPECT_EQ(cache.size(), 0);
}

TEST(FilmFrameCache, APictureTheDisplayHoldsIsNotReused) {
  FilmFrameCache cache;
  cache.reset(64, 64, 1);
  const int32_t cap = cache.capacity();
  for (int32_t n = 0; n < cap; ++n) cache.insert(n, picture_of(cache, 1000 + n), 0, 1);
  std::shared_ptr<const FrameBitmap> held = cache.find(cap - 1);
  // Fill with frames nearer the display: frame cap - 1 is dropped first.
  cache.insert(-1, picture_of(cache, 7), 0, 1);
  ASSERT_FALSE(cache.contains(cap - 1));
  for (int i = 0; i < 20; ++i) {
    auto p = cache.take_buffer();
    EXPECT_NE(p.get(), held.get());
    p->row(0)[0] = 0xDEAD;
  }
  EXPECT_EQ(held->pixel(0, 0), static_cast<uint32_t>(1000 + cap - 1));
}

TEST(FilmFrameCache, NeverReusesASharedPictureAndHandsItBackWhenDropped) {
  FilmFrameCache cache;
  cache.reset(4, 4, 1);  // the smallest cache
  const int32_t cap = cache.capacity();
  auto memory = std::make_shared<std::vector<uint8_t>>(4 * 4 * 3, uint8_t{0x11});
  std::weak_ptr<std::vector<uint8_t>> alive = memory;
  auto shared = [&] { return std::make_shared<FrameBitmap>(4, 4, memory->data(), 12, memory); };
  for (int32_t n = 0; n < cap; ++n) ASSERT_TRUE(cache.insert(n, shared(), 0, 1));
  memory.reset();
  // A frame nearer the display pushes the farthest out; its memory is given
  // back only when the caller lets the dropped pictures go.
  ASSERT_TRUE(cache.insert(-1, picture_of(cache, 7), 0, -1));
  std::vector<std::shared_ptr<FrameBitmap>> dropped = cache.take_dropped();
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_FALSE(dropped.front()->owns_pixels());
  EXPECT_TRUE(cache.take_dropped().empty());
  // Replacing a frame and clearing never turn shared pictures into buffers
  // to decode into.
  ASSERT_TRUE(cache.insert(0, picture_of(cache, 8), 0, 1));
  EXPECT_EQ(cache.take_dropped().size(), 1u) << "the one replaced";
  cache.clear();
  for (int i = 0; i < cap + 4; ++i) EXPECT_TRUE(cache.take_buffer()->owns_pixels());
  dropped.clear();
  EXPECT_TRUE(alive.expired()) << "every shared picture let go";
}

}  // namespace
}  // namespace cabsim
