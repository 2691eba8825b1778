// The refresh after any change of the handles: lamps, constant-speed
// engagement and release, the handle texts and the handle picture patterns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/cabworks_text.h"
#include "data/train_params.h"
#include "state/run.h"
#include "state/run_state.h"
#include "state/run_view.h"

namespace cabsim {

/// Speed above which constant-speed control may engage, km/h.
constexpr long double kConstantSpeedMinSpeed = 15.0L;

/// Called after every key press, by the controllers, by the train settings
/// dialog and by the tick when protection or a gear change moved the handles.
void masconupdate(RunState& s, RunView& v, const TrainParams& train, const CabworksText& texts);

/// On every handle update: a handle that no longer matches its effective
/// notch, or either protection flag, releases constant speed (the power handle
/// then takes effect at once); with a constant-speed notch above 1, notching
/// back from the notch above it at speed engages constant speed.
void constant_speed_on_handle_update(RunState& s, const TrainParams& train);

/// masconupdate of a run's state and view.
inline void masconupdate(Run& run) {
  masconupdate(run.state, run.view, run.train, run.text);
}

/// The overlay texts of the handles (Shift-JIS bytes); nothing for a position
/// that no text names (the text on screen then stays).
std::optional<std::string> brake_text(const RunState& s, const TrainParams& train,
                                      const CabworksText& texts);
std::optional<std::string> power_text(const RunState& s, const TrainParams& train,
                                      const CabworksText& texts);
std::string reverser_text(const RunState& s, const CabworksText& texts);
std::optional<std::string> gear_text(const RunState& s, const TrainParams& train,
                                     const CabworksText& texts);

/// Pattern of the brake handle picture: the handle's step, shifted by one on
/// handles with a hold position (hold 0, release 1, B1 2 ...); while
/// protection holds the brake, the emergency or strongest service picture.
int32_t brake_picture_pattern(const RunState& s, const TrainParams& train);

}  // namespace cabsim
