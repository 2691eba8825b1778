// The station step over whole runs: the start at the first station, arrival
// in the stop zone, the melody and the departure at the timetabled time,
// pass stations, the crew change and the end of the run at the last station.
#include <gtest/gtest.h>

#include "operation/calls.h"
#include "operation/doors.h"
#include "operation/station_run.h"
#include "operation/stations.h"
#include "run/keyboard.h"
#include "run/start_pause.h"
#include "state/run_random.h"

namespace cabsim {
namespace {

using test::StationRun;

/// The doors shut and the lamp lit, as after a departure.
void doors_shut(Run& run) {
  run.state.doors_open = 0;
  run.state.doors_not_closed = 0;
  set_door_closed_lamp(run.state, run.view.panel, true);
}

TEST(Stations, ARunFromTheFirstStationClosesItsDoorsAtDepartureAndPowersAway) {
  using namespace test;
  StationRun t;
  RunState& s = t.s();
  RunView& view = t.v();
  EXPECT_EQ(s.clock, kFirstDeparture - 20 * 30);  // the melody ends at the departure
  start1Click(*t.run);
  t.tick();
  // The start announcement, and the melody at once (09:59:40 is past).
  EXPECT_TRUE(t.playing(kStartCall));
  EXPECT_TRUE(t.playing(kMelody));
  EXPECT_EQ(view.clock_text, "09:59:40");
  EXPECT_EQ(s.doors_open, 1);
  EXPECT_EQ(s.current_station, 0);
  EXPECT_EQ(t.station(0).doors_opened, 1);
  EXPECT_EQ(s.departure_call_pending, 1);
  EXPECT_EQ(s.next_station, 2);  // the pass station is no stop
  EXPECT_EQ(s.target_stop_position, t.station(2).stop_position);
  EXPECT_EQ(view.stop_picture_shown, 1);
  EXPECT_EQ(s.last_station_call, kCallMelodyStarted);
  const int32_t melody_start = s.door_timer_start;
  EXPECT_GT(melody_start, kFirstDeparture - 600);

  // Power with the doors open does nothing.
  AsciiDown(*t.run, '5');
  for (int i = 0; i < 3; ++i) AsciiDown(*t.run, '8');
  EXPECT_EQ(s.power_handle, 3);
  for (int i = 0; i < 20; ++i) t.tick();
  EXPECT_EQ(s.speed, 0);
  AsciiDown(*t.run, '5');

  // The conductor closes the doors on the first tick past the departure at
  // which the melody has played its whole length.
  int32_t before = s.clock, last = s.clock;
  ASSERT_GT(t.ticks_until(
                [&] {
                  before = last;
                  last = s.clock;
                  return s.doors_open == 0;
                },
                300),
            0);
  EXPECT_GT(s.clock, kFirstDeparture);
  EXPECT_GT(s.clock - melody_start, 600);
  EXPECT_FALSE(before > kFirstDeparture && before - melody_start > 600);
  EXPECT_TRUE(t.playing(kDoorClose));
  EXPECT_EQ(s.doors_not_closed, 1);
  EXPECT_EQ(t.station(0).departed, 1);
  EXPECT_EQ(s.last_station_call, kCallDoorsClosing);

  // Closed once the close sound has ended: lamp, departure signal, count.
  int n = t.ticks_until([&] { return s.door_closed_lamp == 1; }, 100);
  EXPECT_GE(n, 29);
  EXPECT_LE(n, 31);
  EXPECT_EQ(s.doors_not_closed, 0);
  EXPECT_TRUE(t.playing(kDepSign));
  EXPECT_EQ(s.departure_counter, 1);
  EXPECT_EQ(s.call_queue[0], kCallSoundDoorsClosed);
  EXPECT_EQ(s.last_station_call, kCallDoorsClosed);

  // Now the driver powers away.
  const long double start = s.position;
  for (int i = 0; i < 3; ++i) AsciiDown(*t.run, '8');
  for (int i = 0; i < 50; ++i) t.tick();
  EXPECT_GT(s.speed, 5);
  EXPECT_GT(s.position, start + 300);
  EXPECT_EQ(s.departure_counter, 1);  // the door-closed step fired once
  EXPECT_EQ(s.fade_level, 0);
}

TEST(Stations, StandingOneCentimetreInsideTheZoneOpensTheDoors) {
  for (int offset : {1, -1}) {
    SCOPED_TRACE(offset);
    StationRun t;
    RunState& s = t.s();
    RunView& view = t.v();
    doors_shut(*t.run);
    s.position = t.station(2).zone_start + offset;
    start1Click(*t.run);
    t.tick();
    if (offset > 0) {
      EXPECT_EQ(s.doors_open, 1);
      EXPECT_EQ(s.doors_not_closed, 1);
      EXPECT_TRUE(t.playing(test::kDoorOpen));
      EXPECT_TRUE(t.playing(test::kArrival));
      EXPECT_EQ(s.current_station, 2);
      EXPECT_EQ(view.next_station_text, test::sjis("西駅"));
      // The arrival call, then the call of the opened doors.
      EXPECT_EQ(s.call_queue[0], 140);
      EXPECT_EQ(s.call_queue[1], 141);
      EXPECT_EQ(s.last_station_call, kCallDoorsOpened);
      EXPECT_EQ(s.next_station, 3);  // the empty row after the last station
    } else {
      EXPECT_EQ(s.doors_open, 0);
      EXPECT_EQ(t.station(2).in_zone, 0);
      EXPECT_FALSE(t.playing(test::kDoorOpen));
      EXPECT_EQ(view.next_station_text, test::sjis("西駅 停車"));
      EXPECT_EQ(s.call_queue[0], -1);
    }
  }

  // Rolling at 0.1 km/h is not standing; 0.09 km/h is.
  StationRun t;
  RunState& s = t.s();
  doors_shut(*t.run);
  s.position = t.station(2).stop_position;
  s.speed = 0.1L;
  station_step(*t.run);
  EXPECT_EQ(s.doors_open, 0);
  s.speed = 0.09L;
  station_step(*t.run);
  EXPECT_EQ(s.doors_open, 1);
}

TEST(Stations, TheLastStationEndsTheRunOnceItsArrivalSoundHasEnded) {
  StationRun t;
  RunState& s = t.s();
  doors_shut(*t.run);
  s.position = t.station(2).stop_position;
  start1Click(*t.run);
  t.tick();
  ASSERT_TRUE(t.playing(test::kArrival));  // four seconds
  EXPECT_EQ(s.fade_level, 0);
  int n = t.ticks_until([&] { return s.fade_level != 0; }, 100);
  EXPECT_GE(n, 38);
  EXPECT_LE(n, 41);
  EXPECT_FALSE(t.playing(test::kArrival));
  EXPECT_EQ(s.fade_level, 1);
  EXPECT_EQ(s.run_ended, 1);
  s.fade_level = 0;  // the fade-out is asked for once
  t.tick();
  EXPECT_EQ(s.fade_level, 0);
}

TEST(Stations, APassStationOnlyChangesTheTexts) {
  StationRun t;
  RunState& s = t.s();
  RunView& view = t.v();
  station_step(*t.run);  // at the first stop
  EXPECT_EQ(view.stop_picture_shown, 1);
  s.position = t.station(0).zone_end + 1;
  s.speed = 60;
  station_step(*t.run);
  EXPECT_EQ(view.next_station_text, test::sjis("中駅 通過"));
  EXPECT_EQ(view.stop_picture_shown, 0);  // left the stop zone
  EXPECT_EQ(t.station(0).in_zone, 0);

  s.position = t.station(1).stop_position;
  station_step(*t.run);
  EXPECT_EQ(view.next_station_text, test::sjis("中駅 通過"));
  EXPECT_TRUE(t.playing(test::kZoneSound));  // its zone sound, looped
  EXPECT_EQ(t.sounds.status(test::kZoneSound), ChannelStatus::kLooping);
  EXPECT_EQ(s.current_station, 0);
  EXPECT_EQ(view.stop_picture_shown, 0);
  EXPECT_EQ(t.station(1).in_zone, 0);

  s.position = t.station(1).zone_end + 1;
  station_step(*t.run);
  EXPECT_EQ(view.next_station_text, test::sjis("西駅 停車"));
  EXPECT_FALSE(t.playing(test::kZoneSound));  // in no zone: zone sounds stop
  EXPECT_EQ(s.current_station, 0);

  // Even standing in a pass station's zone opens nothing.
  s.position = t.station(1).stop_position;
  s.speed = 0;
  doors_shut(*t.run);
  station_step(*t.run);
  EXPECT_EQ(s.doors_open, 0);
}

TEST(Stations, StopsWithoutDoorsTheFurtherKindAndTheCrewChange) {
  // A stop without doors: the melody and the departure signal together.
  StationRun t(0,
               "東駅,2,100,1000,1,2,0,1080000,60,1,0,0,0,300,5,0,50\n"
               "北駅,3,4000,1000,1,2,0,1110000,60,1,0,0,0,300,5,0,50\n");
  RunState& s = t.s();
  RunView& view = t.v();
  EXPECT_EQ(s.doors_open, 0);
  start1Click(*t.run);
  t.tick();
  EXPECT_EQ(s.doors_open, 0);
  EXPECT_TRUE(t.playing(test::kMelody));
  EXPECT_TRUE(t.playing(test::kDepSign));
  EXPECT_EQ(s.next_station, 1);
  s.position = t.station(0).zone_end + 1;
  station_step(*t.run);
  EXPECT_EQ(view.next_station_text,
            test::sjis("回送"));  // the further kind: the information line alone

  // The crew-change station asks once; the default 999 never does.
  StationRun crew;
  EXPECT_EQ(crew.s().crew_change_station, 999);
  station_step(*crew.run);
  EXPECT_EQ(crew.s().crew_change_requested, 0);
  crew.s().crew_change_station = 0;
  station_step(*crew.run);
  EXPECT_EQ(crew.s().crew_change_requested, 1);
  EXPECT_EQ(crew.s().run_ended, 1);
}

TEST(Stations, ARunFromALaterStopAlsoClosesItsDoors) {
  // Started at a later stop the doors are open from the set-up as at the
  // first; the start rule takes the run's start station, so the conductor
  // still closes them after the melody (keyed on station 0 they would stay
  // open for good).
  StationRun t(0,
               "東駅,0,100,1000,1,2,0,1080000,60,1,0,0,0,300,5,0,50\n"
               "南駅,0,2000,1000,1,2,0,1100000,60,1,0,0,0,300,5,0,50\n"
               "西駅,0,4000,1000,1,2,0,1110000,60,1,0,0,0,300,5,0,50\n");
  t.run->selection.start_station = 1;
  set_up_run_state(*t.run);
  RunState& s = t.s();
  EXPECT_EQ(s.clock, 1100000 - 30 * (20 + 4));  // less the melody and the arrival sound
  EXPECT_EQ(s.doors_open, 1);
  start1Click(*t.run);
  ASSERT_GT(t.ticks_until([&] { return s.door_closed_lamp == 1; }, 400), 0);
  EXPECT_GT(s.clock, 1100000);
  EXPECT_EQ(t.station(1).departed, 1);
  EXPECT_EQ(s.next_station, 2);
  EXPECT_EQ(s.fade_level, 0);
}

TEST(Stations, TheDoorSoundDrawRepeatsFromTheSameState) {
  int32_t draws[2];
  for (int32_t& draw : draws) {
    StationRun t(1);
    t.s().random_state = 12345;
    station_step(*t.run);
    draw = t.s().door_sound_draw;
    EXPECT_EQ(t.s().door_sound_limit, 50);
  }
  EXPECT_EQ(draws[0], draws[1]);
  RunState s;
  for (int i = 0; i < 1000; ++i) {
    int32_t d = draw_random(s, 100);
    ASSERT_GE(d, 0);
    ASSERT_LE(d, 99);
  }
}

}  // namespace
}  // namespace cabsim
