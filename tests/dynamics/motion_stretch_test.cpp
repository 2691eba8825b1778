// The motion stretch over hundreds of ticks: holding at a stand, stopping
// without reversing, rolling away downhill, resistance switched off.
#include <gtest/gtest.h>

#include "dynamics/brake_force.h"
#include "dynamics/motion_stretch.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

struct Stretch {
  TrainParams train = test::TrainFileText{}.read();
  RouteTables route;
  RunState s = initial_run_state(train);
  RunView view;

  Stretch() { route.Friction = Fixed::from_real(0.35L); }

  /// One tick: the forces start at 0 as the 33 ms cycle leaves them.
  void tick(long double tractive = 0) {
    s.tractive_force = Fixed::from_real(tractive);
    s.resistance_force = Fixed();
    motion_stretch(s, view, train, route);
  }
};

TEST(MotionStretch, ABrakedTrainStaysExactlyAtRestOnAGradient) {
  Stretch m;
  m.s.train_gradient = Fixed::from_real(25);
  m.s.trailer_brake_cylinder = Fixed::from_real(200);
  for (int i = 0; i < 300; ++i) {
    m.tick();
    ASSERT_EQ(m.s.speed, 0) << i;
    ASSERT_EQ(m.s.tractive_force.count(), 0);
    ASSERT_EQ(m.s.resistance_force.count(), 0);
  }
  // With the brake released the same gradient rolls it back.
  m.s.trailer_brake_cylinder = Fixed();
  m.s.motor_brake_cylinder = Fixed();
  m.tick();
  EXPECT_LT(m.s.speed, 0);
}

TEST(MotionStretch, BrakingToAStopEndsAtExactlyZeroAndNeverReverses) {
  Stretch m;
  m.s.speed = 60;
  m.s.effective_brake_notch = -4;
  m.s.trailer_brake_cylinder = Fixed::from_real(300);
  m.s.motor_brake_cylinder = Fixed::from_real(300);
  long double last = m.s.speed;
  int ticks = 0;
  while (m.s.speed != 0 && ticks < 2000) {
    m.tick();
    ASSERT_GE(m.s.speed, 0);
    ASSERT_LE(m.s.speed, last);
    last = m.s.speed;
    ++ticks;
  }
  EXPECT_EQ(m.s.speed, 0);
  EXPECT_GT(ticks, 50);
  for (int i = 0; i < 200; ++i) m.tick();
  EXPECT_EQ(m.s.speed, 0);
}

TEST(MotionStretch, ADowngradeStartsTheTrainRollingWithTheBrakeReleased) {
  Stretch m;
  m.s.trailer_brake_cylinder = Fixed();
  m.s.effective_brake_notch = 0;
  m.s.train_gradient = Fixed::from_real(-15);
  m.tick();
  EXPECT_GT(m.s.speed, 0);
  for (int i = 0; i < 600; ++i) m.tick();
  EXPECT_GT(m.s.speed, 10);
  // A light brake that cannot hold against the gradient lets it roll on.
  Stretch held;
  held.s.train_gradient = Fixed::from_real(-15);
  held.s.trailer_brake_cylinder = Fixed::from_real(1);
  held.s.motor_brake_cylinder = Fixed();
  held.tick();
  EXPECT_GT(held.s.speed, 0);
}

TEST(MotionStretch, ResistanceOffLeavesOnlyTheTractiveForce) {
  Stretch m;
  m.s.trailer_brake_cylinder = Fixed();
  m.s.effective_brake_notch = 0;
  m.s.speed = 40;
  m.s.resistance_off = 1;
  m.s.train_gradient = Fixed::from_real(20);
  m.tick(26000);
  const long double dv = 26000 / (260 * 1000.0L) * 3.6L / 10;
  EXPECT_NEAR(static_cast<double>(m.s.speed), static_cast<double>(40 + dv), 1e-12);
  EXPECT_LT(m.s.resistance_force.count(), 0);  // computed, not applied
  EXPECT_EQ(m.view.speed_text, "");
  speed_text_step(m.s, m.view);
  EXPECT_EQ(m.view.speed_text, " 40.0 km/h");
  EXPECT_EQ(speed_text_of(-5.25L), " -5.2 km/h");
  EXPECT_EQ(speed_text_of(123.46L), "123.5 km/h");
}

TEST(MotionStretch, TimeDrivenFilmDropsTheResistance) {
  Stretch m;
  m.s.trailer_brake_cylinder = Fixed();
  m.s.effective_brake_notch = 0;
  m.s.speed = 30;
  m.s.film_mode = 1;
  m.tick();
  EXPECT_EQ(m.s.speed, 30);
}

}  // namespace
}  // namespace cabsim
