// Overflow-checked integer arithmetic of the running state: an overflow is an
// error, never a wrapped value.
#pragma once

#include <cstdint>
#include <stdexcept>

namespace cabsim {

/// a + b, or std::overflow_error when it does not fit in 32 bits.
inline int32_t checked_add(int32_t a, int64_t b) {
  int64_t sum = int64_t{a} + b;
  if (sum > INT32_MAX || sum < INT32_MIN) throw std::overflow_error("integer overflow");
  return static_cast<int32_t>(sum);
}

/// `value` as 32 bits, or std::overflow_error.
inline int32_t checked_int32(int64_t value) {
  if (value > INT32_MAX || value < INT32_MIN) throw std::overflow_error("integer overflow");
  return static_cast<int32_t>(value);
}

}  // namespace cabsim
