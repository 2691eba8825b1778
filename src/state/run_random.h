// The random numbers of a run: a small generator whose whole state is one
// value of the running state, so a run (and a saved or simulated one)
// repeats exactly from the same state.
#pragma once

#include <cstdint>

#include "state/run_state.h"

namespace cabsim {

/// The next number 0 .. bound - 1 (bound > 0) from the run's generator
/// (xorshift32; a zero state, which would stay zero, is restarted).
inline int32_t draw_random(RunState& s, int32_t bound) {
  uint32_t x = s.random_state != 0 ? s.random_state : 0x2545F491u;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  s.random_state = x;
  return bound > 0 ? static_cast<int32_t>(x % static_cast<uint32_t>(bound)) : 0;
}

}  // namespace cabsim
