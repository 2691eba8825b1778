// The blink rule of every flashing indicator: half a second off, half a
// second on, by the operation tick count.
#pragma once

#include <cstdint>
#include <optional>

namespace cabsim {

/// What a flashing indicator does at tick `n`: switched on at multiples of 10,
/// off at the odd multiples of 5, unchanged otherwise.
inline std::optional<bool> blink_switch(int32_t n) {
  if (n % 10 == 0) return true;
  if (n % 5 == 0) return false;
  return std::nullopt;
}

}  // namespace cabsim
