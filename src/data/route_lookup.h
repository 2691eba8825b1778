// Checked lookups into the route tables for indices that come from a route
// file (station, signal, environment sound and call sound numbers): a rule
// that follows such an index asks here, and gets nothing for an index the
// tables do not hold.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "data/route_tables.h"

namespace cabsim {

/// The rows of a route table that hold values: its first `count` rows, never
/// more than the table has.
template <typename Table>
auto table_rows(Table& table, int32_t count) {
  const size_t n = count <= 0 ? 0 : std::min(static_cast<size_t>(count), table.size());
  return std::span(table).first(n);
}

/// Station `index`, or the empty row after the last station for index
/// Station_count; nothing outside 0 .. Station_count.
inline const StationData* station_at(const RouteTables& route, int32_t index) {
  if (index < 0 || index > route.Station_count) return nullptr;
  return &route.Station[static_cast<size_t>(index)];
}

/// Signal `index`, or nothing when the table has no such signal.
inline const SignalData* signal_at(const RouteTables& route, int32_t index) {
  if (index < 0 || index >= route.Signal_count) return nullptr;
  return &route.Signal[static_cast<size_t>(index)];
}

/// True when `k` names one of the route's `[SoundData]` sounds.
inline bool is_environment_sound(const RouteTables& route, int32_t k) {
  return k >= 0 && k < route.SoundData_count;
}

/// The file of call sound `number`: 0 to 21 from `[KankoSound1]`, 22 on from
/// `[KankoSound2]`; nothing for a number no list gives.
inline const std::string* call_sound_file(const RouteTables& route, int32_t number) {
  if (number >= 0 && static_cast<size_t>(number) < kKankoSound1Count)
    return &route.KankoSound1[static_cast<size_t>(number)];
  int32_t k = number - kFirstKankoSound2;
  if (number >= kFirstKankoSound2 && k < route.KankoSound2_count)
    return &route.KankoSound2[static_cast<size_t>(k)].file;
  return nullptr;
}

}  // namespace cabsim
