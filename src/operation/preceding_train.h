// The preceding train: where the train ahead stands or runs, from the route's
// `[Pre_Train]` timetable, so that the block signals behind it show stop.
//
// A row is (time, station, standing time): the train ahead reaches the row's
// station at `time` (clock, 1/30 s), stands there for the standing time in
// seconds, then runs to the next row's station at an even rate of frames so
// that it arrives there at the next row's time. After the last row it stays
// at that row's station. Before the first row's time, at a row whose station
// the route does not have, and beyond the header's removal frame there is no
// train ahead (frame 0).
#pragma once

#include <cstdint>

#include "data/route_tables.h"
#include "state/run.h"

namespace cabsim {

/// Frame of the train ahead at `clock` by the timetable alone (0: none).
int32_t preceding_train_frame_at(const RouteTables& route, int32_t clock);

/// Where a move or a restore puts the train ahead: at the station of the
/// last row whose time range (its time up to the next row's) holds `clock`;
/// 0 when none does.
int32_t preceding_train_station_frame(const RouteTables& route, int32_t clock);

/// Tick step: the train ahead follows its timetable, leaves the line beyond
/// the removal frame, and the tick count advances.
void preceding_train_step(Run& run);

}  // namespace cabsim
