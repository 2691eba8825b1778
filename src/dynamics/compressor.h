// The compressor governor of the main reservoir, with its start, running and
// stop sounds.
#pragma once

#include "data/train_params.h"
#include "state/run_state.h"
#include "state/sound_channels.h"

namespace cabsim {

/// Main reservoir charge while the compressor runs, kPa per 100 ms tick.
constexpr long double kCompressorChargePerTick = 0.2L;

/// 100 ms tick: the compressor starts below `[LowAirPress]` (start sound once,
/// running sound looped), stops at `[HighAirPress]` (stop sound once) and
/// charges the main reservoir while it runs.
void compressor_step(RunState& s, const TrainParams& train, SoundChannels& sounds);

}  // namespace cabsim
