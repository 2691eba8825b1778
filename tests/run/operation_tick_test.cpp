// The operation tick over whole runs: its step order, the error traps, the
// section speed, the blink rule, the vigilance device, the caption, the
// commentary and the debug labels.
#include <gtest/gtest.h>

#include <limits>

#include "data/shift_jis.h"
#include "run/form_handlers.h"
#include "run/keyboard.h"
#include "run/operation_tick.h"
#include "run/start_pause.h"
#include "run/tick_steps.h"
#include "state/blink.h"
#include "state/panel_state.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

using test::TestRun;
using test::TrainFileText;

TEST(OperationTick, StepsRunInTheirNumberedOrder) {
  int last = 0;
  for (const TickStep& step : main_tick_steps()) {
    EXPECT_GT(step.number, last) << step.name;
    EXPECT_LE(step.number, 41);
    last = step.number;
  }
  for (const TickStep& step : late_tick_steps()) {
    EXPECT_GT(step.number, last) << step.name;
    EXPECT_LE(step.number, 45);
    last = step.number;
  }
}

TEST(OperationTick, NothingMovesBeforeTheStartAndAFailingStepEndsThePass) {
  TestRun t;
  t.s().debug_mode = 1;
  t.run_to(5000);
  EXPECT_EQ(t.s().tick_count, 0);
  EXPECT_EQ(t.s().clock, 972000);
  EXPECT_EQ(t.v().speed_text, "");
  start1Click(*t.run);
  t.run_for(100);
  EXPECT_EQ(t.s().tick_count, 1);
  EXPECT_EQ(t.v().speed_text, "  0.0 km/h");
  EXPECT_EQ(t.v().window_caption, "試験線 下り");
  EXPECT_EQ(t.v().debug_labels[0], "前");
  EXPECT_EQ(t.v().debug_labels[2], "非常");

  // The tick count cannot count on: step 2 fails, the rest of the pass and
  // the debug labels are skipped, and the next tick tries again.
  t.s().tick_count = std::numeric_limits<int32_t>::max();
  t.v().speed_text = "held";
  t.v().debug_labels[2].clear();
  t.run_for(300);
  EXPECT_EQ(t.v().speed_text, "held");
  EXPECT_EQ(t.v().debug_labels[2], "");
  t.s().tick_count = 5;
  t.run_for(100);
  EXPECT_EQ(t.s().tick_count, 6);
  EXPECT_EQ(t.v().debug_labels[2], "非常");

  // A commentary sound that cannot be loaded fails its step (the tick traps
  // it on its own).
  EXPECT_THROW(execute_commentary(*t.run, "1missing.wav"), std::exception);
}

TEST(OperationTick, SectionSpeedIsThatOfTheStationBehindTheTrain) {
  TestRun t;
  start1Click(*t.run);
  t.run_for(100);
  EXPECT_EQ(t.s().section_upper_speed, 110);  // at the first stop: the default
  EXPECT_EQ(t.s().section_permitted_speed, 105);
  t.s().position += 1;
  t.run_for(100);
  EXPECT_EQ(t.s().section_upper_speed, 65);  // first station's speed after + 5
  EXPECT_EQ(t.s().section_permitted_speed, 60);
  t.s().position = 1e9;  // beyond the last station the defaults hold again
  t.run_for(100);
  EXPECT_EQ(t.s().section_upper_speed, 110);
}

TEST(OperationTick, BlinkRuleSwitchesOnAtTensAndOffAtFives) {
  for (int n : {10, 20, 30, 0}) EXPECT_EQ(blink_switch(n), true) << n;
  for (int n : {5, 15, 25}) EXPECT_EQ(blink_switch(n), false) << n;
  for (int n : {1, 4, 6, 9, 11}) EXPECT_EQ(blink_switch(n), std::nullopt) << n;
}

TEST(OperationTick, VigilanceWarnsOnTick601AndBrakesOnTick651) {
  TestRun t(TrainFileText{}.set("[EB]", "1"));
  t.sounds.set_length(test::kSoundEBring, 200);
  start1Click(*t.run);
  t.run_for(100 * 100);
  EXPECT_EQ(t.s().vigilance_counter, 0);  // standing: never counts
  AsciiDown(*t.run, '5');                 // released, and running at 40 km/h
  t.s().speed = 40;
  t.s().resistance_off = 1;
  auto ticks = [&](int n) { t.run_for(100 * n); };
  ticks(600);
  EXPECT_EQ(t.s().vigilance_counter, 600);
  EXPECT_EQ(t.v().vigilance_lamp, 0);
  ticks(1);
  EXPECT_EQ(t.v().vigilance_lamp, 1);
  EXPECT_EQ(t.sounds.status(test::kSoundEBring), ChannelStatus::kPlayingOnce);
  ticks(49);
  EXPECT_EQ(t.s().protection_emergency_flag, 0);
  ticks(1);
  EXPECT_EQ(t.s().protection_emergency_flag, 1);
  EXPECT_EQ(t.s().vigilance_counter, 0);
  EXPECT_EQ(t.s().brake_change_pending, 1);
  EXPECT_EQ(t.sounds.status(test::kSoundEBring), ChannelStatus::kStopped);

  // A key resets the count, the warning and the lamp.
  t.s().protection_emergency_flag = 0;
  ticks(620);
  EXPECT_EQ(t.v().vigilance_lamp, 1);
  AsciiDown(*t.run, '5');
  EXPECT_EQ(t.s().vigilance_counter, 0);
  EXPECT_EQ(t.v().vigilance_lamp, 0);
  EXPECT_EQ(t.sounds.status(test::kSoundEBring), ChannelStatus::kStopped);
  // The film-speed run switches the device off for the rest of the run.
  keydowns(*t.run, VirtualKey::kF1, true);
  keydowns(*t.run, VirtualKey::kF2, true);
  ticks(700);
  EXPECT_EQ(t.s().vigilance_counter, 0);
}

TEST(OperationTick, SetsThePanelSpeedNeedleFromTheSpeed) {
  TestRun t(TrainFileText{}.set("[Needle_Speed]", "speed.bmp\n100\n450\n0\n0\n30\n1.5\n0"));
  PanelSprite& needle = t.v().panel[PanelElement::kNeedleSpeed];
  needle.present = 1;
  needle.pattern_count = 1;
  start1Click(*t.run);
  t.s().speed = 40;
  t.s().resistance_off = 1;
  t.run_for(100);
  // round((40 x 1.5 + 30) x 255 / 360) = 64; the motion of this tick comes after the gauges.
  EXPECT_EQ(needle.angle, 64);
}

TEST(OperationTick, CommentaryIsExecutedWhenItChanges) {
  // Standing within 200 frames of the film's end the driver is told to turn
  // back; the message is put up once, and taken down when it no longer applies.
  TestRun t(TrainFileText{}, test::test_route_text("[MovieStop]\n500\n#\n"));
  t.run->text.InfoLabel[21] = utf8_to_sjis("折り返してください");
  start1Click(*t.run);
  AsciiDown(*t.run, '5');
  t.s().resistance_off = 1;
  t.s().current_frame = 450;
  const uint32_t refresh = t.v().film_refresh;
  t.run_for(100);
  EXPECT_EQ(t.s().commentary, "0折り返してください");
  EXPECT_EQ(t.v().top_message, "折り返してください");
  EXPECT_EQ(t.v().film_refresh, refresh + 1);  // the picture is fetched again with it
  t.run_for(100);
  EXPECT_EQ(t.v().film_refresh, refresh + 1);  // unchanged: not executed again
  t.s().current_frame = 200;
  t.run_for(100);
  EXPECT_EQ(t.s().commentary, "");
  EXPECT_EQ(t.v().top_message, "");

  // With the commentary switched off the text is generated but not shown.
  D1Click(*t.run, false);
  t.s().current_frame = 450;
  t.run_for(100);
  EXPECT_EQ(t.s().commentary, "0折り返してください");
  EXPECT_EQ(t.v().top_message, "");
  // Switched on, the advice of the moment comes up at once; off, it goes.
  D1Click(*t.run, true);
  EXPECT_EQ(t.v().top_message, "折り返してください");
  D1Click(*t.run, false);
  EXPECT_EQ(t.v().top_message, "");
  EXPECT_EQ(commentary_channel(*t.run), 2);  // no running, environment or engine sounds
}

TEST(OperationTick, ReverseRunningProtectionBrakesARollingBackTrain) {
  TestRun t(TrainFileText{}.set("[Back]", "1"));
  start1Click(*t.run);
  AsciiDown(*t.run, '5');
  t.s().speed = -6;
  t.s().resistance_off = 1;
  t.run_for(100);
  EXPECT_EQ(t.s().protection_emergency_flag, 1);
}

}  // namespace
}  // namespace cabsim
