// Fuzzing the length of a wave sound: the RIFF chunk walk and the rate rules
// that time the melodies and announcements, over any bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/wave_seconds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const cabsim::WaveSecondsResult result = cabsim::wave_seconds_of_bytes(bytes, "f.wav");
  // A length comes with no error, and no sound lasts past what its bytes can
  // hold at the slowest rate.
  if (result.seconds < 0) __builtin_trap();
  if (!result.error.empty() && result.seconds != 0) __builtin_trap();
  if (result.seconds > 0 &&
      static_cast<uint64_t>(result.seconds) > size / cabsim::kMinWaveBytesPerSecond + 1)
    __builtin_trap();
  return 0;
}
