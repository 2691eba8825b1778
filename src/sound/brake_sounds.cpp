// Brake squeal, brake release and handle sounds.
#include "sound/brake_sounds.h"

#include <algorithm>
#include <cmath>

#include "sound/channel_layout.h"
#include "sound/sound_level.h"
#include "sound/sound_numbers.h"

namespace cabsim {
namespace {

constexpr long double kSquealScale = -500.0L * 500.0L;  ///< level = -250000 / cylinder kPa
constexpr long double kSquealSpeed = 1;                 ///< km/h
constexpr int32_t kSquealFadeEmpty = 100;               ///< per tick once the cylinder is empty
constexpr int32_t kSquealFadeStanding = 1000;           ///< per tick at a stand
constexpr int32_t kSquealStopBelow = -5000;
/// Pressure by which the cylinder must exceed the eased handle's own pressure
/// before the release sound plays, kPa.
constexpr long double kReleaseMargin = 10;
/// Speed above which moving a stepped brake to emergency plays the
/// emergency valve's sound, km/h.
constexpr long double kEmergencyValveSpeed = 15;

/// Entry `n` (from 1) of a train-file sound list, when the list has it and it
/// names one of the train's sounds; -1 otherwise.
template <size_t N>
int32_t entry(const TrainParams& t, const std::array<int32_t, N>& list, int32_t count, int64_t n) {
  const int64_t lines = std::clamp<int64_t>(count, 0, static_cast<int64_t>(N));
  if (n < 1 || n > lines) return -1;
  const int32_t sound = list[static_cast<size_t>(n - 1)];
  return sound >= 0 && sound < t.DriveSound_count ? sound : -1;
}

int32_t bk(const TrainParams& t, int64_t n) {
  return entry(t, t.Sound_BK, t.Sound_BK_count, n);
}
int32_t br(const TrainParams& t, int64_t n) {
  return entry(t, t.Sound_BR, t.Sound_BR_count, n);
}
int32_t ba(const TrainParams& t, int64_t n) {
  return entry(t, t.Sound_BA, t.Sound_BA_count, n);
}
int32_t pa(const TrainParams& t, int64_t n) {
  return entry(t, t.Sound_PA, t.Sound_PA_count, n);
}

/// Stops every sound of the brake lists.
void stop_brake_sounds(Run& run) {
  const TrainParams& t = run.train;
  for (int64_t n = 1; n <= static_cast<int64_t>(kMaxBrakeSteps) + 1; ++n) {
    stop_if_playing(run.sounds, bk(t, n));
    stop_if_playing(run.sounds, br(t, n));
    stop_if_playing(run.sounds, ba(t, n));
  }
}

void brake_handle_sounds(Run& run) {
  const TrainParams& t = run.train;
  const RunState& s = run.state;
  const int64_t h = s.brake_handle;
  const int64_t e = s.effective_brake_notch;
  const int64_t strongest = -int64_t{t.Brake};
  SoundChannels& sounds = run.sounds;
  if (h < e) stop_brake_sounds(run);
  if (t.BrakeType == 0) {
    if (h == 0 && e < 0)
      start_once(sounds, release_sound(t));
    else if (e < h)
      start_once(sounds, br(t, -h));
    else if (strongest < h && h < e)
      start_once(sounds, ba(t, -h));
    return;
  }
  if (h == strongest && h < e && std::fabs(s.speed) > kEmergencyValveSpeed)
    start_once(sounds, ba(t, int64_t{t.Brake} + 1));
  else if (strongest <= h && h < e)
    start_once(sounds, ba(t, -h));
}

void power_handle_sounds(Run& run) {
  const TrainParams& t = run.train;
  const RunState& s = run.state;
  const int64_t p = s.power_handle;
  const int64_t pe = s.effective_power_notch;
  if (p == 0 && pe > 0)
    start_once(run.sounds, notch_off_sound(t));
  else if (p > pe)
    start_once(run.sounds, pa(t, p));
  else if (p < pe)
    start_once(run.sounds, pa(t, p + 1));
}

}  // namespace

int32_t release_sound(const TrainParams& train) {
  return bk(train, 1);
}

int32_t notch_off_sound(const TrainParams& train) {
  return entry(train, train.Sound_PR, train.Sound_PR_count, 1);
}

void brake_squeal_step(Run& run) {
  const TrainParams& t = run.train;
  const ChannelLayout layout = channel_layout(t, *run.route);
  if (!layout.is_train_sound(t.Sound_squeak)) return;
  const int32_t squeal = t.Sound_squeak;
  const RunState& s = run.state;
  const long double cylinder = s.trailer_brake_cylinder.real();
  const long double v = std::fabs(s.speed);
  if (cylinder > 0 && v > kSquealSpeed && s.electric_brake_current == 0) {
    start_looped(run.sounds, squeal);
    set_level(run.sounds, squeal, sound_level(kSquealScale / cylinder));
  }
  if (cylinder <= 0) fade_level(run.sounds, squeal, kSquealFadeEmpty, kSquealStopBelow);
  if (v < kSquealSpeed) fade_level(run.sounds, squeal, kSquealFadeStanding, kSquealStopBelow);
}

void brake_release_sound_step(Run& run) {
  const TrainParams& t = run.train;
  RunState& s = run.state;
  if (t.BrakeType < 1 || s.protection_emergency_flag || s.pattern_brake_flag) return;
  const int64_t h = s.brake_handle;
  const int64_t e = s.effective_brake_notch;
  const long double cylinder = s.trailer_brake_cylinder.real();
  if (h == 0 && e != -1 && cylinder > 0) {
    if (!s.handle_sound_played && start_once(run.sounds, bk(t, -e))) s.handle_sound_played = 1;
  } else if (e >= h) {
    s.handle_sound_played = 0;
  } else if (t.Brake > 0 &&
             static_cast<long double>(t.EBPress) * static_cast<long double>(-h) / t.Brake <
                 cylinder - kReleaseMargin) {
    if (!s.handle_sound_played) {
      start_once(run.sounds, br(t, -h + 1));
      s.handle_sound_played = 1;
    }
  } else {
    s.handle_sound_played = 0;
  }
}

void handle_sounds(Run& run) {
  brake_handle_sounds(run);
  power_handle_sounds(run);
}

}  // namespace cabsim
