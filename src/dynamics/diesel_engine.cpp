// Engine start, stop and stall; gear selection and change; engine speed.
#include "dynamics/diesel_engine.h"

#include <cmath>

#include "sound/sound_numbers.h"

namespace cabsim {
namespace {

constexpr size_t kEngineStartSound = 2;  ///< `[EngineSound2]` line 3
constexpr size_t kEngineStopSound = 3;   ///< `[EngineSound2]` line 4

bool is_diesel(const TrainParams& train) {
  return train.Engine_Type == 0;
}

/// Neutral engine speed limits and steps.
constexpr long double kNeutralTarget = 100;
constexpr long double kNeutralTop = 95;

void engine_speed_in_gear(RunState& s, const TrainParams& train, bool driving) {
  const auto g = static_cast<size_t>(s.gear);
  if (g >= kMaxEngineRates) return;  // no `[EngineRate]` row for such a gear
  const EngineRateRow& rate = train.EngineRate[g];
  s.engine_speed_target = rate.offset + std::fabs(s.speed) * rate.factor;
  if (!driving) {
    if (s.engine_speed > 10) s.engine_speed -= 3;
    return;
  }
  if (s.gear == train.Engine_count) {
    s.engine_speed = s.engine_speed_target;
    return;
  }
  const long double below = s.engine_speed_target - s.engine_speed;
  if (below > 5)
    s.engine_speed += 2;
  else if (below < -5)
    s.engine_speed -= 2;
  else if (below > 1)
    s.engine_speed += 0.1L;
  else if (below < -1)
    s.engine_speed -= 0.1L;
}

}  // namespace

EngineItem engine_start(RunState& s, const TrainParams& train, SoundChannels& sounds,
                        Clock& clock) {
  if (!s.engine_running) play_once_from_start(sounds, train.EngineSound2[kEngineStartSound]);
  clock.sleep(kEngineStartWaitMs);
  s.engine_running = 1;
  return EngineItem::kRun;
}

void engine_stop(RunState& s, const TrainParams& train, SoundChannels& sounds) {
  if (!s.engine_running) return;
  play_once_from_start(sounds, train.EngineSound2[kEngineStopSound]);
  s.engine_running = 0;
}

void engine_stall_step(RunState& s, const TrainParams& train, SoundChannels& sounds) {
  if (s.engine_running && s.gear == s.target_gear && s.gear == train.Engine_count - 1 &&
      s.effective_power_notch >= 1 && std::fabs(s.speed) < kStallSpeed) {
    s.engine_running = 0;
    s.effective_power_notch = 0;
    play_once_from_start(sounds, train.EngineSound2[kEngineStopSound]);
  }
}

void automatic_gear_selection_step(RunState& s, const TrainParams& train) {
  if (!is_diesel(train) || train.Gear_Type != 0 || s.gear_change_in_progress) return;
  if (s.gear < 0 || s.gear >= train.Engine_count) return;  // no row for this gear
  const EngineRow& row = train.Engine[static_cast<size_t>(s.gear)];
  const long double v = std::fabs(s.speed);
  if (s.gear < train.Engine_count - 1 && v > row.e2) {
    s.target_gear += 1;
    s.gear_change_in_progress = 1;
  }
  if (v < row.e0) {
    s.target_gear -= 1;
    s.gear_change_in_progress = 1;
  }
}

bool gear_change_step(RunState& s, const TrainParams& train) {
  if (!is_diesel(train)) return false;
  // A change begins, or one in progress completes (never both in one tick:
  // a change lasts kGearChangeTicks > 1 ticks).
  static_assert(kGearChangeTicks > 1);
  bool handles_changed = false;
  if (!s.gear_change_in_progress && s.effective_power_notch >= 1 && s.gear != s.target_gear &&
      s.gear_change_counter == 0) {
    s.gear_change_in_progress = 1;
    handles_changed = true;
  }
  if (!s.gear_change_in_progress) return handles_changed;
  s.gear_change_counter += 1;
  if (s.gear_change_counter >= kGearChangeTicks) {
    s.gear_change_counter = 0;
    s.gear = s.target_gear;
    s.gear_change_in_progress = 0;
    handles_changed = true;
  }
  return handles_changed;
}

void engine_speed_step(RunState& s, const TrainParams& train) {
  if (!is_diesel(train)) return;
  const bool driving = s.effective_power_notch >= 1 && !s.gear_change_in_progress;
  if (s.gear >= 1) {
    engine_speed_in_gear(s, train, driving);
  } else if (s.gear == 0) {
    s.engine_speed_target = kNeutralTarget;
    if (driving) {
      if (s.engine_speed < kNeutralTop) s.engine_speed += 4;
      if (s.engine_speed >= kNeutralTop) s.engine_speed = kNeutralTop;
    } else if (s.engine_speed > 5) {
      s.engine_speed -= 5;
    }
  }
}

void gear_reset_step(RunState& s, const TrainParams& train) {
  if (train.Gear_Type != 0 || !(s.speed < kGearResetSpeed)) return;
  if (s.gear >= 1) s.gear = 1;
  s.gear_change_in_progress = 0;
  s.gear_change_counter = 0;
}

}  // namespace cabsim
