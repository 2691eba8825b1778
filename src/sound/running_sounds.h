// The sounds that follow the train as it runs, every operation tick: the
// running-sound band of the wheels on the rails, the motors of an electric
// train, the engine, idling and gear sounds of a diesel train, and the brake
// application sound.
#pragma once

#include "state/run.h"

namespace cabsim {

/// The two neighbouring 10 km/h recordings of `[DriveSound]` cross-faded at
/// the speed, the lower one raised in pitch from 80 km/h; channel 12 alone
/// from 120 km/h.
void running_band(Run& run);

/// `[EngineSound1]` rows of an electric train: level and pitch by speed,
/// opened by power, brake or always, under the motor sound ramp.
void electric_motor_sounds(Run& run);

/// `[EngineSound1]` rows of a diesel train by engine speed and gear, and its
/// `[EngineSound3]` gear and retarder rows by train speed.
void diesel_engine_sounds(Run& run);

/// The idling sounds of `[EngineSound2]` by engine and door state.
void idle_sounds(Run& run);

/// `[Sound_Apply]` of an automatic air brake while the service position fills
/// the cylinder.
void brake_apply_sound(Run& run);

/// Operation tick step 28: all of the above, in that order.
void running_sounds_step(Run& run);

}  // namespace cabsim
