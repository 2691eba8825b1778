// What the station rules show: the clock text and the analogue clock's time
// (timecalc), the stop-approach warning, and the stop-line marker with the
// stop-position gauge and the metres left.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/route_tables.h"
#include "state/run.h"

namespace cabsim {

/// timecalc: the clock text "hh:mm:ss" of run clock `t` (1/30 s; hours are
/// not wrapped at 24), written only when the seconds differ from the last
/// call's; the analogue clock is then redrawn for `t` when the panel has one.
void timecalc(Run& run, int32_t t);

/// The clock text of `t` as timecalc writes it.
std::string clock_text_of(int32_t t);

/// Operation tick, step 25: the stop warning sound when the train comes too
/// fast towards the stop, stopped at a stand; the warning lamp blinks while
/// the sound plays.
void stop_approach_warning_step(Run& run);

/// Where the stop-line marker, the gauge mark and the metres left stand at
/// distance `distance` (cm) before the stop position of `stop`.
struct StopLineDisplay {
  std::array<int32_t, 4> marker{};  ///< left, top, right, bottom; all 0 no marker
  int32_t stopline_top = -30;
  std::string remain_text;  ///< empty: not shown
};
StopLineDisplay stop_line_display(long double distance, const Perspective& perspective,
                                  const StationData& stop);

/// Operation tick, step 38: the stop-line marker, the gauge mark and the
/// metres left for the next stop.
void stop_line_marker_step(Run& run);

}  // namespace cabsim
