// Which channel plays which sound. A run binds its sounds in one order: the
// train's running sounds (`[DriveSound]`) from channel 0, then the route's
// environment sounds (`[SoundData]`), then the train's engine sounds
// (`[EngineSound1]`, then `[EngineSound3]`); the call channel and the
// commentary channel follow, one channel left free after the engine sounds.
#pragma once

#include <cstdint>

#include "data/route_tables.h"
#include "data/train_params.h"

namespace cabsim {

struct ChannelLayout {
  int64_t drive_count = 0;        ///< running sounds, channels 0 ..
  int64_t environment_count = 0;  ///< environment sounds after them
  int64_t engine1_count = 0;      ///< first engine sounds after those
  int64_t engine3_count = 0;      ///< `[EngineSound3]` after the first engine sounds

  /// The channel of running sound `i`.
  int64_t drive(int64_t i) const { return i; }
  /// The channel of environment sound `k` (its `[SoundData]` row).
  int64_t environment(int64_t k) const { return drive_count + k; }
  /// The channel of first engine sound `i`.
  int64_t engine(int64_t i) const { return drive_count + environment_count + i; }
  /// The channel of `[EngineSound3]` row `i`.
  int64_t engine3(int64_t i) const { return engine(engine1_count) + i; }
  /// True when train sound number `n` names one of the train's running sounds.
  bool is_train_sound(int64_t n) const { return n >= 0 && n < drive_count; }
  /// True when `k` is one of the route's environment sounds.
  bool is_environment_sound(int64_t k) const { return k >= 0 && k < environment_count; }
  /// The last channel of the running, environment and first engine sounds.
  int64_t last_running_channel() const { return drive_count + environment_count + engine1_count; }
  /// The channel of the driver's calls, one after the channel following all
  /// engine sounds (a diesel train's `[EngineSound3]` rows included: they
  /// play on while a call is spoken).
  int64_t call() const { return bound_channels() + 1; }
  /// The channel of the commentary sounds, after the call channel.
  int64_t commentary() const { return call() + 1; }
  /// Channels the bound sounds take.
  int64_t bound_channels() const {
    return drive_count + environment_count + engine1_count + engine3_count;
  }
};

/// The layout of a run's channels from its train and route.
inline ChannelLayout channel_layout(const TrainParams& train, const RouteTables& route) {
  return ChannelLayout{train.DriveSound_count, route.SoundData_count, train.EngineSound1_count,
                       train.EngineSound3_count};
}

}  // namespace cabsim
