// Constant-speed engagement, release and balance; hold compensation.
#include "dynamics/constant_speed.h"

namespace cabsim {

void constant_speed_on_handle_update(RunState& s, const TrainParams& train) {
  if (s.constant_speed_active) {
    if (s.brake_handle != s.effective_brake_notch || s.power_handle != s.effective_power_notch) {
      s.constant_speed_active = 0;
      s.effective_power_notch = s.power_handle;
    } else if (s.protection_emergency_flag || s.pattern_brake_flag) {
      s.constant_speed_active = 0;
    }
  }
  // Engagement: the handle was just brought back from the notch above the
  // constant-speed notch, whose delay has not yet passed.
  if (train.Const > 1 && s.speed > kConstantSpeedMinSpeed && !s.constant_speed_active &&
      s.power_handle == train.Const && int64_t{s.effective_power_notch} == int64_t{train.Const} + 1)
    s.constant_speed_active = 1;
}

void apply_hold_and_constant_speed(RunState& s) {
  if (s.hold_active && s.resistance_force.count() > 0 && s.train_gradient.count() < 0)
    s.tractive_force = s.tractive_force.real() - s.resistance_force.real();
  if (s.constant_speed_active)
    s.tractive_force =
        s.resistance_force.count() < 0 ? Fixed::from_real(-s.resistance_force.real()) : Fixed();
}

}  // namespace cabsim
