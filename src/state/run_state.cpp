// The train-dependent start of the running state.
#include "state/run_state.h"

namespace cabsim {

RunState initial_run_state(const TrainParams& train) {
  RunState s;
  // The train stands with the brake handle in emergency and full pipes.
  s.brake_handle = -train.Brake;
  s.effective_brake_notch = -train.Brake;
  s.straight_air_notch = -train.Brake;
  s.electric_brake_notch = 0;
  s.trailer_brake_cylinder = Fixed::from_count(int64_t{train.EBPress} * Fixed::kScale);
  s.main_reservoir = Fixed::from_count(int64_t{train.HighAirPress} * Fixed::kScale);
  return s;
}

}  // namespace cabsim
