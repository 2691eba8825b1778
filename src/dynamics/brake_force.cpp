// Friction factor, air brake force and electric brake force.
#include "dynamics/brake_force.h"

#include <cmath>

namespace cabsim {
namespace {

long double air_brake_force(const RunState& s, const TrainParams& train, long double k) {
  if (train.EBPress == 0) return 0;  // a train without emergency pressure brakes nothing
  const long double r1 = train.BrakeRate[0].real();
  const long double bcm = s.motor_brake_cylinder.real();
  const long double bct = s.trailer_brake_cylinder.real();
  // Which cylinders brake the trailer cars' mass depends on the car layout.
  const long double tt_cylinder = train.BrakeType2 == 1 ? bct : bcm;
  const long double pressure_mass =
      bcm * train.Mt.real() + tt_cylinder * train.Tt.real() + bct * train.Tct.real();
  return r1 * k / 3.6L * 1000.0L / train.EBPress * pressure_mass;
}

long double electric_brake_force(const RunState& s, const TrainParams& train) {
  const long double ie = s.electric_brake_current;
  if (ie <= 0 || train.EBrakeCurr == 0) return 0;
  const long double r2 = train.BrakeRate[1].real();
  const long double braked_mass =
      train.BrakeType2 == 1 ? train.Mt.real() : train.Mt.real() + train.Tt.real();
  return ie * r2 / train.EBrakeCurr / 3.6L * 1000.0L * braked_mass;
}

}  // namespace

long double friction_factor_at(const TrainParams& train, long double speed) {
  const long double v = std::fabs(speed);
  const long double r3 = train.BrakeRate[2].real();
  const long double b2 = train.BrakeRate2;
  if (v >= r3) return 1;
  if (v > 0) {
    long double k = ((0.01L * v + 1) / (b2 * v + 1)) / ((0.01L * r3 + 1) / (b2 * r3 + 1));
    if (std::isfinite(k)) return k;
  }
  return train.BrakeRate[0].real();
}

void brake_force_step(RunState& s, const TrainParams& train) {
  s.friction_factor = friction_factor_at(train, s.speed);
  if (train.BrakeType2 != 1 && train.BrakeType2 != 2) {
    s.brake_force = Fixed();
    return;
  }
  const long double k = s.friction_factor.real();
  s.brake_force = air_brake_force(s, train, k) + electric_brake_force(s, train);
}

}  // namespace cabsim
