// The cab-signal speed zones of [SpeedCheck2] and the limit and pattern
// notices.
#include "presentation/notices.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "data/shift_jis.h"
#include "operation/ats.h"
#include "operation/signals.h"
#include "presentation/panel_lamps.h"
#include "sound/sound_channels_silent.h"
#include "support/bare_run.h"

namespace cabsim {
namespace {

using E = PanelElement;

std::string sj(const char* utf8) {
  return utf8_to_sjis(utf8);
}

/// A run with empty route tables, an ATS-S train whose cab signal picture
/// has four patterns for 0, 25, 45 and 75 km/h, and the information lines.
struct NoticeRun : test::BareRun {
  NoticeRun() {
    run.train.ATS_Type = kAtsS;
    run.train.ATS_Time = 5;
    run.train.panel.Lamp_signal_speeds = {0, 25, 45, 75};
    run.train.panel.Lamp_signal_count = 4;
    PanelSprite& display = v.panel[E::kCabSignal];
    display.present = 1;
    display.pattern_count = 4;
    display.visible = 1;  // the picture starts visible
    auto& lines = run.text.InfoLabel;
    lines[1] = sj("ドアを閉めてください");  // a station's line: never in a notice
    lines[2] = sj("停止信号です");
    lines[3] = sj("目標まで");
    lines[4] = sj("制限まで");
    lines[5] = sj("(次 ");
    lines[6] = sj("照査");
    lines[7] = sj("制限");
  }
  void add_zone(int32_t speed, int32_t first, int32_t end) {
    SpeedCheck2Data& zone = route.SpeedCheck2[static_cast<size_t>(route.SpeedCheck2_count++)];
    zone.speed = speed;
    zone.frame = first;
    zone.end_frame = end;
  }
  const PanelSprite& display() const { return v.panel[E::kCabSignal]; }
  /// The pattern shown, -1 hidden.
  int32_t shown() const { return display().visible ? display().pattern : -1; }
  void zone_step_at(int32_t frame, long double speed = 0) {
    s.current_frame = frame;
    s.speed = speed;
    speed_zone_step(run);
  }
};

// --- speed zones ---------------------------------------------------------------

TEST(SpeedCheckZone, InsideTheZoneItsSpeedIsShownAndOverItTheBellRings) {
  NoticeRun t;
  t.add_zone(45, 100, 200);

  t.zone_step_at(100, 60);  // the first frame is not in the zone
  EXPECT_EQ(t.shown(), -1);
  EXPECT_EQ(t.v.cab_signal_frame, -1);
  EXPECT_EQ(t.s.alarm_flag, 0);

  t.zone_step_at(101, 45);
  EXPECT_EQ(t.shown(), 2);
  EXPECT_EQ(t.v.cab_signal_frame, 3);
  EXPECT_EQ(t.s.alarm_flag, 0);

  t.zone_step_at(150, 45.1L);
  EXPECT_EQ(t.s.alarm_flag, 1);
  EXPECT_EQ(t.s.alarm_counter, 50);

  t.zone_step_at(200, 30);  // nor is the end frame
  EXPECT_EQ(t.shown(), -1);
  EXPECT_EQ(t.v.cab_signal_frame, -1);
  EXPECT_EQ(t.s.ats_check_speed, kNoCheck);

  // With the ATS off nothing is judged or shown.
  t.s.alarm_flag = 0;
  t.s.ats_on = 0;
  t.zone_step_at(150, 90);
  EXPECT_EQ(t.shown(), -1);
  EXPECT_EQ(t.s.alarm_flag, 0);
}

TEST(SpeedCheckZone, OutsideTheZonesTheAtsCheckSpeedIsShown) {
  NoticeRun t;
  t.add_zone(45, 100, 200);
  t.s.ats_check_speed = 75;
  t.zone_step_at(300, 80);
  EXPECT_EQ(t.shown(), 3);
  EXPECT_EQ(t.s.ats_check_speed, 75);
  EXPECT_EQ(t.s.alarm_flag, 0);  // the ATS-S step judges its own check speed

  // A zone no lower than the check speed does not apply.
  t.s.ats_check_speed = 25;
  t.zone_step_at(150, 30);
  EXPECT_EQ(t.shown(), 1);
  EXPECT_EQ(t.s.alarm_flag, 0);

  // A check speed the list lacks changes nothing on the display.
  t.s.ats_check_speed = 30;
  t.zone_step_at(300, 0);
  EXPECT_EQ(t.shown(), 1);

  // Without zones at all a check the signals set lasts this tick only.
  t.route.SpeedCheck2_count = 0;
  t.s.ats_check_speed = 75;
  t.zone_step_at(300, 0);
  EXPECT_EQ(t.shown(), -1);
  EXPECT_EQ(t.s.ats_check_speed, kNoCheck);
}

TEST(SpeedCheckZone, RowsAreTakenInTableOrder) {
  NoticeRun t;
  t.add_zone(25, 100, 300);
  t.add_zone(45, 150, 250);
  t.add_zone(0, 500, 400);   // an empty zone
  t.s.ats_check_speed = 75;  // shown by the rows that do not apply

  t.zone_step_at(120, 20);
  EXPECT_EQ(t.shown(), 3);  // the last row does not apply
  t.zone_step_at(200, 30);
  EXPECT_EQ(t.s.alarm_flag, 1);  // over the first zone's 25
  t.s.ats_check_speed = kNoCheck;
  t.zone_step_at(200, 20);
  EXPECT_EQ(t.shown(), 2);  // 45, the last zone that applies
  t.zone_step_at(450, 0);
  EXPECT_EQ(t.shown(), -1);

  // A damaged count reads no further than the table.
  t.route.SpeedCheck2_count = INT32_MAX;
  t.route.SpeedCheck2[kMaxSpeedChecks2 - 1] = {0, 0, INT32_MIN, INT32_MAX, 0};
  t.zone_step_at(450, 0);
  EXPECT_EQ(t.shown(), 0);
}

TEST(SpeedCheckZone, OnACabSignalTrainTheAspectComesBackAfterTheZone) {
  NoticeRun t;
  t.run.train.ATS_Type = kCabSignalAts;
  show_cab_signal_aspect(t.v.panel, kFirstCabSignalAspect + 2);  // drawn by the signal step
  t.s.current_signal_picture = kFirstCabSignalAspect + 2;
  t.zone_step_at(50, 0);
  EXPECT_EQ(t.shown(), 2);  // not the zones' to hide

  t.add_zone(25, 100, 200);
  t.zone_step_at(150, 0);
  EXPECT_EQ(t.shown(), 1);
  t.s.current_signal_picture = kFirstCabSignalAspect + 3;  // a new aspect meanwhile

  t.zone_step_at(250, 0);
  EXPECT_EQ(t.shown(), 3);
  EXPECT_EQ(t.v.cab_signal_frame, -1);
}

// --- notices -------------------------------------------------------------------

TEST(NoticeLines, LimitAheadWithTheSpeedAfterIt) {
  NoticeRun t;
  t.s.lookahead[0] = {2, 60, kLookaheadLimit, 12350, 39600};
  t.s.lookahead[1] = {3, 45, kLookaheadLimit, 30000, 50000};
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("60km/h 制限まで124m"));
  EXPECT_EQ(t.v.pattern_notice, sj("(次 45km/h 制限)"));

  // A limit comes before a check; the speed after is the second check's.
  t.s.lookahead[3] = {0, 25, kLookaheadCheck, 8000, 8500};
  t.s.lookahead[4] = {1, 15, kLookaheadCheck, 9000, 9500};
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("60km/h 制限まで124m"));
  EXPECT_EQ(t.v.pattern_notice, sj("(次 15km/h 制限)"));

  t.s.lookahead[0].distance = 40000;  // out of its needed distance
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("25km/h 照査まで80m"));
  EXPECT_EQ(t.v.pattern_notice, sj("(次 15km/h 照査)"));

  t.s.lookahead[4].status = kLookaheadNone;
  t.s.lookahead[1].status = kLookaheadNone;
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("25km/h 照査まで80m"));
  EXPECT_EQ(t.v.pattern_notice, "");

  t.s.lookahead[0] = {2, 60, kLookaheadLimit, 99900, 100000};
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("60km/h 制限まで999m"));

  t.s.lookahead = empty_lookahead();
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, "");
  EXPECT_EQ(t.v.pattern_notice, "");
}

TEST(NoticeLines, AtsPTargetsComeFirstWhileAtsPWorks) {
  NoticeRun t;
  t.run.train.ATS_Type = kAtsP;
  t.s.lookahead[0] = {2, 60, kLookaheadLimit, 12350, 39600};
  t.s.lookahead[1] = {3, 45, kLookaheadLimit, 30000, 50000};
  t.s.speed = 50;
  t.s.pattern_target_speed = 1;  // a stop signal
  t.s.pattern_target_distance = 5000;
  t.s.pattern_brake_speed = 120;
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("停止信号です"));
  EXPECT_EQ(t.v.pattern_notice, "");

  // A target of 11 km/h or more once the pattern is within 30 km/h.
  t.s.pattern_target_speed = 45;
  t.s.pattern_target_distance = 12345;
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("60km/h 制限まで124m"));  // the pattern is far above
  t.s.pattern_brake_speed = 79;
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("45km/h 目標まで123m"));
  EXPECT_EQ(t.v.pattern_notice, "");
  t.s.pattern_target_distance = 12350;  // 123.5 m
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("45km/h 目標まで124m"));

  for (auto [target, distance, speed] : {std::tuple{10, 12345.0L, 50.0L},  // below 11
                                         std::tuple{50, 12345.0L, 50.0L},  // not slower
                                         std::tuple{45, 0.0L, 50.0L},      // no distance
                                         std::tuple{1, 5000.0L, 1.0L}}) {
    t.s.pattern_target_speed = target;
    t.s.pattern_target_distance = distance;
    t.s.speed = speed;
    speed_notice_step(t.run);
    EXPECT_EQ(t.v.limit_notice, sj("60km/h 制限まで124m")) << target;
  }

  // Left as they were when the ATS is switched off, or on an ATS-S train.
  t.s.speed = 50;
  t.s.pattern_target_speed = 1;
  t.s.ats_on = 0;
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("60km/h 制限まで124m"));
  t.s.ats_on = 1;
  t.run.train.ATS_Type = kAtsS;
  speed_notice_step(t.run);
  EXPECT_EQ(t.v.limit_notice, sj("60km/h 制限まで124m"));
}

}  // namespace
}  // namespace cabsim
