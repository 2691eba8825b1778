// The easy cab panel's indicator column, status text and reverser button.
#include "presentation/easy_panel_indicators.h"

#include <gtest/gtest.h>

namespace cabsim {
namespace {

TEST(EasyPanelIndicators, ColumnLightsAfterTheHandlesNotTheEffectiveNotches) {
  RunState s;
  s.power_handle = 0;
  s.brake_handle = 0;
  s.effective_brake_notch = -5;  // the delay does not matter
  EasyPanelIndicators lit = easy_panel_indicators(s, false);
  EXPECT_EQ(lit.neutral, kEasyPanelGreen);
  EXPECT_EQ(lit.brake[0], kEasyPanelWhite);

  s.brake_handle = -8;  // emergency of an eight-step brake: KB1 .. KB8
  lit = easy_panel_indicators(s, false);
  for (int32_t colour : lit.brake) EXPECT_EQ(colour, kEasyPanelRed);
  EXPECT_EQ(lit.neutral, kEasyPanelWhite);

  s.brake_handle = -3;
  lit = easy_panel_indicators(s, false);
  EXPECT_EQ(lit.brake[2], kEasyPanelRed);
  EXPECT_EQ(lit.brake[3], kEasyPanelWhite);

  s.brake_handle = 0;
  s.power_handle = 9;  // beyond five notches only KP1 .. KP5 exist
  lit = easy_panel_indicators(s, false);
  for (int32_t colour : lit.power) EXPECT_EQ(colour, kEasyPanelYellow);
  s.power_handle = 2;
  lit = easy_panel_indicators(s, false);
  EXPECT_EQ(lit.power[1], kEasyPanelYellow);
  EXPECT_EQ(lit.power[2], kEasyPanelWhite);
  EXPECT_EQ(lit.neutral, kEasyPanelWhite);
}

TEST(EasyPanelIndicators, StatusTellsOpenAndClosingDoorsAndReverserKeyFollowsDirection) {
  RunState s;
  EXPECT_EQ(easy_panel_indicators(s, false).status, "");
  EXPECT_EQ(easy_panel_indicators(s, true).status, "ドアを閉めています");
  s.doors_open = 1;
  EXPECT_EQ(easy_panel_indicators(s, true).status, "ドアが開いています");

  s.reverser = 1;
  EXPECT_EQ(reverser_button_key(s), 'b');
  s.reverser = -1;
  EXPECT_EQ(reverser_button_key(s), 'f');
  s.reverser = 0;
  EXPECT_EQ(reverser_button_key(s), 0);
}

}  // namespace
}  // namespace cabsim
