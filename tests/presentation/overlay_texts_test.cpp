// Where the driving texts, their shadows and their darkened boxes go.
#include "presentation/overlay_texts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace cabsim {
namespace {

const OverlayText* find(const OverlayTextList& texts, OverlaySlot slot, bool shadow) {
  auto it = std::find_if(texts.begin(), texts.end(), [&](const OverlayText& t) {
    return t.slot == slot && t.shadow == shadow;
  });
  return it == texts.end() ? nullptr : &*it;
}

TEST(OverlayTexts, NoticeLinesStackUpwardsFrom246) {
  RunView view;
  OverlaySizes sizes{};
  view.first_notice = "a";
  auto texts = overlay_texts(view, sizes);
  EXPECT_EQ(find(texts, OverlaySlot::kFirstNotice, false)->y, 208);
  EXPECT_EQ(find(texts, OverlaySlot::kFirstNotice, true)->y, 209);
  EXPECT_EQ(find(texts, OverlaySlot::kSecondNotice, false), nullptr);

  view.second_notice = "b";
  texts = overlay_texts(view, sizes);
  EXPECT_EQ(find(texts, OverlaySlot::kSecondNotice, false)->y, 170);

  view.first_notice.clear();  // only the second: it takes the first place
  texts = overlay_texts(view, sizes);
  EXPECT_EQ(find(texts, OverlaySlot::kSecondNotice, false)->y, 208);
  const auto boxes = dark_boxes(view, sizes);
  EXPECT_NE(std::find(boxes.begin(), boxes.end(), DarkBox{7, 208, 0, -2}), boxes.end());
}

TEST(OverlayTexts, TopMessageIsCentredOnTheWidthOfTheLastPass) {
  RunView view;
  view.top_message = "次は東駅";
  OverlaySizes sizes{};
  sizes[static_cast<size_t>(OverlaySlot::kTopMessage)] = {101, 20};
  const auto texts = overlay_texts(view, sizes);
  const OverlayText* top = find(texts, OverlaySlot::kTopMessage, false);
  EXPECT_EQ(top->x, 342 - 50);  // round(50.5) = 50, halves to even
  EXPECT_EQ(top->y, 19);
  EXPECT_TRUE(top->utf8);
  EXPECT_EQ(find(texts, OverlaySlot::kTopMessage, true)->x, 343 - 50);
  const auto boxes = dark_boxes(view, sizes);
  EXPECT_NE(std::find(boxes.begin(), boxes.end(), DarkBox{292, 19, 101, 18}), boxes.end());
}

TEST(OverlayTexts, SpeedComesFirstAndCarCountAndPatternHaveNoShadow) {
  RunView view;
  view.speed_text = " 45.0 km/h";
  view.car_count_text = "8";
  view.pattern_notice = "P";
  const auto texts = overlay_texts(view, OverlaySizes{});
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0].slot, OverlaySlot::kSpeed);
  EXPECT_TRUE(texts[0].shadow);
  EXPECT_EQ(texts[0].x, 548);
  EXPECT_EQ(texts[1].points, kSpeedTextPoints);
  EXPECT_TRUE(texts[1].remember);
  EXPECT_EQ(find(texts, OverlaySlot::kCarCount, true), nullptr);
  EXPECT_EQ(find(texts, OverlaySlot::kPatternNotice, true), nullptr);
  EXPECT_EQ(find(texts, OverlaySlot::kClock, true)->y, 354);
  EXPECT_EQ(find(texts, OverlaySlot::kSelector, true)->y, 353);
  // Every text is remembered once: the foreground drawing.
  for (const OverlayText& t : texts) EXPECT_EQ(t.remember, !t.shadow);
}

TEST(OverlayTexts, BoxesUseRememberedSizesAndSkipEmptyOptionalTexts) {
  RunView view;
  OverlaySizes sizes{};
  sizes[static_cast<size_t>(OverlaySlot::kSpeed)] = {90, 22};
  sizes[static_cast<size_t>(OverlaySlot::kCarCount)] = {30, 18};
  auto boxes = dark_boxes(view, sizes);
  ASSERT_EQ(boxes.size(), 7u);  // speed, four handle texts, next station, clock
  EXPECT_EQ(boxes[0], (DarkBox{547, 315, 90, 20}));
  view.car_count_text = "8両";
  view.limit_notice = "制限";
  boxes = dark_boxes(view, sizes);
  EXPECT_EQ(boxes.size(), 9u);
  EXPECT_EQ(boxes[6], (DarkBox{7, 292, 30, 16}));
}

}  // namespace
}  // namespace cabsim
