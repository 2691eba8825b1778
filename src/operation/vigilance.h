// The vigilance device: a driver who gives no input for a minute while
// running hears a warning, and ten seconds later gets the emergency brake.
#pragma once

#include <cstdint>

#include "state/run.h"

namespace cabsim {

/// Ticks without input after which the warning sounds (from the next tick).
constexpr int32_t kVigilanceWarningTicks = 600;
/// Ticks without input after which the emergency brake applies.
constexpr int32_t kVigilanceEmergencyTicks = 650;
/// Speed above which the device counts, km/h.
constexpr long double kVigilanceSpeed = 1.0L;

/// Every input (character key, wheel step, controller message): the counter
/// starts again, the warning stops and its lamp goes dark.
void reset_vigilance(Run& run);

/// 100 ms tick: counting, the warning and the emergency brake.
void vigilance_step(Run& run);

}  // namespace cabsim
