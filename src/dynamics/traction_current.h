// The 100 ms traction values: the step progression of the current-limit
// model, the motor current for the ammeter, the step-end lamp and the
// voltmeter.
#pragma once

#include <cstdint>

#include "data/train_params.h"
#include "state/run_state.h"
#include "state/run_view.h"

namespace cabsim {

/// Voltmeter step per 100 ms tick, V.
constexpr int64_t kVoltmeterStep = 250;
/// Ammeter reading of the notch-curve model per km/h/s of acceleration, A.
constexpr long double kAmpsPerAcceleration = 50.0L;

/// 100 ms tick: the current-limit model steps up through its table while the
/// current is below the limit; the motor current follows the step current
/// (current-limit model) or the published tractive force (notch curves).
/// Raises std::overflow_error when a current does not fit in 32 bits.
void motor_current_step(RunState& s, RunView& view, const TrainParams& train);

/// The step-end lamp: on at a step after which no further step is available
/// at this notch.
bool step_end_lamp_on(const RunState& s, const TrainParams& train);

/// 100 ms tick: the voltmeter value moves 250 V towards the line voltage.
void voltmeter_step(RunState& s);

}  // namespace cabsim
