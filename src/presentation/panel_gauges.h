// The gauges of the cab panel: needle angles of the speedometer, ammeter,
// voltmeter and the air gauges, the two pressure bars and the digital speed.
#pragma once

#include <cstdint>
#include <optional>

#include "data/cab_panel.h"
#include "data/train_params.h"
#include "state/panel_state.h"
#include "state/run_state.h"
#include "state/run_view.h"

namespace cabsim {

/// Degrees to sprite rotation units: the panel's factor is 255/360 (not
/// 256/360), so a full dial turn is 255 units.
constexpr long double kNeedleUnitsPerTurn = 255.0L;
/// The speedometer stays where it is from this speed on, km/h.
constexpr long double kSpeedometerTop = 160.0L;
/// Below this speed a speedometer with a low-speed scale uses it, km/h.
constexpr long double kLowSpeedScaleEnd = 10.0L;
/// The digital speed shows speeds below this, km/h.
constexpr int64_t kDigitalSpeedLimit = 200;

/// round(degrees x 255/360), halves to even; nothing when it does not fit.
std::optional<int32_t> needle_angle(long double degrees);

/// The speedometer's angle for `speed` (km/h, signed), or nothing when the
/// needle stays: at 160 km/h and above, and between -1 and 0 km/h.
std::optional<int32_t> speedometer_angle(const Meter& meter, long double speed);

/// One tick of the ammeter's displayed current following the motor current:
/// it overshoots a rise and undershoots a fall by half the difference.
int32_t follow_ammeter(int32_t displayed, int32_t actual);

/// The ammeter's angle for the displayed current by its mode (0 signed times
/// the reverser, 1 magnitude, 2 the zero angle unconverted); nothing for an
/// unknown mode or a value that does not fit.
std::optional<int32_t> ammeter_angle(const Meter& meter, int32_t displayed, int32_t reverser);

/// A round gauge's angle for `value` (scale x value + zero angle).
std::optional<int32_t> gauge_angle(const Meter& meter, long double value);

/// A bar's top edge for `kpa`: base y - round(scale x kpa), so it rises with
/// the pressure.
std::optional<int32_t> bar_top(const Meter& bar, long double kpa);

/// The brake cylinder pressure the gauges show, kPa: the motor car's with
/// `[Mc]` 1, the trailer's otherwise.
long double shown_brake_cylinder(const RunState& s, const TrainParams& train);

/// Operation tick, step 3 (panel instruments): every needle, both bars and the
/// digital speed of `s.panel` from the running state. Absent sprites are left alone; a
/// value that gives no angle leaves its needle where it was.
void update_panel_gauges(const RunState& s, RunView& v, const TrainParams& train);

}  // namespace cabsim
