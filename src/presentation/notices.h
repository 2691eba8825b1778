// The cab-signal speed zones of `[SpeedCheck2]` with the speed the cab signal
// display shows for them, and the two notice lines about the limits, checks
// and ATS-P targets ahead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "operation/speed_limits.h"
#include "state/run.h"

namespace cabsim {

/// Tick step 22, the `[SpeedCheck2]` zones (only while the ATS is on), row by
/// row: a zone holding the frame (first frame < frame < end frame) whose
/// speed is below the ATS check speed shows its speed on the cab signal
/// display (when the `[Lamp_signal]` list has it) and rings the ATS bell
/// (ats_alarm_request) while the train is faster; a row that does not apply
/// shows the ATS check speed instead while one is set. With no rows, or none
/// applying and no check set, the display goes dark and the ATS check speed
/// is 999 again, so a check the signals set lasts one tick. On a cab-signal
/// train the display belongs to the signal aspects: it is taken back from
/// the zones only when they showed something, and then shows the aspect of
/// the signal in view again.
void speed_zone_step(Run& run);

/// The limit notice for a limit or check ahead: "<speed>km/h " + `text` +
/// "<distance>m" (all Shift-JIS; digits are ASCII).
std::string approach_notice_text(int32_t speed, const std::string& text, int64_t distance_m);

/// Tick step 32: `limit_notice` and `pattern_notice`, both cleared, then the
/// first that applies of
///  1. ATS-P (its ATS on) braking towards a stop signal (target speed 1,
///     below the train's, target ahead): `[InfoLabel]` line 2;
///  2. ATS-P braking towards a target speed of 11 or more, the pattern within
///     30 km/h: target speed, "km/h ", line 3, metres to the target, "m";
///  3. a limit within its needed distance: speed, "km/h ", line 4, metres,
///     "m"; with a following speed, the pattern notice line 5, that speed,
///     "km/h ", line 7, ")";
///  4. a check within its needed distance: speed, "km/h 照査まで", metres,
///     "m"; with a following speed, the pattern notice line 5, that speed,
///     "km/h ", line 6, ")".
void speed_notice_step(Run& run);

}  // namespace cabsim
