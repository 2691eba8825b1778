// The track-side signs of the sign column, everything but the line-side
// signal: the gradient sign and its figure, the speed-limit sign, the other
// signs, the small animation, the road traffic signals with their notices and
// the level-crossing pictures. Each step runs once per operation tick (100 ms)
// and writes only RunView::signs, the notices and the shown caches of
// RunState's sign-column section.
//
// Every index a route file holds (cells, rows, indicators) is checked before
// use; a cell beyond its image list is drawn as given and the form shows
// nothing for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/fixed_point.h"
#include "state/run.h"

namespace cabsim {

/// The gradient figure under the gradient sign: per mille with one decimal,
/// rounded half away from zero on the fixed-point count (2.25 -> "2.3",
/// -2.25 -> "-2.3"); a value that rounds to zero reads "0.0".
std::string gradient_text(Fixed gradient);

/// The gradient sign from `[Slope]`. Inside a row (first < frame < last) a
/// new rising gradient draws sign cell 1, a new falling one cell 2, a level
/// one keeps the picture; the figure follows the row. Between a row's last
/// frame and the next row's first, and after the last row, a sign that shows
/// a picture or a figure is cleared. With rows overlapping, the first row in
/// table order that holds the frame counts.
void gradient_sign_step(Run& run);

/// While the limit ahead is being announced (limit_approach_flag 1), the
/// speed-limit sign blinks by the tick count (blink_switch).
void speed_limit_blink_step(Run& run);

/// The speed-limit sign. A `[SpeedLimit]` row whose view zone holds the frame
/// (view_start <= frame < view_end) shows its other-list cell steadily; the
/// row `approaching_limit`, when it names one, shows its cell (over a zone's)
/// and makes the sign blink; with neither the sign is cleared. A picture is
/// drawn whenever the sign holds another, whatever either cache remembers.
///
/// The look-ahead that finds the limit being approached is not built yet: the
/// operation tick passes std::nullopt, and the rule that finds it will pass
/// its row here. An index the table does not hold is ignored.
void speed_limit_sign_step(Run& run, std::optional<int32_t> approaching_limit);

/// The other signs from `[Sign]` (from frame, to frame, cell, change time).
/// The first row in table order with from <= frame < to shows its cell on
/// entering; change time 1 .. 999 shows cell + 1 once more than change time
/// x 10 ticks have passed since, change time 1000 and more shows it once the
/// 33 ms cycle count reaches the change time. A row entered straight from
/// another row shows its own cell. With no row the picture is cleared.
///
/// The train's own sign zones (other-list cell 0 while running) are not
/// drawn: the train file defines no such zones.
void other_sign_step(Run& run);

/// The small animation from `[Anim]` (from frame, to frame, period, first
/// cell): inside the first row holding the frame (from <= frame < to) the
/// picture steps through 14 cells from the first cell, one step every period
/// + 1 ticks (every tick for period 0 or less); with no row it is cleared.
void animation_step(Run& run);

/// The road traffic signals (`[TrafficSignal]`). Every row runs its phases
/// 1 -> 6 -> 1 each tick, in view or not: a phase lasts its duration in
/// ticks (phase 1 one tick less from the set-up), a phase of duration 0 or
/// less one tick, and a phase outside 1 .. 6 restarts at 1. In its view zone
/// the row shows its phase's cell (nothing for a phase of duration 0); on the
/// approach its small picture tells stop or proceed and a stop writes the
/// warning text into the second notice; near the view's end the pictures go.
/// The first notice line is composed here every tick from the distances to
/// the signals (and cleared when no row composes it).
void traffic_signal_step(Run& run);

/// Indicator `k` of the level crossings is on while row k of `[Cross]`,
/// counted from 1, is in the crossing queue; an indicator with no row is off.
bool crossing_indicator_on(const RunState& s, const RouteTables& route, int32_t k);

/// The level-crossing pictures from `[Cross]` (cell, call sound, first
/// frame, last frame, linked indicator). A crossing joins the queue in its
/// first 20 frames from `first` (unless queued already; a full queue drops
/// it) and leaves it, wherever it stands in the queue, in its first 20 frames
/// from `last`. When no crossing is joining and the head has changed, the
/// head's cell is drawn into `crossimage`, with `crossimage_sub` shown when
/// the head's linked indicator (1 or more) is off. An empty queue clears the
/// picture and hides the sub-picture. Queue entries naming no row (a restored
/// state from another route) are dropped.
void level_crossing_step(Run& run);

/// Puts the sign column back to its start: the signal in view is forgotten
/// and its five pictures go home empty, the shown caches take their start
/// values, every other picture its start state (cell, left, visibility;
/// `crossimage_sub` holds kCrossSubCell, hidden), the gradient figure is
/// cleared and the crossing queue emptied. The ATS check speed is left to
/// the caller. A move and a restore call it.
void reset_sign_column(RunState& s, RunView& v);

}  // namespace cabsim
