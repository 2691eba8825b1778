// Sound files through libsndfile, mixed down to mono.
#include "platform/mono_sound_file.h"

#include <sndfile.h>

#include <cmath>
#include <memory>

#include "data/wave_seconds.h"

namespace cabsim {
namespace {

/// Frames read at a time.
constexpr sf_count_t kChunkFrames = 8192;

struct CloseSndfile {
  void operator()(SNDFILE* f) const { sf_close(f); }
};

std::string unreadable(const std::filesystem::path& file) {
  return file.string() + " は正しいWAVEファイルではありません";
}

using SoundHandle = std::unique_ptr<SNDFILE, CloseSndfile>;

/// Opens `file` for decoding after every check of check_mono_sound.
std::string open_sound(const std::filesystem::path& file, const MonoSoundLimits& limits,
                       SoundHandle& sound, SF_INFO& info) {
  // The chunk walk first: it tells a missing file, a file that cannot be
  // read and a wave whose samples cannot be timed, in the words the silent
  // channels use.
  if (WaveMillisecondsResult walk = WaveMilliseconds(file); !walk.error.empty()) return walk.error;
  info = SF_INFO{};
  sound.reset(sf_open(file.c_str(), SFM_READ, &info));
  if (!sound || info.channels < 1 || info.channels > limits.max_channels || info.samplerate < 1 ||
      info.samplerate > limits.max_rate || info.frames < 0 || info.frames > limits.max_frames)
    return unreadable(file);
  return {};
}

}  // namespace

std::string check_mono_sound(const std::filesystem::path& file, const MonoSoundLimits& limits) {
  SoundHandle sound;
  SF_INFO info{};
  return open_sound(file, limits, sound, info);
}

std::string read_mono_sound(const std::filesystem::path& file, const MonoSoundLimits& limits,
                            MonoSound& out) {
  out = MonoSound{};
  SoundHandle sound;
  SF_INFO info{};
  if (std::string failure = open_sound(file, limits, sound, info); !failure.empty()) return failure;

  const int channels = info.channels;
  out.rate = info.samplerate;
  out.samples.reserve(static_cast<size_t>(info.frames));
  std::vector<short> chunk(static_cast<size_t>(kChunkFrames * channels));
  while (static_cast<int64_t>(out.samples.size()) < limits.max_frames) {
    const sf_count_t got = sf_readf_short(sound.get(), chunk.data(), kChunkFrames);
    if (got <= 0) break;
    for (sf_count_t i = 0; i < got; ++i) {
      int32_t sum = 0;
      for (int c = 0; c < channels; ++c) sum += chunk[static_cast<size_t>(i * channels + c)];
      out.samples.push_back(static_cast<int16_t>(std::lround(static_cast<double>(sum) / channels)));
    }
  }
  return {};
}

}  // namespace cabsim
