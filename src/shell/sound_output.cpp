// Opening the sound output, falling back to silence.
#include "shell/sound_output.h"

#include "platform/sound_channels_openal.h"
#include "sound/sound_channels_silent.h"

namespace cabsim {

std::unique_ptr<SoundChannels> open_sound_output() {
  std::string failure;
  if (auto device = OpenAlSoundChannels::open_device(nullptr, &failure)) return device;
  return std::make_unique<SilentSoundChannels>();
}

}  // namespace cabsim
