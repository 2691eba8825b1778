// The handle keys of the keyboard: which character moves which control. The
// keyboard handler calls this for every character once the run has started.
#pragma once

#include "data/cabworks_text.h"
#include "data/train_params.h"
#include "state/run_state.h"
#include "state/run_view.h"
#include "state/sound_channels.h"

namespace cabsim {

/// With `key swap` set, "2" and "8" trade places; every other key stays.
char swapped_key(const RunState& s, char key);

/// Applies the handle rows of the character table to `key` (after the key
/// swap), top to bottom, then refreshes the handle display. Returns the
/// character after the swap, for the keyboard's remaining rows.
char apply_handle_key(RunState& s, RunView& v, char key, const TrainParams& train,
                      const CabworksText& texts, SoundChannels& sounds);

}  // namespace cabsim
