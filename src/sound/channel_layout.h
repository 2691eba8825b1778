// Which channel plays which sound. A run binds its sounds in one order: the
// train's running sounds (`[DriveSound]`) from channel 0, then the route's
// environment sounds (`[SoundData]`), then the train's engine sounds
// (`[EngineSound1]`, then `[EngineSound3]`); the call channel and the
// commentary channel follow the first engine sounds.
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
  /// The last channel of the running, environment and first engine sounds.
  int64_t last_running_channel() const { return drive_count + environment_count + engine1_count; }
  /// The channel of the driver's calls, after the first engine sounds.
  int64_t call() const { return last_running_channel() + 1; }
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
