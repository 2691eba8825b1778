// What the station rules show: the clock text, the stop-approach warning and
// the stop-line marker with the gauge and the metres left.
#include <gtest/gtest.h>

#include "operation/station_run.h"
#include "presentation/station_display.h"
#include "run/start_pause.h"
#include "state/panel_state.h"

namespace cabsim {
namespace {

using test::StationRun;

TEST(StationDisplay, ClockTextChangesOncePerSecond) {
  EXPECT_EQ(clock_text_of(111690), "01:02:03");
  EXPECT_EQ(clock_text_of(0), "00:00:00");
  EXPECT_EQ(clock_text_of(108000 * 25), "25:00:00");  // hours are not wrapped
  EXPECT_EQ(clock_text_of(1079999), "09:59:59");

  StationRun t;
  RunView& view = t.v();
  int changes = 0;
  std::string last;
  for (int32_t c = 111690; c < 111690 + 90; ++c) {
    timecalc(*t.run, c);
    if (view.clock_text != last) ++changes;
    last = view.clock_text;
  }
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(view.clock_drawn_time, -1);  // the panel has no analogue clock

  t.run->train.panel.Clock = {10, 10, 20};
  timecalc(*t.run, 111780);
  EXPECT_EQ(view.clock_drawn_time, 111780);
  timecalc(*t.run, 111781);  // the same second: nothing redrawn
  EXPECT_EQ(view.clock_drawn_time, 111780);

  // In simulated time: ten changes in ten seconds of ticks.
  start1Click(*t.run);
  t.tick();
  changes = 0;
  last = view.clock_text;
  for (int i = 0; i < 100; ++i) {
    t.tick();
    if (view.clock_text != last) ++changes;
    last = view.clock_text;
  }
  EXPECT_EQ(changes, 10);
}

TEST(StationDisplay, StopLineNumbersAtDistancesFromTheStop) {
  // [Perspective] 12.5, 80; the stop's marker at 300 shifting 5 per 20 m.
  Perspective p{12.5L, 80};
  StationData stop;
  stop.marker_x = 300;
  stop.marker_shift = 5;
  struct Case {
    long double distance;
    std::array<int32_t, 4> marker;
    int32_t top;
    const char* remain;
  };
  const Case cases[] = {
      {0, {285, 320, 315, 350}, 376, "0"},
      {1000, {292, 284, 312, 304}, 184, "10"},  // 302.5 rounds to 302
      {2000, {300, 271, 310, 281}, -8, "20"},
      {2001, {300, 271, 310, 281}, 338, "20"},  // the coarse scale beyond 20 m
      {2500, {304, 267, 309, 272}, 328, "25"},
      {3000, {0, 0, 0, 0}, 318, "30"},
      {-500, {281, 373, 316, 408}, 472, "-5"},  // 17.5 rounds to 18
      {-1000, {0, 0, 0, 0}, 395, "-10"},
      {19999, {0, 0, 0, 0}, -8, "200"},
      {20000, {0, 0, 0, 0}, -30, ""},
      {-5000, {0, 0, 0, 0}, -30, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.distance));
    StopLineDisplay shown = stop_line_display(c.distance, p, stop);
    EXPECT_EQ(shown.marker, c.marker);
    EXPECT_EQ(shown.stopline_top, c.top);
    EXPECT_EQ(shown.remain_text, c.remain);
  }
  // No perspective, no marker; at the perspective's vanishing distance
  // neither (rather than a division by zero).
  EXPECT_EQ(stop_line_display(0, Perspective{0, 80}, stop).marker, (std::array<int32_t, 4>{}));
  EXPECT_EQ(stop_line_display(-500, Perspective{5, 80}, stop).marker, (std::array<int32_t, 4>{}));
  EXPECT_EQ(stop_line_display(-501, Perspective{5, 80}, stop).stopline_top, 472);

  // The step takes the next stop's marker fields.
  StationRun t;
  t.s().next_station = 0;
  t.s().distance_to_stop = 1000;
  stop_line_marker_step(*t.run);
  EXPECT_EQ(t.v().stop_marker, (std::array<int32_t, 4>{292, 284, 312, 304}));
  EXPECT_EQ(t.v().stopline_top, 184);
  EXPECT_EQ(t.v().remain_text, "10");
}

TEST(StationDisplay, StopWarningSoundsWhenTooFastAndBlinksItsLamp) {
  StationRun t;
  RunState& s = t.s();
  RunView& view = t.v();
  view.panel[PanelElement::kLampStop].present = 1;
  s.speed = 60;  // (60 / 5) x (60 / 3.6) = 200 m
  s.distance_to_stop = 33000;
  s.tick_count = 10;
  stop_approach_warning_step(*t.run);
  EXPECT_FALSE(t.playing(test::kStopWarning));  // 200 > 330 - 125 is false
  s.distance_to_stop = 32000;
  stop_approach_warning_step(*t.run);
  EXPECT_TRUE(t.playing(test::kStopWarning));
  EXPECT_EQ(view.panel[PanelElement::kLampStop].visible, 1);
  s.tick_count = 15;
  stop_approach_warning_step(*t.run);
  EXPECT_EQ(view.panel[PanelElement::kLampStop].visible, 0);
  s.tick_count = 20;
  stop_approach_warning_step(*t.run);
  EXPECT_EQ(view.panel[PanelElement::kLampStop].visible, 1);
  s.speed = 0.5L;  // at a stand: silent and dark
  stop_approach_warning_step(*t.run);
  EXPECT_FALSE(t.playing(test::kStopWarning));
  EXPECT_EQ(view.panel[PanelElement::kLampStop].visible, 0);
  EXPECT_EQ(t.sounds.volume(test::kStopWarning), 0);
}

}  // namespace
}  // namespace cabsim
