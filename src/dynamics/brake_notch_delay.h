// The delays between the brake handle and the three notches that follow it:
// the effective brake notch (cylinders), the straight-air notch and the
// electric-brake notch, with protection forcing the notch they take over.
#pragma once

#include <cstdint>

#include "data/train_params.h"
#include "state/run_state.h"

namespace cabsim {

/// The notch a delayed brake notch takes over: emergency under the protection
/// emergency flag; the strongest service step under the pattern brake (unless
/// the handle is in emergency); otherwise the brake handle.
int32_t brake_notch_demand(const RunState& s, const TrainParams& train);

/// 33 ms cycle, after the pressures: each pending notch counts one cycle and
/// takes the demand over when its delay has passed. The cylinder notch takes
/// over once the counter reaches `[BrakeDelay]` with the cylinder empty (also
/// when it has passed that value), and at 0.7 x `[BrakeDelay]` with the
/// cylinder already applied.
void brake_notch_delay_step(RunState& s, const TrainParams& train);

}  // namespace cabsim
