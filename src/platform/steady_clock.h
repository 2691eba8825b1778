// The real millisecond clock: the machine's monotonic clock.
#pragma once

#include "state/clock.h"

namespace cabsim {

class SteadyClock final : public Clock {
 public:
  int64_t milliseconds() const override;
  void sleep(int ms) override;
};

}  // namespace cabsim
