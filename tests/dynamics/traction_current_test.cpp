// Current-limit step progression, the step-end lamp, the motor current for the
// ammeter and the voltmeter.
#include "dynamics/traction_current.h"

#include <gtest/gtest.h>

#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

/// Limit 400 A; steps: notch 1 has rows 0-1, notch 2 rows 2-3, notch 3 row 4.
TrainParams current_limit_train() {
  return TrainFileText{}
      .set("[Power_Type]", "0")
      .set("[CurrentP]",
           "400\n3.0\n30\n"
           "1,3000,0,0\n1,6000,0,0\n2,9000,0,0\n2,12000,0,0\n3,15000,0,0\n#")
      .read();
}

TEST(TractionCurrent, StepsProgressWhileTheCurrentIsBelowTheLimit) {
  TrainParams train = current_limit_train();
  RunState s = initial_run_state(train);
  RunView view;
  s.effective_power_notch = 1;
  s.speed = 10;
  // Row 0: 3000 / 10 = 300 A < 400: row 1 is taken in the same tick (600 A).
  motor_current_step(s, view, train);
  EXPECT_EQ(s.step_index, 1);
  EXPECT_EQ(s.step_current, 600);
  EXPECT_EQ(s.motor_current, 600);
  EXPECT_TRUE(view.step_end_lamp);  // no further step at notch 1
  // Notch 2 at 30 km/h: row 2 gives 300 A, row 3 400 A, where the limit stops it.
  s.effective_power_notch = 2;
  s.speed = 30;
  motor_current_step(s, view, train);
  EXPECT_EQ(s.step_index, 3);
  EXPECT_EQ(s.step_current, 400);
  EXPECT_TRUE(view.step_end_lamp);
  // Faster the current falls below the limit again and the last step is taken.
  s.effective_power_notch = 3;
  for (int tick = 0; tick < 200; ++tick) {
    s.speed = 30 + tick * 0.5L;
    motor_current_step(s, view, train);
  }
  EXPECT_EQ(s.step_index, 4);
  EXPECT_EQ(s.step_current, 116);   // 15000 / 129.5 km/h
  EXPECT_TRUE(view.step_end_lamp);  // the last row: no further step
  s.step_index = 5;
  EXPECT_FALSE(step_end_lamp_on(s, train));
  // Notch 0 resets the progression.
  s.effective_power_notch = 0;
  motor_current_step(s, view, train);
  EXPECT_EQ(s.step_index, 0);
  EXPECT_EQ(s.step_current, 0);
  EXPECT_EQ(s.motor_current, 0);
}

TEST(TractionCurrent, StandstillKeepsTheStepCurrentAtTheRowSpeed) {
  TrainParams train = current_limit_train();
  RunState s = initial_run_state(train);
  RunView view;
  s.effective_power_notch = 1;
  s.step_current = 123;
  s.speed = 0;  // |v| equals c2 of every row: the current is not recomputed
  motor_current_step(s, view, train);
  EXPECT_EQ(s.step_current, 123);
  EXPECT_EQ(s.step_index, 1);
  EXPECT_EQ(s.motor_current, 123);
  // With the doors open nothing moves.
  s.doors_open = 1;
  s.speed = 10;
  motor_current_step(s, view, train);
  EXPECT_EQ(s.step_current, 123);
  EXPECT_EQ(s.step_index, 1);
}

TEST(TractionCurrent, NotchCurveAmmeterShowsFiftyAmpsPerAcceleration) {
  TrainParams train = TrainFileText{}.read();
  RunState s = initial_run_state(train);
  RunView view;
  s.effective_brake_notch = 0;
  s.effective_power_notch = 1;
  s.published_tractive_force = Fixed::from_real(2.0L / 3.6L * 260 * 1000);
  motor_current_step(s, view, train);
  EXPECT_EQ(s.motor_current, 100);
  s.effective_power_notch = 0;
  motor_current_step(s, view, train);
  EXPECT_EQ(s.motor_current, 0);
  // While braking the reading follows the published force as well.
  s.effective_brake_notch = -2;
  s.published_tractive_force = Fixed::from_real(-0.5L / 3.6L * 260 * 1000);
  motor_current_step(s, view, train);
  EXPECT_EQ(s.motor_current, -25);
}

TEST(TractionCurrent, VoltmeterClimbsInSteps) {
  RunState s;
  for (int tick = 1; tick <= 6; ++tick) {
    voltmeter_step(s);
    EXPECT_EQ(s.voltmeter_value.real(), 250 * tick);
  }
  for (int tick = 0; tick < 100; ++tick) voltmeter_step(s);
  EXPECT_EQ(s.voltmeter_value.real(), 1500);
  // A line voltage off the 250 V grid settles on the step above it.
  s.line_voltage = Fixed::from_real(1400);
  for (int tick = 0; tick < 100; ++tick) voltmeter_step(s);
  EXPECT_EQ(s.voltmeter_value.real(), 1500);
  s.line_voltage = Fixed::from_real(600);
  for (int tick = 0; tick < 100; ++tick) voltmeter_step(s);
  EXPECT_EQ(s.voltmeter_value.real(), 750);
  s.line_voltage = Fixed();
  for (int tick = 0; tick < 100; ++tick) voltmeter_step(s);
  EXPECT_EQ(s.voltmeter_value.real(), 0);
}

}  // namespace
}  // namespace cabsim
