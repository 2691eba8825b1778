// Sound points, zone levels, passing trains, switches and crossing bells.
#include "sound/track_sounds.h"

#include <cmath>
#include <cstdlib>

#include "data/route_lookup.h"
#include "sound/channel_layout.h"
#include "sound/environment_sounds.h"
#include "sound/sound_level.h"
#include "sound/sound_numbers.h"

namespace cabsim {
namespace {

/// Frames either side of a point sound's frame in which it sounds.
constexpr int64_t kPointWindow = 10;
/// Frames either side of a switch in which it is heard.
constexpr int64_t kSwitchWindow = 5;
constexpr long double kPointScale = 5000;  ///< level = 5000 x log10(speed x zone / reference)
constexpr long double kRangeScale = 2000;  ///< level = 2000 x log10(remaining range / range)
/// Passing trains: the source stands this far beside the track, cm, and
/// 1220 km/h is the speed of sound.
constexpr long double kSourceOffset = 300;
constexpr long double kSoundSpeed = 1220;
/// The train file whose running sounds were recorded twice as loud.
constexpr std::string_view kLoudTrain = "train_683.dat";

/// Pitch and level of a sound point that follows the speed: the speed over
/// the row's reference speed (1 and full without one).
void follow_speed(Run& run, const SoundPointRow& row, int32_t channel) {
  const long double v = std::fabs(run.state.speed);
  const bool referenced = row.reference_speed > 0;
  const long double ratio = referenced ? v / row.reference_speed : 1;
  set_factor(run.sounds, channel, row.pitch_flag != 0 ? ratio : 1);
  const bool by_speed = referenced && v > 0 && row.volume_flag == 1;
  set_level(run.sounds, channel,
            by_speed ? log_level(kPointScale, ratio * run.state.zone_level_factor) : kFullLevel);
}

int64_t frames_from(const Run& run, int32_t frame) {
  return std::llabs(int64_t{run.state.current_frame} - frame);
}

/// Loops the rows of `kind` while `inside` says the train is in their reach,
/// `shape` setting pitch and level; stops a row's sound when the train leaves
/// it. A row's played mark says it is sounding.
template <typename Inside, typename Shape>
void looped_points(Run& run, int32_t kind, Inside inside, Shape shape) {
  auto rows = table_rows(run.route->Sound, run.route->Sound_count);
  for (SoundPointRow& row : rows) {
    if (row.kind != kind || !row.played || inside(row)) continue;
    stop_if_playing(run.sounds, environment_channel(run, row.sound));
    row.played = 0;
  }
  for (SoundPointRow& row : rows) {
    if (row.kind != kind || !inside(row)) continue;
    const int32_t channel = environment_channel(run, row.sound);
    if (channel < 0) continue;
    shape(row, channel);
    start_looped(run.sounds, channel);
    row.played = 1;
  }
}

void point_sounds(Run& run) {
  for (SoundPointRow& row : table_rows(run.route->Sound, run.route->Sound_count)) {
    if (row.kind != kPointSound || frames_from(run, row.frame) > kPointWindow) continue;
    const int32_t channel = environment_channel(run, row.sound);
    if (channel < 0) continue;
    follow_speed(run, row, channel);
    if (!row.played) {
      restart_once(run.sounds, channel);
      row.played = 1;
    }
  }
  // A stretch of line with its own sound (a bridge, a cutting): from the
  // row's frame over field 7 frames.
  looped_points(
      run, kStretchSound,
      [&](const SoundPointRow& row) {
        const int64_t into = int64_t{run.state.current_frame} - row.frame;
        return row.field7 > 0 && into >= 0 && into <= row.field7;
      },
      [&](const SoundPointRow& row, int32_t channel) { follow_speed(run, row, channel); });
}

void switch_sounds(Run& run) {
  const TrainParams& t = run.train;
  const ChannelLayout layout = channel_layout(t, *run.route);
  const auto choices = table_rows(t.SwitchSound, t.SwitchSound_count);
  for (SwitchRow& sw : table_rows(run.route->Switch, run.route->Switch_count)) {
    if (frames_from(run, sw.frame) >= kSwitchWindow) continue;
    for (const SwitchSoundRow& choice : choices) {
      if (choice.kind != sw.kind || !(choice.speed > run.state.speed)) continue;
      if (!sw.sounded && layout.is_train_sound(choice.sound))
        restart_once(run.sounds, choice.sound);
      break;
    }
    sw.sounded = 1;
  }
}

}  // namespace

long double zone_level_factor(const Run& run) {
  long double factor = 1;
  const int32_t f = run.state.current_frame;
  for (const AttenRow& row : table_rows(run.route->Atten, run.route->Atten_count))
    if (row.first_frame < f && f < row.last_frame) factor = row.level / 100.0L;
  if (run.selection.train_file == kLoudTrain) factor /= 2;
  return factor;
}

void track_sounds_step(Run& run) {
  run.state.zone_level_factor = zone_level_factor(run);
  point_sounds(run);
  switch_sounds(run);
}

void passing_train_sounds(Run& run) {
  const long double position = run.state.position;
  const long double v = run.state.speed;
  bool heard = false;
  const auto rows = table_rows(run.route->Doppler, run.route->Doppler_count);
  for (const DopplerRow& row : rows) {
    const int32_t channel = environment_channel(run, row.sound);
    const long double d = position - row.position;
    const long double distance = std::fabs(d);
    if (channel < 0 || row.range <= 0 || distance > row.range) continue;
    heard = true;
    start_looped(run.sounds, channel);
    if (row.no_shift == 0 && d != 0) {
      const long double c = distance / std::sqrt(d * d + kSourceOffset * kSourceOffset);
      const long double closing = d < 0 ? kSoundSpeed - c * v : kSoundSpeed + c * v;
      // Faster than sound towards the source there is no pitch to give.
      if (closing > 0) set_factor(run.sounds, channel, kSoundSpeed / closing);
    }
    set_level(run.sounds, channel, log_level(kRangeScale, (row.range - distance) / row.range));
  }
  if (heard) return;
  for (const DopplerRow& row : rows)
    stop_if_playing(run.sounds, environment_channel(run, row.sound));
}

void crossing_bells(Run& run) {
  // Field 7 is the range in frames either side of the crossing; the bell is
  // loudest at the crossing and silent at the edge of its range.
  looped_points(
      run, kCrossingBell,
      [&](const SoundPointRow& row) {
        return row.field7 > 0 && frames_from(run, row.frame) <= row.field7;
      },
      [&](const SoundPointRow& row, int32_t channel) {
        const long double range = row.field7;
        set_level(run.sounds, channel,
                  log_level(kRangeScale, (range - frames_from(run, row.frame)) / range));
      });
}

}  // namespace cabsim
