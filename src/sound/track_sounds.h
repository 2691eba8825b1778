// Sounds of the line itself: the sound points of the route file with the
// level of the zone the train is in, trains passing on the other track with
// their pitch shifted by the closing speed, the points the train runs over,
// and the bells of level crossings.
#pragma once

#include "state/run.h"

namespace cabsim {

/// `[Sound]` row kinds.
constexpr int32_t kPointSound = 0;    ///< played once as the train passes its frame
constexpr int32_t kCrossingBell = 1;  ///< rings while the train is within its range
constexpr int32_t kStretchSound = 2;  ///< loops while the train runs over its stretch

/// The attenuation zone's level factor at the current frame.
long double zone_level_factor(const Run& run);

/// Operation tick step 13: the zone level factor, the sound points (kinds 0
/// and 2) and the switch sounds.
void track_sounds_step(Run& run);

/// Operation tick step 15: the passing trains of `[Doppler]`.
void passing_train_sounds(Run& run);

/// Operation tick step 27: the bells of the level crossings (kind 1 sound
/// points).
void crossing_bells(Run& run);

}  // namespace cabsim
