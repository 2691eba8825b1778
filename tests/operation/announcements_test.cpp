// Announcements: at their distances before and after stations, the arrival
// announcement once per departure, and the one-man announcement keys with
// the stop request and its lamp.
#include "operation/announcements.h"

#include <gtest/gtest.h>

#include <string>

#include "run/keyboard.h"
#include "run/start_pause.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

/// Environment sound k plays on channel k (the test train has no running
/// sounds): 0 the arrival announcement, 1 .. 3 the `[Announce]` rows.
constexpr int kHeader = 0;
/// Station 1 asks for the stop on a draw below 5 (always) after 10 x 3
/// clock units.
std::string announce_route(int one_man) {
  return "[LineName]\n試験線\n[StartPos]\n100\n[FrameRate]\n30\n[Friction]\n0.35\n"
         "[DataName]\ntest\n[Speed_Signal]\n0\n25\n45\n75\n110\n#\n"
         "[OneMan]\n" +
         std::to_string(one_man) +
         "\n[SoundData]\nh.wav\na1.wav\na2.wav\na3.wav\n#\n"
         "[Announce]\n0\n1,0,0,150\n2,1,1,400\n3,0,1,-50\n2,1,7,100\n#\n"
         "[Station]\n"
         "東駅,2,100,1000,0,0,0,972000,60,1,0,0,0,300,5,0,100\n"
         "西駅,2,5000,1000,0,0,0,990000,0,1,0,5,10,300,5,0,100\n#\n"
         "[SpeedUnit]\n0,9000,60,60\n#\n";
}

struct AnnounceRun : test::TestRun {
  explicit AnnounceRun(int one_man) : TestRun(test::TrainFileText{}, announce_route(one_man)) {
    for (int k = 0; k < 4; ++k) sounds.set_length(k, 1000 * (k + 1));
    v().panel[other_picture(4)].present = 1;
    v().panel[other_picture(4)].pattern_count = 1;
    start1Click(*run);
  }
  bool playing(int k) const { return sounds.status(k) != ChannelStatus::kStopped; }
  void stop_all() {
    for (int k = 0; k < 4; ++k) sounds.stop(k);
  }
  int32_t stop_position(int i) const {
    return run->route->Station[static_cast<size_t>(i)].stop_position;
  }
  /// Step 14 with the train at `position`, `to_stop` centimetres before its stop.
  void at(long double position, long double to_stop) {
    s().position = position;
    s().distance_to_stop = to_stop;
    announcement_step(*run);
  }
};

TEST(Announcements, EachIsStartedOnItsFiveMetresBeforeOrAfterItsStation) {
  for (int one_man : {0, 1, 2}) {
    SCOPED_TRACE(one_man);
    AnnounceRun t(one_man);
    t.s().speed = 60;
    const long double after0 = t.stop_position(0) + 15000;  // 150 m after station 0
    t.at(after0, 20000);
    EXPECT_FALSE(t.playing(1));  // the window opens just beyond
    t.at(after0 + 1, 20000);
    EXPECT_EQ(t.playing(1), one_man != 1);
    t.stop_all();
    t.at(after0 + 499, 10000);  // too near the next stop
    EXPECT_FALSE(t.playing(1));
    t.at(after0 + 500, 20000);
    EXPECT_FALSE(t.playing(1));

    const long double before1 = t.stop_position(1) - 40000;  // 400 m before station 1
    t.at(before1 + 250, 39750);
    EXPECT_EQ(t.playing(2), one_man != 1);
    t.stop_all();
    t.at(before1 + 250, 5000);  // no distance condition before a station
    EXPECT_EQ(t.playing(2), one_man != 1);
    // A row 50 m "after" station 1 at a negative distance plays 50 m before
    // it; the row of a station the route does not have never plays.
    t.stop_all();
    t.at(t.stop_position(1) - 5000 + 100, 20000);
    EXPECT_EQ(t.playing(3), one_man != 1);
    EXPECT_FALSE(t.playing(2));
  }
}

TEST(Announcements, TheArrivalAnnouncementOncePerDeparture) {
  AnnounceRun t(0);
  RunState& s = t.s();
  s.speed = 0;
  const long double beyond = t.stop_position(0) + 200000;  // in no stop zone
  t.at(beyond, -100);
  EXPECT_TRUE(t.playing(kHeader));
  t.stop_all();
  t.at(beyond, -100);
  EXPECT_FALSE(t.playing(kHeader));  // this departure has had it
  s.departure_counter = 1;
  t.at(beyond, -100);
  EXPECT_TRUE(t.playing(kHeader));
  t.stop_all();
  // Not while moving, in a stop zone, before the stop, with the doors not
  // closed, or with a departure counter beyond what is kept.
  s.departure_counter = 2;
  s.speed = 1;
  t.at(beyond, -100);
  s.speed = 0;
  t.at(t.stop_position(1), -100);
  t.at(beyond, 100);
  s.doors_not_closed = 1;
  t.at(beyond, -100);
  s.doors_not_closed = 0;
  s.departure_counter = 100000;
  t.at(beyond, -100);
  EXPECT_FALSE(t.playing(kHeader));
  s.departure_counter = 2;
  t.at(beyond, -100);
  EXPECT_TRUE(t.playing(kHeader));

  // One-man routes have no arrival announcement.
  AnnounceRun one_man(2);
  one_man.at(beyond, -100);
  EXPECT_FALSE(one_man.playing(kHeader));

  // A route without `[Announce]` has none either: environment sound 0 (the
  // start announcement) is not played in its place.
  test::TestRun plain(test::TrainFileText{}, test::test_route_text("[SoundData]\nstart.wav\n#\n"));
  plain.sounds.set_length(0, 1000);
  plain.s().distance_to_stop = -100;
  plain.s().position = 200000;
  announcement_step(*plain.run);
  EXPECT_EQ(plain.sounds.status(0), ChannelStatus::kStopped);
}

TEST(Announcements, OneManKeysStepThroughTheAnnouncements) {
  AnnounceRun t(1);
  RunState& s = t.s();
  AsciiDown(*t.run, '-');  // nothing given yet
  EXPECT_EQ(s.announcement_counter, 0);
  AsciiDown(*t.run, 'c');
  EXPECT_TRUE(t.playing(kHeader));
  EXPECT_EQ(s.announcement_counter, 1);
  EXPECT_EQ(s.stop_request, 0);  // station 0 draws no request
  // The next one cuts the one playing short.
  AsciiDown(*t.run, '1');
  EXPECT_FALSE(t.playing(kHeader));
  EXPECT_TRUE(t.playing(1));
  EXPECT_EQ(s.announcement_counter, 2);
  // Station 1 asks for the stop; the lamp lights 30 clock units later.
  EXPECT_EQ(s.stop_request, 1);
  const auto lamp = [&t] { return t.v().panel[other_picture(4)].visible; };
  t.run_for(500);
  EXPECT_EQ(lamp(), 0);
  t.run_for(600);
  EXPECT_EQ(lamp(), 1);

  AsciiDown(*t.run, 'c');
  EXPECT_FALSE(t.playing(1));
  EXPECT_TRUE(t.playing(2));
  EXPECT_EQ(s.announcement_counter, 3);
  // Back: the one playing stops and the counter steps down.
  AsciiDown(*t.run, '-');
  EXPECT_FALSE(t.playing(2));
  EXPECT_EQ(s.announcement_counter, 2);
  EXPECT_EQ(lamp(), 1);  // the lamp stays lit
  // An announcement whose sound is still playing is not started again.
  t.sounds.play_once(2);
  AsciiDown(*t.run, 'c');
  EXPECT_EQ(s.announcement_counter, 2);

  // Past the last announcement the key does nothing.
  t.stop_all();
  s.announcement_counter = 5;
  AsciiDown(*t.run, 'c');
  EXPECT_EQ(s.announcement_counter, 5);
  for (int k = 0; k < 4; ++k) EXPECT_FALSE(t.playing(k)) << k;
}

}  // namespace
}  // namespace cabsim
