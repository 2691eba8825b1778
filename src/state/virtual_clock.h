// Simulated time: a clock that moves only when the simulation moves it, so a
// run is reproducible tick for tick.
#pragma once

#include <cstdint>

#include "state/clock.h"

namespace cabsim {

class VirtualClock final : public Clock {
 public:
  int64_t milliseconds() const override { return now_; }
  /// A sleep lets simulated time pass at once.
  void sleep(int ms) override {
    if (ms > 0) now_ += ms;
  }
  /// Moves the clock forward to `ms`; it never goes backwards.
  void advance_to(int64_t ms) {
    if (ms > now_) now_ = ms;
  }

 private:
  int64_t now_ = 0;
};

}  // namespace cabsim
