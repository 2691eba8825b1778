// The analogue clock of the cab panel: where its three hands end on the
// 50 x 50 clock picture for a time of day.
#pragma once

#include <array>
#include <cstdint>

#include "data/cab_panel.h"

namespace cabsim {

/// Side of the clock picture, pixels; the hands turn about its centre.
constexpr int32_t kClockPictureSize = 50;
constexpr int32_t kClockCentre = 25;
/// Run clock counts per second (the clock runs in 1/30 s).
constexpr int64_t kClockCountsPerSecond = 30;
/// Longest hand drawn, pixels: a longer one from the train file is drawn at
/// this length (it leaves the picture either way).
constexpr int32_t kMaxClockHandLength = 1000;

struct ClockHandEnd {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const ClockHandEnd&) const = default;
};

/// End points of the hour, minute and second hands, drawn from the centre in
/// that order.
struct ClockHands {
  ClockHandEnd hour, minute, second;
};

/// The panel has an analogue clock only with x and y above 0.
inline bool analogue_clock_shown(const PanelClock& clock) {
  return clock.x > 0 && clock.y > 0;
}

/// The hands at run clock `clock` (1/30 s since midnight): the hour hand
/// 0.6 of the hand length, the others the full length, clockwise from 12.
ClockHands clock_hands(const PanelClock& clock, int64_t run_clock);

}  // namespace cabsim
