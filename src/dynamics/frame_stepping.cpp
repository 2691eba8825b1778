// Frame accumulator, filmed speed, position counter and film-mode counters.
#include "dynamics/frame_stepping.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "data/rounding.h"
#include "state/checked_math.h"

namespace cabsim {
namespace {

int32_t round_checked(long double x) {
  auto r = round_to_int32(x);
  if (!r) throw std::overflow_error("integer overflow");
  return *r;
}

/// Moves the current frame by `frames` in the direction of travel.
void move_frame(RunState& s, int64_t frames) {
  if (s.speed > 0) s.current_frame = checked_add(s.current_frame, frames);
  if (s.speed < 0) s.current_frame = checked_add(s.current_frame, -frames);
}

}  // namespace

void step_frame(RunState& s) {
  int32_t speed_units = round_checked(s.speed);
  s.frame_accumulator = checked_add(s.frame_accumulator, std::abs(int64_t{speed_units}));
  if (s.frame_accumulator < s.filmed_speed) return;
  if (s.filmed_speed == 0) {
    // A film shot standing still: half a speed unit per frame.
    long double frames = std::fabs(s.frame_accumulator / 0.5L);
    move_frame(s, round_checked(frames));
    s.frame_accumulator = round_checked(s.frame_accumulator - frames * 0.5L);
  } else if (s.filmed_speed >= 1) {
    int32_t q = s.frame_accumulator / s.filmed_speed;
    move_frame(s, q);
    s.frame_accumulator -= q * s.filmed_speed;
  }
}

void filmed_speed_step(RunState& s, const RouteTables& route) {
  const int32_t f = s.current_frame;
  const int32_t count = std::clamp<int32_t>(route.SpeedUnit_count, 0, kMaxSpeedUnits);
  int32_t first = 0, last = count;
  if (route.SpeedUnit_ordered) {
    // The one segment that can hold the frame: the last starting at or before it.
    const auto* begin = route.SpeedUnit.data();
    const auto* after =
        std::upper_bound(begin, begin + count, f,
                         [](int32_t frame, const auto& row) { return frame < row.start_frame; });
    first = static_cast<int32_t>(after - begin) - 1;
    if (first < 0) return;
    last = first + 1;
  }
  for (int32_t i = first; i < last; ++i) {
    const SpeedUnitData& row = route.SpeedUnit[static_cast<size_t>(i)];
    if (!(row.start_frame <= f && f < row.end_frame)) continue;
    const int32_t current = s.current_speed_segment;
    if (i != current && current != -1) {
      if (i == 0)
        s.position = 0;
      else if (i > current)
        s.position = route.SpeedUnit[static_cast<size_t>(i - 1)].end_distance;
      else
        s.position = row.end_distance;
    }
    // The reader refuses segments whose end frame equals their start frame.
    long double frames = static_cast<long double>(row.end_frame) - row.start_frame;
    long double into = static_cast<long double>(f) - row.start_frame;
    s.filmed_speed =
        round_checked((row.end_speed - row.start_speed) / frames * into + row.start_speed);
    s.current_speed_segment = i;
  }
}

void position_counter_step(RunState& s) {
  long double movement = s.speed == 0 ? 0 : s.speed / 36000.0L * 33333.0L;
  if (std::fabs(movement) < kSmallestMovement) movement = 0;
  s.movement_this_tick = movement;
  s.position += movement;
  s.distance_to_stop = s.target_stop_position - s.position;
}

void run_clock_step(RunState& s) {
  s.clock = checked_add(s.clock, 1);
  s.cycle_count = checked_add(s.cycle_count, 1);
  if (s.film_speed_run) s.speed = s.filmed_speed;
}

void film_mode_counters_step(RunState& s, const RouteTables& route) {
  if (s.film_mode == kFilmTimeDriven) {
    // A frame rate above 30 (or none) would divide by zero: such a film
    // advances on every cycle.
    int32_t cycles = route.FrameRate > 0 ? kCyclesPerSecond / route.FrameRate : 0;
    if (cycles < 1) cycles = 1;
    if (s.cycle_count % cycles == 0) s.time_driven_frame = checked_add(s.time_driven_frame, 1);
  }
  if (s.film_mode == kFilmPositionInsert)
    s.time_driven_frame = checked_add(s.current_frame, -int64_t{s.frame_offset});
}

void frame_stepping(RunState& s, const RouteTables& route) {
  step_frame(s);
  filmed_speed_step(s, route);
  position_counter_step(s);
  run_clock_step(s);
  film_mode_counters_step(s, route);
}

}  // namespace cabsim
