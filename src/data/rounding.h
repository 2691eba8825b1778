// Rounding to the nearest integer with halves to even, the one rounding rule of
// the whole simulator.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace cabsim {

/// Rounds x to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
inline long double round_half_even(long double x) {
  long double floor_x = std::floor(x);
  long double diff = x - floor_x;
  if (diff > 0.5L) return floor_x + 1.0L;
  if (diff < 0.5L) return floor_x;
  return std::fmod(floor_x, 2.0L) == 0.0L ? floor_x : floor_x + 1.0L;
}

/// Rounds x half to even into a 64-bit integer; nothing when it does not fit
/// (or x is not a number).
inline std::optional<int64_t> round_to_int64(long double x) {
  if (!std::isfinite(x)) return std::nullopt;
  long double r = round_half_even(x);
  // 2^63 is exactly representable; anything at or beyond it does not fit.
  if (r >= 9223372036854775808.0L || r < -9223372036854775808.0L) return std::nullopt;
  return static_cast<int64_t>(r);
}

/// Rounds x half to even into a 32-bit integer; nothing when it does not fit.
inline std::optional<int32_t> round_to_int32(long double x) {
  if (!std::isfinite(x)) return std::nullopt;
  long double r = round_half_even(x);
  if (r > 2147483647.0L || r < -2147483648.0L) return std::nullopt;
  return static_cast<int32_t>(r);
}

}  // namespace cabsim
