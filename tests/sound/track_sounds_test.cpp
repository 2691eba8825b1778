// Sound points, the zone level, passing trains, switches and crossing bells.
#include "sound/track_sounds.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/bare_run.h"

namespace cabsim {
namespace {

using test::BareRun;

constexpr int kDrive = 10;  ///< the train's sounds: channels 0 .. 9
constexpr int kEnvironment = 5;

struct TrackRun : BareRun {
  TrackRun() {
    run.train.DriveSound_count = kDrive;
    route.SoundData_count = kEnvironment;
    for (int c = 0; c < kDrive + kEnvironment; ++c) sounds.set_length(c, 2000);
  }
  static int env(int k) { return kDrive + k; }
  bool playing(int c) const { return sounds.status(c) != ChannelStatus::kStopped; }
  void add_point(SoundPointRow row) { route.Sound[static_cast<size_t>(route.Sound_count++)] = row; }
  void at_frame(int32_t f) { s.current_frame = f; }
};

TEST(ZoneLevel, TheLastZoneStrictlyHoldingTheFrameGivesTheLevel) {
  TrackRun r;
  r.route.Atten_count = 2;
  r.route.Atten[0] = {100, 200, 0, 160};
  r.route.Atten[1] = {150, 300, 0, 50};
  r.at_frame(100);
  EXPECT_EQ(zone_level_factor(r.run), 1);  // the bounds are outside
  r.at_frame(120);
  EXPECT_NEAR(static_cast<double>(zone_level_factor(r.run)), 1.6, 1e-12);
  r.at_frame(170);
  EXPECT_NEAR(static_cast<double>(zone_level_factor(r.run)), 0.5, 1e-12);
  r.run.selection.train_file = "train_683.dat";
  EXPECT_NEAR(static_cast<double>(zone_level_factor(r.run)), 0.25, 1e-12);
  r.at_frame(400);
  EXPECT_NEAR(static_cast<double>(zone_level_factor(r.run)), 0.5, 1e-12);
}

TEST(PointSounds, APointSoundsOnceWithinTenFramesAtThePitchAndLevelOfTheSpeed) {
  TrackRun r;
  r.add_point({2, 500, 60, kPointSound, 1, 1, 0});
  r.s.speed = 30;
  r.at_frame(489);
  track_sounds_step(r.run);
  EXPECT_FALSE(r.playing(TrackRun::env(2)));
  r.at_frame(490);
  track_sounds_step(r.run);
  EXPECT_EQ(r.sounds.status(TrackRun::env(2)), ChannelStatus::kPlayingOnce);
  EXPECT_DOUBLE_EQ(r.sounds.frequency_factor(TrackRun::env(2)), 0.5);
  EXPECT_EQ(r.sounds.volume(TrackRun::env(2)), std::lround(5000 * std::log10(0.5)));
  // Within the window it is not started again, but follows the speed.
  r.sounds.advance(2000);
  r.s.speed = 45;
  r.at_frame(505);
  track_sounds_step(r.run);
  EXPECT_FALSE(r.playing(TrackRun::env(2)));
  EXPECT_DOUBLE_EQ(r.sounds.frequency_factor(TrackRun::env(2)), 0.75);
  // Faster than the reference: full, never above it.
  r.s.speed = 120;
  track_sounds_step(r.run);
  EXPECT_EQ(r.sounds.volume(TrackRun::env(2)), 0);
}

TEST(PointSounds, FlagsOffAndBadRowsGiveFullLevelAndNoShift) {
  TrackRun r;
  r.add_point({1, 500, 60, kPointSound, 0, 0, 0});
  r.add_point({3, 500, 0, kPointSound, 1, 1, 0});    // no reference speed
  r.add_point({99, 500, 60, kPointSound, 1, 1, 0});  // no such sound
  r.add_point({-1, 500, 60, kPointSound, 1, 1, 0});
  r.s.speed = 30;
  r.at_frame(500);
  r.sounds.set_volume(TrackRun::env(4), -333);
  track_sounds_step(r.run);
  EXPECT_DOUBLE_EQ(r.sounds.frequency_factor(TrackRun::env(1)), 1);
  EXPECT_EQ(r.sounds.volume(TrackRun::env(1)), 0);
  EXPECT_DOUBLE_EQ(r.sounds.frequency_factor(TrackRun::env(3)), 1);
  EXPECT_EQ(r.sounds.volume(TrackRun::env(3)), 0);
  EXPECT_TRUE(r.playing(TrackRun::env(3)));
  EXPECT_EQ(r.sounds.volume(TrackRun::env(4)), -333);  // untouched
  r.route.Sound_count = 1000000;                       // a count beyond the table
  track_sounds_step(r.run);
}

TEST(PointSounds, AStretchSoundLoopsOverItsFramesAndStopsBeyond) {
  TrackRun r;
  r.add_point({0, 1000, 80, kStretchSound, 1, 0, 300});
  r.s.speed = 40;
  r.at_frame(999);
  track_sounds_step(r.run);
  EXPECT_FALSE(r.playing(TrackRun::env(0)));
  r.at_frame(1000);
  track_sounds_step(r.run);
  EXPECT_EQ(r.sounds.status(TrackRun::env(0)), ChannelStatus::kLooping);
  EXPECT_DOUBLE_EQ(r.sounds.frequency_factor(TrackRun::env(0)), 0.5);
  r.at_frame(1300);
  track_sounds_step(r.run);
  EXPECT_TRUE(r.playing(TrackRun::env(0)));
  r.at_frame(1301);
  track_sounds_step(r.run);
  EXPECT_FALSE(r.playing(TrackRun::env(0)));
  r.at_frame(1100);  // backing into it again
  track_sounds_step(r.run);
  EXPECT_TRUE(r.playing(TrackRun::env(0)));
}

TEST(SwitchSounds, TheFirstRowOfTheKindFasterThanTheTrainSoundsOncePerRun) {
  TrackRun r;
  TrainParams& t = r.run.train;
  t.SwitchSound_count = 3;
  t.SwitchSound[0] = {4, 40, 0};
  t.SwitchSound[1] = {5, 200, 0};
  t.SwitchSound[2] = {6, 200, 1};
  r.route.Switch_count = 2;
  r.route.Switch[0] = {300, 0};
  r.route.Switch[1] = {600, 1};
  r.s.speed = 60;
  r.at_frame(295);
  track_sounds_step(r.run);
  EXPECT_FALSE(r.playing(5));  // 5 frames off
  r.at_frame(296);
  track_sounds_step(r.run);
  EXPECT_TRUE(r.playing(5));
  EXPECT_FALSE(r.playing(4));
  EXPECT_EQ(r.route.Switch[0].sounded, 1);
  r.sounds.advance(2000);
  r.at_frame(300);
  track_sounds_step(r.run);
  EXPECT_FALSE(r.playing(5));
  r.s.speed = 20;
  r.at_frame(600);
  track_sounds_step(r.run);
  EXPECT_TRUE(r.playing(6));
  // No row for a train faster than every row: nothing, and marked all the same.
  r.route.Switch[0].sounded = 0;
  r.s.speed = 250;
  r.at_frame(300);
  track_sounds_step(r.run);
  EXPECT_FALSE(r.playing(4));
  EXPECT_FALSE(r.playing(5));
  EXPECT_EQ(r.route.Switch[0].sounded, 1);
}

struct DopplerRun : TrackRun {
  DopplerRun() {
    route.Doppler_count = 1;
    route.Doppler[0] = {1, 0, 30000, 0, 100000};  // source at 1000 m, heard 300 m
  }
};

TEST(PassingTrains, PitchRisesApproachingAndFallsReceding) {
  DopplerRun r;
  const int c = TrackRun::env(1);
  r.s.speed = 80;
  r.s.position = 100000 - 30001;
  passing_train_sounds(r.run);
  EXPECT_FALSE(r.playing(c));
  r.s.position = 100000 - 30000;  // at the edge: silent
  passing_train_sounds(r.run);
  EXPECT_EQ(r.sounds.status(c), ChannelStatus::kLooping);
  EXPECT_EQ(r.sounds.volume(c), -10000);
  r.s.position = 100000 - 400;
  passing_train_sounds(r.run);
  const double closing = 400 / std::sqrt(400.0 * 400 + 300 * 300);  // 0.8
  EXPECT_NEAR(r.sounds.frequency_factor(c), 1220 / (1220 - closing * 80), 1e-9);
  EXPECT_EQ(r.sounds.volume(c), std::lround(2000 * std::log10(29600.0 / 30000)));
  r.s.position = 100000;  // beside it: the pitch stays
  passing_train_sounds(r.run);
  EXPECT_NEAR(r.sounds.frequency_factor(c), 1220 / (1220 - closing * 80), 1e-9);
  EXPECT_EQ(r.sounds.volume(c), 0);
  r.s.position = 100000 + 400;
  passing_train_sounds(r.run);
  EXPECT_NEAR(r.sounds.frequency_factor(c), 1220 / (1220 + closing * 80), 1e-9);
  EXPECT_LT(r.sounds.frequency_factor(c), 1);
  r.s.position = 100000 + 30001;  // out of every range: stopped
  passing_train_sounds(r.run);
  EXPECT_FALSE(r.playing(c));
}

TEST(PassingTrains, NoShiftRowsAndBadRowsAreSafe) {
  DopplerRun r;
  r.route.Doppler[0].no_shift = 1;
  r.route.Doppler_count = 3;
  r.route.Doppler[1] = {2, 0, 0, 0, 100000};      // no range
  r.route.Doppler[2] = {77, 0, 5000, 0, 100000};  // no such sound
  r.s.speed = 1000;                               // at any speed the factor stays a number
  r.s.position = 100000 - 100;
  passing_train_sounds(r.run);
  EXPECT_DOUBLE_EQ(r.sounds.frequency_factor(TrackRun::env(1)), 1);
  EXPECT_FALSE(r.playing(TrackRun::env(2)));
  r.route.Doppler[0].no_shift = 0;
  r.s.speed = 1e6;  // beyond the speed of sound: no pitch to give, none set
  passing_train_sounds(r.run);
  EXPECT_DOUBLE_EQ(r.sounds.frequency_factor(TrackRun::env(1)), 1);
  r.s.speed = -1e6;
  passing_train_sounds(r.run);
  EXPECT_GT(r.sounds.frequency_factor(TrackRun::env(1)), 0);
}

TEST(CrossingBells, TheBellRingsWithinItsRangeLoudestAtTheCrossing) {
  TrackRun r;
  r.add_point({3, 2000, 0, kCrossingBell, 0, 0, 100});
  r.add_point({4, 2000, 0, kCrossingBell, 0, 0, 0});  // no range: never rings
  const int c = TrackRun::env(3);
  r.at_frame(1899);
  crossing_bells(r.run);
  EXPECT_FALSE(r.playing(c));
  r.at_frame(1950);
  crossing_bells(r.run);
  EXPECT_EQ(r.sounds.status(c), ChannelStatus::kLooping);
  EXPECT_EQ(r.sounds.volume(c), std::lround(2000 * std::log10(0.5)));
  r.at_frame(2000);
  crossing_bells(r.run);
  EXPECT_EQ(r.sounds.volume(c), 0);
  r.at_frame(2100);
  crossing_bells(r.run);
  EXPECT_EQ(r.sounds.volume(c), -10000);
  EXPECT_TRUE(r.playing(c));
  r.at_frame(2101);
  crossing_bells(r.run);
  EXPECT_FALSE(r.playing(c));
  EXPECT_FALSE(r.playing(TrackRun::env(4)));
  // The point and stretch rules leave the bells alone.
  r.at_frame(2000);
  track_sounds_step(r.run);
  EXPECT_FALSE(r.playing(c));
}

}  // namespace
}  // namespace cabsim
