// The move to a station and the saved running states.
#include "run/station_move.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "data/rounding.h"
#include "data/route_lookup.h"
#include "data/route_positions.h"
#include "data/route_setup.h"
#include "data/shift_jis.h"
#include "data/value_parse.h"
#include "dynamics/air_brake.h"
#include "dynamics/frame_stepping.h"
#include "input/masconupdate.h"
#include "operation/ats.h"
#include "operation/doors.h"
#include "operation/film_segments.h"
#include "operation/preceding_train.h"
#include "operation/stations.h"
#include "presentation/sign_column.h"
#include "run/run_assembly.h"
#include "state/checked_math.h"

namespace cabsim {
namespace {

/// Fastest speed a saved state may hold, km/h: a value beyond it is damaged.
constexpr long double kMaxSavedSpeed = 1000;

/// A film insert on show: back to the main film, the motion cycle left as it
/// was (a move during a pause stays paused).
void back_to_main_film(Run& run) {
  RunState& s = run.state;
  if (s.film_mode <= kFilmFollowsPosition) return;
  const bool cycling = run.timers.motion_cycle_running();
  run.timers.set_motion_cycle(false);
  if (run.film) run.film->open(main_film_file(run));
  run.film_file = main_film_file(run);
  ++run.films_opened;
  s.film_mode = kFilmFollowsPosition;
  s.time_driven_frame = 0;
  run.timers.set_motion_cycle(cycling);
}

/// The crossings whose frames hold the current frame, in table order, as far
/// as the queue has room.
void rebuild_crossing_queue(Run& run) {
  RunState& s = run.state;
  s.crossing_queue = empty_crossing_queue();
  size_t next = 0;
  const auto rows = table_rows(run.route->Cross, run.route->Cross_count);
  for (size_t i = 0; i < rows.size() && next < s.crossing_queue.size(); ++i)
    if (rows[i].first_frame <= s.current_frame && s.current_frame < rows[i].last_frame)
      s.crossing_queue[next++] = static_cast<int32_t>(i);
}

/// What a move and a restore both put back: every subsystem's run-time state
/// before the train stands somewhere new. The caller then sets the place, the
/// clock and the handles, and calls `after_new_place`.
void reset_run_time_state(Run& run) {
  RunState& s = run.state;
  RunView& v = run.view;
  RouteTables& route = *run.route;
  back_to_main_film(run);
  v.window_caption = sjis_to_utf8(route.LineName);

  // Stations, film switches, sound points, time rows, switches, signals and
  // road traffic signals; the speed checks are marked once the place is known.
  reset_route_run_fields(route);
  s.arrival_announced.fill(0);
  for (int c = 1; c < run.sounds.channel_count(); ++c) run.sounds.stop(c);  // 0 plays on
  s.doors_not_closed = 0;
  s.doors_open = 0;
  s.doors_open_ticks = 0;
  set_door_closed_lamp(s, v.panel, true);
  v.stop_picture_shown = 0;
  v.stop_marker = {};

  // The sign column, the signal in view, the speed limits and the protection.
  reset_sign_column(s, v);
  s.lookahead = empty_lookahead();
  s.ats_check_speed = kNoCheck;
  reset_train_protection(run);
  v.cab_signal_frame = -1;
  v.first_notice.clear();
  v.second_notice.clear();
  v.limit_notice.clear();
  v.pattern_notice.clear();

  // Calls spoken for the old place are not spoken at the new one.
  s.call_queue = empty_slot_queue<kCallQueueSlots>();
  s.call_queue_busy = 0;
  s.call_shift_pending = 0;
  s.call_channel_sound = -1;
  s.last_called_sign = kNoPicture;
  s.stop_request = 0;

  s.power_handle = 0;
  s.effective_power_notch = 0;
  s.run_ended = 0;
  s.crew_change_requested = 0;
  s.frame_accumulator = 0;
  s.movement_this_tick = 0;
  s.current_speed_segment = -1;
  s.film_mode = kFilmFollowsPosition;
  s.turned_back = 0;
}

/// After the train has its new frame and position: the checks behind it are
/// passed, the crossings it stands in are queued, the film picture is
/// fetched again and the handles show.
void after_new_place(Run& run) {
  RunState& s = run.state;
  mark_passed_speed_checks(*run.route, round_to_int32(s.position).value_or(0));
  rebuild_crossing_queue(run);
  s.last_gradient_sample_position = s.position;
  run.view.film_refresh += 1;
  masconupdate(run);
}

/// Brake handle and the effective brake values.
void set_brake(RunState& s, int32_t notch) {
  s.brake_handle = notch;
  s.effective_brake_notch = notch;
  s.straight_air_notch = notch;
}

/// The one-man announcement that follows a departure from `station`: after
/// the first announcement of a stop at or beyond it. Nothing when there is
/// none.
std::optional<int32_t> announcement_after(const RouteTables& route, int32_t station) {
  const auto rows = table_rows(route.Announce, route.Announce_count);
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].station >= station && rows[i].kind == 0) return static_cast<int32_t>(i) + 1;
  return std::nullopt;
}

std::string slot_name(int slot, const char* suffix = "") {
  return "Save" + std::to_string(slot) + suffix;
}

}  // namespace

std::optional<int32_t> move_item_station(std::string_view item_name) {
  if (item_name.substr(0, 3) != "Sta") return std::nullopt;
  const std::string_view digits = item_name.substr(3);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  return parse_integer(digits);
}

bool StationClick(Run& run, int32_t j) {
  note_input(run, run_input(RunInputKind::kMove, j));
  RouteTables& route = *run.route;
  if (j < 0 || j >= route.Station_count) return false;
  if (route.Station[static_cast<size_t>(j)].kind == kStationPass) return false;  // no stop there
  RunState& s = run.state;
  RunView& v = run.view;
  const StationData& st = route.Station[static_cast<size_t>(j)];
  if (std::optional<int32_t> n = announcement_after(route, j)) s.announcement_counter = *n;
  reset_run_time_state(run);
  s.speed = 0;

  s.current_frame = st.frame;
  v.next_station_text = st.name;
  s.clock = arrival_clock(route, j);
  // Without one-man operation the stop counts as made: the doors are not
  // worked again.
  if (route.OneMan <= 0) route.Station[static_cast<size_t>(j)].doors_opened = 1;
  s.pre_train_frame = preceding_train_station_frame(route, s.clock);

  s.departure_counter = j;
  set_brake(s, checked_add(1, -run.train.Brake));  // the strongest service brake
  s.position = st.stop_position;
  s.distance_to_stop = 0;
  s.target_stop_position = st.stop_position;
  s.next_station = j;
  if (route.OneMan > 0) v.car_count_text.clear();
  after_new_place(run);
  return true;
}

SavedState saved_state_of(const Run& run) {
  const RunState& s = run.state;
  SavedState saved;
  saved.route_file = run.selection.route_file;
  saved.station = s.current_station;
  saved.speed = round_half_even(s.speed);
  saved.frame = s.current_frame;
  saved.clock = s.clock;
  saved.position = round_half_even(s.position);
  saved.pre_train_frame = s.pre_train_frame;
  return saved;
}

std::string saved_state_text(const SavedState& state) {
  // Whole numbers; one beyond 64 bits (a state read from a damaged file) is
  // written as it is, and refused again when it is read.
  auto whole = [](long double x) {
    if (std::optional<int64_t> n = round_to_int64(x)) return std::to_string(*n);
    char text[64];
    std::snprintf(text, sizeof text, "%.0Lf", x);
    return std::string(text);
  };
  return state.route_file + "," + std::to_string(state.station) + "," + whole(state.speed) + "," +
         std::to_string(state.frame) + "," + std::to_string(state.clock) + "," +
         whole(state.position) + "," + std::to_string(state.pre_train_frame);
}

std::optional<SavedState> parse_saved_state(std::string_view text) {
  if (text.empty()) return std::nullopt;
  auto field = [text](int n) { return CsvField(text, n); };
  if (field(7) == "Error") return std::nullopt;
  const auto station = parse_integer(field(2));
  const auto speed = parse_real(field(3));
  const auto frame = parse_integer(field(4));
  const auto clock = parse_integer(field(5));
  const auto position = parse_real(field(6));
  const auto pre_train = parse_integer(field(7));
  if (!station || !speed || !frame || !clock || !position || !pre_train) return std::nullopt;
  SavedState saved;
  saved.route_file = field(1);
  saved.station = *station;
  saved.speed = *speed;
  saved.frame = *frame;
  saved.clock = *clock;
  saved.position = *position;
  saved.pre_train_frame = *pre_train;
  return saved;
}

std::string saved_state_title(const Run& run) {
  const RouteTables& route = *run.route;
  // The position as it is saved, in whole centimetres: a train that stands
  // a hair behind a stop after the brakes took it is at that stop.
  const long double position = round_half_even(run.state.position);
  const int32_t count = std::clamp<int32_t>(route.Station_count, 0, kMaxStations);
  int32_t behind = -1;
  for (int32_t i = 0; i < count; ++i) {
    const auto& here = route.Station[static_cast<size_t>(i)];
    const auto& ahead = route.Station[static_cast<size_t>(i) + 1];
    if (here.stop_position <= position && (position < ahead.stop_position || i == count - 1))
      behind = i;
  }
  if (behind < 0) return {};
  return sjis_to_utf8(route.LineName2) + "（" +
         sjis_to_utf8(route.Station[static_cast<size_t>(behind)].name) + "～" +
         sjis_to_utf8(route.Station[static_cast<size_t>(behind) + 1].name) + "）";
}

SaveMenu Saveloadclick(SettingsStore& store) {
  SaveMenu menu;
  for (int slot = 1; slot <= kSaveSlots; ++slot) {
    const std::string title = store.read_text(slot_name(slot, "Title")).value_or("");
    const size_t k = static_cast<size_t>(slot - 1);
    menu.save_captions[k] = title.empty() ? kNoData : title;
    menu.load_captions[k] = title.empty() ? kNoData : title;
    menu.load_enabled[k] = !title.empty();
  }
  return menu;
}

std::string S2Click(Run& run, SettingsStore& store, int slot) {
  note_input(run, run_input(RunInputKind::kSave, slot));
  if (slot < 1 || slot > kSaveSlots) return {};
  const bool written = store.write_text(slot_name(slot), saved_state_text(saved_state_of(run))) &&
                       store.write_text(slot_name(slot, "Title"), saved_state_title(run));
  return written ? kStateSaved : kStateNotWritten;
}

std::string L1Click(Run& run, SettingsStore& store, int slot) {
  note_input(run, run_input(RunInputKind::kRestore, slot));
  if (slot < 1 || slot > kSaveSlots) return kNoStateSaved;
  return restore_running_state(run, store.read_text(slot_name(slot)).value_or(""));
}

std::string restore_running_state(Run& run, std::string_view text) {
  const std::optional<SavedState> saved = parse_saved_state(text);
  if (!saved) return kNoStateSaved;
  if (saved->route_file != run.selection.route_file) return kOtherRouteState;
  // Every number is checked against the route and the film before use: a
  // value edited by hand is refused as a damaged one.
  RouteTables& route = *run.route;
  RunState& s = run.state;
  const int32_t films = s.film_frame_count;
  if (saved->station < 0 || saved->station >= route.Station_count || saved->frame < 0 ||
      (films > 0 && saved->frame >= films) || saved->pre_train_frame < 0 ||
      !(std::fabs(saved->speed) <= kMaxSavedSpeed) || !(saved->position >= 0) ||
      !(saved->position <= kMaxRouteDistance))
    return kNoStateSaved;

  reset_run_time_state(run);
  s.speed = saved->speed;
  s.current_frame = saved->frame;
  s.clock = saved->clock;
  s.pre_train_frame = saved->pre_train_frame;
  s.current_station = saved->station;
  // The doors have closed at every stop up to the saved station, as after a
  // move there: the arrival announcement and the one-man count follow it.
  s.departure_counter = saved->station;
  s.departure_call_pending = 0;
  // Running, the brakes stay off and the train runs on; standing, it is held.
  // The air of the brakes is that of the released brake, not what the train
  // had before the restore: it would brake the restored train for seconds.
  set_brake(s, saved->speed > 0 ? 0 : checked_add(1, -run.train.Brake));
  if (saved->speed > 0) release_brakes_at_rest(s);
  s.position = saved->position;
  set_next_stop(run, saved->station);
  s.distance_to_stop = s.target_stop_position - s.position;
  int32_t stops_before = 0;
  for (int32_t i = 0; i < saved->station; ++i)
    stops_before += route.Station[static_cast<size_t>(i)].kind == kStationStop;
  s.announcement_counter = checked_int32(2 * int64_t{stops_before} + 1);
  filmed_speed_step(s, route);
  after_new_place(run);
  return {};
}

}  // namespace cabsim
