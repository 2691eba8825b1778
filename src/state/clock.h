// The millisecond clock the display pass paces itself by, and its 1 ms sleep.
#pragma once

#include <cstdint>

namespace cabsim {

class Clock {
 public:
  virtual ~Clock() = default;
  /// Milliseconds from an arbitrary start; never goes backwards.
  virtual int64_t milliseconds() const = 0;
  /// Gives up the processor for at least `ms` milliseconds.
  virtual void sleep(int ms) = 0;
};

}  // namespace cabsim
