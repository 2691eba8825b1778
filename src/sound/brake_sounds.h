// Brake and handle sounds: the squeal of the blocks as the train slows, the
// release of the brake as the cylinder empties, and the clicks and hisses of
// the handles as the driver moves them.
#pragma once

#include "state/run.h"

namespace cabsim {

/// Operation tick step 6: `[Sound_squeak]` while the air brake holds a moving
/// train, fading once the cylinder empties and faster at a stand.
void brake_squeal_step(Run& run);

/// Operation tick step 11, brake release sounds of a train whose brake
/// follows its handle in steps (`[BrakeType]` 1 and up): `[Sound_BK]` when
/// the handle is released, `[Sound_BR]` when it is eased by a step.
void brake_release_sound_step(Run& run);

/// The handle sounds after a key (the end of `AsciiDown`): brake and power
/// handle against the notches in effect.
void handle_sounds(Run& run);

/// The release sound of an automatic brake handle returned to running
/// position, and the notch-off sound of the power handle: entry 1 of
/// `[Sound_BK]` and of `[Sound_PR]`; -1 when the list has none.
int32_t release_sound(const TrainParams& train);
int32_t notch_off_sound(const TrainParams& train);

}  // namespace cabsim
