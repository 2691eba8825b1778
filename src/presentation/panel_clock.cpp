// Hand positions of the analogue clock.
#include "presentation/panel_clock.h"

#include <algorithm>
#include <numbers>

#include "data/panel_geometry.h"
#include "data/rounding.h"

namespace cabsim {
namespace {

constexpr int64_t kSecondsPerDay = 24 * 3600;

ClockHandEnd hand_end(long double length, long double degrees) {
  long double radians = degrees * std::numbers::pi_v<long double> / 180.0L;
  return {NeedleX(length, kClockCentre, radians), NeedleY(length, kClockCentre, radians)};
}

}  // namespace

ClockHands clock_hands(const PanelClock& clock, int64_t run_clock) {
  // A full day turns every hand a whole number of times, so the time of day
  // is taken within one day (a clock before midnight too).
  int64_t seconds = run_clock / kClockCountsPerSecond;
  seconds = ((seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  long double h = seconds / 3600, m = (seconds / 60) % 60, s = seconds % 60;
  long double length = std::clamp(clock.hand_length, -kMaxClockHandLength, kMaxClockHandLength);
  ClockHands hands;
  hands.hour = hand_end(round_half_even(length * 0.6L), h * 30 + m * 0.5L);
  hands.minute = hand_end(length, m * 6 + s * 0.1L);
  hands.second = hand_end(length, s * 6);
  return hands;
}

}  // namespace cabsim
