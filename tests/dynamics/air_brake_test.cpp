// Brake pressures over hundreds of 33 ms cycles for the three brake systems,
// the main-reservoir leak and the electric brake holding the motor car.
#include "dynamics/air_brake.h"

#include <gtest/gtest.h>

#include "data/sound_curve.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

Fixed kpa(long double value) {
  return Fixed::from_real(value);
}

/// A run whose brake notches stand still at `notch` (no delay pending).
RunState braking_at(const TrainParams& train, int32_t notch) {
  RunState s = initial_run_state(train);
  s.brake_handle = notch;
  s.effective_brake_notch = notch;
  s.straight_air_notch = notch;
  s.electric_brake_notch = notch;
  s.trailer_brake_cylinder = Fixed();
  return s;
}

void cycles(RunState& s, const TrainParams& train, int n) {
  for (int i = 0; i < n; ++i) air_brake_step(s, train);
}

TEST(AirBrake, ElectroPneumaticServiceStepStopsWithinOneIncrementOfTarget) {
  TrainParams train = TrainFileText{}.set("[BrakeType]", "2").read();
  RunState s = braking_at(train, -4);  // target 440 / 8 x 4 = 220 kPa
  long double last = 0;
  for (int i = 0; i < 300; ++i) {
    air_brake_step(s, train);
    long double now = s.trailer_brake_cylinder.real();
    EXPECT_TRUE(now == last || now == last + 10) << i;  // 300 kPa/s over 30 cycles
    last = now;
  }
  EXPECT_EQ(s.trailer_brake_cylinder, kpa(210));
  EXPECT_EQ(s.motor_brake_cylinder, kpa(210));
  // From above the target it releases to it; pipes are not touched.
  s.trailer_brake_cylinder = kpa(300);
  cycles(s, train, 600);
  EXPECT_LE(s.trailer_brake_cylinder.real(), 220);
  EXPECT_GT(s.trailer_brake_cylinder.real(), 210);
  EXPECT_EQ(s.brake_pipe.count(), 0);
  EXPECT_EQ(s.straight_air_pipe.count(), 0);
  EXPECT_EQ(s.equalising_reservoir, 0);
  // Emergency: 1.3 x the service rate up to the emergency pressure.
  s.effective_brake_notch = -8;
  s.trailer_brake_cylinder = Fixed();
  air_brake_step(s, train);
  EXPECT_EQ(s.trailer_brake_cylinder, kpa(13));
  cycles(s, train, 100);
  EXPECT_GE(s.trailer_brake_cylinder.real(), 440);
  EXPECT_LT(s.trailer_brake_cylinder.real(), 453);
}

TEST(AirBrake, StraightAirStrongestServiceTargetsAreExact) {
  // 451 / 7 x 7 and 458 / 7 x 7 are not exact in floating point; the targets are.
  TrainParams train = TrainFileText{}.set("[SAPPress]", "451").set("[EBPress]", "458").read();
  RunState s = braking_at(train, -7);
  s.straight_air_pipe = kpa(451);
  s.trailer_brake_cylinder = kpa(458);
  s.equalising_reservoir = 490;  // released pipe: the cylinder could release
  cycles(s, train, 300);
  EXPECT_EQ(s.straight_air_pipe, kpa(451));
  EXPECT_EQ(s.trailer_brake_cylinder, kpa(458));
}

TEST(AirBrake, ReleaseIsSlowAtLowPressure) {
  EXPECT_EQ(SoundCurve(0), 11);
  EXPECT_NEAR(static_cast<double>(SoundCurve(100)), 2.615, 0.001);
  TrainParams train = TrainFileText{}.set("[BrakeType]", "2").read();
  RunState s = braking_at(train, 0);
  s.trailer_brake_cylinder = kpa(100);
  air_brake_step(s, train);
  EXPECT_EQ(s.trailer_brake_cylinder, kpa(100 - 240.0L / 30 / SoundCurve(100)));
  s.trailer_brake_cylinder = Fixed::from_count(1);  // 0.0001 kPa
  air_brake_step(s, train);
  EXPECT_EQ(s.trailer_brake_cylinder.count(), 0);  // never below empty
  // A full release from emergency pressure, step by step slower.
  s.trailer_brake_cylinder = kpa(440);
  long double previous_drop = 1e9;
  int n = 0;
  for (; s.trailer_brake_cylinder.count() > 0 && n < 5000; ++n) {
    long double before = s.trailer_brake_cylinder.real();
    air_brake_step(s, train);
    long double drop = before - s.trailer_brake_cylinder.real();
    if (s.trailer_brake_cylinder.count() > 0) {
      EXPECT_LE(drop, previous_drop + 2e-4L);
    }
    previous_drop = drop;
  }
  EXPECT_EQ(n, 123);
}

TEST(AirBrake, ElectricBrakeHoldsTheMotorCylinderAtElbr) {
  for (const char* type : {"1", "2"}) {
    TrainParams train = TrainFileText{}.set("[BrakeType]", type).read();
    RunState s = braking_at(train, -7);
    s.brake_pipe = kpa(490);
    s.equalising_reservoir = 490;
    s.electric_brake_current = 300;
    cycles(s, train, 300);
    EXPECT_EQ(s.motor_brake_cylinder, kpa(100)) << type;  // `[ELBR]` 100
    EXPECT_GT(s.trailer_brake_cylinder.real(), 370) << type;
    // A motor cylinder above it is released to just below ELBR + 5.
    s.motor_brake_cylinder = kpa(300);
    cycles(s, train, 1000);
    EXPECT_LT(s.motor_brake_cylinder.real(), 105) << type;
    EXPECT_GT(s.motor_brake_cylinder.real(), 100) << type;
    // The electric brake fades: the air brake takes the motor car over.
    s.electric_brake_current = 0;
    cycles(s, train, 300);
    EXPECT_GT(s.motor_brake_cylinder.real(), 370) << type;
  }
}

TEST(AirBrake, StraightAirReleaseNeedsAChargedBrakePipe) {
  TrainParams train = TrainFileText{}.read();
  RunState s = initial_run_state(train);  // emergency: BCt 440, pipe empty
  s.effective_brake_notch = 0;
  s.straight_air_notch = 0;
  s.motor_brake_cylinder = kpa(440);
  // Recharge 240 / 150 = 1.6 kPa per cycle; release begins at 440 - 55 = 385 kPa.
  for (int i = 1; i <= 240; ++i) {
    air_brake_step(s, train);
    EXPECT_EQ(s.trailer_brake_cylinder, kpa(440)) << i;
  }
  EXPECT_EQ(s.brake_pipe, kpa(384));
  air_brake_step(s, train);  // 384 < 385: still held, pipe now 385.6
  EXPECT_EQ(s.trailer_brake_cylinder, kpa(440));
  air_brake_step(s, train);
  EXPECT_LT(s.trailer_brake_cylinder.real(), 440);
  EXPECT_LT(s.motor_brake_cylinder.real(), 440);
  cycles(s, train, 3000);
  EXPECT_EQ(s.trailer_brake_cylinder.count(), 0);
  EXPECT_EQ(s.motor_brake_cylinder.count(), 0);
  EXPECT_EQ(s.brake_pipe, kpa(490));
  EXPECT_EQ(s.equalising_reservoir, 490);
  // Emergency again: 3 x the service rate, pipes vented.
  s.effective_brake_notch = -8;
  air_brake_step(s, train);
  EXPECT_EQ(s.trailer_brake_cylinder, kpa(30));
  EXPECT_EQ(s.brake_pipe, kpa(460));
  cycles(s, train, 200);
  EXPECT_EQ(s.brake_pipe.count(), 0);
  EXPECT_EQ(s.equalising_reservoir, 0);
}

TEST(AirBrake, AutomaticBrakePositions) {
  TrainParams train = TrainFileText{}.set("[BrakeType]", "0").read();
  ASSERT_EQ(train.Brake, 4);
  RunState s = initial_run_state(train);
  s.effective_brake_notch = 0;  // running: recharge and release
  cycles(s, train, 900);
  EXPECT_EQ(s.brake_pipe, kpa(490));
  EXPECT_EQ(s.equalising_reservoir, 490);
  EXPECT_EQ(s.trailer_brake_cylinder.count(), 0);
  EXPECT_EQ(s.motor_brake_cylinder, s.trailer_brake_cylinder);
  // Service: the pipe is reduced first, the cylinder follows 4.6 x the reduction.
  s.effective_brake_notch = -3;
  s.straight_air_pipe = kpa(100);
  air_brake_step(s, train);
  EXPECT_EQ(s.trailer_brake_cylinder.count(), 0);
  EXPECT_EQ(s.brake_pipe, kpa(490 - 300.0L / 138));
  air_brake_step(s, train);
  EXPECT_EQ(s.trailer_brake_cylinder, kpa(10));
  EXPECT_EQ(s.straight_air_pipe, kpa(89));
  cycles(s, train, 100);
  EXPECT_LE(s.trailer_brake_cylinder.real(), 4.6L * (490 - s.brake_pipe.real()) + 10);
  // Lap holds every pressure.
  s.effective_brake_notch = -2;
  RunState before = s;
  cycles(s, train, 300);
  EXPECT_EQ(s.trailer_brake_cylinder, before.trailer_brake_cylinder);
  EXPECT_EQ(s.brake_pipe, before.brake_pipe);
  EXPECT_EQ(s.equalising_reservoir, before.equalising_reservoir);
  // Emergency fills the cylinder fast and empties the pipe.
  s.effective_brake_notch = -4;
  cycles(s, train, 60);
  EXPECT_GE(s.trailer_brake_cylinder.real(), 440);
  EXPECT_EQ(s.brake_pipe.count(), 0);
  EXPECT_EQ(s.motor_brake_cylinder, s.trailer_brake_cylinder);
  // Protection acts whatever the notch.
  s.effective_brake_notch = 0;
  s.protection_emergency_flag = 1;
  s.brake_pipe = kpa(490);
  s.equalising_reservoir = 490;
  air_brake_step(s, train);
  EXPECT_EQ(s.brake_pipe, kpa(490 - 300.0L / 18));
  EXPECT_NEAR(static_cast<double>(s.equalising_reservoir), 490 - 300.0 / 18, 1e-9);
}

TEST(AirBrake, MainReservoirLeaksSixtySevenCountsACycle) {
  TrainParams train = TrainFileText{}.set("[BrakeType]", "2").read();
  RunState s = braking_at(train, -2);
  s.trailer_brake_cylinder = kpa(110);
  s.motor_brake_cylinder = kpa(110);
  int64_t start = s.main_reservoir.count();
  for (int i = 1; i <= 300; ++i) {
    main_reservoir_leak_step(s);
    EXPECT_EQ(s.main_reservoir.count(), start - 67 * i);
  }
}

}  // namespace
}  // namespace cabsim
