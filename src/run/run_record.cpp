// The run record kept at every operation tick.
#include "run/run_record.h"

#include <algorithm>
#include <cmath>

#include "data/rounding.h"
#include "data/route_lookup.h"
#include "operation/ats.h"
#include "presentation/display_pass.h"

namespace cabsim {
namespace {

/// The speedometer shows the speed rounded to whole km/h: a train whose
/// speed rounds to 0 stands.
bool standing(const RunState& s) {
  return round_half_even(std::fabs(s.speed)) == 0;
}

int32_t brake_step(const RunState& s) {
  return std::max(0, -s.brake_handle);
}

int16_t small(int32_t v) {
  return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

/// `p` made absolute, so that the replay finds it from any folder; as it is
/// when that fails.
std::string absolute_path(const std::filesystem::path& p) {
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(p, ec);
  return (ec ? p : whole).string();
}

int32_t station_count(const RouteTables& route) {
  return std::clamp<int32_t>(route.Station_count, 0, static_cast<int32_t>(kMaxStations));
}

/// Where the train stands against the stop position of `r`.
void place(StopRecord& r, const RunState& s) {
  r.stop_error_cm = std::llround(s.position) - r.stop_position;
  r.in_zone = std::llabs(r.stop_error_cm) <= r.half_zone;
}

}  // namespace

int32_t limit_in_force(const RouteTables& route, const RunState& s) {
  int32_t limit = s.section_permitted_speed > 0 ? s.section_permitted_speed : kNoRecordValue;
  const int32_t count =
      std::clamp<int32_t>(route.SpeedLimit_count, 0, static_cast<int32_t>(kMaxSpeedLimits));
  // Rows lie in the order of the line: the last one behind the train holds.
  int32_t row = -1;
  for (int32_t i = 0; i < count; ++i) {
    if (route.SpeedLimit[static_cast<size_t>(i)].position > s.position) break;
    row = i;
  }
  if (row >= 0) {
    const int32_t sign = route.SpeedLimit[static_cast<size_t>(row)].limit;
    if (sign > 0 && (limit == kNoRecordValue || sign < limit)) limit = sign;
  }
  return limit;
}

RunRecord::RunRecord(const Run& run) {
  data_.program_dir = absolute_path(run.selection.program_dir);
  data_.route_file = run.selection.route_file;
  data_.train_file = run.selection.train_file;
  data_.start_station = run.selection.start_station;
  data_.brake_steps = run.train.Brake;
  data_.samples.reserve(kMaxRecordSamples);
  data_.stops.reserve(kMaxRecordStops);
  data_.events.reserve(kMaxRecordEvents);
  data_.inputs.reserve(kMaxRecordInputs);
  data_.films.reserve(kMaxRecordFilms);
  doors_seen_.assign(kMaxStations, 0);
  last_position_ = static_cast<double>(run.state.position);
  watch_film(run);
  const int32_t count = station_count(*run.route);
  for (int32_t i = 0; i < count; ++i)
    doors_seen_[static_cast<size_t>(i)] = run.route->Station[static_cast<size_t>(i)].doors_opened;
}

StopRecord* RunRecord::stop_for(const Run& run, int32_t station) {
  if (!data_.stops.empty() && data_.stops.back().station == station &&
      data_.stops.back().departure_clock == kNoRecordValue)
    return &data_.stops.back();
  if (data_.stops.size() >= kMaxRecordStops) {
    ++data_.stops_dropped;
    return nullptr;
  }
  const StationData& st = run.route->Station[static_cast<size_t>(station)];
  StopRecord r;
  r.station = station;
  r.name = st.name;
  r.stop_position = st.stop_position;
  r.half_zone = st.half_zone;
  r.scheduled_departure = st.departure_time;
  r.arrival_clock = run.state.clock;
  r.top_speed = top_speed_;
  r.hardest_brake = hardest_brake_;
  r.emergency_brake = run.train.Brake;
  data_.stops.push_back(r);
  top_speed_ = 0;
  hardest_brake_ = 0;
  return &data_.stops.back();
}

void RunRecord::watch_move(const Run& run) {
  const double position = static_cast<double>(run.state.position);
  const bool jump = std::fabs(position - last_position_) > kMoveJumpCm;
  last_position_ = position;
  if (!jump) return;
  // What comes after a move starts afresh: no stop, maxima or limit carry over.
  moved_ = false;
  jumped_ = true;
  top_speed_ = 0;
  hardest_brake_ = 0;
  if (open_limit_ != SIZE_MAX) data_.events[open_limit_].open = false;
  open_limit_ = SIZE_MAX;
}

void RunRecord::watch_stations(const Run& run) {
  const int32_t count = station_count(*run.route);
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t now = run.route->Station[static_cast<size_t>(i)].doors_opened;
    uint8_t& seen = doors_seen_[static_cast<size_t>(i)];
    if (now && !seen) {
      if (StopRecord* r = stop_for(run, i)) {
        place(*r, run.state);
        r->doors_opened = true;
        r->start = !moved_ && data_.stops.size() == 1 && !jumped_;
        r->moved = !moved_ && jumped_;
        if (r->start || r->moved) {
          r->arrival_clock = kNoRecordValue;
          r->top_speed = 0;
          r->hardest_brake = 0;
        }
        jumped_ = false;
      }
    }
    seen = now;
  }
}

void RunRecord::watch_standstill(const Run& run, bool standing_now, bool was_standing) {
  const RunState& s = run.state;
  if (!standing_now || was_standing) return;
  const int32_t next = s.next_station;
  if (next < 0 || next >= station_count(*run.route)) return;
  const StationData& st = run.route->Station[static_cast<size_t>(next)];
  if (st.doors_opened) return;
  if (std::fabs(static_cast<double>(s.position) - st.stop_position) > kNearStopCm) return;
  if (StopRecord* r = stop_for(run, next)) place(*r, s);
}

void RunRecord::watch_departure(const Run& run, bool standing_now) {
  if (standing_now || data_.stops.empty()) return;
  StopRecord& r = data_.stops.back();
  if (r.departure_clock != kNoRecordValue || !r.doors_opened || run.state.doors_open) return;
  r.departure_clock = run.state.clock;
}

void RunRecord::add_event(const Run& run, RunEventKind kind, int32_t limit) {
  if (data_.events.size() >= kMaxRecordEvents) {
    ++data_.events_dropped;
    return;
  }
  RunEvent e;
  e.kind = kind;
  e.tick = run.state.tick_count;
  e.clock = run.state.clock;
  e.position = static_cast<double>(run.state.position);
  e.speed = static_cast<double>(run.state.speed);
  e.limit = limit;
  data_.events.push_back(e);
}

void RunRecord::watch_events(const Run& run, int32_t limit) {
  const RunState& s = run.state;
  if (s.alarm_flag && !was_alarm_)
    add_event(run, RunEventKind::kAtsAlarm,
              s.alarm_check_speed >= kPassedAtDanger ? kNoRecordValue : s.alarm_check_speed);
  was_alarm_ = s.alarm_flag;
  if (s.protection_emergency_flag && !was_protection_)
    add_event(run, RunEventKind::kProtectionEmergency, kNoRecordValue);
  was_protection_ = s.protection_emergency_flag;
  const bool emergency = run.train.Brake > 0 && s.brake_handle <= -run.train.Brake;
  if (emergency && !was_emergency_handle_ && !standing(s))
    add_event(run, RunEventKind::kEmergencyHandle, kNoRecordValue);
  was_emergency_handle_ = emergency;
  const bool overrun = s.ats_check_speed == kPassedAtDanger;
  if (overrun && !was_overrun_) add_event(run, RunEventKind::kSignalOverrun, 0);
  was_overrun_ = overrun;

  const double speed = std::fabs(static_cast<double>(s.speed));
  const bool over = limit != kNoRecordValue && round_half_even(speed) > limit;
  if (over && open_limit_ == SIZE_MAX) {
    add_event(run, RunEventKind::kLimitExceeded, limit);
    if (!data_.events.empty() && data_.events.back().kind == RunEventKind::kLimitExceeded &&
        data_.events.back().tick == s.tick_count) {
      open_limit_ = data_.events.size() - 1;
      data_.events.back().open = true;
    }
  }
  if (open_limit_ == SIZE_MAX) return;
  RunEvent& e = data_.events[open_limit_];
  if (!over || limit != e.limit) {
    e.open = false;
    open_limit_ = SIZE_MAX;
    // A lower limit that is exceeded at once starts its own event next tick.
    return;
  }
  e.excess = std::max(e.excess, speed - limit);
  ++e.ticks;
}

void RunRecord::watch_film(const Run& run) {
  if (run.films_opened == films_seen_) return;
  films_seen_ = run.films_opened;
  // A film shown before (the main film after an insert) keeps its index.
  const std::string file = absolute_path(run.film_file);
  for (size_t i = 0; i < data_.films.size(); ++i)
    if (data_.films[i] == file) {
      film_ = static_cast<int16_t>(i);
      return;
    }
  if (data_.films.size() >= kMaxRecordFilms) {
    film_ = kNoRecordValue;
    return;
  }
  data_.films.push_back(file);
  film_ = static_cast<int16_t>(data_.films.size() - 1);
}

void RunRecord::on_input(const Run& run, const RunInput& input) {
  if (data_.inputs.size() >= kMaxRecordInputs) {
    ++data_.inputs_dropped;
    return;
  }
  RecordedInput& x = data_.inputs.emplace_back();
  x.input = input;
  x.sample = static_cast<int32_t>(data_.samples.size());
  x.tick = run.state.tick_count;
  x.clock = run.state.clock;
}

void RunRecord::after_tick(const Run& run) {
  const RunState& s = run.state;
  const bool standing_now = standing(s);
  watch_move(run);
  if (!standing_now) moved_ = true;
  top_speed_ = std::max(top_speed_, std::fabs(static_cast<double>(s.speed)));
  // The brake while standing (the emergency position a run starts in) says
  // nothing of how the train was stopped.
  if (!standing_now) hardest_brake_ = std::max(hardest_brake_, brake_step(s));
  watch_stations(run);
  watch_standstill(run, standing_now, was_standing_);
  watch_departure(run, standing_now);
  was_standing_ = standing_now;
  const int32_t limit = limit_in_force(*run.route, s);
  watch_events(run, limit);

  if (data_.samples.size() >= kMaxRecordSamples) {
    ++data_.samples_dropped;
    return;
  }
  RunSample& x = data_.samples.emplace_back();
  x.tick = s.tick_count;
  x.clock = s.clock;
  x.speed = static_cast<float>(s.speed);
  x.position = static_cast<double>(s.position);
  x.brake_cylinder = static_cast<float>(s.trailer_brake_cylinder.real());
  x.power_notch = small(s.effective_power_notch);
  x.brake_notch = small(brake_step(s));
  x.limit = small(limit);
  const bool pattern = run.train.ATS_Type == kAtsP && s.ats_on && s.pattern_target_distance > 0;
  x.pattern = pattern ? small(s.pattern_brake_speed) : small(kNoRecordValue);
  watch_film(run);
  const std::optional<int32_t> frame = film_frame_to_show(s);
  x.film = film_;
  x.frame = frame && film_ != kNoRecordValue ? *frame : kNoRecordValue;
}

}  // namespace cabsim
