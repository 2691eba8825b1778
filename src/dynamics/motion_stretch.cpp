// Brake against motion, stop tests and integration of the 100 ms tick.
#include "dynamics/motion_stretch.h"

#include <cmath>
#include <cstdio>

#include "dynamics/brake_force.h"
#include "dynamics/constant_speed.h"
#include "dynamics/resistance.h"

namespace cabsim {

long double speed_change_per_tick(long double force, long double tons) {
  return force / (tons * 1000.0L) * 3.6L / 10.0L;
}

void brake_against_motion(RunState& s) {
  if (s.speed > 0) s.tractive_force = s.tractive_force.real() - s.brake_force.real();
  if (s.speed < 0) s.tractive_force = s.tractive_force.real() + s.brake_force.real();
}

void predict_speed(RunState& s, const TrainParams& train) {
  const long double m = train.Tons.real();
  long double v = s.speed + speed_change_per_tick(s.tractive_force.real(), m);
  v += speed_change_per_tick(s.resistance_force.real(), m);
  s.predicted_speed = v;
}

namespace {

/// Force with which the applied brake holds a standing train, N.
long double holding_force(const RunState& s, const TrainParams& train) {
  // A train without an emergency pressure has no brake to hold it with.
  if (train.EBPress == 0) return 0;
  return s.friction_factor.real() * s.trailer_brake_cylinder.real() / train.EBPress / 3.6L *
         train.Tons.real() * 1000.0L;
}

void stop(RunState& s) {
  s.speed = 0;
  s.tractive_force = Fixed();
  s.resistance_force = Fixed();
}

}  // namespace

bool stop_tests(RunState& s, const TrainParams& train) {
  const long double t = std::fabs(s.tractive_force.real());
  const long double r = std::fabs(s.resistance_force.real());
  bool fires = false;
  if (s.speed == 0)
    fires = std::fabs(holding_force(s, train)) > r;
  else if (s.speed > 0 && s.tractive_force.count() < 0)
    fires = r < t && s.predicted_speed.count() < 0;
  else if (s.speed < 0 && s.tractive_force.count() > 0)
    fires = r < t && s.predicted_speed.count() > 0;
  if (fires) stop(s);
  return fires;
}

void integrate_speed(RunState& s, const TrainParams& train) {
  const long double m = train.Tons.real();
  if (!s.resistance_off) s.speed += speed_change_per_tick(s.resistance_force.real(), m);
  s.speed += speed_change_per_tick(s.tractive_force.real(), m);
}

std::string speed_text_of(long double speed) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%5.1Lf km/h", speed);
  return buffer;
}

void speed_text_step(const RunState& s, RunView& v) {
  v.speed_text = speed_text_of(s.speed);
}

void motion_stretch(RunState& s, RunView& v, const TrainParams& train, const RouteTables& route) {
  brake_force_step(s, train);
  brake_against_motion(s);
  resistance_and_adhesion_step(s, v, train, route);
  apply_hold_and_constant_speed(s);
  if (s.film_mode == kFilmTimeDriven) s.resistance_force = Fixed();
  // Forces on a train without mass would give an infinite speed.
  if (train.Tons.count() <= 0) return;
  predict_speed(s, train);
  stop_tests(s, train);
  integrate_speed(s, train);
}

}  // namespace cabsim
