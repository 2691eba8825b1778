// Constant-speed control and the hold position: engagement and release on a
// handle update, and the force balance they make in the 100 ms motion stretch.
#pragma once

#include "data/train_params.h"
#include "operation/run_state.h"

namespace cabsim {

/// Speed above which constant-speed control may engage, km/h.
constexpr long double kConstantSpeedMinSpeed = 15.0L;

/// On every handle update: a handle that no longer matches its effective
/// notch, or either protection flag, releases constant speed (the power handle
/// then takes effect at once); with a constant-speed notch above 1, notching
/// back from the notch above it at speed engages constant speed.
void constant_speed_on_handle_update(RunState& s, const TrainParams& train);

/// Motion stretch, after the resistances: in hold, a push downhill is taken
/// off the tractive force; under constant speed the tractive force exactly
/// balances a retarding resistance (and is 0 otherwise).
void apply_hold_and_constant_speed(RunState& s);

}  // namespace cabsim
