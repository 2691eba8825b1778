// The delays between the brake handle and the cylinder, straight-air and
// electric-brake notches, and what protection makes them take over.
#include "dynamics/brake_notch_delay.h"

#include <gtest/gtest.h>

#include "input/handle_model.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

/// Cycle on which the cylinder notch takes over a move of the handle to
/// `handle` from a released brake, with the cylinder at `cylinder` kPa.
int take_over_cycle(const TrainParams& train, long double cylinder, int32_t handle) {
  RunState s = initial_run_state(train);
  s.effective_brake_notch = 0;
  s.straight_air_notch = 0;
  s.trailer_brake_cylinder = Fixed::from_real(cylinder);
  s.brake_handle = handle;
  set_brake_pending(s);
  for (int cycle = 1; cycle <= 300; ++cycle) {
    brake_notch_delay_step(s, train);
    if (s.effective_brake_notch == handle) return cycle;
  }
  return 0;
}

TEST(BrakeNotchDelay, TenCyclesWithAnEmptyCylinderSevenWhenApplied) {
  TrainParams train = TrainFileText{}.read();  // `[BrakeDelay]` 10
  EXPECT_EQ(take_over_cycle(train, 0, -3), 10);
  EXPECT_EQ(take_over_cycle(train, 50, -3), 7);
  TrainParams odd = TrainFileText{}.set("[BrakeDelay]", "9").read();
  EXPECT_EQ(take_over_cycle(odd, 50, -3), 7);  // 0.7 x 9 = 6.3
  EXPECT_EQ(take_over_cycle(odd, 0, -3), 9);
}

TEST(BrakeNotchDelay, StraightAirAndElectricNotchesHaveTheirOwnDelays) {
  TrainParams train = TrainFileText{}.read();  // `[SAPDelay]` 4, `[EBrakeDelay]` 3
  RunState s = initial_run_state(train);
  s.brake_handle = -5;
  set_brake_pending(s);
  int sap_cycle = 0, electric_cycle = 0;
  for (int cycle = 1; cycle <= 300; ++cycle) {
    brake_notch_delay_step(s, train);
    if (!sap_cycle && s.straight_air_notch == -5) sap_cycle = cycle;
    if (!electric_cycle && s.electric_brake_notch == -5) electric_cycle = cycle;
  }
  EXPECT_EQ(sap_cycle, 4);
  EXPECT_EQ(electric_cycle, 3);
  EXPECT_EQ(s.effective_brake_notch, -5);
  EXPECT_EQ(s.brake_change_pending, 0);
  EXPECT_EQ(s.straight_air_change_pending, 0);
  EXPECT_EQ(s.electric_brake_change_pending, 0);
  EXPECT_EQ(s.brake_delay_counter, 0);
}

TEST(BrakeNotchDelay, ProtectionForcesTheNotchItTakesOver) {
  TrainParams train = TrainFileText{}.read();
  RunState s = initial_run_state(train);
  s.brake_handle = 0;
  s.pattern_brake_flag = 1;
  EXPECT_EQ(brake_notch_demand(s, train), -7);
  s.brake_handle = -8;
  EXPECT_EQ(brake_notch_demand(s, train), -8);
  s.brake_handle = 0;
  s.protection_emergency_flag = 1;
  EXPECT_EQ(brake_notch_demand(s, train), -8);
  s.protection_emergency_flag = 0;
  s.trailer_brake_cylinder = Fixed();
  s.effective_brake_notch = 0;
  set_brake_pending(s);
  for (int i = 0; i < 300; ++i) brake_notch_delay_step(s, train);
  EXPECT_EQ(s.effective_brake_notch, -7);
  EXPECT_EQ(s.straight_air_notch, -7);
  EXPECT_EQ(s.electric_brake_notch, -7);
}

// A counter that has gone past the delay with the cylinder empty (a zero
// delay, or a counter left from earlier) takes the change over at once
// instead of leaving the brake applied for good.
TEST(BrakeNotchDelay, ReleaseIsTakenOverOnceTheCounterHasPassedTheDelay) {
  TrainParams zero = TrainFileText{}.set("[BrakeDelay]", "0").read();
  EXPECT_EQ(take_over_cycle(zero, 0, -3), 1);
  EXPECT_EQ(take_over_cycle(zero, 20, -3), 1);

  TrainParams train = TrainFileText{}.read();
  RunState s = initial_run_state(train);
  s.effective_brake_notch = -3;
  s.brake_handle = 0;
  s.brake_change_pending = 1;
  s.brake_delay_counter = 12;  // past `[BrakeDelay]` 10
  s.trailer_brake_cylinder = Fixed();
  brake_notch_delay_step(s, train);
  EXPECT_EQ(s.effective_brake_notch, 0);
  EXPECT_EQ(s.brake_change_pending, 0);
  EXPECT_EQ(s.brake_delay_counter, 0);
}

}  // namespace
}  // namespace cabsim
