// Constant-speed control and the hold position: the force balance they make
// in the 100 ms motion stretch (engagement and release come with the handle
// update, masconupdate).
#pragma once

#include "data/train_params.h"
#include "state/run_state.h"

namespace cabsim {

/// Motion stretch, after the resistances: in hold, a push downhill is taken
/// off the tractive force; under constant speed the tractive force exactly
/// balances a retarding resistance (and is 0 otherwise).
void apply_hold_and_constant_speed(RunState& s);

}  // namespace cabsim
