// Running-sound band, motor and engine sounds, idling and brake application.
#include "sound/running_sounds.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "sound/channel_layout.h"
#include "sound/sound_level.h"
#include "sound/sound_numbers.h"

namespace cabsim {
namespace {

// Running-sound band.
constexpr int32_t kBandWidth = 10;  ///< km/h per recording
constexpr int32_t kBandTop = 120;   ///< km/h from which the top recording plays alone
constexpr int32_t kPitchBand = 8;   ///< bands from 80 km/h rise in pitch
constexpr long double kPitchPerKmh = 0.011L;
constexpr long double kBandScale = 2000;  ///< level = 2000 x log10(weight / 100)

// Motor and engine rows.
constexpr long double kOpenGate = 100;
constexpr long double kClosedGate = 1;
constexpr long double kRowScale = 1660;  ///< level = 1660 x log10(level x gate x ramp / 10^6)
constexpr long double kRowFull = 1000000;
constexpr int32_t kQuietestRowLevel = -2999;  ///< quieter rows are silenced
constexpr long double kEngineFade = 10;       ///< engine-speed units of the fades at a row's ends

/// Engine-type values of the train file.
constexpr int32_t kDiesel = 0;
constexpr int32_t kElectric = 1;

/// `[EngineSound2]` lines 1 and 2.
constexpr size_t kIdleSound = 0;
constexpr size_t kIdleDoorSound = 1;
/// Ticks after the doors open during which the door idling sound is started,
/// and the tick at which the plain idling sound takes over again.
constexpr int32_t kDoorIdleTicks = 30;
constexpr int32_t kIdleReturnTick = 55;

/// Automatic air brake: the service position of the handle.
constexpr int32_t kServicePosition = -3;

int32_t as_channel(int64_t channel) {
  return static_cast<int32_t>(std::clamp<int64_t>(channel, -1, SoundChannels::kChannelCount));
}

/// y on the straight line through (x0, y0) and (x1, y1); y0 where the two
/// breakpoints coincide.
long double line(long double x, long double x0, long double x1, long double y0, long double y1) {
  if (x1 == x0) return y0;
  return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

/// What a row's curve gives at one speed: a frequency factor (none: leave it
/// as it is) and a level.
struct RowShape {
  std::optional<long double> factor;
  long double level = 1;
};

/// An electric motor row at train speed `v`: interpolated between the
/// breakpoints, level 1 outside them.
RowShape motor_curve(long double v, const MotorSoundData& r) {
  if (r.s0 <= v && v <= r.s1)
    return {line(v, r.s0, r.s1, r.p0, r.p1), line(v, r.s0, r.s1, r.q0, r.q1)};
  if (r.s1 < v && v <= r.s2)
    return {line(v, r.s1, r.s2, r.p1, r.p2), line(v, r.s1, r.s2, r.q1, r.q2)};
  return {};
}

/// A diesel engine row at engine speed `x`: interpolated between the
/// breakpoints, faded in over the 10 units below the first and out over the
/// 10 units above the last, the pitch following the end segments' lines.
RowShape engine_curve(long double x, const MotorSoundData& r) {
  if (r.s0 <= x && x <= r.s2) {
    if (x <= r.s1) return {line(x, r.s0, r.s1, r.p0, r.p1), line(x, r.s0, r.s1, r.q0, r.q1)};
    return {line(x, r.s1, r.s2, r.p1, r.p2), line(x, r.s1, r.s2, r.q1, r.q2)};
  }
  if (r.s0 - kEngineFade <= x && x < r.s0)
    return {line(x, r.s0, r.s1, r.p0, r.p1), r.q0 * (x - (r.s0 - kEngineFade)) / kEngineFade};
  if (r.s2 < x && x <= r.s2 + kEngineFade)
    return {line(x, r.s1, r.s2, r.p1, r.p2), r.q2 * (r.s2 + kEngineFade - x) / kEngineFade};
  return {};
}

/// A gear or retarder row at train speed `v`, with the same fades.
RowShape gear_curve(long double v, const HensokuSoundData& r) {
  if (r.s0 <= v && v <= r.s1)
    return {line(v, r.s0, r.s1, r.p0, r.p1), line(v, r.s0, r.s1, r.q0, r.q1)};
  if (r.s0 - kEngineFade <= v && v < r.s0)
    return {line(v, r.s0, r.s1, r.p0, r.p1), r.q0 * (v - (r.s0 - kEngineFade)) / kEngineFade};
  if (r.s1 < v && v <= r.s1 + kEngineFade)
    return {line(v, r.s0, r.s1, r.p0, r.p1), r.q1 * (r.s1 + kEngineFade - v) / kEngineFade};
  return {};
}

void apply_shape(SoundChannels& sounds, int64_t channel, const RowShape& shape,
                 long double& level) {
  if (shape.factor) set_factor(sounds, channel, *shape.factor);
  level = shape.level;
}

/// Level, start and stop of one motor or engine row under the ramp.
void row_volume(SoundChannels& sounds, int64_t channel, long double& level, long double gate,
                long double ramp) {
  if (level < 1) level = 1;
  const int32_t v = log_level(kRowScale, level * gate * ramp / kRowFull);
  set_level(sounds, channel, v >= kQuietestRowLevel && gate > 10 ? v : kSilentLevel);
  if (gate < 5)
    stop_if_playing(sounds, as_channel(channel));
  else
    start_looped(sounds, as_channel(channel));
}

int32_t engine1_rows(const TrainParams& t) {
  return std::clamp<int32_t>(t.EngineSound1_count, 0, static_cast<int32_t>(kMaxEngineSound1));
}

int32_t engine3_rows(const TrainParams& t) {
  return std::clamp<int32_t>(t.EngineSound3_count, 0, static_cast<int32_t>(kMaxEngineSound3));
}

}  // namespace

void running_band(Run& run) {
  const ChannelLayout layout = channel_layout(run.train, *run.route);
  SoundChannels& sounds = run.sounds;
  // Only the train's own running sounds: a band beyond its recordings is
  // silent rather than the route's sounds after them.
  auto band = [&](int32_t z) { return layout.is_train_sound(z) ? z : -1; };
  const long double v = std::fabs(run.state.speed);
  const std::optional<int32_t> rounded = round_to_int32(v);
  if (!rounded) return;
  const int32_t r = *rounded;
  const int32_t z = r / kBandWidth;
  if (r >= kBandTop) {
    const int32_t top = band(kBandTop / kBandWidth);
    start_looped(sounds, top);
    set_level(sounds, top, kFullLevel);
    return;
  }
  if (r >= 11 && z >= 2) stop_if_playing(sounds, band(z - 1));
  if (r < 110) stop_if_playing(sounds, band(z + 2));
  start_looped(sounds, band(z));
  start_looped(sounds, band(z + 1));
  const int32_t within = r % kBandWidth;
  const int32_t w1 = std::max(100 - 10 * within, 1);
  const int32_t w2 = std::max(10 * within, 1);
  if (z >= 1) set_level(sounds, band(z), log_level(kBandScale, w1 / 100.0L));
  set_level(sounds, band(z + 1), log_level(kBandScale, w2 / 100.0L));
  if (z >= kPitchBand) set_factor(sounds, band(z), (v - kBandWidth * z) * kPitchPerKmh + 1);
}

void electric_motor_sounds(Run& run) {
  RunState& s = run.state;
  const TrainParams& t = run.train;
  const ChannelLayout layout = channel_layout(t, *run.route);
  const long double v = std::fabs(s.speed);
  const int32_t rows = engine1_rows(t);
  for (int32_t i = 0; i < rows; ++i) {
    const MotorSoundData& row = t.EngineSound1[static_cast<size_t>(i)];
    apply_shape(run.sounds, layout.engine(i), motor_curve(v, row),
                s.row_level[static_cast<size_t>(i)]);
    long double& gate = s.row_gate[static_cast<size_t>(i)];
    if (row.mode == 2 || (row.mode == 0 && s.effective_power_notch >= 1) ||
        (row.mode == 1 && s.effective_brake_notch < 0))
      gate = kOpenGate;
    else if (gate > 11)
      gate -= 10;
  }
  long double& ramp = s.motor_sound_ramp;
  const bool working = s.effective_power_notch >= 1 || s.effective_brake_notch < 0 ||
                       s.protection_emergency_flag || s.pattern_brake_flag;
  if (working) {
    if (ramp < 85) ramp += 20;
  } else if (ramp > 15) {
    ramp -= 10;
  }
  if (ramp > 100) ramp = 100;
  for (int32_t i = 0; i < rows; ++i)
    row_volume(run.sounds, layout.engine(i), s.row_level[static_cast<size_t>(i)],
               s.row_gate[static_cast<size_t>(i)], ramp);
}

void diesel_engine_sounds(Run& run) {
  RunState& s = run.state;
  const TrainParams& t = run.train;
  const ChannelLayout layout = channel_layout(t, *run.route);
  const long double v = std::fabs(s.speed);
  const int32_t rows = engine1_rows(t);
  for (int32_t i = 0; i < rows; ++i) {
    const MotorSoundData& row = t.EngineSound1[static_cast<size_t>(i)];
    if (!s.doors_open)
      apply_shape(run.sounds, layout.engine(i), engine_curve(s.engine_speed, row),
                  s.row_level[static_cast<size_t>(i)]);
    long double& gate = s.row_gate[static_cast<size_t>(i)];
    if (row.mode >= 0)
      gate = row.mode == s.gear ? kOpenGate : kClosedGate;
    else if (row.mode == -1)
      gate = kOpenGate;
    else if (row.mode == -2 && s.effective_brake_notch < 0)
      gate = kOpenGate;
  }
  const int32_t gear_rows = engine3_rows(t);
  for (int32_t i = 0; i < gear_rows; ++i) {
    const HensokuSoundData& row = t.EngineSound3[static_cast<size_t>(i)];
    apply_shape(run.sounds, layout.engine3(i), gear_curve(v, row),
                s.gear_sound_level[static_cast<size_t>(i)]);
    long double& gate = s.gear_sound_gate[static_cast<size_t>(i)];
    const bool open = (row.kind == 1 && s.effective_power_notch >= 1 && row.gear == s.gear) ||
                      (row.kind == 2 && s.effective_brake_notch < 0 && v > t.Lose_elec);
    if (open) {
      if (gate < 95) gate = std::min<long double>(gate + 10, 95);
    } else if (gate > 10) {
      gate -= 10;
    }
  }
  long double& ramp = s.motor_sound_ramp;
  const bool changing = s.gear_change_in_progress != 0;
  if (s.effective_power_notch >= 1 && !changing && s.engine_running) {
    if (ramp < 95) ramp += 5;
  } else if (s.effective_power_notch == 0 || changing) {
    if (ramp > 5) ramp -= 5;
  }
  for (int32_t i = 0; i < rows; ++i)
    row_volume(run.sounds, layout.engine(i), s.row_level[static_cast<size_t>(i)],
               s.row_gate[static_cast<size_t>(i)], ramp);
  for (int32_t i = 0; i < gear_rows; ++i)
    row_volume(run.sounds, layout.engine3(i), s.gear_sound_level[static_cast<size_t>(i)],
               s.gear_sound_gate[static_cast<size_t>(i)], ramp);
}

void idle_sounds(Run& run) {
  RunState& s = run.state;
  const ChannelLayout layout = channel_layout(run.train, *run.route);
  auto sound = [&](size_t line) {
    const int32_t n = run.train.EngineSound2[line];
    return layout.is_train_sound(n) ? n : -1;
  };
  const int32_t idle = sound(kIdleSound);
  const int32_t idle_door = sound(kIdleDoorSound);
  const int32_t open_ticks = s.doors_open_ticks;
  s.doors_open_ticks = s.doors_open ? (open_ticks < INT32_MAX ? open_ticks + 1 : open_ticks) : 0;
  if (!s.engine_running) {
    stop_if_playing(run.sounds, idle);
    stop_if_playing(run.sounds, idle_door);
  } else if (!s.doors_open) {
    start_looped(run.sounds, idle);
    stop_if_playing(run.sounds, idle_door);
  } else if (open_ticks < kDoorIdleTicks) {
    start_looped(run.sounds, idle_door);
    stop_if_playing(run.sounds, idle);
  } else if (open_ticks == kIdleReturnTick) {
    start_looped(run.sounds, idle);
    stop_if_playing(run.sounds, idle_door);
  }
}

void brake_apply_sound(Run& run) {
  const TrainParams& t = run.train;
  if (t.BrakeType != 0) return;
  const ChannelLayout layout = channel_layout(t, *run.route);
  const int32_t apply = layout.is_train_sound(t.Sound_Apply) ? t.Sound_Apply : -1;
  const RunState& s = run.state;
  if (s.effective_brake_notch != kServicePosition) {
    stop_if_playing(run.sounds, apply);
  } else if (s.trailer_brake_cylinder.real() < t.EBPress) {
    start_looped(run.sounds, apply);
  } else {
    stop_if_playing(run.sounds, apply);
  }
}

void running_sounds_step(Run& run) {
  running_band(run);
  if (run.train.Engine_Type == kElectric) electric_motor_sounds(run);
  if (run.train.Engine_Type == kDiesel) {
    diesel_engine_sounds(run);
    idle_sounds(run);
  }
  brake_apply_sound(run);
}

}  // namespace cabsim
