// The doors: Door_operate at a stand and on the move, the one-man door key
// with its sound draw, the door-closed lamp as the latch of the door cycle
// with and without its panel picture, and the station lamps.
#include <gtest/gtest.h>

#include "operation/calls.h"
#include "operation/doors.h"
#include "operation/station_run.h"
#include "operation/stations.h"
#include "run/keyboard.h"
#include "run/run_assembly.h"
#include "run/start_pause.h"
#include "state/panel_state.h"

namespace cabsim {
namespace {

using test::StationRun;
using E = PanelElement;

TEST(Doors, DoorOperateOnlyClearsTheOpenFlagWhileMoving) {
  StationRun t;
  RunState& s = t.s();  // standing at the first stop with the doors open
  s.speed = 5;
  Door_operate(*t.run);
  EXPECT_EQ(s.doors_open, 0);
  EXPECT_EQ(s.doors_not_closed, 1);
  EXPECT_FALSE(t.playing(test::kDoorClose));
  s.doors_not_closed = 0;  // closed doors stay closed on the move
  s.speed = -0.1L;
  Door_operate(*t.run);
  EXPECT_EQ(s.doors_open, 0);
  EXPECT_FALSE(t.playing(test::kDoorOpen));
  s.speed = 0.09L;
  Door_operate(*t.run);
  EXPECT_EQ(s.doors_open, 1);
  EXPECT_EQ(s.doors_not_closed, 1);
  EXPECT_TRUE(t.playing(test::kDoorOpen));
  Door_operate(*t.run);  // and closes them again
  EXPECT_EQ(s.doors_open, 0);
  EXPECT_EQ(s.doors_not_closed, 1);
  EXPECT_TRUE(t.playing(test::kDoorClose));
}

TEST(Doors, OneManDoorsWaitForTheDoorKey) {
  StationRun t(1);
  RunState& s = t.s();
  RunView& view = t.v();
  EXPECT_EQ(view.car_count_text, "");
  start1Click(*t.run);
  for (int i = 0; i < 500; ++i) t.tick();  // 50 s: 30 s past the departure
  EXPECT_GT(s.clock, test::kFirstDeparture);
  EXPECT_EQ(s.doors_open, 1);
  EXPECT_EQ(t.station(0).departed, 0);
  EXPECT_EQ(view.car_count_text, test::sjis("ドアを閉めてください"));  // the notice to close them

  s.door_sound_draw = 10;  // within the station's 50 per cent
  AsciiDown(*t.run, 'd');
  EXPECT_EQ(s.doors_open, 0);
  EXPECT_EQ(view.car_count_text, "");
  EXPECT_TRUE(t.playing(test::kDoorClose));
  int n = t.ticks_until([&] { return s.door_closed_lamp == 1; }, 100);
  EXPECT_GE(n, 29);
  EXPECT_EQ(s.doors_not_closed, 0);
  EXPECT_EQ(s.departure_counter, 1);

  // "7" opens them again; above the percentage they work without a sound.
  s.door_sound_draw = 80;
  AsciiDown(*t.run, '7');
  EXPECT_EQ(s.doors_open, 1);
  EXPECT_FALSE(t.playing(test::kDoorOpen));
  AsciiDown(*t.run, '7');
  EXPECT_FALSE(t.playing(test::kDoorClose));
  // Opened and closed between two ticks: the lamp still lit goes dark on the
  // next tick and lights again on the one after.
  t.tick();
  EXPECT_EQ(s.door_closed_lamp, 0);
  t.tick();
  EXPECT_EQ(s.door_closed_lamp, 1);
  EXPECT_EQ(s.departure_counter, 2);

  // With a conductor the door key is no door key.
  StationRun conductor;
  start1Click(*conductor.run);
  AsciiDown(*conductor.run, 'd');
  EXPECT_EQ(conductor.s().doors_open, 1);
}

/// A run from the first stop until its doors have closed; the door-closed
/// lamp's picture present or not.
void door_cycle(bool lamp_picture) {
  StationRun t;
  RunState& s = t.s();
  RunView& view = t.v();
  view.panel[E::kLampDoor].present = lamp_picture ? 1 : 0;
  view.panel[E::kLampDoor].pattern_count = 1;
  set_up_run_state(*t.run);
  EXPECT_EQ(s.door_closed_lamp, 0);  // dark from the start: the doors are open
  if (lamp_picture) {
    EXPECT_EQ(view.panel[E::kLampDoor].visible, 0);
  }
  start1Click(*t.run);
  ASSERT_GT(t.ticks_until([&] { return s.door_closed_lamp == 1; }, 1000), 0);
  EXPECT_EQ(s.doors_not_closed, 0);
  EXPECT_EQ(s.departure_counter, 1);
  EXPECT_EQ(s.call_queue[0], kCallSoundDoorsClosed);  // the call, started in that tick
  EXPECT_EQ(s.call_queue[1], -1);
  if (lamp_picture) {
    EXPECT_EQ(view.panel[E::kLampDoor].visible, 1);
  }
  for (int i = 0; i < 50; ++i) t.tick();
  EXPECT_EQ(s.departure_counter, 1);  // lit once per cycle
  EXPECT_EQ(s.call_queue[0], -1);     // called once, and gone
}

TEST(Doors, TheDoorCycleEndsWithOrWithoutTheDoorLampPicture) {
  {
    SCOPED_TRACE("with the picture");
    door_cycle(true);
  }
  {
    SCOPED_TRACE("without the picture");
    door_cycle(false);
  }
}

TEST(Doors, StationLampsFollowTheDoorsAndTheSpecialStop) {
  for (int special : {0, 1}) {
    SCOPED_TRACE(special);
    StationRun t(0, "東駅,0,100,1000,1,2,0,1080000,60,1," + std::to_string(special) +
                        ",0,0,300,5,0,50\n西駅,0,4000,1000,1,2,0,1110000,60,1,0,0,0,300,5,0,50\n");
    RunState& s = t.s();
    RunView& view = t.v();
    for (size_t k : {0u, 1u}) {
      view.panel[other_picture(k)].present = 1;
      view.panel[other_picture(k)].visible = 1;
    }
    station_step(*t.run);  // in the zone with the doors open
    station_lamps_step(*t.run);
    EXPECT_EQ(view.panel[other_picture(0)].visible, special ? 0 : 1);
    EXPECT_EQ(view.panel[other_picture(1)].visible, special ? 1 : 0);
    s.doors_open = 0;
    station_lamps_step(*t.run);
    EXPECT_EQ(view.panel[other_picture(0)].visible, 0);
    EXPECT_EQ(view.panel[other_picture(1)].visible, 0);
    EXPECT_EQ(s.door_closed_lamp, 0);  // not closed yet
  }
}

}  // namespace
}  // namespace cabsim
