// The monotonic millisecond clock.
#include "platform/steady_clock.h"

#include <chrono>
#include <thread>

namespace cabsim {

int64_t SteadyClock::milliseconds() const {
  auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
}

void SteadyClock::sleep(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace cabsim
