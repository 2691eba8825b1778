// The diesel railcar's engine and gears: engine start and stop from the train
// settings dialog, the stall when driven off in the last gear, automatic gear
// selection, the one-second gear change, the gear reset of automatic gears
// at low speed, and the engine speed the engine sounds follow.
#pragma once

#include <cstdint>

#include "data/cabworks_text.h"
#include "data/train_params.h"
#include "state/clock.h"
#include "state/run_state.h"
#include "state/sound_channels.h"

namespace cabsim {

/// Wait between the engine-start sound and the engine running, ms.
constexpr int kEngineStartWaitMs = 700;
/// Ticks a gear change cuts traction for (one second).
constexpr int32_t kGearChangeTicks = 10;
/// Speed below which the engine stalls in the last gear, km/h.
constexpr long double kStallSpeed = 0.5L;
/// Speed below which automatic gears return to gear 1, km/h.
constexpr long double kGearResetSpeed = 10.0L;

/// Items of the dialog's engine radio group ("機関始動").
enum class EngineItem { kStart, kRun, kStop };

/// "始動": plays the engine-start sound when the engine is off, waits 700 ms
/// on `clock`, and runs the engine. Returns the item the group moves to.
EngineItem engine_start(RunState& s, const TrainParams& train, SoundChannels& sounds, Clock& clock);
/// "切": a running engine stops with its stop sound.
void engine_stop(RunState& s, const TrainParams& train, SoundChannels& sounds);

/// 100 ms tick: power applied below 0.5 km/h in the last gear stalls the
/// engine and takes the notch away.
void engine_stall_step(RunState& s, const TrainParams& train, SoundChannels& sounds);

/// 100 ms tick, automatic gears of a diesel train, no change in progress:
/// above e2 of the gear (below the last) the target rises, below e0 it falls,
/// and a change begins.
void automatic_gear_selection_step(RunState& s, const TrainParams& train);

/// 100 ms tick, diesel: a change begins when power meets a new target; a
/// change in progress completes after ten ticks. Returns whether either
/// happened: the handle display (masconupdate) must then be refreshed.
[[nodiscard]] bool gear_change_step(RunState& s, const TrainParams& train);

/// 100 ms tick, diesel: the engine speed moves towards its target.
void engine_speed_step(RunState& s, const TrainParams& train);

/// 100 ms tick, automatic gears below 10 km/h: back to gear 1, any change
/// cancelled.
void gear_reset_step(RunState& s, const TrainParams& train);

}  // namespace cabsim
