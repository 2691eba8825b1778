// The train ahead, from the route's timetable of it.
#include "operation/preceding_train.h"

#include "data/route_lookup.h"
#include "state/checked_math.h"

namespace cabsim {
namespace {

constexpr int64_t kClockPerSecond = 30;

/// Frame of the row's station, or nothing for a station the route lacks.
const StationData* row_station(const RouteTables& route, const PreTrainRow& row) {
  if (row.field2 >= route.Station_count) return nullptr;
  return station_at(route, row.field2);
}

/// The last row whose range [time, next row's time) holds `clock`, the last
/// row's range having no end; -1 for none.
int32_t row_holding(const RouteTables& route, int32_t clock) {
  int32_t found = -1;
  for (int32_t k = 0; k < route.Pre_Train_count; ++k) {
    const auto& row = route.Pre_Train[static_cast<size_t>(k)];
    const bool last = k + 1 == route.Pre_Train_count;
    if (row.field1 <= clock && (last || clock < route.Pre_Train[static_cast<size_t>(k) + 1].field1))
      found = k;
  }
  return found;
}

}  // namespace

int32_t preceding_train_station_frame(const RouteTables& route, int32_t clock) {
  const int32_t k = row_holding(route, clock);
  if (k < 0) return 0;
  const StationData* station = row_station(route, route.Pre_Train[static_cast<size_t>(k)]);
  return station ? station->frame : 0;
}

int32_t preceding_train_frame_at(const RouteTables& route, int32_t clock) {
  const int32_t k = row_holding(route, clock);
  if (k < 0) return 0;
  const PreTrainRow& row = route.Pre_Train[static_cast<size_t>(k)];
  const StationData* here = row_station(route, row);
  if (!here) return 0;
  if (k + 1 == route.Pre_Train_count) return here->frame;
  const PreTrainRow& next_row = route.Pre_Train[static_cast<size_t>(k) + 1];
  const StationData* next = row_station(route, next_row);
  const int64_t departure = int64_t{row.field1} + int64_t{row.field3} * kClockPerSecond;
  if (!next || clock < departure || departure >= next_row.field1) return here->frame;
  // Running: an even share of the frames between the two stations for each
  // clock unit between the departure and the next arrival.
  const int64_t run_time = int64_t{next_row.field1} - departure;
  const int64_t into = int64_t{clock} - departure;
  const int64_t frames = int64_t{next->frame} - here->frame;
  // Between the two frames, so it fits; the product needs more than 64 bits.
  const auto share = static_cast<int64_t>(static_cast<__int128>(frames) * into / run_time);
  return static_cast<int32_t>(here->frame + share);
}

void preceding_train_step(Run& run) {
  RunState& s = run.state;
  const RouteTables& route = *run.route;
  if (route.Pre_Train_count > 0) s.pre_train_frame = preceding_train_frame_at(route, s.clock);
  if (s.pre_train_frame > route.Pre_TrainHeader.removal_frame) s.pre_train_frame = 0;
  s.tick_count = checked_add(s.tick_count, 1);
}

}  // namespace cabsim
