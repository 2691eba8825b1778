// ATS-S, ATS-P, the acknowledgement and the protection reset.
#include "operation/ats.h"

#include <algorithm>
#include <cmath>

#include "data/rounding.h"
#include "data/route_lookup.h"
#include "input/handle_model.h"
#include "input/masconupdate.h"
#include "operation/stations.h"
#include "sound/sound_numbers.h"
#include "state/checked_math.h"

namespace cabsim {
namespace {

using E = PanelElement;

/// Ticks the driver has to acknowledge the bell: `[ATS_Time]` seconds.
int32_t alarm_ticks(const TrainParams& train) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{train.ATS_Time} * 10, INT32_MIN, INT32_MAX));
}

bool at_emergency(const RunState& s, const TrainParams& train) {
  return int64_t{s.brake_handle} == -int64_t{train.Brake};
}

/// The three brake-delay requests and the handle indications.
void apply_protection_brake(Run& run) {
  set_brake_pending(run.state);
  masconupdate(run);
}

// --- ATS-P -----------------------------------------------------------------------

/// Margins of the two pattern speeds before the target, cm.
constexpr long double kBrakeMargin = 1000;
constexpr long double kWarningMargin = 5000;
/// How far ahead ATS-P looks for a target, cm.
constexpr long double kPatternHorizon = 60000;
constexpr int32_t kNoTarget = 999;
constexpr int32_t kReleasedSignal = 998;
constexpr int32_t kSlowTarget = 16;
constexpr int32_t kLimitMargin = 5;
constexpr int32_t kSectionMargin = 5;

/// The speed from which the train brakes to `target` km/h over `distance`
/// cm less `margin` at `rate` km/h/s (less one second's worth of braking),
/// rounded half to even; the target itself within the margin.
int32_t pattern_speed(int32_t target, long double distance, long double margin, long double rate) {
  if (distance <= margin) return target;
  const long double square =
      static_cast<long double>(target) * target + 5.76L * rate * (distance - margin) / 100;
  if (!(square >= 0)) return 0;  // a negative braking rate can make it negative
  const long double speed = std::sqrt(square) - rate;
  return static_cast<int32_t>(
      std::clamp<long double>(round_half_even(speed), INT32_MIN, INT32_MAX));
}

struct PatternTarget {
  int32_t speed = 0;         ///< V
  long double distance = 0;  ///< d, cm
  bool stop_station = false;
};

PatternTarget find_target(const Run& run) {
  const RunState& s = run.state;
  const RouteTables& route = *run.route;
  PatternTarget t;
  const int32_t count = std::clamp<int32_t>(route.event_count, 0, kMaxRouteEvents);
  for (int32_t i = 0; i < count; ++i) {
    const RouteEvent& e = route.events[static_cast<size_t>(i)];
    const long double ahead = e.position - s.position;
    if (ahead <= 0 || ahead >= kPatternHorizon) {
      t = PatternTarget{checked_add(s.section_upper_speed, -kSectionMargin), 0, false};
      continue;
    }
    if (e.kind == kEventSignal) {
      const SignalData* g = signal_at(route, e.signal);
      if (!g || g->type == 0) continue;
      if (g->aspect == 0) return PatternTarget{e.value, ahead, false};
      if (round_half_even(s.speed) == 0 && s.pattern_state == kPatternApproach)
        return PatternTarget{kReleasedSignal, ahead, false};
    } else if (e.kind == kEventStopStation) {
      const StationData* st = station_at(route, e.station);
      if (s.speed > 0 && st && !st->departed) return PatternTarget{e.value, ahead, true};
    } else if (e.kind == 1) {
      return PatternTarget{checked_add(e.value, kLimitMargin), ahead, false};
    }
  }
  return t;
}

int32_t new_pattern_state(const RunState& s) {
  const int32_t v = s.pattern_target_speed;
  const long double speed = s.speed;
  if (v < kSlowTarget && v < speed && s.pattern_brake_speed < speed) return kPatternBrakingSlow;
  if (v >= kSlowTarget && v < speed && s.pattern_brake_speed < speed) return kPatternBraking;
  if (!s.pattern_brake_flag && s.pattern_warning_speed - 0.5L <= speed) return kPatternApproach;
  if (v != kReleasedSignal) {
    if (s.pattern_state == kPatternBraking && round_half_even(speed) < v) return kPatternFree;
    if (!s.pattern_brake_flag) return kPatternFree;
    return s.pattern_state;
  }
  if (round_half_even(speed) > 0 && s.pattern_target_distance < 1500) return kPatternFree;
  return s.pattern_state;
}

}  // namespace

void ats_alarm_request(RunState& s, const TrainParams& train) {
  s.alarm_flag = 1;
  s.acknowledged_chime_flag = 0;
  s.alarm_counter = alarm_ticks(train);
}

void ats_s_step(Run& run) {
  RunState& s = run.state;
  const TrainParams& train = run.train;
  if (train.ATS_Type != kAtsS || !s.ats_on) return;
  SoundChannels& sounds = run.sounds;
  PanelState& panel = run.view.panel;
  // 1. The bell starts at a check the train does not meet.
  if (!at_emergency(s, train) && !s.acknowledged_flag) {
    const bool over = train.ATS_Alert == 1 && s.ats_check_speed < s.speed;
    const bool stop =
        train.ATS_Alert == 0 && (s.ats_check_speed == kPassedAtDanger || s.ats_check_speed == 0);
    if (over || stop) {
      s.alarm_flag = 1;
      s.acknowledged_chime_flag = 0;
    }
  }
  // 2. The bell rings.
  if (s.alarm_flag && !(is_channel(sounds, train.Sound_Ats1) &&
                        sounds.status(train.Sound_Ats1) != ChannelStatus::kStopped)) {
    s.alarm_check_speed = s.ats_check_speed;
    stop_if_playing(sounds, train.Sound_Ats1);
    stop_if_playing(sounds, train.Sound_Ats2);
    if (is_channel(sounds, train.Sound_Ats1)) sounds.play_looped(train.Sound_Ats1);
    panel.show(E::kLampAts1, false);
    panel.show(E::kLampAts2, true);
    if (s.ats_check_speed == 0) {
      s.protection_emergency_flag = 1;
      apply_protection_brake(run);
    }
  }
  // 3. Acknowledged: the chime instead of the bell.
  if (s.acknowledged_chime_flag && !(is_channel(sounds, train.Sound_Ats2) &&
                                     sounds.status(train.Sound_Ats2) != ChannelStatus::kStopped)) {
    stop_if_playing(sounds, train.Sound_Ats1);
    if (is_channel(sounds, train.Sound_Ats2)) {
      if (train.ATS_Cnt == 0)
        sounds.play_looped(train.Sound_Ats2);
      else
        sounds.play_once(train.Sound_Ats2);
    }
    s.acknowledged_chime_flag = 0;
    panel.show(E::kLampAts1, true);
    panel.show(E::kLampAts2, false);
  }
  // 4. Not acknowledged in time: the emergency brake.
  if (s.alarm_flag) {
    // Counted in 64 bits: an alarm request starts the counter at its limit,
    // which may be the largest count.
    const int64_t counted = int64_t{s.alarm_counter} + 1;
    s.alarm_counter = static_cast<int32_t>(std::min<int64_t>(counted, INT32_MAX));
    if (counted > alarm_ticks(train)) {
      if (!s.protection_emergency_flag) restart_once(sounds, train.Sound_EB);
      s.protection_emergency_flag = 1;
      apply_protection_brake(run);
      s.alarm_counter = 0;
    }
  }
}

void ats_p_step(Run& run) {
  RunState& s = run.state;
  const TrainParams& train = run.train;
  if (train.ATS_Type != kAtsP || !s.ats_on) return;
  // The section's speeds are the pattern speeds without a target.
  s.pattern_brake_speed = s.section_upper_speed;
  s.pattern_warning_speed = s.section_permitted_speed;
  // 1. The target within 600 m.
  const PatternTarget target = find_target(run);
  s.pattern_target_speed = target.speed;
  s.pattern_target_distance = target.distance;
  // 2. The pattern speeds towards it.
  if (target.speed < kNoTarget && target.distance > 0) {
    const long double rate = train.BrakeRate[0].real();
    s.pattern_brake_speed = pattern_speed(target.speed, target.distance, kBrakeMargin, rate);
    s.pattern_warning_speed = pattern_speed(target.speed, target.distance, kWarningMargin, rate);
    if (target.stop_station && s.pattern_brake_speed < 1) s.pattern_brake_speed = 1;
  }
  // 3. The state, 4. what a change of state does.
  s.pattern_state = new_pattern_state(s);
  const int32_t before = s.previous_pattern_state;
  const int32_t now = s.pattern_state;
  PanelState& panel = run.view.panel;
  if (now == kPatternApproach && before != kPatternApproach) {
    restart_once(run.sounds, train.Sound_Atc);
    panel.show(E::kLampAtsp1, true);
    panel.show(E::kLampAtsp2, false);
  }
  if ((now == kPatternBraking || now == kPatternBrakingSlow) &&
      (before == kPatternFree || before == kPatternApproach)) {
    restart_once(run.sounds, train.Sound_Atc);
    s.pattern_brake_flag = 1;
    set_brake_pending(s);
    panel.show(E::kLampAtsp1, true);
    panel.show(E::kLampAtsp2, true);
  }
  if (now == kPatternFree && before != kPatternFree) {
    restart_once(run.sounds, train.Sound_Atc);
    s.pattern_brake_flag = 0;
    set_brake_pending(s);
    panel.show(E::kLampAtsp1, false);
    panel.show(E::kLampAtsp2, false);
  }
  if (now != before) masconupdate(run);
  s.previous_pattern_state = now;
}

void ats_acknowledge(Run& run) {
  RunState& s = run.state;
  const TrainParams& train = run.train;
  if (train.ATS_Type != kAtsS) return;
  SoundChannels& sounds = run.sounds;
  if (s.ats_check_speed != kPassedAtDanger || std::fabs(s.speed) < kStationStandingSpeed)
    stop_if_playing(sounds, train.Sound_Ats2);
  if (s.acknowledged_chime_flag) {
    s.alarm_flag = 0;
    s.acknowledged_chime_flag = 0;
  }
  if (s.alarm_flag && s.brake_handle < 0 && !s.protection_emergency_flag) {
    if (train.BrakeType == 0 && s.brake_handle == -1) return;  // B1 is not enough
    s.alarm_flag = 0;
    s.acknowledged_chime_flag = 1;
    s.alarm_counter = 0;
    s.acknowledged_flag = 1;
  }
}

void ats_reset(Run& run) {
  RunState& s = run.state;
  const TrainParams& train = run.train;
  if (!at_emergency(s, train) || !(std::fabs(s.speed) < kStationStandingSpeed)) return;
  s.protection_emergency_flag = 0;
  s.pattern_brake_flag = 0;
  stop_if_playing(run.sounds, train.Sound_Ats1);
  stop_if_playing(run.sounds, train.Sound_Ats2);
  s.alarm_flag = 0;
  s.acknowledged_chime_flag = 0;
  s.alarm_counter = 0;
  s.acknowledged_flag = 0;
  // The check that rang the bell has been dealt with: left standing, a stop
  // signal passed would ring and brake again at once, for as long as no
  // other check replaced it, and the train could never move on.
  s.ats_check_speed = kNoCheck;
  run.view.panel.show(E::kLampAts1, true);
  run.view.panel.show(E::kLampAts2, false);
}

void reset_train_protection(Run& run) {
  RunState& s = run.state;
  s.protection_emergency_flag = 0;
  s.pattern_brake_flag = 0;
  s.cab_signal_brake_flag = 0;
  s.alarm_flag = 0;
  s.acknowledged_chime_flag = 0;
  s.acknowledged_flag = 0;
  s.alarm_counter = 0;
  s.alarm_check_speed = kNoCheck;
  s.pattern_state = 0;
  s.previous_pattern_state = 0;
  s.vigilance_counter = 0;
  run.view.panel.show(E::kLampAts1, s.ats_on != 0);
  run.view.panel.show(E::kLampAts2, false);
}

}  // namespace cabsim
