// Sound files through libsndfile, mixed down to mono.
#include "platform/mono_sound_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
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

std::string le32(uint64_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}

/// What libsndfile reads: a plain wave made of the file's format chunk and its
/// data, nothing else. The other chunks of a stranger's file (lists, tags,
/// cues) never reach it: a damaged list chunk kept it busy for good.
class PlainWave {
 public:
  PlainWave(const std::filesystem::path& file, const WaveLayout& layout)
      : in_(file, std::ios::binary), data_offset_(layout.data_offset) {
    std::string format = layout.format;
    if (format.size() % 2) format += '\0';  // chunks are padded to an even size
    header_ = "RIFF" + le32(4 + 8 + format.size() + 8 + layout.data_bytes) + "WAVE" + "fmt " +
              le32(layout.format.size()) + format + "data" + le32(layout.data_bytes);
    length_ = static_cast<sf_count_t>(header_.size() + layout.data_bytes);
  }

  bool is_open() const { return static_cast<bool>(in_); }

  static SF_VIRTUAL_IO io() {
    SF_VIRTUAL_IO io{};
    io.get_filelen = [](void* self) { return static_cast<PlainWave*>(self)->length_; };
    io.seek = [](sf_count_t offset, int whence, void* self) {
      auto* w = static_cast<PlainWave*>(self);
      const sf_count_t base = whence == SEEK_CUR ? w->at_ : whence == SEEK_END ? w->length_ : 0;
      w->at_ = std::clamp<sf_count_t>(base + offset, 0, w->length_);
      return w->at_;
    };
    io.read = [](void* out, sf_count_t count, void* self) {
      return static_cast<PlainWave*>(self)->read(static_cast<char*>(out), count);
    };
    io.write = [](const void*, sf_count_t, void*) { return sf_count_t{0}; };
    io.tell = [](void* self) { return static_cast<PlainWave*>(self)->at_; };
    return io;
  }

 private:
  sf_count_t read(char* out, sf_count_t count) {
    sf_count_t done = 0;
    const auto header = static_cast<sf_count_t>(header_.size());
    while (done < count && at_ < length_) {
      if (at_ < header) {
        const sf_count_t n = std::min(count - done, header - at_);
        std::memcpy(out + done, header_.data() + at_, static_cast<size_t>(n));
        done += n;
        at_ += n;
        continue;
      }
      in_.clear();
      in_.seekg(static_cast<std::streamoff>(data_offset_ + static_cast<uint64_t>(at_ - header)));
      in_.read(out + done, std::min(count - done, length_ - at_));
      const sf_count_t got = in_.gcount();
      if (got <= 0) break;
      done += got;
      at_ += got;
    }
    return done;
  }

  std::ifstream in_;
  uint64_t data_offset_;
  std::string header_;
  sf_count_t length_ = 0;
  sf_count_t at_ = 0;
};

/// Opens `file` for decoding after every check of check_mono_sound.
std::string open_sound(const std::filesystem::path& file, const MonoSoundLimits& limits,
                       std::unique_ptr<PlainWave>& wave, SoundHandle& sound, SF_INFO& info) {
  // The chunk walk first: it tells a missing file, a file that cannot be
  // read and a wave whose samples cannot be timed, in the words the silent
  // channels use, and finds the chunks libsndfile is given.
  const WaveLayout layout = wave_layout(file);
  if (!layout.error.empty()) return layout.error;
  wave = std::make_unique<PlainWave>(file, layout);
  if (!wave->is_open()) return file.string() + " を読み込めません";
  info = SF_INFO{};
  SF_VIRTUAL_IO io = PlainWave::io();
  sound.reset(sf_open_virtual(&io, SFM_READ, &info, wave.get()));
  if (!sound || info.channels < 1 || info.channels > limits.max_channels || info.samplerate < 1 ||
      info.samplerate > limits.max_rate || info.frames < 0 || info.frames > limits.max_frames)
    return unreadable(file);
  return {};
}

}  // namespace

std::string check_mono_sound(const std::filesystem::path& file, const MonoSoundLimits& limits) {
  std::unique_ptr<PlainWave> wave;  // outlives the handle reading it
  SoundHandle sound;
  SF_INFO info{};
  return open_sound(file, limits, wave, sound, info);
}

std::string read_mono_sound(const std::filesystem::path& file, const MonoSoundLimits& limits,
                            MonoSound& out) {
  out = MonoSound{};
  std::unique_ptr<PlainWave> wave;  // outlives the handle reading it
  SoundHandle sound;
  SF_INFO info{};
  if (std::string failure = open_sound(file, limits, wave, sound, info); !failure.empty())
    return failure;

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
