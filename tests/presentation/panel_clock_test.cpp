// The analogue clock's hands and the panel's start state and layout.
#include "presentation/panel_clock.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "state/panel_layout.h"

namespace cabsim {
namespace {

constexpr int64_t kHour = 3600 * kClockCountsPerSecond;

TEST(PanelClock, HandsPointClockwiseFromTwelve) {
  PanelClock clock{600, 400, 20};
  EXPECT_TRUE(analogue_clock_shown(clock));
  ClockHands at_three = clock_hands(clock, 3 * kHour);
  EXPECT_EQ(at_three.hour, (ClockHandEnd{25 + 12, 25}));  // 0.6 x 20
  EXPECT_EQ(at_three.minute, (ClockHandEnd{25, 5}));
  EXPECT_EQ(at_three.second, (ClockHandEnd{25, 5}));
  // 9:30:45: the minute hand moves with the seconds, the hour hand with the minutes.
  ClockHands later = clock_hands(clock, 9 * kHour + (30 * 60 + 45) * kClockCountsPerSecond + 29);
  EXPECT_EQ(later.second, (ClockHandEnd{25 - 20, 25}));  // 270 degrees
  // minute: 30 x 6 + 45 x 0.1 = 184.5 degrees, just past six o'clock
  EXPECT_EQ(later.minute, (ClockHandEnd{25 - 2, 25 + 20}));
  // hour: 9 x 30 + 30 x 0.5 = 285 degrees, length 12
  EXPECT_EQ(later.hour, (ClockHandEnd{25 - 12, 25 - 3}));
  // The same time a day later, and before midnight, point alike.
  EXPECT_EQ(clock_hands(clock, 33 * kHour).hour, clock_hands(clock, 9 * kHour).hour);
  EXPECT_EQ(clock_hands(clock, -3 * kHour).hour, clock_hands(clock, 21 * kHour).hour);
  // A hand length no picture could hold is drawn at the longest length.
  ClockHands huge = clock_hands(PanelClock{1, 1, 2000000000}, 3 * kHour);
  EXPECT_EQ(huge.minute, (ClockHandEnd{25, 25 - kMaxClockHandLength}));
}

TEST(PanelClock, ClockNeedsBothCoordinatesAboveZero) {
  EXPECT_FALSE(analogue_clock_shown(PanelClock{0, 400, 20}));
  EXPECT_FALSE(analogue_clock_shown(PanelClock{600, 0, 20}));
  EXPECT_FALSE(analogue_clock_shown(PanelClock{-5, 400, 20}));
}

TEST(PanelLayout, StartStateAndNamesFollowThePanelTable) {
  PanelState panel = initial_panel_state();
  EXPECT_TRUE(panel[PanelElement::kLampFwd].visible);
  EXPECT_FALSE(panel[PanelElement::kLampBack].visible);
  EXPECT_FALSE(panel[PanelElement::kLampConst].visible);
  EXPECT_FALSE(panel[PanelElement::kLampStop].visible);
  EXPECT_FALSE(panel[PanelElement::kLampAts1].visible);
  EXPECT_TRUE(panel[PanelElement::kPanel2].visible);
  EXPECT_EQ(panel[PanelElement::kPanel2].alpha, 0);
  EXPECT_FALSE(panel[other_picture(10)].visible);

  for (auto& sprite : panel.sprites) sprite.present = 1;
  panel_run_start(panel, true);
  EXPECT_FALSE(panel[PanelElement::kLampEB].visible);
  EXPECT_TRUE(panel[PanelElement::kLampAts1].visible);
  panel_run_start(panel, false);
  EXPECT_FALSE(panel[PanelElement::kLampAts1].visible);

  std::set<std::string> names;
  for (size_t i = 0; i < static_cast<size_t>(PanelElement::kOther0); ++i)
    names.insert(std::string(panel_element_info(static_cast<PanelElement>(i)).picture_name));
  EXPECT_EQ(names.size(), static_cast<size_t>(PanelElement::kOther0));  // no name twice
  EXPECT_EQ(other_picture_name(10), "img_other10");
  EXPECT_EQ(other_picture_depth(10), 30);
  EXPECT_EQ(panel_element_info(PanelElement::kLampEle).depth, 26);
  EXPECT_EQ(panel_element_info(PanelElement::kGearLever).depth, 32);

  CabPanelDefinition def;
  def.Others_count = 2;
  def.Others[1] = {"x.bmp", 5, 6};
  def.Others[2] = {"never.bmp", 1, 1};  // beyond the count
  def.Needle_MR_L = {"bar.bmp", 40, 99, 0, 0, 600, 0.5};
  EXPECT_EQ(panel_element_source(def, other_picture(1)).file, "x.bmp");
  EXPECT_EQ(panel_element_source(def, other_picture(2)).file, "");
  EXPECT_EQ(panel_element_source(def, PanelElement::kBarMR).y, 0);  // a bar starts at the top
  EXPECT_EQ(panel_element_source(def, PanelElement::kBarMR).x, 40);
}

}  // namespace
}  // namespace cabsim
