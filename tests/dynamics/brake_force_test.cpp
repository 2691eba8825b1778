// Friction factor against speed, the air and electric brake force, and the
// rolling-back protection.
#include "dynamics/brake_force.h"

#include <gtest/gtest.h>

#include "dynamics/rolling_back.h"
#include "input/masconupdate.h"
#include "sound/sound_channels_silent.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

TEST(BrakeForce, FrictionFactorAlongTheShoeCurve) {
  TrainParams train = TrainFileText{}.read();  // R1 4.0, R3 10, B2 0.02
  EXPECT_EQ(friction_factor_at(train, 0), 4.0L);
  long double at5 = ((0.05L + 1) / (0.1L + 1)) / ((0.1L + 1) / (0.2L + 1));
  EXPECT_NEAR(static_cast<double>(friction_factor_at(train, 5)), static_cast<double>(at5), 1e-15);
  EXPECT_NEAR(static_cast<double>(friction_factor_at(train, -5)), static_cast<double>(at5), 1e-15);
  // At exactly R3 the factor is 1, which is also where the curve arrives.
  EXPECT_EQ(friction_factor_at(train, 10), 1);
  EXPECT_NEAR(static_cast<double>(friction_factor_at(train, 9.999999L)), 1.0, 1e-6);
  EXPECT_EQ(friction_factor_at(train, 80), 1);
  RunState s = initial_run_state(train);
  s.speed = 5;
  brake_force_step(s, train);
  EXPECT_EQ(s.friction_factor, Fixed::from_real(at5));  // stored to four places
}

TEST(BrakeForce, AirAndElectricForceByCarLayout) {
  // Mt 120, Tt 80, Tct 60; R1 4.0, R2 3.5, `[EBrakeCurr]` 700, `[EBPress]` 440.
  TrainParams layout1 = TrainFileText{}.read();
  RunState s = initial_run_state(layout1);
  s.speed = 50;  // K = 1
  s.motor_brake_cylinder = Fixed::from_real(100);
  s.trailer_brake_cylinder = Fixed::from_real(220);
  brake_force_step(s, layout1);
  long double air1 = 4.0L / 3.6L * 1000 / 440 * (100 * 120 + 220 * 80 + 220 * 60);
  EXPECT_NEAR(static_cast<double>(s.brake_force.real()), static_cast<double>(air1), 1e-4);
  s.electric_brake_current = 350;
  brake_force_step(s, layout1);
  long double electric1 = 350 * 3.5L / 700 / 3.6L * 1000 * 120;
  EXPECT_NEAR(static_cast<double>(s.brake_force.real()), static_cast<double>(air1 + electric1),
              1e-4);

  TrainParams layout2 = TrainFileText{}.set("[BrakeType2]", "2").read();
  brake_force_step(s, layout2);
  long double air2 = 4.0L / 3.6L * 1000 / 440 * (100 * 120 + 100 * 80 + 220 * 60);
  long double electric2 = 350 * 3.5L / 700 / 3.6L * 1000 * 200;
  EXPECT_NEAR(static_cast<double>(s.brake_force.real()), static_cast<double>(air2 + electric2),
              1e-4);

  // Full emergency pressure everywhere gives R1 as a deceleration of the train.
  s.electric_brake_current = 0;
  s.motor_brake_cylinder = s.trailer_brake_cylinder = Fixed::from_real(440);
  brake_force_step(s, layout1);
  EXPECT_NEAR(static_cast<double>(s.brake_force.real()), 4.0 / 3.6 * 1000 * 260, 1e-4);

  TrainParams none = TrainFileText{}.set("[BrakeType2]", "3").read();
  brake_force_step(s, none);
  EXPECT_EQ(s.brake_force.count(), 0);
}

TEST(BrakeForce, RollingBackWithReverserForwardAppliesTheEmergencyBrake) {
  TrainParams train = TrainFileText{}.read();
  CabworksText texts = test::test_texts();
  SilentSoundChannels sounds;
  sounds.set_length(test::kSoundEB, 2000);
  RunState s = initial_run_state(train);
  RunView view;
  s.brake_handle = 0;
  s.speed = -5;
  EXPECT_FALSE(rolling_back_protection_step(s, train, sounds));
  EXPECT_EQ(s.protection_emergency_flag, 0);
  s.reverser = -1;
  s.speed = -20;
  EXPECT_FALSE(rolling_back_protection_step(s, train, sounds));
  EXPECT_EQ(s.protection_emergency_flag, 0);
  s.reverser = 1;
  s.speed = -5.1L;
  ASSERT_TRUE(rolling_back_protection_step(s, train, sounds));  // the handles are refreshed
  masconupdate(s, view, train, texts);
  EXPECT_EQ(s.protection_emergency_flag, 1);
  EXPECT_EQ(sounds.status(test::kSoundEB), ChannelStatus::kPlayingOnce);
  EXPECT_EQ(s.brake_change_pending, 1);
  EXPECT_EQ(s.straight_air_change_pending, 1);
  EXPECT_EQ(s.electric_brake_change_pending, 1);
  EXPECT_EQ(view.brake_notch_pattern, 8);  // the emergency picture
  TrainParams off = TrainFileText{}.set("[Back]", "0").read();
  RunState o = initial_run_state(off);
  o.speed = -30;
  EXPECT_FALSE(rolling_back_protection_step(o, off, sounds));
  EXPECT_EQ(o.protection_emergency_flag, 0);
}

}  // namespace
}  // namespace cabsim
