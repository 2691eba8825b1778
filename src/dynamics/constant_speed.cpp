// Constant-speed balance and hold compensation in the motion stretch.
#include "dynamics/constant_speed.h"

namespace cabsim {

void apply_hold_and_constant_speed(RunState& s) {
  if (s.hold_active && s.resistance_force.count() > 0 && s.train_gradient.count() < 0)
    s.tractive_force = s.tractive_force.real() - s.resistance_force.real();
  if (s.constant_speed_active)
    s.tractive_force =
        s.resistance_force.count() < 0 ? Fixed::from_real(-s.resistance_force.real()) : Fixed();
}

}  // namespace cabsim
