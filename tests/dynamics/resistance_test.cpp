// Gradient force, tunnel, starting and running resistance, adhesion with
// wheel slip and skid, and the train gradient sampled car by car.
#include <gtest/gtest.h>

#include "dynamics/resistance.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

TrainParams train_of(int tons, int cars, int motor_tons = 120) {
  return TrainFileText{}
      .set("[Tons]", std::to_string(tons))
      .set("[Cars]", std::to_string(cars))
      .set("[Mt]", std::to_string(motor_tons))
      .read();
}

RouteTables level_route() {
  RouteTables route;
  route.Friction = Fixed::from_real(0.35L);
  return route;
}

TEST(Resistance, RunningResistanceAndGradientForceOfTheWorkedExamples) {
  TrainParams train = train_of(100, 10);
  RouteTables route = level_route();
  RunState s = initial_run_state(train);
  RunView view;
  s.effective_brake_notch = 0;
  s.speed = 50;
  resistance_and_adhesion_step(s, view, train, route);
  EXPECT_EQ(s.resistance_force, Fixed::from_real(-4503.1L));
  // Backwards the same amount points forward.
  s.resistance_force = Fixed();
  s.speed = -50;
  resistance_and_adhesion_step(s, view, train, route);
  EXPECT_EQ(s.resistance_force, Fixed::from_real(4503.1L));

  EXPECT_NEAR(static_cast<double>(gradient_force(300, 10)), -29398.53, 0.005);
  TrainParams heavy = train_of(300, 10);
  s = initial_run_state(heavy);
  s.effective_brake_notch = 0;
  s.speed = 50;
  s.train_gradient = Fixed::from_real(10);
  resistance_and_adhesion_step(s, view, heavy, route);
  long double expected = gradient_force(300, 10) - running_resistance(heavy, 50);
  EXPECT_NEAR(static_cast<double>(s.resistance_force.real()), static_cast<double>(expected), 1e-4);
}

TEST(Resistance, StartingResistanceOnlyWhenNotAlreadyPushedBack) {
  TrainParams train = train_of(260, 8);
  RouteTables route = level_route();
  RunState s = initial_run_state(train);
  RunView view;
  s.effective_brake_notch = 0;
  resistance_and_adhesion_step(s, view, train, route);  // v = 0 counts as forward
  EXPECT_EQ(s.resistance_force, Fixed::from_real(-8 * 9.8L * 260));

  s.resistance_force = Fixed();
  s.speed = -3;
  resistance_and_adhesion_step(s, view, train, route);
  EXPECT_EQ(s.resistance_force, Fixed::from_real(5 * 9.8L * 260 + running_resistance(train, 3)));

  // On an upgrade the gradient already pushes back: no starting resistance.
  s = initial_run_state(train);
  s.effective_brake_notch = 0;
  s.train_gradient = Fixed::from_real(5);
  resistance_and_adhesion_step(s, view, train, route);
  EXPECT_EQ(s.resistance_force, Fixed::from_real(gradient_force(260, 5)));
  // Downhill the push forward is taken down by it.
  s.resistance_force = Fixed();
  s.train_gradient = Fixed::from_real(-5);
  resistance_and_adhesion_step(s, view, train, route);
  EXPECT_EQ(s.resistance_force,
            Fixed::from_real(Fixed::from_real(gradient_force(260, -5)).real() - 8 * 9.8L * 260));
}

TEST(Resistance, WheelSlipHalvesTheForceAndSkidTakesTwoThirdsOfTheAdhesion) {
  TrainParams train = train_of(260, 8, 120);
  RouteTables route = level_route();
  RunState s = initial_run_state(train);
  RunView view;
  s.effective_brake_notch = 0;
  s.effective_power_notch = 4;
  s.speed = 20;
  s.tractive_force = Fixed::from_real(500000);
  resistance_and_adhesion_step(s, view, train, route);
  const long double mu = Fixed::from_real(0.35L * (0.279L * 20 + 1) / (0.367L * 20 + 1)).real();
  EXPECT_EQ(s.adhesion_coefficient, Fixed::from_real(mu));
  EXPECT_EQ(s.tractive_force, Fixed::from_real(0.5L * mu * 120 * 1000 * 9.8L));
  EXPECT_EQ(view.adhesion_state_text, "空転");
  // The next cycle's force is judged afresh.
  s.resistance_force = Fixed();
  s.tractive_force = Fixed::from_real(100000);
  resistance_and_adhesion_step(s, view, train, route);
  EXPECT_EQ(s.tractive_force, Fixed::from_real(100000));
  EXPECT_EQ(view.adhesion_state_text, "");

  s.effective_power_notch = 0;
  s.effective_brake_notch = -8;
  s.resistance_force = Fixed();
  s.tractive_force = Fixed::from_real(-1000000);
  resistance_and_adhesion_step(s, view, train, route);
  const long double mu_b = Fixed::from_real(0.35L / (0.0059L * 20 + 1)).real();
  EXPECT_EQ(s.tractive_force, Fixed::from_real(-0.66L * mu_b * 260 * 1000 * 9.8L));
  EXPECT_EQ(view.adhesion_state_text, "滑走");
  // Coasting keeps the coefficient and the limit of the last braking cycle.
  Fixed limit = s.adhesion_limit;
  s.effective_brake_notch = 0;
  s.speed = 60;
  resistance_and_adhesion_step(s, view, train, route);
  EXPECT_EQ(s.adhesion_coefficient, Fixed::from_real(mu_b));
  EXPECT_EQ(s.adhesion_limit, limit);
}

TEST(Resistance, TunnelResistanceOpposesTheMotion) {
  TrainParams train = train_of(100, 10);
  RouteTables route = level_route();
  route.TunnelR = 12;
  route.Tunnel[0].entry_position = 1000;
  route.Tunnel[0].exit_position = 5000;
  route.Tunnel_count = 1;
  RunState s = initial_run_state(train);
  RunView view;
  s.effective_brake_notch = 0;
  s.position = 1000;  // on the portal: not inside
  tunnel_membership_step(s, route);
  EXPECT_EQ(s.in_tunnel, 0);
  s.position = 1001;
  tunnel_membership_step(s, route);
  EXPECT_EQ(s.in_tunnel, 1);
  const long double drag = 12 / 10000.0L * 50 * 50 * 100 * 9.8L;
  s.speed = 50;
  resistance_and_adhesion_step(s, view, train, route);
  EXPECT_EQ(s.resistance_force, Fixed::from_real(-drag - 4503.1L));
  s.resistance_force = Fixed();
  s.speed = -50;
  resistance_and_adhesion_step(s, view, train, route);
  EXPECT_EQ(s.resistance_force, Fixed::from_real(drag + 4503.1L));
}

TEST(Resistance, TrainGradientFollowsTheTrainCarByCarEveryTwentyMetres) {
  TrainParams train = train_of(300, 10);
  RouteTables route;
  route.Slope[0] = {Fixed::from_real(-2.5L), 0, 900};
  route.Slope[1] = {Fixed::from_real(10), 1000, 2000};
  route.Slope_count = 2;
  RunState s = initial_run_state(train);
  s.current_frame = 500;
  local_gradient_step(s, route);
  EXPECT_EQ(s.local_gradient, Fixed::from_real(-2.5L));
  s.current_frame = 900;  // the end frame itself keeps the gradient
  local_gradient_step(s, route);
  EXPECT_EQ(s.local_gradient, Fixed::from_real(-2.5L));
  s.current_frame = 950;
  local_gradient_step(s, route);
  EXPECT_EQ(s.local_gradient.count(), 0);
  s.current_frame = 1500;
  local_gradient_step(s, route);
  EXPECT_EQ(s.local_gradient, Fixed::from_real(10));

  // 20 m of travel is not yet a new sample; just beyond it is.
  s.position = 2000;
  train_gradient_step(s, train);
  EXPECT_EQ(s.train_gradient.count(), 0);
  for (int car = 1; car <= 10; ++car) {
    s.position += 2000.5L;
    train_gradient_step(s, train);
    EXPECT_EQ(s.train_gradient, Fixed::from_real(car)) << car;
  }
  s.position += 2001;
  train_gradient_step(s, train);
  EXPECT_EQ(s.train_gradient, Fixed::from_real(10));
  EXPECT_EQ(gradient_car_count(train_of(100, 0)), 1);
  EXPECT_EQ(gradient_car_count(train_of(100, 500)), 100);
}

}  // namespace
}  // namespace cabsim
