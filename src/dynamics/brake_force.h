// The brake force of the 100 ms motion stretch: the friction factor of the
// brake shoes against speed, the air brake force of the motor-car and
// trailer cylinders and the electric brake force.
#pragma once

#include "data/train_params.h"
#include "state/run_state.h"

namespace cabsim {

/// Friction factor at `speed`: `[BrakeRate]` line 1 at standstill, rising
/// along the shoe curve below `[BrakeRate]` line 3 km/h, 1 from there on.
long double friction_factor_at(const TrainParams& train, long double speed);

/// Motion stretch, first step: the friction factor and the brake force.
void brake_force_step(RunState& s, const TrainParams& train);

}  // namespace cabsim
