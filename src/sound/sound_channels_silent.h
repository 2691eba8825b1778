// The silent channel set: every channel's sound, status, level and frequency
// kept exactly, without a sound device. It runs the program when no device
// opens and drives the command-line simulation, where sounds end after their
// length in simulated time.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "state/sound_channels.h"

namespace cabsim {

class SilentSoundChannels final : public SoundChannels {
 public:
  /// A sound whose length is not known plays once until it is stopped.
  static constexpr int64_t kUnknownLength = -1;

  int channel_count() const override { return kChannelCount; }

  /// Where this set stands in for heard channels, their own test of a file,
  /// run before the header is read: what they would refuse is refused here,
  /// with the same text.
  std::function<std::string(const std::filesystem::path&)> check_file;

  /// Reads the wave file's RIFF header for its length; a missing or unusable
  /// file leaves the channel as it was and returns the failure's text.
  std::string load(int channel, const std::filesystem::path& file) override;
  /// Reads the header only, as load() does, and keeps the length.
  std::string preload(const std::filesystem::path& file) override;
  void unload_all() override;
  bool has_sound(int channel) const override;

  void play_once(int channel) override;
  void play_looped(int channel) override;
  void stop(int channel) override;
  ChannelStatus status(int channel) const override;

  void set_volume(int channel, int32_t hundredths_db) override;
  int32_t volume(int channel) const override;
  void set_frequency_factor(int channel, double factor) override;
  double frequency_factor(int channel) const override;

  /// Binds a sound of `milliseconds` (kUnknownLength: not known) to `channel`
  /// without a file, or sets the length of the sound already bound.
  void set_length(int channel, int64_t milliseconds);
  int64_t length(int channel) const;
  /// Simulated time passes: a sound played once ends when it has played its
  /// whole length; looped sounds go round.
  void advance(int64_t milliseconds);

 private:
  struct Channel {
    bool bound = false;
    int64_t length_ms = kUnknownLength;
    int64_t played_ms = 0;  ///< playing position
    ChannelStatus status = ChannelStatus::kStopped;
    int32_t volume = 0;
    double frequency_factor = 1.0;
  };

  /// The channel numbered `channel`, or nothing for a number out of range.
  Channel* find(int channel);
  const Channel* find(int channel) const;
  /// The bound channel numbered `channel`, or nothing.
  Channel* bound(int channel);

  std::array<Channel, kChannelCount> channels_{};
  /// Lengths of the preloaded files, ms.
  std::map<std::filesystem::path, int64_t> kept_;
  /// One past the highest channel ever played: time passes only for those.
  int active_end_ = 0;
};

}  // namespace cabsim
