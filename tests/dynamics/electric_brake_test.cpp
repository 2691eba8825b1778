// Electric brake current over many ticks: the rate-driven model ramping to
// its step targets and fading at low speed, and the table-driven model.
#include "dynamics/electric_brake.h"

#include <gtest/gtest.h>

#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

TEST(ElectricBrake, RateDrivenCurrentRampsToTheStepTarget) {
  // 700 A at B7 of 8 steps; up 400 A/s, down 300 A/s; fades below 8 km/h.
  TrainParams train = TrainFileText{}.read();
  RunState s = initial_run_state(train);
  s.electric_brake_notch = -7;
  s.speed = 50;
  for (int tick = 1; tick <= 17; ++tick) {
    electric_brake_step(s, train);
    EXPECT_EQ(s.electric_brake_current, 40 * tick) << tick;
  }
  for (int tick = 0; tick < 300; ++tick) electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 680);  // stops within 50 A of the target
  EXPECT_EQ(s.motor_current, -680);
  // A weaker step: down 30 A a tick to below its target of 300 A.
  s.electric_brake_notch = -3;
  for (int tick = 0; tick < 300; ++tick) electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 290);
  // Below the fading speed it falls at 300 A/s to nothing.
  s.speed = 7.9L;
  for (int tick = 1; tick <= 9; ++tick) {
    electric_brake_step(s, train);
    EXPECT_EQ(s.electric_brake_current, 290 - 30 * tick) << tick;
  }
  electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 0);
  s.motor_current = 0;
  electric_brake_step(s, train);
  EXPECT_EQ(s.motor_current, 0);  // no current, nothing shown
}

TEST(ElectricBrake, RateDrivenCurrentDiesAtReleaseAndEmergency) {
  TrainParams train = TrainFileText{}.read();
  RunState s = initial_run_state(train);
  s.speed = 50;
  s.electric_brake_current = 290;
  s.electric_brake_notch = 0;  // falls twice: above the zero target, and released
  electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 230);
  s.electric_brake_notch = -8;
  electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 200);
  // Without a car layout the current only dies away.
  TrainParams no_layout = TrainFileText{}.set("[BrakeType2]", "0").read();
  s.electric_brake_notch = -7;
  electric_brake_step(s, no_layout);
  EXPECT_EQ(s.electric_brake_current, 200);
}

/// Table model: step -2 wants 400 A, step -3 600 A; the rows give 8 A and
/// 16 A per km/h.
TrainParams table_train() {
  return TrainFileText{}
      .set("[Brake_Type]", "0")
      .set("[BrakeCurr]", "0\n0\n400\n600\n#")
      .set("[CurrentB]", "0.125,0,0\n0.0625,0,0\n#")
      .read();
}

TEST(ElectricBrake, TableDrivenCurrentStepsThroughItsRows) {
  TrainParams train = table_train();
  RunState s = initial_run_state(train);
  s.speed = 50;
  s.electric_brake_notch = -2;
  s.step_index = 3;
  electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 400);
  EXPECT_EQ(s.brake_current_row, 0);
  EXPECT_EQ(s.motor_current, -400);
  EXPECT_EQ(s.step_index, 3);
  // A stronger step takes the next row; its current follows on the next tick.
  s.electric_brake_notch = -3;
  electric_brake_step(s, train);
  EXPECT_EQ(s.brake_current_row, 1);
  EXPECT_EQ(s.step_index, 0);  // the working brake resets the power step
  electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 800);
  // Slowing down, the current falls and dies below 100 A.
  for (int tick = 0; tick < 100 && s.speed > 0; ++tick) {
    s.speed -= 0.5L;
    electric_brake_step(s, train);
    long double expected = s.speed * 16;
    EXPECT_EQ(s.electric_brake_current, expected < 100 ? 0 : expected) << s.speed;
  }
  // Release: row and current back to 0.
  s.electric_brake_notch = 0;
  electric_brake_step(s, train);
  EXPECT_EQ(s.brake_current_row, 0);
  EXPECT_EQ(s.electric_brake_current, 0);
}

TEST(ElectricBrake, TableDrivenStepWithoutCurrentAndLowSpeedGiveNothing) {
  TrainParams train = table_train();
  RunState s = initial_run_state(train);
  s.speed = 60;
  s.electric_brake_notch = -1;  // entry 0
  electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 0);
  s.electric_brake_notch = -2;
  s.speed = 7;  // below `[Lose_elec]` on row 0
  electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 0);
  s.speed = 60;
  s.doors_open = 1;  // current kept as it was, then below 100 A is nothing
  s.electric_brake_current = 350;
  electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 350);
  // A step beyond the brake current table has no current.
  s.doors_open = 0;
  s.electric_brake_notch = -9;
  electric_brake_step(s, train);
  EXPECT_EQ(s.electric_brake_current, 0);
}

}  // namespace
}  // namespace cabsim
