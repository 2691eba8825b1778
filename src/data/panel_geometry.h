// End points of clock hands and gauge needles on the panel.
#pragma once

#include <cmath>
#include <cstdint>

#include "data/rounding.h"

namespace cabsim {

/// x of the end of a hand of `radius` pixels about `centre_x`, at `angle`
/// radians clockwise from straight up.
inline int32_t NeedleX(long double radius, int32_t centre_x, long double angle) {
  return centre_x + static_cast<int32_t>(round_half_even(radius * std::sin(angle)));
}

/// y of the end of the same hand; the screen's y axis grows downwards.
inline int32_t NeedleY(long double radius, int32_t centre_y, long double angle) {
  return centre_y + static_cast<int32_t>(round_half_even(-radius * std::cos(angle)));
}

}  // namespace cabsim
