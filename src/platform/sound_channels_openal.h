// The sound channels on OpenAL Soft: one mono source per channel, a wave file
// loaded with libsndfile into each, gain from hundredths of a decibel and
// pitch from the frequency factor.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/mono_sound_file.h"
#include "state/sound_channels.h"

namespace cabsim {

class OpenAlSoundChannels final : public SoundChannels {
 public:
  /// The output rate asked of the device (it may choose another).
  static constexpr int kOutputFrequency = 22050;
  /// The playback frequencies a channel can be set to, in Hz.
  static constexpr int kMinFrequency = 100;
  static constexpr int kMaxFrequency = 200000;

  /// Opens the named output device (null: the default one). Null, with the
  /// reason in `failure`, when it cannot be opened.
  static std::unique_ptr<OpenAlSoundChannels> open_device(const char* device_name,
                                                          std::string* failure);
  /// A device that plays into memory: render() takes its samples (mono,
  /// 16-bit, at `frequency`), exactly the same on every run.
  static std::unique_ptr<OpenAlSoundChannels> open_loopback(int frequency, std::string* failure);

  ~OpenAlSoundChannels() override;
  OpenAlSoundChannels(const OpenAlSoundChannels&) = delete;
  OpenAlSoundChannels& operator=(const OpenAlSoundChannels&) = delete;

  /// The rate the device mixes at.
  int output_frequency() const { return output_frequency_; }
  /// Renders the next `count` samples of a loopback device into `out`
  /// (false on any other device).
  bool render(int16_t* out, int count);

  int channel_count() const override { return static_cast<int>(channels_.size()); }
  std::string load(int channel, const std::filesystem::path& file) override;
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

 private:
  struct Channel {
    unsigned source = 0;
    unsigned buffer = 0;  ///< 0 while no sound is bound
    int file_rate = 0;
    int32_t volume = 0;
    double factor = 1.0;
  };

  OpenAlSoundChannels() = default;
  /// Creates the context and the sources on `device_`.
  std::string start(const std::vector<int>& attributes);
  void make_current() const;
  Channel* bound(int channel);
  const Channel* bound(int channel) const;
  void play(int channel, bool looped);
  void unbind(Channel& c);
  /// Reads `file`, or takes it from the kept sounds.
  std::string read(const std::filesystem::path& file, MonoSound& sound) const;

  void* device_ = nullptr;
  void* context_ = nullptr;
  bool loopback_ = false;
  int output_frequency_ = 0;
  std::vector<Channel> channels_;
  /// Sounds read by preload(), by file.
  std::map<std::filesystem::path, MonoSound> kept_;
};

using SoundChannelsFactory = std::function<std::unique_ptr<SoundChannels>()>;

/// The program's sound channels: OpenAL on the named device (null: the
/// default one) or, when no device opens, the channel set made by `silent`
/// after one line on standard error saying so.
std::unique_ptr<SoundChannels> open_sound_channels(const SoundChannelsFactory& silent,
                                                   const char* device_name = nullptr);

}  // namespace cabsim
