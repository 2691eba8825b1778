// The dead zone every reading of a game controller passes through, so a pad
// at rest reads exactly 0 (the reading and the service are in state/joystick.h).
#pragma once

#include <cstdint>

#include "state/joystick.h"

namespace cabsim {

/// Readings within 5 % of the centre become 0; beyond it the rest of the
/// travel is stretched back over the full range: (reading - edge) * 100 / 95,
/// with the edges -32768 * 5 / 100 and 32767 * 5 / 100 (integer division).
/// Readings outside -32768 .. 32767 are first clamped to it.
int32_t apply_joystick_dead_zone(int32_t reading);

}  // namespace cabsim
