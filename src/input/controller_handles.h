// Handle positions set by an external controller: the serial master
// controller and the USB pads say where the handle stands, rather than
// stepping it as the keys do.
#pragma once

#include <cstdint>

#include "data/train_params.h"
#include "state/run_state.h"

namespace cabsim {

/// Brake step of a controller's emergency position.
constexpr int32_t kControllerEmergency = 9;

/// Power notch `notch` of the current power mode (0 = off), through
/// NotchSelect with the train's `[Power]` and `[Brake]`: a notch the mode
/// lacks gives the mode's highest.
void set_controller_power(RunState& s, const TrainParams& train, int32_t notch);

/// Brake step `step` (0 released, 1 .. 8 service steps through NotchSelect,
/// kControllerEmergency the emergency position). A controller's emergency
/// position is the train's emergency position whatever its step count. The
/// handle leaves the hold position of the keys.
void set_controller_brake(RunState& s, const TrainParams& train, int32_t step);

}  // namespace cabsim
