// Tractive force of the three traction models, the traction gate, the
// reverser, the ATS-off warning and the power-notch delay.
#include "dynamics/traction.h"

#include <gtest/gtest.h>

#include "dynamics/constant_speed.h"
#include "input/handle_keys.h"
#include "sound/sound_channels_silent.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

/// A released, powered train standing on the line.
RunState powered(const TrainParams& train, int32_t notch, long double speed) {
  RunState s = initial_run_state(train);
  s.brake_handle = 0;
  s.effective_brake_notch = 0;
  s.power_handle = notch;
  s.effective_power_notch = notch;
  s.speed = speed;
  return s;
}

TEST(Traction, NotchCurveAccelerationAlongTheCurve) {
  NotchRow row{3.0L, 2.5L, 40, 80, 0.98L, 0};
  EXPECT_DOUBLE_EQ(static_cast<double>(notch_curve_acceleration(row, 0)), 3.0);
  EXPECT_DOUBLE_EQ(static_cast<double>(notch_curve_acceleration(row, 20)), 2.75);
  EXPECT_DOUBLE_EQ(static_cast<double>(notch_curve_acceleration(row, 40)), 2.5);
  EXPECT_NEAR(static_cast<double>(notch_curve_acceleration(row, 60)), 1.66667, 1e-5);
  EXPECT_DOUBLE_EQ(static_cast<double>(notch_curve_acceleration(row, 80)), 1.25);
  EXPECT_NEAR(static_cast<double>(notch_curve_acceleration(row, 90)), 0.9079, 5e-5);
  // The decay uses whole powers: 90.4 km/h counts as 90, 90.6 as 91.
  long double at90 = notch_curve_acceleration(row, 90);
  EXPECT_NEAR(static_cast<double>(notch_curve_acceleration(row, 90.4L) * 90.4L),
              static_cast<double>(at90 * 90), 1e-12);
  EXPECT_NEAR(static_cast<double>(notch_curve_acceleration(row, 90.6L) * 90.6L),
              static_cast<double>(at90 * 90 * 0.98L), 1e-12);

  // A retarding notch works only from V1 up to (not including) V2.
  NotchRow retarding{-1.0L, 0, 20, 60, 1.0L, 0};
  EXPECT_EQ(notch_curve_acceleration(retarding, 19.9L), 0);
  EXPECT_EQ(notch_curve_acceleration(retarding, 20), -1.0L);
  EXPECT_EQ(notch_curve_acceleration(retarding, 59.9L), -1.0L);
  EXPECT_EQ(notch_curve_acceleration(retarding, 60), 0);
}

TEST(Traction, NotchCurveForceOfTheWholeTrain) {
  TrainParams train = TrainFileText{}.read();
  SilentSoundChannels sounds;
  RunState s = powered(train, 2, 20);
  traction_step(s, train, sounds);
  // 2.75 km/h/s on 260 t.
  EXPECT_EQ(s.tractive_force, Fixed::from_real(2.75L / 3.6L * 260 * 1000));
  // No force while the brake handle is applied, in this model only.
  s.tractive_force = Fixed();
  s.brake_handle = -1;
  traction_step(s, train, sounds);
  EXPECT_EQ(s.tractive_force.count(), 0);
  // A notch beyond the table has no curve and gives no force.
  s.brake_handle = 0;
  s.effective_power_notch = 9;
  traction_step(s, train, sounds);
  EXPECT_EQ(s.tractive_force.count(), 0);
  // Neither electric nor diesel: no traction model applies.
  TrainParams other = TrainFileText{}.set("[Engine_Type]", "2").read();
  RunState o = powered(other, 2, 20);
  traction_step(o, other, sounds);
  EXPECT_EQ(o.tractive_force.count(), 0);
}

TEST(Traction, GateAndReverser) {
  TrainParams train = TrainFileText{}.read();
  SilentSoundChannels sounds;
  const Fixed forward = Fixed::from_real(3.0L / 3.6L * 260 * 1000);
  struct Case {
    const char* what;
    void (*change)(RunState&);
    long double expected_sign;
  } cases[] = {
      {"forward", [](RunState&) {}, 1},
      {"backward", [](RunState& s) { s.reverser = -1; }, -1},
      {"neutral", [](RunState& s) { s.reverser = 0; }, 0},
      {"doors open", [](RunState& s) { s.doors_open = 1; }, 0},
      {"no line voltage", [](RunState& s) { s.line_voltage = Fixed(); }, 0},
      {"engine stopped", [](RunState& s) { s.engine_running = 0; }, 0},
      {"protection", [](RunState& s) { s.protection_emergency_flag = 1; }, 0},
      {"pattern brake", [](RunState& s) { s.pattern_brake_flag = 1; }, 0},
      {"at maximum speed", [](RunState& s) { s.speed = 120; }, 0},
  };
  for (const Case& c : cases) {
    RunState s = powered(train, 1, 0);
    c.change(s);
    traction_step(s, train, sounds);
    EXPECT_EQ(s.tractive_force.real(), forward.real() * c.expected_sign) << c.what;
  }
  // Running backwards never meets the maximum speed.
  RunState back = powered(train, 1, -130);
  back.reverser = -1;
  traction_step(back, train, sounds);
  EXPECT_LT(back.tractive_force.count(), 0);
}

TEST(Traction, AtsOffWarningLoopsAboveNotchOne) {
  TrainParams train = TrainFileText{}.read();
  SilentSoundChannels sounds;
  sounds.set_length(test::kSoundATSWarn, 500);
  RunState s = powered(train, 2, 10);
  s.ats_on = 0;
  for (int i = 0; i < 300; ++i) {
    s.tractive_force = Fixed();
    traction_step(s, train, sounds);
    sounds.advance(33);
  }
  EXPECT_EQ(sounds.status(test::kSoundATSWarn), ChannelStatus::kLooping);
  s.power_handle = 1;
  traction_step(s, train, sounds);
  EXPECT_EQ(sounds.status(test::kSoundATSWarn), ChannelStatus::kStopped);
  // A warning sound number outside the channels plays nothing.
  TrainParams bad = TrainFileText{}.set("[ATS_Warn]", "-3").read();
  s.power_handle = 4;
  traction_step(s, bad, sounds);
  EXPECT_EQ(sounds.status(test::kSoundATSWarn), ChannelStatus::kStopped);
  // Beginner mode never warns.
  s.power_handle = 4;
  s.beginner_mode = 1;
  traction_step(s, train, sounds);
  EXPECT_EQ(sounds.status(test::kSoundATSWarn), ChannelStatus::kStopped);
}

TEST(Traction, PowerDelayTakesEffectOnTheFifthCycle) {
  TrainParams train = TrainFileText{}.read();
  CabworksText texts = test::test_texts();
  SilentSoundChannels sounds;
  RunState s = powered(train, 0, 0);
  RunView view;
  apply_handle_key(s, view, 'z', train, texts, sounds);
  int cycle = 0;
  for (; cycle < 4; ++cycle) {
    if (cycle == 2) apply_handle_key(s, view, 'z', train, texts, sounds);  // restarts nothing
    power_notch_delay_step(s, train);
    EXPECT_EQ(s.effective_power_notch, 0) << cycle;
  }
  power_notch_delay_step(s, train);
  EXPECT_EQ(s.effective_power_notch, 2);  // the handle at that moment
  EXPECT_EQ(s.power_change_pending, 0);
  for (int i = 0; i < 300; ++i) power_notch_delay_step(s, train);
  EXPECT_EQ(s.effective_power_notch, 2);

  // Without line voltage the delay stands still.
  apply_handle_key(s, view, 'z', train, texts, sounds);
  s.line_voltage = Fixed();
  for (int i = 0; i < 10; ++i) power_notch_delay_step(s, train);
  EXPECT_EQ(s.effective_power_notch, 2);
  EXPECT_EQ(s.power_delay_counter, 0);
}

TEST(Traction, NotchingBackBelowNotchBackIsIgnoredUntilZero) {
  TrainParams train = TrainFileText{}.set("[NotchBack]", "3").read();
  RunState s = powered(train, 4, 30);
  auto settle = [&](int32_t handle) {
    s.power_handle = handle;
    s.power_change_pending = 1;
    for (int i = 0; i < 5; ++i) power_notch_delay_step(s, train);
  };
  settle(2);
  EXPECT_EQ(s.effective_power_notch, 4);
  settle(3);
  EXPECT_EQ(s.effective_power_notch, 3);
  settle(1);
  EXPECT_EQ(s.effective_power_notch, 3);
  settle(0);
  EXPECT_EQ(s.effective_power_notch, 0);
  // A time-driven film takes the change without moving the notch.
  s.film_mode = kFilmTimeDriven;
  settle(4);
  EXPECT_EQ(s.effective_power_notch, 0);
  EXPECT_EQ(s.power_change_pending, 0);
}

TEST(Traction, CurrentLimitForceFollowsStepCurrent) {
  TrainParams train = TrainFileText{}
                          .set("[Power_Type]", "0")
                          .set("[CurrentP]", "400\n3.0\n30\n1,2000,0,0\n2,2000,-10,0\n#")
                          .read();
  SilentSoundChannels sounds;
  RunState s = powered(train, 1, 20);
  s.step_current = 200;
  traction_step(s, train, sounds);
  EXPECT_EQ(s.tractive_force, Fixed::from_real(3.0L / 3.6L * 260 * 1000 * 200 / 400));
  // Above the constant-force speed the force falls with 1/v.
  s.tractive_force = Fixed();
  s.speed = 60;
  traction_step(s, train, sounds);
  EXPECT_EQ(s.tractive_force, Fixed::from_real(3.0L * 30 / 60 / 3.6L * 260 * 1000 * 200 / 400));
}

TEST(Traction, DieselBelowPowerJerkGivesAtMostNotchTwo) {
  TrainFileText file;
  file.set("[Engine_Type]", "0").remove("[Notch]").set("[PowerJerk]", "10");
  file.set("[Engine]", "0\n0\n0\n0\n0\n0\n0\n20\n40\n2.0\n1.5\n1.0\n#");
  TrainParams train = file.read();
  SilentSoundChannels sounds;
  RunState s = powered(train, 4, 5);
  traction_step(s, train, sounds);
  // Gear 1 at 5 km/h: a = 2.0 + 5 x (1.5 - 2.0) / 20 = 1.875, a quarter per notch.
  const long double per_notch = 1.875L / 3.6L * 260 * 1000 / 4;
  EXPECT_EQ(s.tractive_force, Fixed::from_real(per_notch * 2));
  s.tractive_force = Fixed();
  s.speed = 10;
  traction_step(s, train, sounds);
  EXPECT_EQ(s.tractive_force,
            Fixed::from_real((2.0L - 10 * 0.5L / 20) / 3.6L * 260 * 1000 / 4 * 4));
  // Between e1 and e2, and no force from e2 on or during a gear change.
  s.tractive_force = Fixed();
  s.speed = 30;
  traction_step(s, train, sounds);
  EXPECT_EQ(s.tractive_force, Fixed::from_real((1.5L - 10 * 0.5L / 20) / 3.6L * 260 * 1000));
  for (auto change : {+0, 1}) {
    s.tractive_force = Fixed();
    s.speed = change ? 30 : 40;
    s.gear_change_in_progress = static_cast<uint8_t>(change);
    traction_step(s, train, sounds);
    EXPECT_EQ(s.tractive_force.count(), 0);
  }
}

TEST(Traction, ConstantSpeedBalancesResistanceAndHoldTakesGravityOff) {
  RunState s;
  s.constant_speed_active = 1;
  s.tractive_force = Fixed::from_real(5000);
  s.resistance_force = Fixed::from_real(-1234.5L);
  apply_hold_and_constant_speed(s);
  EXPECT_EQ(s.tractive_force.real(), 1234.5L);
  s.resistance_force = Fixed::from_real(200);
  apply_hold_and_constant_speed(s);
  EXPECT_EQ(s.tractive_force.count(), 0);

  RunState h;
  h.hold_active = 1;
  h.tractive_force = Fixed::from_real(100);
  h.resistance_force = Fixed::from_real(800);
  h.train_gradient = Fixed::from_real(-10);
  apply_hold_and_constant_speed(h);
  EXPECT_EQ(h.tractive_force.real(), -700);
  h.train_gradient = Fixed::from_real(5);  // uphill: nothing to hold back
  apply_hold_and_constant_speed(h);
  EXPECT_EQ(h.tractive_force.real(), -700);
}

}  // namespace
}  // namespace cabsim
