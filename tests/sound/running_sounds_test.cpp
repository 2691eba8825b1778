// The running-sound band, the motor sounds of an electric train and the
// engine, gear and idling sounds of a diesel train, through the silent
// channel set.
#include "sound/running_sounds.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/bare_run.h"

namespace cabsim {
namespace {

using test::BareRun;

constexpr int kBands = 13;  ///< run000 .. run120

/// A train with the 13 running-sound bands and `extra` further sounds, all bound.
struct SoundRun : BareRun {
  explicit SoundRun(int extra = 0, int environment = 0) {
    run.train.DriveSound_count = kBands + extra;
    route.SoundData_count = environment;
    for (int c = 0; c < 200; ++c) sounds.set_length(c, SilentSoundChannels::kUnknownLength);
  }
  void at(long double speed) {
    s.speed = speed;
    running_band(run);
  }
  bool playing(int c) const { return sounds.status(c) != ChannelStatus::kStopped; }
};

TEST(RunningBand, NeighbouringRecordingsCrossFadeByTheSpeedWithinTheBand) {
  SoundRun r;
  r.at(45);
  EXPECT_EQ(r.sounds.volume(4), -602);
  EXPECT_EQ(r.sounds.volume(5), -602);
  EXPECT_EQ(r.sounds.status(4), ChannelStatus::kLooping);
  EXPECT_EQ(r.sounds.status(5), ChannelStatus::kLooping);
  r.at(40);
  EXPECT_EQ(r.sounds.volume(4), 0);
  EXPECT_EQ(r.sounds.volume(5), -4000);  // the silent side at weight 1
  r.at(-43);                             // backwards by the magnitude
  EXPECT_EQ(r.sounds.volume(4), std::lround(2000 * std::log10(0.7)));
  EXPECT_EQ(r.sounds.volume(5), std::lround(2000 * std::log10(0.3)));
}

TEST(RunningBand, LeavingABandStopsTheRecordingsOnEitherSide) {
  SoundRun r;
  r.at(45);
  r.at(55);  // band 5: 4 below and 7 above are stopped
  EXPECT_FALSE(r.playing(4));
  EXPECT_TRUE(r.playing(5));
  EXPECT_TRUE(r.playing(6));
  r.at(35);  // band 3: 5 above is stopped, 2 below
  EXPECT_FALSE(r.playing(5));
  EXPECT_TRUE(r.playing(3));
  EXPECT_TRUE(r.playing(4));
  // The standstill recording keeps playing below 20 km/h.
  r.at(0);
  r.at(15);
  EXPECT_TRUE(r.playing(0));
  EXPECT_EQ(r.sounds.volume(0), 0);  // never given a level of its own
}

TEST(RunningBand, FromEightyTheLowerRecordingRisesInPitch) {
  SoundRun r;
  r.at(75);
  EXPECT_DOUBLE_EQ(r.sounds.frequency_factor(7), 1.0);
  r.at(85);
  EXPECT_NEAR(r.sounds.frequency_factor(8), 1.055, 1e-9);
  r.at(99.4L);  // rounds to 99, band 9
  EXPECT_NEAR(r.sounds.frequency_factor(9), 1 + 9.4 * 0.011, 1e-9);
}

TEST(RunningBand, FromOneHundredTwentyTheTopRecordingPlaysAloneAtFullLevel) {
  SoundRun r;
  r.at(115);
  const int32_t level11 = r.sounds.volume(11);
  r.at(130);
  EXPECT_EQ(r.sounds.status(12), ChannelStatus::kLooping);
  EXPECT_EQ(r.sounds.volume(12), 0);
  // Channels started below 120 km/h keep playing at their last level.
  EXPECT_TRUE(r.playing(11));
  EXPECT_EQ(r.sounds.volume(11), level11);
  r.at(119.4L);  // back below: band 11 again
  EXPECT_EQ(r.sounds.volume(11), std::lround(2000 * std::log10(0.1)));
}

TEST(RunningBand, ATrainWithFewerRecordingsLeavesTheRouteSoundsAlone) {
  BareRun r;
  r.run.train.DriveSound_count = 5;  // bands 0 .. 4 only
  r.route.SoundData_count = 20;      // environment sounds on channels 5 ..
  for (int c = 0; c < 30; ++c) r.sounds.set_length(c, SilentSoundChannels::kUnknownLength);
  r.sounds.set_volume(6, -1234);
  r.s.speed = 55;
  running_band(r.run);
  EXPECT_EQ(r.sounds.status(5), ChannelStatus::kStopped);
  EXPECT_EQ(r.sounds.status(6), ChannelStatus::kStopped);
  EXPECT_EQ(r.sounds.volume(6), -1234);
  r.s.speed = NAN;  // no speed to follow: nothing happens
  running_band(r.run);
  r.s.speed = 1e30L;
  running_band(r.run);
}

/// An electric train with one motor row of each mode on channels 13, 14, 15.
struct MotorRun : SoundRun {
  MotorRun() : SoundRun() {
    TrainParams& t = run.train;
    t.Engine_Type = 1;
    t.EngineSound1_count = 3;
    for (int i = 0; i < 3; ++i) {
      MotorSoundData& m = t.EngineSound1[static_cast<size_t>(i)];
      m.mode = i;
      m.s0 = 0, m.s1 = 40, m.s2 = 100;
      m.p0 = 0.5, m.p1 = 1.0, m.p2 = 2.0;
      m.q0 = 30, m.q1 = 100, m.q2 = 80;
    }
  }
  void tick() { electric_motor_sounds(run); }
};

TEST(ElectricMotorSounds, LevelAndPitchFollowTheSpeedBetweenTheBreakpoints) {
  MotorRun r;
  r.s.speed = 20;
  r.s.effective_power_notch = 1;
  r.tick();
  EXPECT_NEAR(r.sounds.frequency_factor(13), 0.75, 1e-12);
  EXPECT_NEAR(static_cast<double>(r.s.row_level[0]), 65, 1e-9);
  r.s.speed = 70;
  r.tick();
  EXPECT_NEAR(r.sounds.frequency_factor(13), 1.5, 1e-12);
  EXPECT_NEAR(static_cast<double>(r.s.row_level[0]), 90, 1e-9);
  // Beyond the last breakpoint the level is 1 and the pitch stays.
  r.s.speed = 130;
  r.tick();
  EXPECT_NEAR(r.sounds.frequency_factor(13), 1.5, 1e-12);
  EXPECT_EQ(r.s.row_level[0], 1);
}

TEST(ElectricMotorSounds, TheGateOpensWithItsHandleAndTheRampRisesAndFalls) {
  MotorRun r;
  r.s.speed = 40;  // q1 = 100
  r.tick();        // nothing works: ramp stays 0, power and brake rows closed
  EXPECT_EQ(r.s.motor_sound_ramp, 0);
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kStopped);  // gate 1 < 5
  EXPECT_EQ(r.sounds.status(15), ChannelStatus::kLooping);  // mode 2: always
  EXPECT_EQ(r.sounds.volume(15), -10000);                   // ramp 0: nothing to hear

  r.s.effective_power_notch = 3;
  for (int i = 0; i < 5; ++i) r.tick();
  EXPECT_EQ(r.s.motor_sound_ramp, 100);  // 20, 40, 60, 80, 100
  EXPECT_EQ(r.s.row_gate[0], 100);
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kLooping);
  EXPECT_EQ(r.sounds.volume(13), 0);  // 100 x 100 x 100 / 10^6
  EXPECT_EQ(r.sounds.status(14), ChannelStatus::kStopped);

  r.s.effective_power_notch = 0;
  r.tick();
  EXPECT_EQ(r.s.row_gate[0], 90);
  EXPECT_EQ(r.s.motor_sound_ramp, 90);
  EXPECT_EQ(r.sounds.volume(13), std::lround(1660 * std::log10(100 * 90 * 90 / 1e6)));
  for (int i = 0; i < 20; ++i) r.tick();
  EXPECT_EQ(r.s.row_gate[0], 10);          // falls while above 11
  EXPECT_EQ(r.s.motor_sound_ramp, 10);     // falls while above 15
  EXPECT_EQ(r.sounds.volume(13), -10000);  // a gate of 10 silences
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kLooping);

  // Either protection flag works the motors as a brake notch does.
  r.s.protection_emergency_flag = 1;
  r.tick();
  EXPECT_EQ(r.s.motor_sound_ramp, 30);
}

TEST(ElectricMotorSounds, ABrakeRowSoundsWhileTheBrakeNotchIsIn) {
  MotorRun r;
  r.s.speed = 60;
  r.s.effective_brake_notch = -4;
  r.tick();
  EXPECT_EQ(r.s.row_gate[1], 100);
  EXPECT_EQ(r.s.row_gate[0], 1);
  EXPECT_EQ(r.sounds.status(14), ChannelStatus::kLooping);
  EXPECT_EQ(r.s.motor_sound_ramp, 20);
}

TEST(ElectricMotorSounds, BadRowsGiveNoNumberThatIsNotALevel) {
  MotorRun r;
  MotorSoundData& m = r.run.train.EngineSound1[0];
  m.s0 = m.s1 = m.s2 = 40;   // not increasing
  m.q0 = m.q1 = m.q2 = -50;  // a level below nothing
  m.p0 = m.p1 = m.p2 = 1e4000L;
  r.s.speed = 40;
  r.s.effective_power_notch = 1;
  for (int i = 0; i < 3; ++i) r.tick();
  EXPECT_GE(r.sounds.volume(13), -10000);
  EXPECT_LE(r.sounds.volume(13), 0);
  EXPECT_TRUE(std::isfinite(r.sounds.frequency_factor(13)));
  r.run.train.EngineSound1_count = 1000;  // more rows than the table holds
  r.tick();
}

/// A diesel train: three engine rows for gears 1 .. 3 (channels 15 .. 17), a
/// gear row and a retarder row (channels 18, 19), idling sounds 13 and 14.
struct DieselRun : SoundRun {
  DieselRun() : SoundRun(2) {
    TrainParams& t = run.train;
    t.Engine_Type = 0;
    t.Lose_elec = 10;
    t.EngineSound1_count = 3;
    for (int i = 0; i < 3; ++i) {
      MotorSoundData& m = t.EngineSound1[static_cast<size_t>(i)];
      m.mode = i + 1;
      m.s0 = 800, m.s1 = 1400, m.s2 = 2000;
      m.p0 = 0.6, m.p1 = 1.0, m.p2 = 1.5;
      m.q0 = 40, m.q1 = 100, m.q2 = 90;
    }
    t.EngineSound3_count = 2;
    t.EngineSound3[0] = {"", 1, 2, 0, 90, 0.8, 1.4, 60, 90};
    t.EngineSound3[1] = {"", 2, 0, 20, 100, 1.0, 1.0, 50, 50};
    t.EngineSound2 = {13, 14, 2, 3};
    s.engine_running = 1;
    s.gear = 1;
  }
  void tick() { diesel_engine_sounds(run); }
};

TEST(DieselEngineSounds, EngineSpeedDrivesTheRowWithTenUnitFadesAtItsEnds) {
  DieselRun r;
  r.s.engine_speed = 1100;
  r.tick();
  EXPECT_NEAR(r.sounds.frequency_factor(15), 0.8, 1e-12);
  EXPECT_NEAR(static_cast<double>(r.s.row_level[0]), 70, 1e-9);
  r.s.engine_speed = 795;  // half-way up the fade below s0
  r.tick();
  EXPECT_NEAR(static_cast<double>(r.s.row_level[0]), 20, 1e-9);
  EXPECT_NEAR(r.sounds.frequency_factor(15), 0.6 - 5 * 0.4 / 600, 1e-12);
  r.s.engine_speed = 2008;  // near the end of the fade above s2
  r.tick();
  EXPECT_NEAR(static_cast<double>(r.s.row_level[0]), 18, 1e-9);
  EXPECT_NEAR(r.sounds.frequency_factor(15), 1.5 + 8 * 0.5 / 600, 1e-12);
  // With the doors open the rows are not driven.
  r.s.doors_open = 1;
  r.s.engine_speed = 1400;
  r.tick();
  EXPECT_NEAR(static_cast<double>(r.s.row_level[0]), 18, 1e-9);
}

TEST(DieselEngineSounds, OnlyTheRowOfTheCurrentGearSoundsAndItRestartsWhenTheGearReturns) {
  DieselRun r;
  r.s.engine_speed = 1400;
  r.s.effective_power_notch = 2;
  for (int i = 0; i < 19; ++i) r.tick();
  EXPECT_EQ(r.s.motor_sound_ramp, 95);  // +5 a tick, up to 95
  EXPECT_EQ(r.sounds.status(15), ChannelStatus::kLooping);
  EXPECT_EQ(r.sounds.status(16), ChannelStatus::kStopped);
  EXPECT_EQ(r.sounds.volume(15), std::lround(1660 * std::log10(100 * 100 * 95 / 1e6)));
  r.s.gear = 2;
  r.tick();
  EXPECT_EQ(r.sounds.status(15), ChannelStatus::kStopped);  // gate 1
  EXPECT_EQ(r.sounds.status(16), ChannelStatus::kLooping);
  r.sounds.advance(300);
  r.s.gear = 1;
  r.tick();
  EXPECT_EQ(r.sounds.status(15), ChannelStatus::kLooping);
  // A gear change in progress lets the ramp fall.
  r.s.gear_change_in_progress = 1;
  r.tick();
  EXPECT_EQ(r.s.motor_sound_ramp, 90);
}

TEST(DieselEngineSounds, GearAndRetarderRowsOpenByTenATickUpTo95) {
  DieselRun r;
  r.s.speed = 45;  // gear row: half-way, level 75
  r.s.gear = 2;
  r.s.effective_power_notch = 1;
  for (int i = 0; i < 12; ++i) r.tick();
  EXPECT_EQ(r.s.gear_sound_gate[0], 95);
  EXPECT_NEAR(static_cast<double>(r.s.gear_sound_level[0]), 75, 1e-9);
  EXPECT_NEAR(r.sounds.frequency_factor(18), 1.1, 1e-12);
  EXPECT_EQ(r.sounds.status(18), ChannelStatus::kLooping);
  r.s.effective_power_notch = 0;
  for (int i = 0; i < 12; ++i) r.tick();
  EXPECT_EQ(r.s.gear_sound_gate[0], 5);  // falls while above 10
  // The retarder works with the brake above [Lose_elec].
  r.s.effective_brake_notch = -2;
  r.tick();
  EXPECT_EQ(r.s.gear_sound_gate[1], 11);
  r.s.speed = 5;
  r.tick();
  EXPECT_EQ(r.s.gear_sound_gate[1], 1);
}

TEST(IdleSounds, TheDoorsOpenSoundTakesOverForThreeSecondsThenTheIdleReturnsAt55Ticks) {
  DieselRun r;
  idle_sounds(r.run);
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kLooping);
  EXPECT_EQ(r.sounds.status(14), ChannelStatus::kStopped);
  r.s.doors_open = 1;
  idle_sounds(r.run);
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kStopped);
  EXPECT_EQ(r.sounds.status(14), ChannelStatus::kLooping);
  for (int i = 1; i < 55; ++i) idle_sounds(r.run);
  EXPECT_EQ(r.sounds.status(14), ChannelStatus::kLooping);  // tick 54: unchanged
  idle_sounds(r.run);                                       // open for 55 ticks
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kLooping);
  EXPECT_EQ(r.sounds.status(14), ChannelStatus::kStopped);
  for (int i = 0; i < 100; ++i) idle_sounds(r.run);
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kLooping);
  r.s.engine_running = 0;
  idle_sounds(r.run);
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kStopped);
  EXPECT_EQ(r.sounds.status(14), ChannelStatus::kStopped);
}

TEST(BrakeApplySound, LoopsInTheServicePositionUntilTheCylinderIsFull) {
  SoundRun r(1);
  r.run.train.BrakeType = 0;
  r.run.train.Sound_Apply = 13;
  r.run.train.EBPress = 400;
  r.s.effective_brake_notch = -3;
  r.s.trailer_brake_cylinder = Fixed::from_real(200);
  brake_apply_sound(r.run);
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kLooping);
  r.s.trailer_brake_cylinder = Fixed::from_real(400);
  brake_apply_sound(r.run);
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kStopped);
  r.s.trailer_brake_cylinder = Fixed::from_real(100);
  r.s.effective_brake_notch = -2;
  brake_apply_sound(r.run);
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kStopped);
  r.run.train.BrakeType = 1;  // a stepped brake has no such sound
  r.s.effective_brake_notch = -3;
  brake_apply_sound(r.run);
  EXPECT_EQ(r.sounds.status(13), ChannelStatus::kStopped);
}

}  // namespace
}  // namespace cabsim
