// The look-ahead of the limits and checks ahead, the needed braking distance,
// the `[SpeedCheck1]` judgement and what the sign and notices take from it.
#include "operation/speed_limits.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "sound/sound_channels_silent.h"
#include "support/bare_run.h"

namespace cabsim {
namespace {

/// A run with empty route tables and six signals (all showing proceed).
struct LimitRun : test::BareRun {
  LimitRun() {
    run.train.ATS_Time = 5;
    route.Signal_count = 6;
    for (int i = 0; i < 6; ++i) route.Signal[static_cast<size_t>(i)].aspect = 3;
  }
  void add_limit(int32_t limit, int32_t position) {
    SpeedLimitData& row = route.SpeedLimit[static_cast<size_t>(route.SpeedLimit_count++)];
    row.limit = limit;
    row.position = position;
  }
  void add_check(int32_t speed, int32_t position, int32_t link) {
    SpeedCheck1Data& row = route.SpeedCheck1[static_cast<size_t>(route.SpeedCheck1_count++)];
    row.speed = speed;
    row.position = position;
    row.signal_link = link;
  }
  const LookaheadEntry& entry(size_t k) const { return s.lookahead[k]; }
  /// Rows of entries `first` .. `first` + 2, -1 for none.
  std::vector<int32_t> rows(size_t first) const {
    std::vector<int32_t> r;
    for (size_t k = first; k < first + kEntriesPerTable; ++k)
      r.push_back(entry(k).status == kLookaheadNone ? -1 : entry(k).index);
    return r;
  }
  void look_from(long double position, long double speed = 0) {
    s.position = position;
    s.speed = speed;
    speed_limit_lookahead(run);
  }
};

using Rows = std::vector<int32_t>;

// --- needed distance --------------------------------------------------------------

TEST(SpeedLimitNeededDistance, BrakingAtThreeKmhPerSecondPlusAMetrePerKmh) {
  EXPECT_EQ(needed_braking_distance(100, 60), 39600);   // 296.3 + 100 m
  EXPECT_EQ(needed_braking_distance(60.5L, 60), 6300);  // 2.8 + 60.5 m
  EXPECT_EQ(needed_braking_distance(100, 0), 56300);    // 463 + 100 m
  // Nonsense from a file or a broken speed never gives a negative or a
  // wrapped distance.
  EXPECT_EQ(needed_braking_distance(10, -1000), 0);
  EXPECT_EQ(needed_braking_distance(1e30L, 0), INT32_MAX);
  EXPECT_EQ(needed_braking_distance(std::numeric_limits<long double>::infinity(), 0), INT32_MAX);
  EXPECT_EQ(needed_braking_distance(std::numeric_limits<long double>::quiet_NaN(), 0), 0);
}

// --- look-ahead -----------------------------------------------------------------

TEST(LookaheadLimits, EntriesStartAtTheFirstRowBeyondTheTrain) {
  LimitRun t;
  t.add_limit(80, 10000);
  t.add_limit(60, 20000);
  t.add_limit(45, 20000);
  t.add_limit(30, 50000);

  t.look_from(0);  // before every limit
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{0, 1, 2}));
  EXPECT_EQ(t.entry(0), (LookaheadEntry{0, 80, kLookaheadLimit, 10000, 0}));
  EXPECT_EQ(t.entry(2).distance, 20000);

  t.look_from(15000.4L);  // between; distances rounded half to even
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{1, 2, 3}));
  EXPECT_EQ(t.entry(0).distance, 5000);
  EXPECT_EQ(t.entry(2).distance, 35000);
  t.look_from(14999.5L);
  EXPECT_EQ(t.entry(0).distance, 5000);

  t.look_from(20000);  // at two rows: they are reached
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{3, -1, -1}));

  t.look_from(50000);  // at the last row: nothing ahead
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{-1, -1, -1}));
  t.look_from(1e15L);  // far beyond
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{-1, -1, -1}));

  t.look_from(-1e15L);  // far before: the distance is held at the 32-bit end
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{0, 1, 2}));
  EXPECT_EQ(t.entry(0).distance, INT32_MAX);
}

TEST(LookaheadLimits, EmptyOrDamagedTablesGiveNoEntries) {
  LimitRun t;
  t.look_from(0, 100);
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{-1, -1, -1}));
  EXPECT_EQ(t.rows(kFirstCheckEntry), (Rows{-1, -1, -1}));

  t.add_limit(60, 1000);
  t.route.SpeedLimit_count = -5;
  t.look_from(0, 100);
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{-1, -1, -1}));

  // A count beyond the table reads no further than the table.
  t.route.SpeedLimit_count = INT32_MAX;
  t.route.SpeedLimit[kMaxSpeedLimits - 1] = {25, 0, 0, 0, 0, 9000};
  t.look_from(5000, 100);
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{static_cast<int32_t>(kMaxSpeedLimits) - 1, -1, -1}));
  EXPECT_EQ(t.entry(0).speed, 25);
}

TEST(LookaheadLimits, NeededDistanceStaysWithItsRowWhileTheTrainSlows) {
  LimitRun t;
  t.add_limit(60, 50000);
  t.add_limit(80, 80000);
  t.add_limit(120, 90000);

  t.look_from(0, 100);
  EXPECT_EQ(t.entry(0).needed_distance, 39600);
  EXPECT_EQ(t.entry(1).needed_distance, 26700);  // 166.7 + 100 m
  EXPECT_EQ(t.entry(2).needed_distance, 0);      // slower than 120

  // Slower than both limits: the announced distances stay.
  t.look_from(20000, 50);
  EXPECT_EQ(t.entry(0).needed_distance, 39600);
  EXPECT_EQ(t.entry(1).needed_distance, 26700);

  // Past the 60 limit the 80 limit moves to entry 0 with its own distance,
  // and the 120 limit to entry 1 with none of its own.
  t.look_from(50001, 50);
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{1, 2, -1}));
  EXPECT_EQ(t.entry(0).needed_distance, 26700);
  EXPECT_EQ(t.entry(1).needed_distance, 0);
}

TEST(LookaheadLimits, ARowNeverTakesTheNeededDistanceOfTheRowBeforeIt) {
  LimitRun t;
  t.add_limit(60, 50000);
  t.add_limit(110, 60000);
  t.look_from(40000, 100);
  ASSERT_EQ(t.entry(0).needed_distance, 39600);
  EXPECT_EQ(approaching_speed_limit(t.s), 0);
  // Past the 60 limit at 59 km/h, 59 m before the 110 limit: nothing to
  // announce, though the 60 limit needed 396 m.
  t.look_from(54100, 59);
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{1, -1, -1}));
  EXPECT_EQ(t.entry(0).needed_distance, 0);
  EXPECT_EQ(approaching_speed_limit(t.s), std::nullopt);
  EXPECT_EQ(speed_notice_values(t.s), SpeedNoticeValues{});
}

TEST(LookaheadChecks, OnlyChecksLinkedToASignalAtStopEnter) {
  LimitRun t;
  t.add_check(30, 10000, 0);    // judged always, never announced
  t.add_check(25, 20000, 5);    // while signal 5 shows stop
  t.add_check(20, 30000, -1);   // never
  t.add_check(15, 40000, 600);  // a signal the table does not hold
  t.add_check(10, 50000, 5);
  t.add_check(5, 60000, 6);  // one past the last signal

  t.look_from(0, 40);
  EXPECT_EQ(t.rows(kFirstCheckEntry), (Rows{-1, -1, -1}));

  t.route.Signal[5].aspect = 0;
  t.look_from(0, 40);
  EXPECT_EQ(t.rows(kFirstCheckEntry), (Rows{-1, 1, -1}));
  EXPECT_EQ(t.entry(4), (LookaheadEntry{1, 25, kLookaheadCheck, 20000, 8500}));

  t.look_from(35000, 40);
  EXPECT_EQ(t.rows(kFirstCheckEntry), (Rows{-1, 4, -1}));
  EXPECT_EQ(t.entry(4).distance, 15000);
  // The limits are untouched by the checks.
  EXPECT_EQ(t.rows(kFirstLimitEntry), (Rows{-1, -1, -1}));
}

// --- speed checks of [SpeedCheck1] ---------------------------------------------------

TEST(SpeedCheckPassing, OneKmhOverTheCheckRingsTheBellAndTheCheckIsPassedOnce) {
  LimitRun t;
  t.add_check(60, 10000, 0);
  t.s.speed = 61;
  t.s.position = 10000;  // at the check: not yet passed
  speed_check_step(t.run);
  EXPECT_EQ(t.route.SpeedCheck1[0].passed, 0);
  EXPECT_EQ(t.s.alarm_flag, 0);

  t.s.position = 10000.5L;
  speed_check_step(t.run);
  EXPECT_EQ(t.route.SpeedCheck1[0].passed, 1);
  EXPECT_EQ(t.s.alarm_flag, 1);
  EXPECT_EQ(t.s.alarm_counter, 50);  // [ATS_Time] x 10

  // Judged once.
  t.s.alarm_flag = 0;
  speed_check_step(t.run);
  EXPECT_EQ(t.s.alarm_flag, 0);

  // With the ATS off a check waits; at its speed it is passed quietly.
  t.add_check(60, 15000, 0);
  t.s.position = 20000;
  t.s.ats_on = 0;
  speed_check_step(t.run);
  EXPECT_EQ(t.route.SpeedCheck1[1].passed, 0);
  t.s.ats_on = 1;
  t.s.speed = 60;
  speed_check_step(t.run);
  EXPECT_EQ(t.route.SpeedCheck1[1].passed, 1);
  EXPECT_EQ(t.s.alarm_flag, 0);
}

TEST(SpeedCheckPassing, ALinkedCheckIsJudgedOnlyWhileItsSignalShowsStop) {
  LimitRun t;
  t.add_check(40, 10000, 5);
  t.add_check(40, 11000, -1);
  t.add_check(40, 12000, 600);
  t.add_check(40, 13000, INT32_MIN);
  t.s.speed = 70;
  t.s.position = 15000;
  speed_check_step(t.run);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(t.route.SpeedCheck1[static_cast<size_t>(i)].passed, 0);
  EXPECT_EQ(t.s.alarm_flag, 0);

  // Signal 5 turns to stop while its check is still unpassed behind the train.
  t.route.Signal[5].aspect = 0;
  t.s.position = 40000;
  speed_check_step(t.run);
  EXPECT_EQ(t.route.SpeedCheck1[0].passed, 1);
  EXPECT_EQ(t.s.alarm_flag, 1);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(t.route.SpeedCheck1[static_cast<size_t>(i)].passed, 0);

  EXPECT_TRUE(speed_check_in_force(t.route, t.route.SpeedCheck1[0]));
  t.route.Signal[5].aspect = 1;
  EXPECT_FALSE(speed_check_in_force(t.route, t.route.SpeedCheck1[0]));
}

// --- what the sign and the notices take ---------------------------------------------

TEST(SpeedLimitNoticeValues, LimitCheckAndTheSpeedAfter) {
  RunState s;
  EXPECT_EQ(speed_notice_values(s), SpeedNoticeValues{});
  EXPECT_EQ(approaching_speed_limit(s), std::nullopt);
  s.lookahead[0] = {2, 60, kLookaheadLimit, 39600, 39600};  // not within
  EXPECT_EQ(approaching_speed_limit(s), std::nullopt);
  EXPECT_EQ(speed_notice_values(s).limit, std::nullopt);

  s.lookahead[0] = {2, 60, kLookaheadLimit, 12350, 39600};  // 123.5 m
  EXPECT_EQ(approaching_speed_limit(s), 2);
  s.lookahead[1] = {3, 45, kLookaheadLimit, 30000, 50000};
  s.lookahead[3] = {1, 25, kLookaheadCheck, 12250, 20000};  // 122.5 m
  s.lookahead[4] = {2, 15, kLookaheadCheck, 60000, 20000};  // not within
  SpeedNoticeValues v = speed_notice_values(s);
  EXPECT_EQ(v.limit, (AnnouncedSpeed{60, 124}));
  EXPECT_EQ(v.check, (AnnouncedSpeed{25, 122}));
  EXPECT_EQ(v.following_speed, 45);

  s.lookahead[4].distance = 10000;  // the second check wins over the second limit
  EXPECT_EQ(speed_notice_values(s).following_speed, 15);
  s.lookahead[4].status = kLookaheadLimit;  // a check entry holding no check
  EXPECT_EQ(speed_notice_values(s).following_speed, 45);
  s.lookahead[1].status = kLookaheadNone;
  EXPECT_EQ(speed_notice_values(s).following_speed, std::nullopt);

  // 999 m is a distance like any other.
  s.lookahead[0] = {2, 60, kLookaheadLimit, 99900, 100000};
  EXPECT_EQ(speed_notice_values(s).limit, (AnnouncedSpeed{60, 999}));
}

}  // namespace
}  // namespace cabsim
