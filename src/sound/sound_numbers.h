// Sounds named by number in the train file: a number is a channel number, and
// a number outside the channel set plays nothing.
#pragma once

#include <cstdint>

#include "state/sound_channels.h"

namespace cabsim {

/// True when `number` names a channel of `sounds`.
inline bool is_channel(const SoundChannels& sounds, int32_t number) {
  return number >= 0 && number < sounds.channel_count();
}

/// Plays sound `number` once from its start, when it names a channel.
inline void play_once_from_start(SoundChannels& sounds, int32_t number) {
  if (is_channel(sounds, number)) sounds.play_once(number);
}

/// Starts sound `number` looped unless it is already playing.
inline void start_looped(SoundChannels& sounds, int32_t number) {
  if (!is_channel(sounds, number) || sounds.status(number) != ChannelStatus::kStopped) return;
  sounds.stop(number);
  sounds.play_looped(number);
}

/// Starts sound `number` once unless it is already playing; true when it
/// started.
inline bool start_once(SoundChannels& sounds, int32_t number) {
  if (!is_channel(sounds, number) || sounds.status(number) != ChannelStatus::kStopped) return false;
  sounds.stop(number);
  sounds.play_once(number);
  return true;
}

/// Stops sound `number` and plays it once from its start.
inline void restart_once(SoundChannels& sounds, int32_t number) {
  if (!is_channel(sounds, number)) return;
  sounds.stop(number);
  sounds.play_once(number);
}

/// Stops sound `number` when it names a channel that is playing.
inline void stop_if_playing(SoundChannels& sounds, int32_t number) {
  if (is_channel(sounds, number) && sounds.status(number) != ChannelStatus::kStopped)
    sounds.stop(number);
}

}  // namespace cabsim
