// The driving texts of the cab window: where each slot is drawn, its shadow,
// its size, and the darkened boxes laid behind the texts of the last pass
// (whose sizes the view remembers as it draws).
#pragma once

#include <array>
#include <cstdint>
#include <string>

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
  bool operator==(const TextSize&) const = default;
};
using OverlaySizes = std::array<TextSize, kOverlaySlots>;

/// A box to darken with bgblack.
struct DarkBox {
  int32_t x = 0, y = 0, w = 0, h = 0;
  bool operator==(const DarkBox&) const = default;
};

/// One text to write on the scene surface, in drawing order.
struct OverlayText {
  OverlaySlot slot = OverlaySlot::kSpeed;
  const std::string* text = nullptr;  ///< the slot's text in the running state
  bool utf8 = false;                  ///< top message: UTF-8; the others: Shift-JIS
  int32_t x = 0, y = 0;
  int32_t points = 0;
  bool shadow = false;    ///< black shadow, otherwise the foreground colour
  bool remember = false;  ///< the view keeps the size of this drawing for the slot
};

/// At most `N` items kept in place, so that a display pass allocates nothing.
template <typename T, size_t N>
class FixedList {
 public:
  void push_back(const T& item) {
    if (count_ < N) items_[count_++] = item;
  }
  size_t size() const { return count_; }
  const T& operator[](size_t i) const { return items_[i]; }
  const T* begin() const { return items_.data(); }
  const T* end() const { return items_.data() + count_; }

 private:
  std::array<T, N> items_{};
  size_t count_ = 0;
};

/// Every slot has at most one box; the speed is drawn twice, every other slot
/// at most twice (shadow and foreground).
using DarkBoxes = FixedList<DarkBox, kOverlaySlots>;
using OverlayTextList = FixedList<OverlayText, 2 * kOverlaySlots>;

/// The text of `slot` in `s`.
const std::string& overlay_text(const RunView& v, OverlaySlot slot);

/// The boxes behind the texts of the last pass, in drawing order.
DarkBoxes dark_boxes(const RunView& v, const OverlaySizes& sizes);

/// The texts of this pass: the speed, the shadows, then the foreground.
OverlayTextList overlay_texts(const RunView& v, const OverlaySizes& sizes);

}  // namespace cabsim
