// The driving texts of the cab window: where each slot is drawn, its shadow,
// its size, and the darkened boxes laid behind the texts of the last pass
// (whose sizes the view remembers as it draws).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/run_view.h"

namespace cabsim {

enum class OverlaySlot {
  kSpeed,
  kReverser,
  kPowerNotch,
  kBrakeNotch,
  kGear,
  kNextStation,
  kCarCount,
  kSelector,
  kClock,
  kFirstNotice,
  kSecondNotice,
  kLimitNotice,
  kTopMessage,
  kPatternNotice,
};
constexpr size_t kOverlaySlots = 14;

/// Font sizes of the texts, points: the speed and every other text.
constexpr int32_t kSpeedTextPoints = 14;
constexpr int32_t kDrivingTextPoints = 12;
/// Centre line of the top message, and the notice stack's base and step.
constexpr int32_t kTopMessageCentre = 342;
constexpr int32_t kNoticeBase = 246;
constexpr int32_t kNoticeStep = 38;

/// Width and height in pixels a slot's text had when it was last drawn.
struct TextSize {
  int32_t width = 0;
  int32_t height = 0;
};
using OverlaySizes = std::array<TextSize, kOverlaySlots>;

/// A box to darken with bgblack.
struct DarkBox {
  int32_t x, y, w, h;
  bool operator==(const DarkBox&) const = default;
};

/// One text to write on the scene surface, in drawing order.
struct OverlayText {
  OverlaySlot slot;
  const std::string* text;  ///< the slot's text in the running state
  bool utf8;                ///< top message: UTF-8; the others: Shift-JIS
  int32_t x, y;
  int32_t points;
  bool shadow;    ///< black shadow, otherwise the foreground colour
  bool remember;  ///< the view keeps the size of this drawing for the slot
};

/// The text of `slot` in `s`.
const std::string& overlay_text(const RunView& v, OverlaySlot slot);

/// The boxes behind the texts of the last pass, in drawing order.
std::vector<DarkBox> dark_boxes(const RunView& v, const OverlaySizes& sizes);

/// The texts of this pass: the speed, the shadows, then the foreground.
std::vector<OverlayText> overlay_texts(const RunView& v, const OverlaySizes& sizes);

}  // namespace cabsim
