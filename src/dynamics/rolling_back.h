// Rolling-back protection: a train running backwards with the reverser
// forward gets the emergency brake.
#pragma once

#include "data/train_params.h"
#include "state/run_state.h"
#include "state/sound_channels.h"

namespace cabsim {

/// Backward speed beyond which the protection acts, km/h.
constexpr long double kRollingBackSpeed = -5.0L;

/// 100 ms tick: with `[Back]` 1, reverser forward and speed below -5 km/h,
/// sets the protection emergency flag, plays the emergency sound and starts
/// the three brake-notch delays. Returns whether it acted: the handle display
/// (masconupdate) must then be refreshed.
[[nodiscard]] bool rolling_back_protection_step(RunState& s, const TrainParams& train,
                                                SoundChannels& sounds);

}  // namespace cabsim
