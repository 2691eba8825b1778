// Sound files through libsndfile, mixed down to mono.
#include "platform/mono_sound_file.h"

#include <sndfile.h>

#include <cmath>
#include <memory>

namespace cabsim {
namespace {

/// Frames read at a time.
constexpr sf_count_t kChunkFrames = 8192;

struct CloseSndfile {
  void operator()(SNDFILE* f) const { sf_close(f); }
};

std::string unreadable(const std::filesystem::path& file, const std::string& why) {
  return file.string() + " は正しいWAVEファイルではありません（" + why + "）";
}

}  // namespace

std::string read_mono_sound(const std::filesystem::path& file, const MonoSoundLimits& limits,
                            MonoSound& out) {
  out = MonoSound{};
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return file.string() + " が見つかりません";
  SF_INFO info{};
  std::unique_ptr<SNDFILE, CloseSndfile> sound(sf_open(file.c_str(), SFM_READ, &info));
  if (!sound) return unreadable(file, sf_strerror(nullptr));
  if (info.channels < 1 || info.channels > limits.max_channels)
    return unreadable(file, std::to_string(info.channels) + " channels");
  if (info.samplerate < 1 || info.samplerate > limits.max_rate)
    return unreadable(file, std::to_string(info.samplerate) + " Hz");
  if (info.frames < 0 || info.frames > limits.max_frames)
    return unreadable(file, "too long: " + std::to_string(info.frames) + " samples");

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
