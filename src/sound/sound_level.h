// Levels and frequency factors as the sound rules hand them to the channels:
// a level is whole hundredths of a decibel between silence and full, never
// a value a logarithm of nothing or a bad table would give.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "data/rounding.h"
#include "state/sound_channels.h"

namespace cabsim {

constexpr int32_t kSilentLevel = -10000;  ///< hundredths of a dB
constexpr int32_t kFullLevel = 0;

/// `hundredths` rounded into silent .. full; not a number is silence.
inline int32_t sound_level(long double hundredths) {
  if (std::isnan(hundredths) || hundredths <= kSilentLevel) return kSilentLevel;
  if (hundredths >= kFullLevel) return kFullLevel;
  // Whole and within the range, so exact as a double (a cheaper conversion).
  return static_cast<int32_t>(static_cast<double>(round_half_even(hundredths)));
}

/// scale x log10(ratio) as a level; a ratio of zero or less is silence. A
/// double's logarithm is far finer than the hundredth of a decibel kept.
inline int32_t log_level(long double scale, long double ratio) {
  if (!(ratio > 0)) return kSilentLevel;
  const double r = ratio < std::numeric_limits<double>::max() ? static_cast<double>(ratio)
                                                              : std::numeric_limits<double>::max();
  return sound_level(scale * std::log10(r));
}

/// Sets the frequency factor of `channel` when `factor` is a number a double
/// holds; any other factor (a speed over a reference of nothing, a row's
/// absurd pitch) leaves the channel as it was.
inline void set_factor(SoundChannels& sounds, int64_t channel, long double factor) {
  if (!(std::fabs(factor) <= std::numeric_limits<double>::max())) return;
  if (channel < 0 || channel >= sounds.channel_count()) return;
  sounds.set_frequency_factor(static_cast<int>(channel), static_cast<double>(factor));
}

/// Sets the level of `channel`, clamped to silent .. full.
inline void set_level(SoundChannels& sounds, int64_t channel, int32_t level) {
  if (channel < 0 || channel >= sounds.channel_count()) return;
  sounds.set_volume(static_cast<int>(channel), sound_level(level));
}

/// Lowers the level of `channel` by `step`; a channel that falls below `stop_below` stops.
inline void fade_level(SoundChannels& sounds, int64_t channel, int32_t step, int32_t stop_below) {
  if (channel < 0 || channel >= sounds.channel_count()) return;
  const int c = static_cast<int>(channel);
  const int32_t level = sound_level(static_cast<long double>(sounds.volume(c)) - step);
  sounds.set_volume(c, level);
  if (level < stop_below && sounds.status(c) != ChannelStatus::kStopped) sounds.stop(c);
}

}  // namespace cabsim
