// The sound output of a run: the 320 channels on the default OpenAL device,
// or the silent channel set when no device opens.
#pragma once

#include <memory>

#include "state/sound_channels.h"

namespace cabsim {

/// Channels of the sound output.
constexpr int kSoundOutputChannels = 320;

/// The default device's channels, or the silent ones when it cannot be
/// opened; null only when neither can be made.
std::unique_ptr<SoundChannels> open_sound_output();

}  // namespace cabsim
