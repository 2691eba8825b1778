// Announcements before and after stations, the one-man announcement keys
// and the stop request.
#include "operation/announcements.h"

#include <cmath>

#include "data/route_lookup.h"
#include "sound/environment_sounds.h"
#include "state/run_random.h"

namespace cabsim {
namespace {

/// The arrival announcement waits for the train to stand (below 1 km/h).
constexpr long double kArrivalSpeed = 1;
/// Announcements after a station start only this far from the next stop, cm.
constexpr long double kAfterStationFrom = 10000;
/// Length of line on which an announcement starts, cm.
constexpr int64_t kAnnouncementWindow = 500;
/// Centimetres in a metre of the `[Announce]` distances.
constexpr int64_t kCmPerMetre = 100;
/// A stop request follows a draw at most this high.
constexpr int32_t kRequestDraw = 10;
/// Clock units in one step of a station's request delay.
constexpr int64_t kRequestDelayUnit = 3;
/// The panel's `[Others]` picture of the stop-request lamp.
constexpr size_t kStopRequestLamp = 4;

bool in_some_stop_zone(const Run& run) {
  const RouteTables& route = *run.route;
  const long double x = run.state.position;
  for (const StationData& st : table_rows(route.Station, route.Station_count))
    if (st.zone_start <= x && x <= st.zone_end) return true;
  return false;
}

/// 1: the arrival announcement once per departure, while the train stands
/// beyond its stop outside every stop zone with the doors closed.
void arrival_announcement(Run& run) {
  RunState& s = run.state;
  if (!(s.speed < kArrivalSpeed) || s.doors_not_closed || !(s.distance_to_stop < 0) ||
      in_some_stop_zone(run))
    return;
  const int32_t d = s.departure_counter;
  if (d < 0 || static_cast<size_t>(d) >= s.arrival_announced.size()) return;
  if (s.arrival_announced[static_cast<size_t>(d)]) return;
  restart_environment(run, run.route->AnnounceHeader);
  s.arrival_announced[static_cast<size_t>(d)] = 1;
}

/// 2: each announcement on its 5 m of line after (kind 0) or before (kind 1)
/// its station.
void distance_announcements(Run& run) {
  const RunState& s = run.state;
  const RouteTables& route = *run.route;
  for (const AnnounceRow& row : table_rows(route.Announce, route.Announce_count)) {
    const StationData* st = station_at(route, row.station);
    if (!st) continue;
    const int64_t offset = int64_t{row.distance_m} * kCmPerMetre;
    int64_t x = 0;
    if (row.kind == 0) {
      if (!(s.distance_to_stop > kAfterStationFrom)) continue;
      x = st->stop_position + offset;
    } else if (row.kind == 1) {
      x = st->stop_position - offset;
    } else {
      continue;
    }
    if (x < s.position && s.position < x + kAnnouncementWindow)
      start_once(run.sounds, environment_channel(run, row.sound));
  }
}

/// The environment sound of one-man announcement `n`: 0 the arrival
/// announcement, n the n-th `[Announce]` row; -1 for no such announcement.
int32_t one_man_sound(const RouteTables& route, int32_t n) {
  if (n == 0) return route.AnnounceHeader;
  const auto rows = table_rows(route.Announce, route.Announce_count);
  if (n < 0 || static_cast<size_t>(n) > rows.size()) return -1;
  return rows[static_cast<size_t>(n) - 1].sound;
}

}  // namespace

void announcement_step(Run& run) {
  const int32_t one_man = run.route->OneMan;
  if (one_man == 0) arrival_announcement(run);
  if (one_man == 0 || one_man == 2) distance_announcements(run);
}

void next_announcement(Run& run) {
  RunState& s = run.state;
  const RouteTables& route = *run.route;
  if (route.OneMan != 1) return;
  const int32_t n = s.announcement_counter;
  if (n < 0 || n > route.Announce_count) return;
  if (environment_playing(run, one_man_sound(route, n))) return;
  if (n > 0) stop_environment(run, one_man_sound(route, n - 1));
  restart_environment(run, one_man_sound(route, n));
  // A passenger may ask for the stop at station n.
  const StationData* st = station_at(route, n);
  if (st && st->request_limit > 0 && draw_random(s, st->request_limit) <= kRequestDraw) {
    s.stop_request = 1;
    s.stop_request_clock = s.clock;
  }
  s.announcement_counter = n + 1;
}

void previous_announcement(Run& run) {
  RunState& s = run.state;
  if (run.route->OneMan != 1 || s.announcement_counter <= 0) return;
  stop_environment(run, one_man_sound(*run.route, s.announcement_counter - 1));
  s.announcement_counter -= 1;
}

void stop_request_lamp_step(Run& run) {
  const RunState& s = run.state;
  if (!s.stop_request) return;
  const StationData* st = station_at(*run.route, s.announcement_counter - 1);
  if (!st) return;
  if (int64_t{s.clock} - s.stop_request_clock >= int64_t{st->request_delay} * kRequestDelayUnit)
    run.view.panel.show(other_picture(kStopRequestLamp), true);
}

}  // namespace cabsim
