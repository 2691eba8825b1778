// The numbered sound channels a run plays its sounds on: one sound bound to
// each channel, played once or looped, with a level in hundredths of a decibel
// and a frequency factor.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace cabsim {

/// What a channel is doing.
enum class ChannelStatus : int32_t {
  kStopped = 0,
  kPlayingOnce = 1,
  kLooping = 4,
};

/// The channel set of a run. Channel numbers outside 0 .. channel_count() - 1,
/// and channels with no sound bound, are accepted and do nothing (status
/// stopped), so a number read from a definition file can never do harm.
class SoundChannels {
 public:
  static constexpr int kChannelCount = 320;

  virtual ~SoundChannels() = default;

  virtual int channel_count() const = 0;

  /// Binds the wave file at `file` to `channel`, replacing what was bound; a
  /// file kept by preload() is bound from memory. Returns the failure's text
  /// to show the user, or an empty text.
  virtual std::string load(int channel, const std::filesystem::path& file) = 0;
  /// Reads the wave file at `file` and keeps it without binding it, so that
  /// binding it later reads nothing from the disk (the calls, which take
  /// turns on one channel). Returns the failure's text, or an empty text.
  virtual std::string preload(const std::filesystem::path& file) = 0;
  /// Unbinds and frees every sound, the kept ones too; every channel is then
  /// stopped.
  virtual void unload_all() = 0;
  /// True when a sound is bound to `channel`.
  virtual bool has_sound(int channel) const = 0;

  /// Plays the channel's sound once from its start.
  virtual void play_once(int channel) = 0;
  /// Plays the channel's sound from its start, over and over.
  virtual void play_looped(int channel) = 0;
  virtual void stop(int channel) = 0;
  virtual ChannelStatus status(int channel) const = 0;

  /// Level in hundredths of a decibel (0 full, -10000 silent).
  virtual void set_volume(int channel, int32_t hundredths_db) = 0;
  /// The last level set (0 before any).
  virtual int32_t volume(int channel) const = 0;
  /// Playback speed as a factor of the recorded frequency (1 = as recorded).
  virtual void set_frequency_factor(int channel, double factor) = 0;
  virtual double frequency_factor(int channel) const = 0;
};

}  // namespace cabsim
