// Rounding to the nearest integer with halves to even, the one rounding rule of
// the whole simulator.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace cabsim {

/// Rounds x to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
/// The floating-point unit rounds this way in its default mode, which the
/// program never changes; rint asks it directly (one instruction, no switch of
/// the control word as floor and truncation need).
inline long double round_half_even(long double x) {
  return std::rint(x);
}

/// Rounds x half to even into a 64-bit integer; nothing when it does not fit
/// (or x is not a number).
inline std::optional<int64_t> round_to_int64(long double x) {
  if (!std::isfinite(x)) return std::nullopt;
  const long double r = round_half_even(x);
  // 2^63 is exactly representable; anything at or beyond it does not fit.
  if (r >= 9223372036854775808.0L || r < -9223372036854775808.0L) return std::nullopt;
  // Whole already: below 2^53 exact as a double, whose conversion is the
  // cheaper one; beyond, converted as it is.
  if (std::fabs(r) < 9007199254740992.0L) return static_cast<int64_t>(static_cast<double>(r));
  return static_cast<int64_t>(std::llrint(r));
}

/// Rounds x half to even into a 32-bit integer; nothing when it does not fit.
inline std::optional<int32_t> round_to_int32(long double x) {
  if (!std::isfinite(x)) return std::nullopt;
  const long double r = round_half_even(x);
  if (r > 2147483647.0L || r < -2147483648.0L) return std::nullopt;
  // Whole and within 32 bits, so exact as a double, whose conversion needs no
  // switch of the rounding mode either.
  return static_cast<int32_t>(static_cast<double>(r));
}

}  // namespace cabsim
