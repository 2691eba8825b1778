// The diesel railcar: stall in the last gear, automatic and manual gear
// changes of one second, engine speed, engine start and stop.
#include <gtest/gtest.h>

#include "dynamics/diesel_engine.h"
#include "input/handle_model.h"
#include "input/masconupdate.h"
#include "sound/sound_channels_silent.h"
#include "state/virtual_clock.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

constexpr int kStartSound = 20;
constexpr int kStopSound = 21;

/// Three gears: neutral (row 0), 1 up to 40 km/h, 2 from 30 km/h.
TrainParams diesel(const std::string& gear_type) {
  return test::TrainFileText{}
      .remove("[Notch]")
      .set("[Engine_Type]", "0")
      .set("[Gear_Type]", gear_type)
      .set("[EngineRate]", "0,0\n600,30\n500,15\n#")
      .set("[EngineSound2]",
           "1\n2\n" + std::to_string(kStartSound) + "\n" + std::to_string(kStopSound))
      .set("[Engine]",
           "0\n0\n0\n0\n0\n0\n"
           "0\n20\n40\n2.0\n1.5\n0.5\n"
           "30\n60\n90\n1.0\n0.8\n0.3\n#")
      .read();
}

struct Diesel {
  explicit Diesel(const std::string& gear_type = "AT") : train(diesel(gear_type)) {
    sounds.set_length(kStartSound, 1000);
    sounds.set_length(kStopSound, 1000);
  }
  TrainParams train;
  CabworksText texts = test::test_texts();
  SilentSoundChannels sounds;
  RunState s = initial_run_state(train);
  RunView view;

  /// The diesel steps of one 100 ms tick, in the tick's order.
  void tick() {
    automatic_gear_selection_step(s, train);
    if (gear_change_step(s, train)) masconupdate(s, view, train, texts);
    engine_speed_step(s, train);
    engine_stall_step(s, train, sounds);
    gear_reset_step(s, train);
  }
};

TEST(DieselEngine, DrivingOffInTheLastGearStallsTheEngine) {
  Diesel d("MT");
  ASSERT_EQ(d.train.Engine_count, 3);
  d.s.effective_power_notch = 0;
  gear_lever(d.s, d.view, d.train, d.texts, +1);
  gear_lever(d.s, d.view, d.train, d.texts, +1);  // never above the last row
  EXPECT_EQ(d.s.target_gear, 2);
  d.s.effective_power_notch = 1;
  for (int i = 0; i < 10; ++i) d.tick();  // the change to gear 2 takes a second
  EXPECT_EQ(d.s.gear, 2);
  EXPECT_EQ(d.s.engine_running, 0);
  EXPECT_EQ(d.s.effective_power_notch, 0);
  EXPECT_EQ(d.sounds.status(kStopSound), ChannelStatus::kPlayingOnce);
  d.sounds.advance(1000);
  d.s.effective_power_notch = 1;
  d.tick();  // a stopped engine does not stall again
  EXPECT_EQ(d.sounds.status(kStopSound), ChannelStatus::kStopped);
}

TEST(DieselEngine, AutomaticGearsChangeOnceThroughE2AndNeverAboveTheLastRow) {
  Diesel d;
  d.s.effective_power_notch = 2;
  d.s.speed = 41;  // beyond e2 of gear 1
  d.tick();
  EXPECT_EQ(d.s.target_gear, 2);
  EXPECT_EQ(d.s.gear_change_in_progress, 1);
  for (int i = 0; i < 8; ++i) {  // ten ticks with the first one
    d.tick();
    ASSERT_EQ(d.s.gear, 1) << i;  // still changing: no traction meanwhile
  }
  d.tick();
  EXPECT_EQ(d.s.gear, 2);
  EXPECT_EQ(d.s.gear_change_in_progress, 0);
  d.s.speed = 95;  // beyond e2 of the last row: no further change
  for (int i = 0; i < 30; ++i) d.tick();
  EXPECT_EQ(d.s.target_gear, 2);
  EXPECT_EQ(d.s.gear, 2);
  // Below 10 km/h automatic gears return to gear 1.
  d.s.speed = 9;
  d.tick();
  EXPECT_EQ(d.s.gear, 1);
}

TEST(DieselEngine, ManualGearsWaitForPowerAndChangeInOneSecond) {
  Diesel d("MT");
  d.s.speed = 50;
  for (int i = 0; i < 20; ++i) d.tick();
  EXPECT_EQ(d.s.gear, 1);  // no automatic change
  gear_lever(d.s, d.view, d.train, d.texts, +1);
  for (int i = 0; i < 20; ++i) d.tick();
  EXPECT_EQ(d.s.gear, 1);  // no power yet
  d.s.effective_power_notch = 1;
  d.tick();
  EXPECT_EQ(d.s.gear_change_in_progress, 1);
  for (int i = 0; i < 9; ++i) d.tick();
  EXPECT_EQ(d.s.gear, 2);
  EXPECT_EQ(d.s.gear_change_in_progress, 0);
}

TEST(DieselEngine, EngineSpeedClimbsToItsTargets) {
  Diesel d("MT");
  d.s.gear = d.s.target_gear = 0;
  d.s.effective_power_notch = 3;
  for (int i = 0; i < 23; ++i) d.tick();
  EXPECT_EQ(d.s.engine_speed, 92);
  d.tick();
  EXPECT_EQ(d.s.engine_speed, 95);
  d.tick();
  EXPECT_EQ(d.s.engine_speed, 95);
  d.s.effective_power_notch = 0;
  d.tick();
  EXPECT_EQ(d.s.engine_speed, 90);

  // In gear 1 at 10 km/h the target is 600 + 10 x 30.
  d.s.gear = d.s.target_gear = 1;
  d.s.speed = 10;
  d.s.engine_speed = 895;
  d.s.effective_power_notch = 1;
  d.tick();
  EXPECT_EQ(d.s.engine_speed_target, 900);
  EXPECT_EQ(d.s.engine_speed, 895.1L);
  d.s.engine_speed = 880;
  d.tick();
  EXPECT_EQ(d.s.engine_speed, 882);
  d.s.effective_power_notch = 0;
  d.tick();
  EXPECT_EQ(d.s.engine_speed, 879);
}

TEST(DieselEngine, StartWaitsSevenHundredMillisecondsAndStopPlaysItsSound) {
  Diesel d;
  VirtualClock clock;
  engine_stop(d.s, d.train, d.sounds);
  EXPECT_EQ(d.s.engine_running, 0);
  EXPECT_EQ(d.sounds.status(kStopSound), ChannelStatus::kPlayingOnce);
  EXPECT_EQ(engine_start(d.s, d.train, d.sounds, clock), EngineItem::kRun);
  EXPECT_EQ(clock.milliseconds(), 700);
  EXPECT_EQ(d.s.engine_running, 1);
  EXPECT_EQ(d.sounds.status(kStartSound), ChannelStatus::kPlayingOnce);
  // Starting a running engine plays nothing.
  d.sounds.stop(kStartSound);
  engine_start(d.s, d.train, d.sounds, clock);
  EXPECT_EQ(d.sounds.status(kStartSound), ChannelStatus::kStopped);
}

}  // namespace
}  // namespace cabsim
