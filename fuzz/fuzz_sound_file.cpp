// Fuzzing the sound reader every channel uses: the chunk walk, then
// libsndfile within the limits, mixed down to one channel. A sound is
// refused with a text or read within its limit.
#include "media_file.h"
#include "platform/mono_sound_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 256 * 1024) return 0;
  // Small limits, so that a header claiming hours is refused, not read.
  const cabsim::MonoSoundLimits limits{200000, 8, 384000};
  cabsim::MonoSound sound;
  const std::string failure =
      cabsim::read_mono_sound(cabsim::fuzz::write_input(data, size, ".wav"), limits, sound);
  if (failure.empty() && (sound.rate < 1 || static_cast<int64_t>(sound.samples.size()) > 200000))
    __builtin_trap();
  return 0;
}
