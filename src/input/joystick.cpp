// The joystick dead zone.
#include "input/joystick.h"

#include <algorithm>

namespace cabsim {

namespace {
constexpr int32_t kAxisMin = -32768;
constexpr int32_t kAxisMax = 32767;
constexpr int32_t kDeadZonePercent = 5;
constexpr int32_t kLowEdge = kAxisMin * kDeadZonePercent / 100;   // -1638
constexpr int32_t kHighEdge = kAxisMax * kDeadZonePercent / 100;  // 1638
}  // namespace

int32_t apply_joystick_dead_zone(int32_t reading) {
  int64_t r = std::clamp(reading, kAxisMin, kAxisMax);
  int64_t edge = r > kHighEdge ? kHighEdge : r < kLowEdge ? kLowEdge : r;
  if (edge == r) return 0;  // inside the dead zone (the edges included)
  int64_t stretched = (r - edge) * 100 / (100 - kDeadZonePercent);
  return static_cast<int32_t>(std::clamp<int64_t>(stretched, kAxisMin, kAxisMax));
}

}  // namespace cabsim
