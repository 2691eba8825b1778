// How the film frame follows the train on every 33 ms cycle: the frame
// accumulator, the filmed speed with the position resets at segment changes,
// the position counter, the run clock, the film-speed run, and the frames of
// the time-driven and position-driven film inserts.
#pragma once

#include <cstdint>

#include "data/route_tables.h"
#include "state/run_state.h"

namespace cabsim {

/// Cycles of the 33 ms timer per second, the rate of the run clock.
constexpr int32_t kCyclesPerSecond = 30;
/// Smallest movement per cycle the position counter keeps, cm.
constexpr long double kSmallestMovement = 1.0L;

/// Steps 1 and 2: the rounded speed accumulates; whole filmed-speed units of
/// it move the frame (forward or backward with the speed's sign).
void step_frame(RunState& s);

/// Step 3: the filmed speed of the current frame, interpolated in its row of
/// the speed profile; entering another row resets the position to that row's
/// boundary.
void filmed_speed_step(RunState& s, const RouteTables& route);

/// Step 4: the position advances by this cycle's movement, speed / 36000 x
/// 33333 cm (none under 1 cm),
/// and the distance to the next stop follows.
void position_counter_step(RunState& s);

/// Step 5: the run clock counts the cycle; in the film-speed run the speed
/// becomes the filmed speed.
void run_clock_step(RunState& s);

/// Steps 6 and 7: the time-driven frame of film modes 1 and 2.
void film_mode_counters_step(RunState& s, const RouteTables& route);

/// The whole frame stepping in order.
void frame_stepping(RunState& s, const RouteTables& route);

}  // namespace cabsim
