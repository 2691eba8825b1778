// Places of the driving texts, their shadows and their darkened boxes.
#include "presentation/overlay_texts.h"

#include "data/rounding.h"

namespace cabsim {
namespace {

size_t at(OverlaySlot slot) {
  return static_cast<size_t>(slot);
}

int32_t half_width(const OverlaySizes& sizes, OverlaySlot slot) {
  return static_cast<int32_t>(round_half_even(sizes[at(slot)].width / 2.0L));
}

/// The y of each present notice line: 246 less 38 for every line present.
struct NoticeRows {
  int32_t first = 0;
  int32_t second = 0;
};

NoticeRows notice_rows(const RunView& v) {
  NoticeRows rows;
  int32_t y = kNoticeBase;
  if (!v.first_notice.empty()) rows.first = y -= kNoticeStep;
  if (!v.second_notice.empty()) rows.second = y -= kNoticeStep;
  return rows;
}

}  // namespace

const std::string& overlay_text(const RunView& v, OverlaySlot slot) {
  switch (slot) {
    case OverlaySlot::kSpeed:
      return v.speed_text;
    case OverlaySlot::kReverser:
      return v.reverser_text;
    case OverlaySlot::kPowerNotch:
      return v.power_text;
    case OverlaySlot::kBrakeNotch:
      return v.brake_text;
    case OverlaySlot::kGear:
      return v.gear_text;
    case OverlaySlot::kNextStation:
      return v.next_station_text;
    case OverlaySlot::kCarCount:
      return v.car_count_text;
    case OverlaySlot::kSelector:
      return v.selector_text;
    case OverlaySlot::kClock:
      return v.clock_text;
    case OverlaySlot::kFirstNotice:
      return v.first_notice;
    case OverlaySlot::kSecondNotice:
      return v.second_notice;
    case OverlaySlot::kLimitNotice:
      return v.limit_notice;
    case OverlaySlot::kTopMessage:
      return v.top_message;
    case OverlaySlot::kPatternNotice:
      return v.pattern_notice;
  }
  return v.speed_text;
}

DarkBoxes dark_boxes(const RunView& v, const OverlaySizes& sizes) {
  DarkBoxes boxes;
  auto box = [&](OverlaySlot slot, int32_t x, int32_t y, bool only_when_shown) {
    if (only_when_shown && overlay_text(v, slot).empty()) return;
    const TextSize& size = sizes[at(slot)];
    boxes.push_back({x, y, size.width, size.height - 2});
  };
  box(OverlaySlot::kSpeed, 547, 315, false);
  box(OverlaySlot::kReverser, 547, 349, false);
  box(OverlaySlot::kPowerNotch, 595, 349, false);
  box(OverlaySlot::kBrakeNotch, 629, 349, false);
  box(OverlaySlot::kGear, 492, 349, false);
  box(OverlaySlot::kNextStation, 7, 323, false);
  box(OverlaySlot::kCarCount, 7, 292, true);
  box(OverlaySlot::kSelector, 103, 353, true);
  box(OverlaySlot::kClock, 7, 353, false);
  const NoticeRows rows = notice_rows(v);
  box(OverlaySlot::kFirstNotice, 7, rows.first, true);
  box(OverlaySlot::kSecondNotice, 7, rows.second, true);
  box(OverlaySlot::kLimitNotice, 479, 280, true);
  box(OverlaySlot::kTopMessage, kTopMessageCentre - half_width(sizes, OverlaySlot::kTopMessage), 19,
      true);
  box(OverlaySlot::kPatternNotice, 479, 246, true);
  return boxes;
}

OverlayTextList overlay_texts(const RunView& v, const OverlaySizes& sizes) {
  OverlayTextList texts;
  auto add = [&](OverlaySlot slot, int32_t x, int32_t y, int32_t points, bool shadow,
                 bool only_when_shown = false) {
    if (only_when_shown && overlay_text(v, slot).empty()) return;
    texts.push_back({slot, &overlay_text(v, slot), slot == OverlaySlot::kTopMessage, x, y, points,
                     shadow, !shadow});
  };
  const NoticeRows rows = notice_rows(v);
  const int32_t top_half = half_width(sizes, OverlaySlot::kTopMessage);
  add(OverlaySlot::kSpeed, 548, 316, kSpeedTextPoints, true);
  add(OverlaySlot::kSpeed, 547, 315, kSpeedTextPoints, false);

  const int32_t p = kDrivingTextPoints;
  add(OverlaySlot::kReverser, 548, 350, p, true);
  add(OverlaySlot::kPowerNotch, 596, 350, p, true);
  add(OverlaySlot::kBrakeNotch, 630, 350, p, true);
  add(OverlaySlot::kGear, 493, 350, p, true);
  add(OverlaySlot::kNextStation, 8, 324, p, true);
  add(OverlaySlot::kLimitNotice, 480, 281, p, true, true);
  add(OverlaySlot::kFirstNotice, 8, rows.first + 1, p, true, true);
  add(OverlaySlot::kSecondNotice, 8, rows.second + 1, p, true, true);
  add(OverlaySlot::kSelector, 104, 353, p, true);
  add(OverlaySlot::kClock, 7, 354, p, true);
  add(OverlaySlot::kTopMessage, kTopMessageCentre + 1 - top_half, 20, p, true);

  add(OverlaySlot::kReverser, 547, 349, p, false);
  add(OverlaySlot::kPowerNotch, 595, 349, p, false);
  add(OverlaySlot::kBrakeNotch, 629, 349, p, false);
  add(OverlaySlot::kGear, 492, 349, p, false);
  add(OverlaySlot::kNextStation, 7, 323, p, false);
  add(OverlaySlot::kLimitNotice, 479, 280, p, false, true);
  add(OverlaySlot::kPatternNotice, 479, 246, p, false, true);
  add(OverlaySlot::kFirstNotice, 7, rows.first, p, false, true);
  add(OverlaySlot::kSecondNotice, 7, rows.second, p, false, true);
  add(OverlaySlot::kCarCount, 7, 292, p, false);
  add(OverlaySlot::kSelector, 103, 353, p, false);
  add(OverlaySlot::kClock, 7, 353, p, false);
  add(OverlaySlot::kTopMessage, kTopMessageCentre - top_half, 19, p, false);
  return texts;
}

}  // namespace cabsim
