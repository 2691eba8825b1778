// The 33 ms cycle as the scheduler runs it: its interval, the forces it
// leaves for the tick, the traction gate, and the frame and clock it steps.
#include <gtest/gtest.h>

#include "run/keyboard.h"
#include "run/motion_cycle.h"
#include "run/start_pause.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

TEST(MotionCycle, IntervalForcesAndTheFrameOfEveryCycle) {
  test::TestRun t;
  start1Click(*t.run);
  t.run_to(33);
  EXPECT_EQ(t.s().cycle_interval, 33u);  // from the clock's start
  t.run_to(66);
  EXPECT_EQ(t.s().cycle_interval, 33u);
  EXPECT_EQ(t.s().last_cycle_time, 66u);
  EXPECT_EQ(t.s().clock, 972002);

  // Released and notched up, the cycle builds force and the frame runs.
  for (int i = 0; i < 8; ++i) AsciiDown(*t.run, '8');  // emergency -> released
  t.run_for(30000);
  for (int i = 0; i < 4; ++i) AsciiDown(*t.run, '8');
  t.run_for(20000);
  const RunState& s = t.s();
  EXPECT_GT(s.speed, 30);
  EXPECT_GT(s.current_frame, 200);
  EXPECT_GT(s.published_tractive_force.count(), 0);

  // With the doors open no force is built, but the brake still works.
  t.s().doors_open = 1;
  t.run_for(33);
  EXPECT_EQ(s.tractive_force.count(), 0);
  EXPECT_EQ(s.resistance_force.count(), 0);  // cleared for the next tick
  const long double before = s.speed;
  t.run_for(1000);
  EXPECT_LT(s.speed, before);
}

TEST(MotionCycle, ReverserNeutralGivesNoForceAndBackwardReversesIt) {
  test::TestRun t;
  start1Click(*t.run);
  for (int i = 0; i < 8; ++i) AsciiDown(*t.run, '8');
  t.run_for(30000);
  AsciiDown(*t.run, 'n');
  for (int i = 0; i < 4; ++i) AsciiDown(*t.run, '8');
  t.run_for(2000);
  EXPECT_EQ(t.s().published_tractive_force.count(), 0);
  AsciiDown(*t.run, 'b');
  t.run_for(5000);
  EXPECT_LT(t.s().published_tractive_force.count(), 0);
  EXPECT_LT(t.s().speed, -1);
  EXPECT_LT(t.s().current_frame, 100);  // the film runs backwards
}

}  // namespace
}  // namespace cabsim
