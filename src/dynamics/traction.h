// Traction: the tractive force of the effective power notch by the train's
// model (notch curves, current limit, diesel gears), the traction gate with
// the ATS-off warning and the reverser, and the delay between the power
// handle and the effective notch. These are steps of the 33 ms cycle.
#pragma once

#include <cstdint>

#include "data/train_params.h"
#include "state/run_state.h"
#include "state/sound_channels.h"

namespace cabsim {

/// Traction acceleration of one notch-curve row at speed |v| (km/h), km/h/s;
/// 0 where the row gives no force.
long double notch_curve_acceleration(const NotchRow& row, long double abs_speed);

/// Force in N that accelerates the whole train (`[Tons]`) by `acceleration`
/// km/h/s.
long double force_for_acceleration(const TrainParams& train, long double acceleration);

/// Force in N of the effective power notch by the train's traction model, not
/// yet turned by the reverser; 0 at notch 0.
long double notch_force(const RunState& s, const TrainParams& train);

/// True when traction may build force: line voltage, below the maximum speed,
/// engine running, doors closed and neither protection flag set.
bool traction_gate_open(const RunState& s, const TrainParams& train);

/// Inside the gate: the warning that sounds while ATS is switched off and the
/// power handle is above notch 1 (not in beginner mode).
void ats_off_warning(const RunState& s, const TrainParams& train, SoundChannels& sounds);

/// 33 ms cycle, traction step: inside the gate, the ATS-off warning, then the
/// notch force added to the tractive force, then the reverser (neutral: no
/// force, backward: the force reversed).
void traction_step(RunState& s, const TrainParams& train, SoundChannels& sounds);

/// 33 ms cycle, after traction (only with line voltage): the power-notch
/// delay, then the tractive force published for the ammeter.
void power_notch_delay_step(RunState& s, const TrainParams& train);

}  // namespace cabsim
