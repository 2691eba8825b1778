// Gradient sampling, tunnel membership, resistances and adhesion.
#include "dynamics/resistance.h"

#include <algorithm>
#include <cmath>

#include "data/rounding.h"

namespace cabsim {

int32_t gradient_car_count(const TrainParams& train) {
  return std::clamp<int32_t>(train.Cars, 1, static_cast<int32_t>(kMaxCarGradients));
}

void train_gradient_step(RunState& s, const TrainParams& train) {
  if (std::fabs(s.position - s.last_gradient_sample_position) <= kGradientSampleDistance) return;
  s.last_gradient_sample_position = s.position;
  const auto cars = static_cast<size_t>(gradient_car_count(train));
  for (size_t i = cars - 1; i > 0; --i) s.car_gradients[i] = s.car_gradients[i - 1];
  // A gradient table value fits in 32 bits once rounded (the reader keeps
  // fixed-point values far inside that).
  s.car_gradients[0] = round_to_int32(s.local_gradient.real()).value_or(0);
  int64_t sum = 0;
  for (size_t i = 0; i < cars; ++i) sum += s.car_gradients[i];
  s.train_gradient = static_cast<long double>(sum) / static_cast<long double>(cars);
}

void local_gradient_step(RunState& s, const RouteTables& route) {
  const int32_t f = s.current_frame;
  for (int32_t i = 0; i < route.Slope_count; ++i) {
    const SlopeRow& row = route.Slope[static_cast<size_t>(i)];
    if (row.first_frame < f && f < row.last_frame) s.local_gradient = row.gradient;
    const bool last = i + 1 == route.Slope_count;
    const int32_t next_from = last ? 0 : route.Slope[static_cast<size_t>(i + 1)].first_frame;
    if (row.last_frame < f && (last || f < next_from)) s.local_gradient = Fixed();
  }
}

void tunnel_membership_step(RunState& s, const RouteTables& route) {
  s.in_tunnel = 0;
  for (int32_t i = 0; i < route.Tunnel_count; ++i) {
    const TunnelRow& t = route.Tunnel[static_cast<size_t>(i)];
    if (t.entry_position < s.position && s.position < t.exit_position) s.in_tunnel = 1;
  }
}

long double gradient_force(long double tons, long double gradient) {
  return -tons * 1000.0L * kGravity * gradient / std::sqrt(gradient * gradient + 1000.0L * 1000.0L);
}

long double running_resistance(const TrainParams& train, long double v) {
  const long double m = train.Tons.real();
  const long double cars = static_cast<long double>(train.Cars) - 1;
  return kGravity * (m * (1.32L + 0.0164L * v) + (0.028L + 0.0078L * cars) * v * v);
}

namespace {

void adhesion_coefficient_step(RunState& s, const RouteTables& route, long double v) {
  const long double mu0 = route.Friction.real();
  if (s.effective_power_notch >= 1)
    s.adhesion_coefficient = mu0 * (0.279L * v + 1) / (0.367L * v + 1);
  else if (s.effective_brake_notch < 0)
    s.adhesion_coefficient = mu0 / (0.0059L * v + 1);
}

void add_resistance(RunState& s, long double force) {
  s.resistance_force = s.resistance_force.real() + force;
}

/// Adhesion limit, then slip or skid; the state text follows.
void adhesion_step(RunState& s, RunView& view, const TrainParams& train) {
  const long double mu = s.adhesion_coefficient.real();
  const long double motor_weight = mu * train.Mt.real() * 1000.0L * kGravity;
  const long double train_weight = mu * train.Tons.real() * 1000.0L * kGravity;
  if (s.effective_power_notch >= 1)
    s.adhesion_limit = motor_weight + s.resistance_force.real();
  else if (s.effective_brake_notch < 0)
    s.adhesion_limit = train_weight + s.resistance_force.real();
  if (s.effective_power_notch >= 1 && s.adhesion_limit < s.tractive_force) {
    s.tractive_force = 0.5L * motor_weight;
    view.adhesion_state_text = kWheelSlipText;
    return;
  }
  if (s.effective_brake_notch < 0 && s.tractive_force.real() < -s.adhesion_limit.real()) {
    s.tractive_force = -0.66L * train_weight;
    view.adhesion_state_text = kSkidText;
    return;
  }
  view.adhesion_state_text.clear();
}

}  // namespace

void resistance_and_adhesion_step(RunState& s, RunView& view, const TrainParams& train,
                                  const RouteTables& route) {
  const long double v = s.speed;
  const long double abs_v = std::fabs(v);
  const long double m = train.Tons.real();
  adhesion_coefficient_step(s, route, abs_v);
  add_resistance(s, gradient_force(m, s.train_gradient.real()));
  if (s.in_tunnel) {
    // Air in the tube holds the train back whichever way it runs.
    long double drag = route.TunnelR / 10000.0L * v * v * m * kGravity;
    add_resistance(s, v < 0 ? drag : -drag);
  }
  adhesion_step(s, view, train);
  if (abs_v < kStartingResistanceSpeed && s.resistance_force.count() >= 0) {
    long double start = (kStartingResistanceSpeed - abs_v) * kGravity * m;
    add_resistance(s, v >= 0 ? -start : start);
  }
  if (v > kRunningResistanceSpeed) add_resistance(s, -running_resistance(train, abs_v));
  if (v < -kRunningResistanceSpeed) add_resistance(s, running_resistance(train, abs_v));
}

}  // namespace cabsim
