// The response curve the air brake divides its pressure-dependent release
// rates by.
#pragma once

#include <cmath>

namespace cabsim {

/// 10 x 1.2^(-x/10) + 1: 11 at 0, 13 at -10, 9.333... at 10, falling towards 1.
inline long double SoundCurve(long double x) {
  return 10.0L * std::pow(1.2L, -x / 10.0L) + 1.0L;
}

}  // namespace cabsim
