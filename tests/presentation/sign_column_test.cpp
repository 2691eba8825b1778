// The track-side signs of the sign column: gradient, speed limit, other
// signs, animation, road traffic signals with their notices, level crossings.
#include "presentation/sign_column.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sound/sound_channels_silent.h"
#include "support/bare_run.h"

namespace cabsim {
namespace {

using E = SignElement;

/// A run with empty route tables; each test fills the tables it needs.
struct SignRun : test::BareRun {
  int32_t cell(E e) const { return v.signs[e].cell; }
  bool visible(E e) const { return v.signs[e].visible != 0; }
};

// --- gradient ---------------------------------------------------------------

TEST(SignColumnGradient, FigureHasOneDecimalRoundedAwayFromZero) {
  EXPECT_EQ(gradient_text(Fixed::from_real(10)), "10.0");
  EXPECT_EQ(gradient_text(Fixed::from_real(-3.5L)), "-3.5");
  EXPECT_EQ(gradient_text(Fixed::from_real(2.25L)), "2.3");
  EXPECT_EQ(gradient_text(Fixed::from_real(-2.25L)), "-2.3");
  EXPECT_EQ(gradient_text(Fixed::from_real(2.2499L)), "2.2");
  EXPECT_EQ(gradient_text(Fixed::from_real(0.05L)), "0.1");
  EXPECT_EQ(gradient_text(Fixed::from_real(-0.04L)), "0.0");  // no negative zero
  EXPECT_EQ(gradient_text(Fixed{}), "0.0");
  EXPECT_EQ(gradient_text(Fixed::from_count(INT64_MIN)), "-922337203685477.6");
}

TEST(SignColumnGradient, SignFollowsRowsAndGoesInGapsAndAfterTheLast) {
  SignRun t;
  t.route.Slope[0] = {Fixed::from_real(10), 100, 200};
  t.route.Slope[1] = {Fixed::from_real(-3.5L), 250, 400};
  t.route.Slope[2] = {Fixed{}, 400, 500};
  t.route.Slope[3] = {Fixed::from_real(2.25L), 600, 700};
  t.route.Slope_count = 4;
  struct Step {
    int32_t frame, cell;
    const char* text;
  };
  const Step steps[] = {
      {50, kNoPicture, ""},   // before the first row
      {150, 1, "10.0"},       // uphill
      {200, 1, "10.0"},       // the row's last frame is neither in it nor in the gap
      {220, kNoPicture, ""},  // gap
      {300, 2, "-3.5"},       // downhill
      {450, 2, "0.0"},        // level: the old picture stays
      {550, kNoPicture, ""},  // gap
      {650, 1, "2.3"},        //
      {800, kNoPicture, ""},  // after the last row
      {5000, kNoPicture, ""},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.frame);
    t.s.current_frame = step.frame;
    gradient_sign_step(t.run);
    EXPECT_EQ(t.cell(E::kSlopeImage), step.cell);
    EXPECT_EQ(t.v.slope_text, step.text);
  }
  EXPECT_EQ(t.s.shown_gradient, Fixed{});

  // Within a row the picture is drawn only when the gradient changes.
  t.s.current_frame = 650;
  gradient_sign_step(t.run);
  t.v.signs.draw(E::kSlopeImage, 77);
  t.s.current_frame = 651;
  gradient_sign_step(t.run);
  EXPECT_EQ(t.cell(E::kSlopeImage), 77);
}

TEST(SignColumnGradient, LevelFigureWithoutPictureGoesAfterItsRow) {
  SignRun t;
  t.route.Slope[0] = {Fixed{}, 0, 100};
  t.route.Slope_count = 1;
  t.s.current_frame = 50;
  gradient_sign_step(t.run);
  EXPECT_EQ(t.v.slope_text, "0.0");
  EXPECT_FALSE(t.v.signs.holds_picture(E::kSlopeImage));
  t.s.current_frame = 150;
  gradient_sign_step(t.run);
  EXPECT_EQ(t.v.slope_text, "");
}

// --- speed limit --------------------------------------------------------------

TEST(SignColumnSpeedLimit, ZoneShowsSteadilyApproachBlinksNeitherClears) {
  SignRun t;
  t.route.SpeedLimit[0] = {60, 4, 1, 100, 200};
  t.route.SpeedLimit[1] = {45, 0, 1, 300, 400};
  t.route.SpeedLimit_count = 2;

  t.s.current_frame = 350;  // cell 0 is drawn although the cache's "none" is 0
  speed_limit_sign_step(t.run, std::nullopt);
  EXPECT_EQ(t.cell(E::kSpeedLimitImage), 0);

  t.s.current_frame = 150;
  speed_limit_sign_step(t.run, std::nullopt);
  EXPECT_EQ(t.cell(E::kSpeedLimitImage), 4);
  EXPECT_EQ(t.s.shown_limit_picture, 4);
  EXPECT_EQ(t.s.limit_approach_flag, 0);

  t.s.current_frame = 250;
  speed_limit_sign_step(t.run, std::nullopt);
  EXPECT_EQ(t.cell(E::kSpeedLimitImage), kNoPicture);
  EXPECT_EQ(t.s.shown_limit_picture, 0);
  EXPECT_EQ(t.s.approach_limit_picture, kNoPicture);

  // Approaching row 1 between the zones: its cell, blinking by the tick count.
  speed_limit_sign_step(t.run, 1);
  EXPECT_EQ(t.cell(E::kSpeedLimitImage), 0);
  EXPECT_EQ(t.s.approach_limit_picture, 0);
  EXPECT_EQ(t.s.limit_approach_flag, 1);
  for (auto [tick, shown] :
       {std::pair{5, false}, {7, false}, {10, true}, {15, false}, {20, true}}) {
    t.s.tick_count = tick;
    speed_limit_blink_step(t.run);
    EXPECT_EQ(t.visible(E::kSpeedLimitImage), shown) << tick;
  }
  t.s.tick_count = 25;
  speed_limit_blink_step(t.run);
  // Reaching the zone makes the sign steady and visible again.
  t.s.current_frame = 320;
  speed_limit_sign_step(t.run, std::nullopt);
  EXPECT_TRUE(t.visible(E::kSpeedLimitImage));
  EXPECT_EQ(t.s.limit_approach_flag, 0);
  t.s.tick_count = 35;
  speed_limit_blink_step(t.run);
  EXPECT_TRUE(t.visible(E::kSpeedLimitImage));

  // In one zone while approaching the next: the limit ahead is shown, though
  // its picture was drawn for an earlier approach.
  t.s.current_frame = 150;
  speed_limit_sign_step(t.run, 1);
  EXPECT_EQ(t.cell(E::kSpeedLimitImage), 0);
  EXPECT_EQ(t.s.limit_approach_flag, 1);

  // Rows the table does not hold are no approach.
  t.s.current_frame = 250;
  for (int32_t bad : {2, -1, 500, INT32_MAX}) {
    speed_limit_sign_step(t.run, bad);
    EXPECT_EQ(t.cell(E::kSpeedLimitImage), kNoPicture);
  }
}

// --- other signs ----------------------------------------------------------------

TEST(SignColumnOtherSign, ChangesAfterSecondsOrAtCycleCount) {
  SignRun t;
  t.route.Sign[0] = {100, 200, 7, 2};      // cell 8 after two seconds
  t.route.Sign[1] = {200, 300, 10, 0};     // no change, straight after row 0
  t.route.Sign[2] = {400, 500, 20, 1500};  // cell 21 at cycle 1500
  t.route.Sign[3] = {450, 600, 30, 0};     // overlaps row 2, which comes first
  t.route.Sign_count = 4;

  t.s.current_frame = 100;
  std::vector<int32_t> cells;
  for (int i = 0; i < 23; ++i) {
    other_sign_step(t.run);
    cells.push_back(t.cell(E::kOtherImage));
  }
  // Drawn in the first tick; cell 8 once more than 20 ticks have passed.
  EXPECT_EQ(std::count(cells.begin(), cells.end(), 7), 21);
  EXPECT_EQ(cells[21], 8);
  EXPECT_EQ(cells[22], 8);

  t.s.current_frame = 200;  // the next row without a gap shows its own cell
  other_sign_step(t.run);
  EXPECT_EQ(t.cell(E::kOtherImage), 10);
  EXPECT_EQ(t.s.other_sign_timer, 1);
  for (int i = 0; i < 200; ++i) other_sign_step(t.run);
  EXPECT_EQ(t.cell(E::kOtherImage), 10);

  t.s.current_frame = 350;
  other_sign_step(t.run);
  EXPECT_EQ(t.cell(E::kOtherImage), kNoPicture);
  EXPECT_EQ(t.s.shown_other_sign, kNoPicture);

  t.s.current_frame = 460;
  t.s.cycle_count = 1499;
  other_sign_step(t.run);
  EXPECT_EQ(t.cell(E::kOtherImage), 20);
  t.s.cycle_count = 1500;
  other_sign_step(t.run);
  EXPECT_EQ(t.cell(E::kOtherImage), 21);
  other_sign_step(t.run);
  EXPECT_EQ(t.cell(E::kOtherImage), 21);
  EXPECT_EQ(t.s.shown_other_sign, 21);
}

TEST(SignColumnOtherSign, ChangeThatCannotBeDrawnKeepsTheCell) {
  SignRun t;
  t.route.Sign[0] = {0, 100, INT32_MAX, 1};
  t.route.Sign[1] = {100, 200, kNoPicture - 1, 1};  // cell + 1 would read as "none"
  t.route.Sign_count = 2;
  for (int32_t frame : {50, 150}) {
    t.s.current_frame = frame;
    const int32_t cell = t.route.Sign[frame / 100].field3;
    for (int i = 0; i < 30; ++i) {
      other_sign_step(t.run);
      ASSERT_EQ(t.cell(E::kOtherImage), cell);
    }
    EXPECT_GT(t.s.other_sign_timer, 20);  // counted on, never redrawn
  }
  t.s.other_sign_timer = INT32_MAX;
  other_sign_step(t.run);
  EXPECT_EQ(t.s.other_sign_timer, INT32_MAX);
}

// --- animation ------------------------------------------------------------------

std::vector<int32_t> anim_cells(SignRun& t, int ticks) {
  std::vector<int32_t> cells;
  for (int i = 0; i < ticks; ++i) {
    animation_step(t.run);
    cells.push_back(t.cell(E::kAnimImage));
  }
  return cells;
}

TEST(SignColumnAnimation, StepsEveryPeriodPlusOneTicksThroughFourteenCells) {
  for (int32_t period : {0, 1, 2, 5}) {
    SCOPED_TRACE(period);
    SignRun t;
    t.route.Anim[0] = {100, 200, period, 30};
    t.route.Anim_count = 1;
    t.s.current_frame = 150;
    const int32_t every = period + 1;
    const std::vector<int32_t> cells = anim_cells(t, 15 * every + 1);
    for (size_t i = 0; i < cells.size(); ++i)
      ASSERT_EQ(cells[i], 30 + static_cast<int32_t>(i / every) % 14) << i;
  }

  SignRun t;
  t.route.Anim[0] = {100, 200, -3, 30};  // a negative period steps every tick
  t.route.Anim[1] = {300, 400, 0, INT32_MAX - 5};
  t.route.Anim_count = 2;
  t.s.current_frame = 100;
  EXPECT_EQ(anim_cells(t, 3), (std::vector<int32_t>{31, 32, 33}));
  t.s.current_frame = 200;
  animation_step(t.run);
  EXPECT_EQ(t.cell(E::kAnimImage), kNoPicture);
  EXPECT_EQ(t.s.shown_anim_step, kNoPicture);
  t.s.anim_step = t.s.anim_counter = 0;
  t.s.current_frame = 300;  // cells past the largest number show nothing
  const std::vector<int32_t> high = anim_cells(t, 14);
  EXPECT_EQ(high[5], INT32_MAX);
  EXPECT_EQ(high[6], kNoPicture);
}

TEST(SignColumnAnimation, RowEnteredFromAnotherShowsItsOwnCells) {
  SignRun t;
  t.route.Anim[0] = {100, 200, 9, 0};
  t.route.Anim[1] = {200, 300, 9, 50};
  t.route.Anim_count = 2;
  t.s.current_frame = 150;
  EXPECT_EQ(anim_cells(t, 2), (std::vector<int32_t>{0, 0}));
  t.s.current_frame = 200;
  EXPECT_EQ(anim_cells(t, 1), (std::vector<int32_t>{50}));
}

// --- road traffic signals ---------------------------------------------------------

TrafficSignalData traffic_row(std::array<int32_t, 6> durations) {
  TrafficSignalData row;
  for (size_t i = 0; i < 6; ++i)
    row.phases[i] = {static_cast<int32_t>(11 + i), durations[i], static_cast<int32_t>(i % 2)};
  row.view_start = 100;
  row.view_end = 1000;
  row.phase = 1;
  row.phase_timer = durations[0];
  return row;
}

TEST(SignColumnTrafficSignal, PhasesRunTheirDurationsInViewOrNot) {
  SignRun t;
  t.route.TrafficSignal[0] = traffic_row({3, 2, 0, 1, 4, 2});
  t.route.TrafficSignal[1] = traffic_row({3, 2, 0, 1, 4, 2});
  t.route.TrafficSignal[1].view_start = 5000;  // never in view
  t.route.TrafficSignal[1].view_end = 6000;
  t.route.TrafficSignal_count = 2;
  t.s.current_frame = 500;

  const std::vector<int32_t> phases = {1, 1, 2, 2, 3, 4, 5, 5, 5, 5, 6, 6, 1, 1, 1, 2};
  for (size_t i = 0; i < phases.size(); ++i) {
    SCOPED_TRACE(i);
    traffic_signal_step(t.run);
    ASSERT_EQ(t.route.TrafficSignal[0].phase, phases[i]);
    ASSERT_EQ(t.route.TrafficSignal[1].phase, phases[i]);
    const int32_t expected = phases[i] == 3 ? kNoPicture : 10 + phases[i];  // phase 3 lasts 0
    ASSERT_EQ(t.cell(E::kTrafficSignalImage), expected);
    EXPECT_EQ(t.s.shown_traffic_phase, phases[i]);
  }
  // Without a second point the small picture is left alone.
  EXPECT_EQ(t.cell(E::kTrafficSignalImage2), kNoPicture);
}

TEST(SignColumnTrafficSignal, AllZeroDurationsAdvanceOnePhaseATick) {
  SignRun t;
  t.route.TrafficSignal[0] = traffic_row({0, 0, 0, 0, 0, 0});
  t.route.TrafficSignal_count = 1;
  t.s.current_frame = 500;
  for (int32_t expected : {2, 3, 4, 5, 6, 1, 2}) {
    traffic_signal_step(t.run);
    EXPECT_EQ(t.route.TrafficSignal[0].phase, expected);
    EXPECT_EQ(t.cell(E::kTrafficSignalImage), kNoPicture);
  }
  // A phase outside 1 .. 6 (a damaged restore) starts over; extreme
  // durations neither overflow nor stall.
  t.route.TrafficSignal[0] = traffic_row({INT32_MIN, INT32_MAX, 0, 0, 0, 0});
  t.route.TrafficSignal[0].phase = 9;
  traffic_signal_step(t.run);
  EXPECT_EQ(t.route.TrafficSignal[0].phase, 1);
  traffic_signal_step(t.run);
  EXPECT_EQ(t.route.TrafficSignal[0].phase, 2);
  EXPECT_EQ(t.route.TrafficSignal[0].phase_timer, INT32_MAX);
}

TEST(SignColumnTrafficSignal, ApproachPictureWarningAndClearingNearTheEnds) {
  SignRun t;
  t.run.text.TC = "TC";
  TrafficSignalData row = traffic_row({1000, 1000, 1000, 1000, 1000, 1000});
  row.position = 100000;
  row.second_position = 120000;
  row.second_frame = 1100;
  row.approach_end = 1200;
  row.stop_cell = 40;
  row.proceed_cell = 41;
  row.notice = 1;
  t.route.TrafficSignal[0] = row;
  t.route.TrafficSignal_count = 1;

  t.s.current_frame = 500;  // in view, before the approach: the stop cell with the phase
  t.s.position = 100000;
  traffic_signal_step(t.run);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage), 11);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage2), 40);
  EXPECT_EQ(t.v.second_notice, "");

  t.s.position = 110001;  // past the middle of the two points: phase 1 says stop
  traffic_signal_step(t.run);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage2), 40);
  EXPECT_EQ(t.v.second_notice, "TC");

  t.route.TrafficSignal[0].phase = 2;  // proceed
  traffic_signal_step(t.run);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage), 12);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage2), 41);  // after the phase change's stop cell
  EXPECT_EQ(t.s.shown_traffic_second, 41);
  t.route.TrafficSignal[0].phase = 4;  // proceed again: the phase change's stop cell goes
  traffic_signal_step(t.run);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage), 14);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage2), 41);

  t.s.current_frame = 986;  // within 15 frames of the view's end
  traffic_signal_step(t.run);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage), kNoPicture);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage2), kNoPicture);
  EXPECT_EQ(t.s.shown_traffic_phase, kNoPicture);
  EXPECT_EQ(t.s.shown_traffic_second, kNoPicture);
  t.s.current_frame = 1014;  // past the end, still within 15
  traffic_signal_step(t.run);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage2), kNoPicture);

  t.route.TrafficSignal[0].phase = 1;  // stop on the approach, then its end
  t.s.current_frame = 1150;
  traffic_signal_step(t.run);
  EXPECT_EQ(t.cell(E::kTrafficSignalImage2), 40);
  EXPECT_EQ(t.v.second_notice, "TC");
  t.s.current_frame = 1186;
  traffic_signal_step(t.run);
  EXPECT_EQ(t.v.second_notice, "");
  t.s.current_frame = 1201;  // beyond the approach
  t.v.second_notice = "kept";
  traffic_signal_step(t.run);
  EXPECT_EQ(t.v.second_notice, "");  // still within 15 of its end
  t.s.current_frame = 1300;
  t.v.second_notice = "kept";
  traffic_signal_step(t.run);
  EXPECT_EQ(t.v.second_notice, "kept");
}

TEST(SignColumnTrafficSignal, FirstNoticeFromDistancesAhead) {
  SignRun t;
  t.run.text.Stops = {"A", "B"};
  // Row 0: a second point ahead (notice 0); row 1: a signal at stop;
  // row 2: a signal at stop beyond row 1.
  TrafficSignalData row = traffic_row({1000, 1000, 1000, 1000, 1000, 1000});
  row.view_start = row.view_end = 0;
  t.route.TrafficSignal[0] = row;
  t.route.TrafficSignal[0].notice = 0;
  t.route.TrafficSignal[0].position = -100000;
  t.route.TrafficSignal[0].second_position = 5049;
  t.route.TrafficSignal[1] = row;
  t.route.TrafficSignal[1].notice = 1;
  t.route.TrafficSignal[1].position = 50000;
  t.route.TrafficSignal[2] = row;
  t.route.TrafficSignal[2].notice = 1;
  t.route.TrafficSignal[2].position = 9000;
  t.route.TrafficSignal_count = 3;

  auto notice_at = [&t](long double position) {
    t.s.position = position;
    t.v.first_notice = "old";
    traffic_signal_step(t.run);
    return t.v.first_notice;
  };
  EXPECT_EQ(notice_at(0), "B 90m");    // row 0 composes, row 2 at stop comes later
  t.route.TrafficSignal[2].phase = 2;  // proceed: the scan ends there
  t.route.TrafficSignal[2].phase_timer = 1000;
  EXPECT_EQ(notice_at(0), "A 50m");     // 50.49 m
  EXPECT_EQ(notice_at(-1), "A 50m");    // 50.5 m, halves to even
  EXPECT_EQ(notice_at(-101), "A 52m");  // 51.5 m
  EXPECT_EQ(notice_at(5049), "");       // at the second point: d22 is 0
  t.route.TrafficSignal[2].phase = 1;
  t.route.TrafficSignal[2].phase_timer = 1000;
  EXPECT_EQ(notice_at(9499), "B -5m");   // just past a signal at stop
  EXPECT_EQ(notice_at(9500), "");        // 5 m past it
  EXPECT_EQ(notice_at(40101), "B 99m");  // row 1, 98.99 m ahead
  EXPECT_EQ(notice_at(40100), "");       // 99 m ahead: too far
}

// --- level crossings -------------------------------------------------------------------

TEST(SignColumnCrossing, QueueEntryHeadAndLeaving) {
  SignRun t;
  t.route.Cross[0] = {3, 0, 100, 300, 0};
  t.route.Cross[1] = {5, 0, 150, 400, 1};  // linked to crossing 0
  t.route.Cross_count = 2;
  auto at = [&t](int32_t frame) {
    t.s.current_frame = frame;
    level_crossing_step(t.run);
  };
  at(100);  // joining: nothing drawn yet
  EXPECT_EQ(t.s.crossing_queue[0], 0);
  EXPECT_EQ(t.cell(E::kCrossImage), kNoPicture);
  at(119);
  EXPECT_EQ(t.cell(E::kCrossImage), kNoPicture);
  at(120);
  EXPECT_EQ(t.cell(E::kCrossImage), 3);
  EXPECT_FALSE(t.visible(E::kCrossImageSub));  // no linked indicator
  EXPECT_EQ(t.s.shown_crossing, 0);
  at(150);
  at(200);
  EXPECT_EQ(t.s.crossing_queue[1], 1);
  EXPECT_EQ(t.cell(E::kCrossImage), 3);
  EXPECT_TRUE(crossing_indicator_on(t.s, t.route, 1));
  EXPECT_TRUE(crossing_indicator_on(t.s, t.route, 2));

  at(300);  // crossing 0 leaves; crossing 1 shows, its indicator (crossing 0) is off
  EXPECT_EQ(t.s.crossing_queue[0], 1);
  EXPECT_EQ(t.s.crossing_queue[1], -1);
  EXPECT_EQ(t.cell(E::kCrossImage), 5);
  EXPECT_TRUE(t.visible(E::kCrossImageSub));

  at(400);
  EXPECT_EQ(t.s.crossing_queue[0], -1);
  EXPECT_EQ(t.cell(E::kCrossImage), kNoPicture);
  EXPECT_FALSE(t.visible(E::kCrossImageSub));
  EXPECT_EQ(t.s.shown_crossing, -1);
}

TEST(SignColumnCrossing, LinkedIndicatorOnKeepsTheSubPictureHidden) {
  SignRun t;
  t.route.Cross[0] = {3, 0, 100, 200, 2};
  t.route.Cross[1] = {5, 0, 110, 400, 0};
  t.route.Cross_count = 2;
  for (int32_t frame : {100, 110, 130}) {
    t.s.current_frame = frame;
    level_crossing_step(t.run);
  }
  EXPECT_EQ(t.cell(E::kCrossImage), 3);
  EXPECT_FALSE(t.visible(E::kCrossImageSub));
}

TEST(SignColumnCrossing, CrossingPassedBehindTheHeadLeavesToo) {
  SignRun t;
  t.route.Cross[0] = {3, 0, 100, 500, 0};
  t.route.Cross[1] = {5, 0, 150, 300, 0};  // met after crossing 0, passed before it
  t.route.Cross_count = 2;
  for (int32_t frame : {100, 150, 300, 500}) {
    t.s.current_frame = frame;
    level_crossing_step(t.run);
  }
  EXPECT_EQ(t.s.crossing_queue, empty_crossing_queue());
  EXPECT_EQ(t.cell(E::kCrossImage), kNoPicture);
}

TEST(SignColumnCrossing, FullQueueDropsAndStrayEntriesGo) {
  SignRun t;
  for (size_t i = 0; i < 13; ++i) t.route.Cross[i] = {static_cast<int32_t>(i), 0, 100, 900, 0};
  t.route.Cross_count = 13;
  t.s.current_frame = 100;
  level_crossing_step(t.run);
  for (size_t k = 0; k < kCrossingQueueSlots; ++k)
    EXPECT_EQ(t.s.crossing_queue[k], static_cast<int32_t>(k));
  EXPECT_FALSE(crossing_indicator_on(t.s, t.route, 12));
  EXPECT_FALSE(crossing_indicator_on(t.s, t.route, 0));
  EXPECT_FALSE(crossing_indicator_on(t.s, t.route, -1));
  EXPECT_FALSE(crossing_indicator_on(t.s, t.route, 14));  // no such row
  EXPECT_FALSE(crossing_indicator_on(t.s, t.route, INT32_MAX));

  // Entries naming rows this route lacks are dropped, the rest keep order.
  t.s.crossing_queue = empty_crossing_queue();
  t.s.crossing_queue[0] = 5000;
  t.s.crossing_queue[1] = 4;
  t.s.crossing_queue[2] = -7;
  t.s.crossing_queue[3] = 2;
  t.s.current_frame = 150;
  level_crossing_step(t.run);
  EXPECT_EQ(t.s.crossing_queue[0], 4);
  EXPECT_EQ(t.s.crossing_queue[1], 2);
  EXPECT_EQ(t.s.crossing_queue[2], -1);
  EXPECT_EQ(t.cell(E::kCrossImage), 4);
}

// --- tables, reset ----------------------------------------------------------------------

TEST(SignColumn, CountsBeyondTheTablesAndFramesAtTheLimits) {
  SignRun t;
  RouteTables& r = t.route;
  r.Slope[kMaxSlopes - 1] = {Fixed::from_real(5), INT32_MIN, INT32_MAX};
  r.Sign[kMaxSigns - 1] = {INT32_MIN, INT32_MAX, -3, 999};
  r.Anim[kMaxAnims - 1] = {INT32_MIN, INT32_MAX, INT32_MAX, -1};
  r.SpeedLimit[kMaxSpeedLimits - 1] = {0, -8, 0, INT32_MIN, INT32_MAX};
  r.Cross[kMaxCrossings - 1] = {-2, 0, INT32_MAX, INT32_MAX, INT32_MAX};
  r.TrafficSignal[kMaxTrafficSignals - 1] = traffic_row({1, 1, 1, 1, 1, 1});
  r.TrafficSignal[kMaxTrafficSignals - 1].view_end = INT32_MAX;
  r.TrafficSignal[kMaxTrafficSignals - 1].approach_end = INT32_MIN;
  r.Slope_count = r.Sign_count = r.Anim_count = r.SpeedLimit_count = r.TrafficSignal_count =
      r.Cross_count = INT32_MAX;
  for (int32_t frame : {INT32_MIN, INT32_MAX, -1, 0, INT32_MAX - 10}) {
    t.s.current_frame = frame;
    t.s.position = frame;
    gradient_sign_step(t.run);
    speed_limit_sign_step(t.run, static_cast<int32_t>(kMaxSpeedLimits));
    speed_limit_blink_step(t.run);
    other_sign_step(t.run);
    animation_step(t.run);
    traffic_signal_step(t.run);
    level_crossing_step(t.run);
  }
  EXPECT_EQ(t.cell(E::kSlopeImage), 1);  // the last row of the full table counts
  EXPECT_EQ(t.cell(E::kOtherImage), -3);
  EXPECT_EQ(t.cell(E::kSpeedLimitImage), -8);

  r.Slope_count = r.Sign_count = r.Anim_count = r.SpeedLimit_count = r.TrafficSignal_count =
      r.Cross_count = -5;
  t.s.current_frame = 0;
  gradient_sign_step(t.run);
  other_sign_step(t.run);
  animation_step(t.run);
  level_crossing_step(t.run);
  EXPECT_EQ(t.cell(E::kOtherImage), kNoPicture);
  EXPECT_EQ(t.cell(E::kAnimImage), kNoPicture);
}

TEST(SignColumn, ResetPutsTheWholeColumnBack) {
  SignRun t;
  RunState& s = t.s;
  for (size_t e = 0; e < kSignElementCount; ++e) t.v.signs.pictures[e] = {42, 1, 0};
  for (size_t e = 0; e < static_cast<size_t>(E::kSlopeImage); ++e)
    t.v.signs.pictures[e].visible = 1;  // signal pictures are never hidden
  t.v.slope_text = "3.0";
  s.shown_gradient = Fixed::from_real(3);
  s.shown_limit_picture = s.approach_limit_picture = s.shown_other_sign = 5;
  s.limit_approach_flag = 1;
  s.other_sign_timer = s.anim_step = s.anim_counter = s.shown_anim_step = 6;
  s.shown_traffic_phase = s.shown_traffic_second = 2;
  s.crossing_queue[0] = 3;
  s.shown_crossing = 3;
  s.current_signal_picture = 7;

  reset_sign_column(s, t.v);

  const RunState start{};
  const SignColumn fresh{};
  for (size_t e = 0; e < kSignElementCount; ++e) {
    SCOPED_TRACE(e);
    const SignPicture& p = t.v.signs.pictures[e];
    const SignPicture expected = fresh.pictures[e];
    EXPECT_EQ(p.cell, expected.cell);
    EXPECT_EQ(p.left, expected.left);
    EXPECT_EQ(p.visible, expected.visible);
  }
  EXPECT_EQ(t.cell(E::kCrossImageSub), kCrossSubCell);
  EXPECT_FALSE(t.visible(E::kCrossImageSub));
  EXPECT_EQ(t.v.slope_text, "");
  EXPECT_EQ(s.shown_gradient, Fixed{});
  EXPECT_EQ(s.limit_approach_flag, 0);
  for (auto field :
       {&RunState::shown_limit_picture, &RunState::approach_limit_picture,
        &RunState::shown_other_sign, &RunState::other_sign_timer, &RunState::anim_step,
        &RunState::anim_counter, &RunState::shown_anim_step, &RunState::shown_traffic_phase,
        &RunState::shown_traffic_second, &RunState::shown_crossing})
    EXPECT_EQ(s.*field, start.*field);
  EXPECT_EQ(s.crossing_queue, empty_crossing_queue());
  EXPECT_EQ(s.current_signal_picture, kNoSignal);
  EXPECT_EQ(s.last_drawn_signal_picture, kNoSignal);
}

}  // namespace
}  // namespace cabsim
