// The compressor cycle: start below the low pressure, charge, stop at the high
// pressure, with its three sounds.
#include "dynamics/compressor.h"

#include <gtest/gtest.h>

#include "dynamics/air_brake.h"
#include "sound/sound_channels_silent.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

TEST(Compressor, RunsFromLowToHighPressureWithItsSounds) {
  TrainParams train = TrainFileText{}.read();  // 780 / 880 kPa
  SilentSoundChannels sounds;
  sounds.set_length(test::kSoundCPStart, 1500);
  sounds.set_length(test::kSoundCPCnt, 2000);
  sounds.set_length(test::kSoundCPEnd, 1000);
  RunState s = initial_run_state(train);
  s.main_reservoir = Fixed::from_real(781);
  int starts = 0, stops = 0, ticks_running = 0;
  bool was_running = false;
  // 100 ms ticks with the leak of three 33 ms cycles each, for 3 minutes.
  for (int tick = 0; tick < 1800; ++tick) {
    for (int c = 0; c < 3; ++c) main_reservoir_leak_step(s);
    compressor_step(s, train, sounds);
    sounds.advance(100);
    if (s.compressor_running && !was_running) {
      ++starts;
      EXPECT_LT(s.main_reservoir.real(), 780.3L);
      EXPECT_EQ(sounds.status(test::kSoundCPStart), ChannelStatus::kPlayingOnce);
      EXPECT_EQ(sounds.status(test::kSoundCPCnt), ChannelStatus::kLooping);
    }
    if (!s.compressor_running && was_running) {
      ++stops;
      EXPECT_GE(s.main_reservoir.real(), 880);
      EXPECT_EQ(sounds.status(test::kSoundCPEnd), ChannelStatus::kPlayingOnce);
      EXPECT_EQ(sounds.status(test::kSoundCPCnt), ChannelStatus::kStopped);
    }
    if (s.compressor_running) {
      ++ticks_running;
      EXPECT_LE(s.main_reservoir.real(), 880.2L);
    }
    was_running = s.compressor_running;
  }
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(stops, 1);
  // 100 kPa at 0.2 kPa a tick less the leak of 0.02 kPa a tick.
  EXPECT_NEAR(ticks_running, 100 / 0.18, 2);
  EXPECT_EQ(sounds.status(test::kSoundCPStart), ChannelStatus::kStopped);
  EXPECT_EQ(sounds.status(test::kSoundCPEnd), ChannelStatus::kStopped);
}

TEST(Compressor, BadSoundNumbersPlayNothing) {
  TrainParams train = TrainFileText{}
                          .set("[CP_Start]", "-1")
                          .set("[CP_Cnt]", "400")
                          .set("[CP_End]", "99999")
                          .read();
  SilentSoundChannels sounds;
  RunState s = initial_run_state(train);
  s.main_reservoir = Fixed::from_real(700);
  compressor_step(s, train, sounds);
  EXPECT_EQ(s.compressor_running, 1);
  EXPECT_EQ(s.main_reservoir.real(), 700.2L);
}

}  // namespace
}  // namespace cabsim
