// Placing the route's objects along the line and the lists built from them.
#include "data/route_setup.h"

#include <string>
#include <utility>

#include "data/definition_error.h"
#include "data/route_file.h"
#include "data/route_positions.h"

namespace cabsim {
namespace {

/// Calls `place(position)` for `frame` in every segment that holds it.
template <typename Place>
void for_each_placement(const RouteTables& route, int32_t frame, Place&& place) {
  for (int32_t s = 0; s < route.SpeedUnit_count; ++s) {
    const SpeedUnitData& segment = route.SpeedUnit[static_cast<size_t>(s)];
    if (!frame_in_segment(segment, frame)) continue;
    auto distance = frame_distance(segment, segment_start_distance(route, s), frame);
    // The reader refused profiles that could place anything out of range.
    if (distance) place(static_cast<int32_t>(*distance));
  }
}

/// Applies `place(row, position)` to the first `count` rows of `table` for
/// the frame `frame_of(row)`.
template <typename Table, typename FrameOf, typename Place>
void place_rows(const RouteTables& route, Table& table, int32_t count, FrameOf frame_of,
                Place place) {
  for (int32_t i = 0; i < count; ++i) {
    auto& row = table[static_cast<size_t>(i)];
    for_each_placement(route, frame_of(row), [&](int32_t position) { place(row, position); });
  }
}

/// Appends an event, or refuses the route when the list is full.
void add_event(RouteTables& route, const RouteEvent& event, std::string_view table_key) {
  if (route.event_count < 0 || static_cast<size_t>(route.event_count) >= kMaxRouteEvents)
    throw DefinitionError(route_error_message(table_key, {}));
  route.events[static_cast<size_t>(route.event_count++)] = event;
}

}  // namespace

void store_object_positions(RouteTables& route) {
  place_rows(
      route, route.SpeedCheck1, route.SpeedCheck1_count, [](auto& r) { return r.frame; },
      [](auto& r, int32_t p) { r.position = p; });
  place_rows(
      route, route.SpeedCheck2, route.SpeedCheck2_count, [](auto& r) { return r.frame; },
      [](auto& r, int32_t p) { r.position = p; });
  place_rows(
      route, route.Station, route.Station_count, [](auto& r) { return r.frame; },
      [](StationData& r, int32_t p) {
        r.stop_position = p;
        r.zone_start = int64_t{p} - r.half_zone;
        r.zone_end = int64_t{p} + r.half_zone;
      });
  place_rows(
      route, route.TrafficSignal, route.TrafficSignal_count, [](auto& r) { return r.frame; },
      [](auto& r, int32_t p) { r.position = p; });
  place_rows(
      route, route.TrafficSignal, route.TrafficSignal_count, [](auto& r) { return r.second_frame; },
      [](auto& r, int32_t p) { r.second_position = p; });
  place_rows(
      route, route.Doppler, route.Doppler_count, [](auto& r) { return r.frame; },
      [](auto& r, int32_t p) { r.position = p; });
  place_rows(
      route, route.Tunnel, route.Tunnel_count, [](auto& r) { return r.entry_frame; },
      [](auto& r, int32_t p) { r.entry_position = p; });
  place_rows(
      route, route.Tunnel, route.Tunnel_count, [](auto& r) { return r.exit_frame; },
      [](auto& r, int32_t p) { r.exit_position = p; });
  place_rows(
      route, route.SpeedLimit, route.SpeedLimit_count, [](auto& r) { return r.view_start; },
      [](auto& r, int32_t p) { r.position = p; });
}

void build_route_events(RouteTables& route) {
  route.event_count = 0;
  for (int32_t s = 0; s < route.SpeedUnit_count; ++s) {
    const SpeedUnitData& segment = route.SpeedUnit[static_cast<size_t>(s)];
    int32_t start = segment_start_distance(route, s);
    auto at = [&](int32_t frame) { return frame_distance(segment, start, frame); };
    for (int32_t i = 0; i < route.Signal_count; ++i) {
      const SignalData& signal = route.Signal[static_cast<size_t>(i)];
      if (!frame_in_segment(segment, signal.frame)) continue;
      if (auto p = at(signal.frame))
        add_event(route, {static_cast<int32_t>(*p), 0, i, 0, kEventSignal}, "[Signal]");
    }
  }
  for (int32_t s = 0; s < route.SpeedUnit_count; ++s) {
    const SpeedUnitData& segment = route.SpeedUnit[static_cast<size_t>(s)];
    int32_t start = segment_start_distance(route, s);
    for (int32_t i = 0; i < route.SpeedLimit_count; ++i) {
      const SpeedLimitData& limit = route.SpeedLimit[static_cast<size_t>(i)];
      if (!frame_in_segment(segment, limit.view_start)) continue;
      if (auto p = frame_distance(segment, start, limit.view_start))
        add_event(route, {static_cast<int32_t>(*p), limit.limit, 0, 0, limit.kind}, "[SpeedLimit]");
    }
  }
  for (int32_t s = 0; s < route.SpeedUnit_count; ++s) {
    const SpeedUnitData& segment = route.SpeedUnit[static_cast<size_t>(s)];
    int32_t start = segment_start_distance(route, s);
    for (int32_t i = 0; i < route.Station_count; ++i) {
      const StationData& station = route.Station[static_cast<size_t>(i)];
      if (station.kind != 0 || station.stop_event != 1) continue;
      if (!frame_in_segment(segment, station.frame)) continue;
      // The stop event lies 20 m beyond the stop position.
      if (auto p = frame_distance(segment, start, station.frame))
        add_event(route, {static_cast<int32_t>(*p + 2000), 10, 0, i, kEventStopStation},
                  "[Station]");
    }
  }
}

void sort_route_events(RouteTables& route) {
  auto& e = route.events;
  for (int32_t pass = 0; pass + 1 < route.event_count; ++pass) {
    bool exchanged = false;
    for (int32_t i = 0; i + 1 < route.event_count - pass; ++i) {
      auto k = static_cast<size_t>(i);
      if (e[k + 1].position < e[k].position) {
        std::swap(e[k], e[k + 1]);
        exchanged = true;
      }
    }
    if (!exchanged) break;
  }
}

int32_t start_position(const RouteTables& route, int32_t start_station) {
  if (start_station < 0 || start_station > route.Station_count) return 0;
  return route.Station[static_cast<size_t>(start_station)].stop_position;
}

void mark_passed_speed_checks(RouteTables& route, int32_t start_position) {
  for (int32_t i = 0; i < route.SpeedCheck1_count; ++i) {
    SpeedCheck1Data& check = route.SpeedCheck1[static_cast<size_t>(i)];
    if (check.position < start_position) check.passed = 1;
  }
}

void build_move_menu(RouteTables& route) {
  route.move_menu_count = 0;
  for (int32_t i = 0; i + 1 < route.Station_count; ++i) {
    const StationData& station = route.Station[static_cast<size_t>(i)];
    if (station.kind != 0 && station.kind != 2) continue;
    MoveMenuItem& item = route.move_menu[static_cast<size_t>(route.move_menu_count++)];
    item.caption = station.name;
    item.name = "Sta" + std::to_string(i);
    item.station = i;
  }
}

void store_sound_lengths(RouteTables& route,
                         const std::function<int32_t(std::string_view file)>& length_of) {
  for (int32_t k = 0; k < route.SoundData_count; ++k) {
    auto i = static_cast<size_t>(k);
    route.SoundData_seconds[i] = length_of(route.SoundData[i]);
  }
}

void reset_route_run_fields(RouteTables& route) {
  for (auto& row : route.Station) {
    row.in_zone = row.doors_opened = row.departed = row.arrival_call = row.melody_started = 0;
  }
  for (auto& row : route.MovieSwitch) row.done = 0;
  for (auto& row : route.Sound) row.played = 0;
  for (auto& row : route.Time) row.done = 0;
  for (auto& row : route.Switch) row.sounded = 0;
  for (auto& row : route.SpeedCheck1) row.passed = 0;
  for (auto& row : route.Signal) row.aspect = row.display_number = 0;
  for (auto& row : route.TrafficSignal) {
    row.phase = 1;
    row.phase_timer = row.phases[0].duration;
  }
}

void set_up_route_positions(RouteTables& route, int32_t start_station) {
  compute_segment_distances(route);
  store_object_positions(route);
  build_route_events(route);
  sort_route_events(route);
  mark_passed_speed_checks(route, start_position(route, start_station));
}

int32_t first_kept_cross_image(const std::vector<ImageSize>& sizes) {
  int32_t first = 0;
  for (size_t i = 1; i < sizes.size(); ++i) {
    const ImageSize& size = sizes[i];
    const ImageSize& before = sizes[i - 1];
    if (size.width != before.width || size.height != before.height) first = static_cast<int32_t>(i);
  }
  return first;
}

}  // namespace cabsim
