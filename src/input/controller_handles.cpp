// Controller positions onto the handles.
#include "input/controller_handles.h"

#include "data/notch_select.h"

namespace cabsim {

void set_controller_power(RunState& s, const TrainParams& train, int32_t notch) {
  s.power_handle = NotchSelect(train, notch, train.Power, train.Brake, s.power_mode);
}

void set_controller_brake(RunState& s, const TrainParams& train, int32_t step) {
  s.hold_active = 0;
  s.left_hold = 0;
  // NotchSelect stops a request at the emergency position; an emergency asked
  // for on a train with more than nine brake positions must still be one.
  s.brake_handle = step >= kControllerEmergency
                       ? -train.Brake
                       : NotchSelect(train, -step, train.Power, train.Brake, s.power_mode);
}

}  // namespace cabsim
