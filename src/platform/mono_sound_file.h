// Reading a sound file into memory as one channel of 16-bit samples, the form
// every sound channel plays.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace cabsim {

struct MonoSound {
  int rate = 0;  ///< samples per second, as recorded
  std::vector<int16_t> samples;
};

struct MonoSoundLimits {
  int64_t max_frames;
  int max_channels;
  int max_rate;
};

/// What a sound channel takes: ten minutes at 96 kHz, eight channels, 384 kHz.
inline constexpr MonoSoundLimits kChannelSoundLimits{int64_t{96000} * 60 * 10, 8, 384000};

/// Whether `file` is a sound a channel can play: a regular file, a RIFF wave
/// whose chunk walk finds its samples at a sane rate (the walk that times
/// melodies), which libsndfile opens within `limits`. Returns an empty text,
/// or the failure's text for the user. Every channel set, silent or heard,
/// refuses a file with this same text.
std::string check_mono_sound(const std::filesystem::path& file, const MonoSoundLimits& limits);

/// Reads the wave file at `file` (8- or 16-bit PCM, or any other encoding
/// libsndfile decodes; any number of channels up to the limit, mixed down to
/// one by averaging; any rate). A file whose data ends early gives the
/// samples it holds. Returns an empty text, or the failure's text for the user
/// (check_mono_sound's).
std::string read_mono_sound(const std::filesystem::path& file, const MonoSoundLimits& limits,
                            MonoSound& out);

}  // namespace cabsim
