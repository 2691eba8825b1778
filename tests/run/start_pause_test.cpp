// Start, pause and resume: the timers, the captions and the channel states
// recorded and restored.
#include <gtest/gtest.h>

#include "run/start_pause.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

constexpr int kMelody = 30;
constexpr int kZoneSound = 31;
constexpr int kSilent = 32;

TEST(StartPause, PauseRecordsTheChannelsAndResumeStartsThemAgain) {
  test::TestRun t;
  for (int c : {kMelody, kZoneSound, kSilent}) t.sounds.set_length(c, 5000);
  EXPECT_EQ(t.v().start_caption, "Start");
  movieclick(*t.run);
  EXPECT_TRUE(t.scheduler.operation_tick_enabled());
  EXPECT_TRUE(t.scheduler.motion_cycle_running());
  EXPECT_EQ(t.v().start_caption, "一時停止(&S)");
  movieclick(*t.run);  // a click while running does not pause
  EXPECT_TRUE(t.scheduler.operation_tick_enabled());

  t.sounds.play_once(kMelody);
  t.sounds.play_looped(kZoneSound);
  t.run_for(2000);
  t.s().easy_cab_request = 1;
  const uint32_t refresh = t.v().film_refresh;
  start1Click(*t.run);
  EXPECT_FALSE(t.scheduler.operation_tick_enabled());
  EXPECT_FALSE(t.scheduler.motion_cycle_running());
  EXPECT_EQ(t.v().start_caption, "運転再開(&S)");
  EXPECT_EQ(t.s().easy_cab_request, 0);
  EXPECT_EQ(t.v().film_refresh, refresh + 1);  // the picture is fetched again
  EXPECT_EQ(t.sounds.status(kMelody), ChannelStatus::kStopped);
  EXPECT_EQ(t.sounds.status(kZoneSound), ChannelStatus::kStopped);

  // Paused, time passes and nothing runs.
  const int32_t clock = t.s().clock;
  t.run_for(10000);
  EXPECT_EQ(t.s().clock, clock);

  start1Click(*t.run);
  EXPECT_EQ(t.v().start_caption, "一時停止(&S)");
  EXPECT_EQ(t.sounds.status(kMelody), ChannelStatus::kPlayingOnce);
  EXPECT_EQ(t.sounds.status(kZoneSound), ChannelStatus::kLooping);
  EXPECT_EQ(t.sounds.status(kSilent), ChannelStatus::kStopped);
  // The melody starts from its beginning: its whole length is still to play.
  t.run_for(4900);
  EXPECT_EQ(t.sounds.status(kMelody), ChannelStatus::kPlayingOnce);
  t.run_for(200);
  EXPECT_EQ(t.sounds.status(kMelody), ChannelStatus::kStopped);
  EXPECT_EQ(t.sounds.status(kZoneSound), ChannelStatus::kLooping);
  EXPECT_GT(t.s().clock, clock);
}

}  // namespace
}  // namespace cabsim
