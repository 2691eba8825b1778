// The panel pictures that follow the handles: the reverser and constant-speed
// lamps and the power, brake and gear pictures, shown at the end of every
// handle update.
#pragma once

#include "data/train_params.h"
#include "state/run_state.h"
#include "state/run_view.h"

namespace cabsim {

/// After every `masconupdate`: the reverser lamps, the constant-speed lamp
/// and the power, brake and gear pictures from the patterns it computed. A
/// pattern the picture does not have leaves the picture as it was.
void show_handle_pictures(const RunState& s, RunView& v, const TrainParams& train);

}  // namespace cabsim
