// The route's environment sounds (`[SoundData]`) by number: the channel each
// plays on, and the ways the station, announcement and track-side rules start
// and stop them. A number the route has no sound for plays nothing.
#pragma once

#include <cstdint>

#include "sound/channel_layout.h"
#include "sound/sound_numbers.h"
#include "state/run.h"

namespace cabsim {

/// The channel of environment sound `k`, or -1 when the route has no such sound.
inline int32_t environment_channel(const Run& run, int64_t k) {
  const ChannelLayout layout = channel_layout(run.train, *run.route);
  if (!layout.is_environment_sound(k)) return -1;
  const int64_t channel = layout.environment(k);
  return channel >= 0 && channel < SoundChannels::kChannelCount ? static_cast<int32_t>(channel)
                                                                : -1;
}

inline bool environment_playing(const Run& run, int64_t k) {
  const int32_t c = environment_channel(run, k);
  return c >= 0 && run.sounds.status(c) != ChannelStatus::kStopped;
}

/// Plays environment sound `k` once from its start, playing or not.
inline void restart_environment(Run& run, int64_t k) {
  restart_once(run.sounds, environment_channel(run, k));
}

inline void stop_environment(Run& run, int64_t k) {
  stop_if_playing(run.sounds, environment_channel(run, k));
}

/// Starts environment sound `k` looped unless it is playing.
inline void loop_environment(Run& run, int64_t k) {
  start_looped(run.sounds, environment_channel(run, k));
}

}  // namespace cabsim
