// The station step of the operation tick, the next stop and the end of the
// run.
#include "operation/stations.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "data/rounding.h"
#include "data/route_lookup.h"
#include "operation/calls.h"
#include "operation/doors.h"
#include "sound/environment_sounds.h"
#include "sound/sound_numbers.h"
#include "state/checked_math.h"
#include "state/run_random.h"

namespace cabsim {
namespace {

/// Clock units per second of a sound's length.
constexpr int64_t kClockPerSecond = 30;
/// Door-sound draws are percentages.
constexpr int32_t kPercent = 100;
/// `[InfoLabel]` lines the stations show.
constexpr size_t kInfoFurtherKind = 0;
constexpr size_t kInfoOneManDoors = 1;
/// The start announcement is environment sound 0.
constexpr int32_t kStartAnnouncement = 0;

/// Length of the departure melody in clock units.
int64_t melody_length(const Run& run, const StationData& st) {
  if (!is_environment_sound(*run.route, st.melody)) return 0;
  return kClockPerSecond * run.route->SoundData_seconds[static_cast<size_t>(st.melody)];
}

bool speed_rounds_to_zero(const RunState& s) {
  return round_half_even(s.speed) == 0;
}

bool standing(const RunState& s) {
  return std::fabs(s.speed) < kStationStandingSpeed;
}

const std::string& info_line(const CabworksText& text, size_t line) {
  return text.InfoLabel[line];
}

/// A `[Sound2]` table of exactly one row: a sound looped between stations.
const SoundPoint2Row* single_sound2(const RouteTables& route) {
  return route.Sound2_count == 1 ? &route.Sound2[0] : nullptr;
}

/// 1: between station i and the next.
void between_stations(Run& run, int32_t i, StationData& st, const StationData& next) {
  run.view.next_station_text = approach_text(next, run.text);
  if (st.in_zone) {
    run.view.stop_picture_shown = 0;
    st.in_zone = 0;
  }
  if (run.route->Monitor.present) run.view.monitor_pattern = checked_add(i, 1);
}

/// 2: inside the stop zone of station i.
void in_stop_zone(Run& run, int32_t i, StationData& st) {
  RunState& s = run.state;
  if (st.kind != kStationPass) {
    if (!st.in_zone) {
      run.view.stop_picture_shown = 1;
      s.door_sound_limit = st.door_percent;
      s.door_sound_draw = draw_random(s, kPercent);
    }
    run.view.next_station_text = st.name;
    s.current_station = i;
    st.in_zone = 1;
    if (run.route->Monitor.present) run.view.monitor_pattern = i;
  }
  if (st.zone_sound != 0) loop_environment(run, st.zone_sound);
}

/// 3: a one-man train standing with its doors open asks the driver to close
/// them once the arrival sound has ended.
void one_man_notice(Run& run, const StationData& st) {
  RunState& s = run.state;
  if (st.in_zone && run.route->OneMan >= 1 && st.doors_opened && s.doors_open &&
      !environment_playing(run, st.arrival_sound))
    run.view.car_count_text = info_line(run.text, kInfoOneManDoors);
}

/// A stop is made: the doors-opened flag, the departure call and the next
/// stop.
void stop_made(Run& run, int32_t i, StationData& st) {
  st.doors_opened = 1;
  run.state.departure_call_pending = 1;
  set_next_stop(run, i);
}

/// 4.1 to 4.5: the arrival at station i.
void arrival(Run& run, int32_t i, StationData& st) {
  RunState& s = run.state;
  const int32_t one_man = run.route->OneMan;
  // The start station of the run: its doors are open since the set-up.
  if (st.kind == kStationStop && s.current_station == run.selection.start_station &&
      speed_rounds_to_zero(s) && !st.doors_opened) {
    restart_environment(run, kStartAnnouncement);
    s.door_timer_start = s.clock;
    stop_made(run, i, st);
  }
  if (st.kind == kStationStop && one_man >= 1 && !s.doors_not_closed && speed_rounds_to_zero(s) &&
      !st.arrival_call) {
    st.arrival_call = 1;
    raise_station_call(run, kCallArrival);
  }
  if (st.kind == kStationStop && one_man == 0 && !s.doors_not_closed && standing(s)) {
    raise_station_call(run, kCallArrival);
    Door_operate(run);
    st.doors_opened = 1;
    restart_environment(run, st.arrival_sound);
    s.door_timer_start = s.clock;
    raise_station_call(run, kCallDoorsOpened);
    stop_made(run, i, st);
    const SoundPoint2Row* loop = single_sound2(*run.route);
    if (loop && i == loop->last_station) stop_environment(run, loop->sound);
  }
  // One-man: the driver has opened the doors with the door key.
  if (st.kind == kStationStop && one_man >= 1 && s.doors_not_closed && !st.doors_opened &&
      speed_rounds_to_zero(s)) {
    restart_environment(run, st.arrival_sound);
    st.doors_opened = 1;
    raise_station_call(run, kCallDoorsOpened);
    stop_made(run, i, st);
  }
  if (st.kind == kStationNoDoors && !st.doors_opened && speed_rounds_to_zero(s)) {
    restart_environment(run, st.arrival_sound);
    s.door_timer_start = s.clock;
    stop_made(run, i, st);
  }
}

/// 4.6 and 4.7: the melody so that it ends at the departure time, then the
/// doors closed by the conductor once it has played.
void departure(Run& run, int32_t i, StationData& st) {
  RunState& s = run.state;
  const int64_t length = melody_length(run, st);
  const bool ready = (st.kind >= kStationNoDoors && standing(s)) ||
                     (st.kind == kStationStop && s.doors_not_closed);
  if (st.departure_time - length < s.clock && !st.melody_started && ready) {
    restart_environment(run, st.melody);
    st.melody_started = 1;
    run.view.signs.show(SignElement::kCrossImageSub, false);
    s.door_timer_start = s.clock;
    raise_station_call(run, kCallMelodyStarted);
    if (st.kind == kStationNoDoors) play_once_from_start(run.sounds, run.train.DepSign);
  }
  if (run.route->OneMan == 0 && st.departure_time < s.clock && s.doors_not_closed &&
      st.melody_started && st.doors_opened && int64_t{s.clock} - s.door_timer_start > length) {
    Door_operate(run);
    st.departed = 1;
    stop_environment(run, st.arrival_sound);
    raise_station_call(run, kCallDoorsClosing);
    const SoundPoint2Row* loop = single_sound2(*run.route);
    if (loop && loop->first_station <= i && i < loop->last_station)
      loop_environment(run, loop->sound);
  }
}

/// 4.8: the last station ends the run once its arrival sound has ended.
/// Returns true when it did.
bool end_of_run(Run& run, bool last, const StationData& st) {
  RunState& s = run.state;
  const bool doors_done =
      (st.kind == kStationStop && s.doors_not_closed) || st.kind >= kStationNoDoors;
  if (!speed_rounds_to_zero(s) || !last || s.run_ended ||
      environment_playing(run, st.arrival_sound) || !doors_done)
    return false;
  BackClick(run);
  s.run_ended = 1;
  return true;
}

/// 4.9: the crew-change station asks whether the driver goes on.
void crew_change(Run& run, int32_t i, const StationData& st) {
  RunState& s = run.state;
  if (speed_rounds_to_zero(s) && st.kind == kStationStop && i == s.crew_change_station &&
      s.doors_not_closed && !s.run_ended && !environment_playing(run, st.arrival_sound)) {
    s.crew_change_requested = 1;
    s.run_ended = 1;
  }
}

}  // namespace

std::string approach_text(const StationData& next, const CabworksText& text) {
  switch (next.kind) {
    case kStationStop:
      return next.name + text.Stop;
    case kStationPass:
      return next.name + text.Pass;
    case kStationNoDoors:
      return next.name + text.Stop2;
    case kStationOtherKind:
      return info_line(text, kInfoFurtherKind);
    default:
      return next.name;
  }
}

void station_step(Run& run) {
  RunState& s = run.state;
  RouteTables& route = *run.route;
  const int32_t count = std::clamp<int32_t>(route.Station_count, 0, kMaxStations);
  bool in_some_zone = false;
  for (int32_t i = 0; i < count; ++i) {
    StationData& st = route.Station[static_cast<size_t>(i)];
    const StationData& next = route.Station[static_cast<size_t>(i) + 1];
    const bool last = i == count - 1;
    if (st.zone_end < s.position && (s.position < next.zone_start || last))
      between_stations(run, i, st, next);
    if (st.zone_start <= s.position && s.position <= st.zone_end) {
      in_stop_zone(run, i, st);
      in_some_zone = true;
    }
    one_man_notice(run, st);
    if (!st.in_zone || st.departed) continue;
    arrival(run, i, st);
    departure(run, i, st);
    if (end_of_run(run, last, st)) break;  // no station follows the last
    crew_change(run, i, st);
  }
  if (in_some_zone) return;
  for (int32_t i = 0; i < count; ++i) {
    const StationData& st = route.Station[static_cast<size_t>(i)];
    if (st.zone_sound != 0) stop_environment(run, st.zone_sound);
  }
}

void set_next_stop(Run& run, int32_t i) {
  const RouteTables& route = *run.route;
  const int32_t count = std::clamp<int32_t>(route.Station_count, 0, kMaxStations);
  int32_t j = std::clamp<int32_t>(checked_add(i, 1), 0, count);
  while (j < count && route.Station[static_cast<size_t>(j)].kind == kStationPass) ++j;
  const StationData* stop = station_at(route, j);
  if (!stop) return;
  run.state.target_stop_position = stop->stop_position;
  run.state.next_station = j;
}

void BackClick(Run& run) {
  run.state.fade_level = 1;
}

}  // namespace cabsim
