// The commentary generator: each rule's text, the later rule replacing the
// earlier, the stop-approach text appended, and the stalled engine last.
#include "presentation/commentary.h"

#include <gtest/gtest.h>

#include <string>

#include "data/shift_jis.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

struct CommentaryRun : test::TestRun {
  CommentaryRun() : TestRun(test::TrainFileText{}, test::test_route_text("[MovieStop]\n500\n#\n")) {
    for (int k = 8; k <= 21; ++k)
      run->text.InfoLabel[static_cast<size_t>(k)] = "L" + std::to_string(k);
    s().ats_on = 1;
    s().current_frame = 1000;
    s().distance_to_stop = 1000000;
  }
  std::string text() const { return commentary_command(*run); }
};

TEST(Commentary, NothingToSayIsAnEmptyCommand) {
  CommentaryRun t;
  EXPECT_EQ(t.text(), "");
}

TEST(Commentary, TheDoorSideSelectorAgainstTheStation) {
  CommentaryRun t;
  StationData& st = t.run->route->Station[0];
  st.kind = 0;
  st.in_zone = 1;
  t.s().door_side_selector = 1;
  EXPECT_EQ(t.text(), "0L8");  // the doors open on side 0
  st.commentary = 1;
  EXPECT_EQ(t.text(), "0");  // selector and station agree: an empty message
  t.s().door_side_selector = 0;
  EXPECT_EQ(t.text(), "0L9");
  // Not while moving, with the doors not closed, or at a station without doors.
  t.s().speed = 0.6L;
  EXPECT_EQ(t.text(), "");
  t.s().speed = 0;
  t.s().doors_not_closed = 1;
  EXPECT_EQ(t.text(), "");
  t.s().doors_not_closed = 0;
  st.kind = 2;
  EXPECT_EQ(t.text(), "");
}

TEST(Commentary, LaterRulesReplaceEarlierOnes) {
  CommentaryRun t;
  RunState& s = t.s();
  s.film_mode = kFilmTimeDriven;
  s.power_handle = 1;
  EXPECT_EQ(t.text(), "0L10");
  // ATS off in the normal mode with more than one notch.
  s.ats_on = 0;
  EXPECT_EQ(t.text(), "0L10");
  s.power_handle = 2;
  EXPECT_EQ(t.text(), "0L20");
  s.beginner_mode = 1;
  EXPECT_EQ(t.text(), "0L10");
  s.film_mode = kFilmFollowsPosition;
  s.power_handle = 0;
  // Standing within 200 frames of the film's end.
  for (int32_t frame : {300, 301, 500, 501}) {
    s.current_frame = frame;
    EXPECT_EQ(t.text(), frame == 300 || frame == 501 ? "" : "0L21") << frame;
  }
  s.current_frame = 450;
  s.vigilance_counter = 601;
  EXPECT_EQ(t.text(), "0L14");  // the vigilance device replaces the film's end
}

TEST(Commentary, ProtectionBrakeBellAndVigilance) {
  CommentaryRun t;
  RunState& s = t.s();
  // The pattern brake: braking while moving, released when standing.
  s.pattern_brake_flag = 1;
  s.pattern_state = 2;
  s.speed = 30;
  EXPECT_EQ(t.text(), "0L11");
  s.speed = 0;
  EXPECT_EQ(t.text(), "0L12");
  s.pattern_state = 1;
  s.alarm_flag = 1;  // the flag's branch says nothing more
  EXPECT_EQ(t.text(), "");
  s.pattern_brake_flag = 0;

  // The emergency brake of the protection.
  s.protection_emergency_flag = 1;
  s.speed = 30;
  EXPECT_EQ(t.text(), "0L11");
  s.alarm_flag = 0;
  s.pattern_state = 0;
  EXPECT_EQ(t.text(), "");
  s.speed = 0;
  EXPECT_EQ(t.text(), "0L12");
  s.pattern_state = 2;
  EXPECT_EQ(t.text(), "0L11");
  s.protection_emergency_flag = 0;

  s.alarm_flag = 1;
  EXPECT_EQ(t.text(), "0L13");
  s.ats_on = 0;
  EXPECT_EQ(t.text(), "");
  s.alarm_flag = 0;
  s.vigilance_counter = 600;
  EXPECT_EQ(t.text(), "");
  s.vigilance_counter = 601;
  EXPECT_EQ(t.text(), "0L14");
}

TEST(Commentary, TooFastForTheSignalOrTheStopAhead) {
  CommentaryRun t;
  RunState& s = t.s();
  const struct {
    int32_t picture;
    long double speed;
    std::string text;
  } cases[] = {{4, 65.4L, ""},   {4, 65.6L, "0L15"}, {19, 70, "0L15"}, {11, 95.4L, ""},
               {20, 96, "0L16"}, {14, 25, ""},       {18, 26, "0L17"}, {5, 120, ""}};
  for (const auto& c : cases) {
    s.current_signal_picture = c.picture;
    s.speed = c.speed;
    EXPECT_EQ(t.text(), c.text) << c.picture << " at " << static_cast<double>(c.speed);
  }
  // 80 km/h needs 80/5 x 80/3.6 = 355.6 m: more than 300 m less 125 m.
  s.current_signal_picture = 999;
  s.speed = 80;
  s.distance_to_stop = 30000;
  EXPECT_EQ(t.text(), "0L18");
  s.current_signal_picture = 4;
  EXPECT_EQ(t.text(), "0L15L18");
  s.distance_to_stop = 25000;  // too near for the advice
  EXPECT_EQ(t.text(), "0L15");
  s.distance_to_stop = 50000;
  EXPECT_EQ(t.text(), "0L15");
}

TEST(Commentary, AStalledEngineIsSaidLast) {
  CommentaryRun t;
  RunState& s = t.s();
  t.run->train.Engine_count = 3;
  s.engine_running = 0;
  s.gear = 2;
  s.power_handle = 2;
  s.ats_on = 0;  // rule 3 would say more, the stall replaces it
  EXPECT_EQ(t.text(), "0" + std::string(kEngineStallText));
  s.gear = 1;
  EXPECT_EQ(t.text(), "0L20");
  // A text line in the file's Shift-JIS is shown in UTF-8.
  t.run->text.InfoLabel[20] = utf8_to_sjis("ATSを入れてください");
  EXPECT_EQ(t.text(), "0ATSを入れてください");
}

}  // namespace
}  // namespace cabsim
