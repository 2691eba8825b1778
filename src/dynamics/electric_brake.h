// The electric (regenerative) brake current of the 100 ms tick: the
// rate-driven model, which ramps the current towards a share of the full
// current per brake step, and the table-driven model, which steps through a
// current-against-speed table.
#pragma once

#include "data/train_params.h"
#include "state/run_state.h"

namespace cabsim {

/// Below this current the table-driven electric brake gives no current, A.
constexpr long double kTableBrakeMinCurrent = 100.0L;

/// `[Brake_Type]` 1: rate-driven current.
void rate_electric_brake_step(RunState& s, const TrainParams& train);
/// `[Brake_Type]` 0: table-driven current (resets the traction step while it
/// works).
void table_electric_brake_step(RunState& s, const TrainParams& train);

/// 100 ms tick, after the traction current: the train's electric brake model;
/// a working brake shows its current as a negative motor current. Raises
/// std::overflow_error when the current does not fit in 32 bits.
void electric_brake_step(RunState& s, const TrainParams& train);

}  // namespace cabsim
