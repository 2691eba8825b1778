// Handle steps as a driver makes them: one lever with and without hold, two
// handles, emergency, neutral, power modes, the reverser and the key swap.
#include "input/handle_model.h"

#include <gtest/gtest.h>

#include <string>

#include "data/shift_jis.h"
#include "input/handle_keys.h"
#include "sound/sound_channels_silent.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

struct Cab {
  TrainParams train;
  CabworksText texts = test::test_texts();
  SilentSoundChannels sounds;
  RunState s;
  RunView view;

  explicit Cab(const TrainFileText& file) : train(file.read()) {
    s = initial_run_state(train);
    sounds.set_length(test::kSoundEB, 2000);
  }
  /// Presses the keys one after another.
  void press(const std::string& keys) {
    for (char k : keys) apply_handle_key(s, view, k, train, texts, sounds);
  }
  /// Brake and power handle as one lever position: notches positive, brake
  /// steps negative; hold is reported as "H".
  std::string lever() const {
    if (s.hold_active) return "H";
    if (s.brake_handle < 0) return "B" + std::to_string(-s.brake_handle);
    return std::to_string(s.power_handle);
  }
};

TEST(HandleModel, RunStartsInEmergencyWithReverserForward) {
  Cab cab(TrainFileText{});
  EXPECT_EQ(cab.s.reverser, 1);
  EXPECT_EQ(cab.s.power_handle, 0);
  EXPECT_EQ(cab.s.brake_handle, -8);
  EXPECT_EQ(cab.s.effective_brake_notch, -8);
  EXPECT_EQ(cab.s.straight_air_notch, -8);
  EXPECT_EQ(cab.s.electric_brake_notch, 0);
  EXPECT_EQ(cab.s.trailer_brake_cylinder.real(), 440);
  EXPECT_EQ(cab.s.main_reservoir.real(), 880);
  EXPECT_EQ(cab.s.gear, 1);
  EXPECT_EQ(cab.s.target_gear, 1);
}

TEST(HandleModel, OneLeverWithHoldStepsThroughHoldBothWays) {
  Cab cab(TrainFileText{}.set("[Hold]", "1"));
  cab.s.brake_handle = -3;
  std::string seen;
  // Upward: B3, B2, B1, hold, 0 (still leaving hold), 0 -> 1, 2.
  for (int i = 0; i < 7; ++i) {
    cab.press("8");
    seen += cab.lever() + " ";
  }
  EXPECT_EQ(seen, "B2 B1 H 0 1 2 3 ");
  // Downward: 3, 2, 1, 0, hold, B1, B2 ... stops at the strongest service step.
  seen.clear();
  for (int i = 0; i < 13; ++i) {
    cab.press("2");
    seen += cab.lever() + " ";
  }
  EXPECT_EQ(seen, "2 1 0 H B1 B2 B3 B4 B5 B6 B7 B7 B7 ");
  EXPECT_EQ(cab.s.left_hold, 0);
  // And back up from B1 through hold to notch 1.
  cab.s.brake_handle = -1;
  cab.press("8");
  EXPECT_EQ(cab.lever(), "H");
  EXPECT_EQ(cab.s.brake_handle, 0);
  cab.press("8");
  EXPECT_EQ(cab.lever(), "0");
  EXPECT_EQ(cab.s.power_handle, 0);
  cab.press("8");
  EXPECT_EQ(cab.lever(), "1");
}

TEST(HandleModel, OneLeverWithoutHoldGoesStraightFromZeroToB1) {
  Cab cab(TrainFileText{});
  cab.press("5");
  cab.press("zz");
  EXPECT_EQ(cab.lever(), "2");
  cab.press("aaa");
  EXPECT_EQ(cab.lever(), "B1");
  cab.press("aaaaaaaaaa");
  EXPECT_EQ(cab.lever(), "B7");  // "a" never reaches emergency
  cab.press("zzzzzzz");
  EXPECT_EQ(cab.lever(), "0");
  EXPECT_EQ(cab.s.power_change_pending, 1);
  EXPECT_EQ(cab.s.brake_change_pending, 1);
  EXPECT_EQ(cab.s.straight_air_change_pending, 1);
  EXPECT_EQ(cab.s.electric_brake_change_pending, 1);
  cab.press("zzzzzz");
  EXPECT_EQ(cab.lever(), "4");  // the last notch is the top
}

TEST(HandleModel, EmergencyKeysAndTheirSound) {
  Cab cab(TrainFileText{}.set("[Handle]", "1"));
  // Already in emergency: "0" plays nothing.
  cab.press("0");
  EXPECT_EQ(cab.sounds.status(test::kSoundEB), ChannelStatus::kStopped);
  cab.press("5");
  EXPECT_EQ(cab.s.brake_handle, 0);
  cab.press("zz");
  EXPECT_EQ(cab.s.power_handle, 2);
  cab.s.power_change_pending = 0;
  // "/" moves the brake handle only, with the sound, and starts the brake delays.
  cab.press("/");
  EXPECT_EQ(cab.s.brake_handle, -8);
  EXPECT_EQ(cab.s.power_handle, 2);
  EXPECT_EQ(cab.s.power_change_pending, 0);
  EXPECT_EQ(cab.s.brake_change_pending, 1);
  EXPECT_EQ(cab.sounds.status(test::kSoundEB), ChannelStatus::kPlayingOnce);
  cab.sounds.stop(test::kSoundEB);
  // "0" from service: both handles, sound.
  cab.press("5z,.");
  cab.press(".");
  EXPECT_EQ(cab.s.brake_handle, -2);
  cab.press("0");
  EXPECT_EQ(cab.s.brake_handle, -8);
  EXPECT_EQ(cab.s.power_handle, 0);
  EXPECT_EQ(cab.sounds.status(test::kSoundEB), ChannelStatus::kPlayingOnce);
  cab.sounds.stop(test::kSoundEB);
  // Under the protection emergency flag the sound is not played again.
  cab.press("5");
  cab.s.protection_emergency_flag = 1;
  cab.press("0");
  EXPECT_EQ(cab.sounds.status(test::kSoundEB), ChannelStatus::kStopped);
}

TEST(HandleModel, OneLeverQIsSilentEmergency) {
  Cab cab(TrainFileText{});
  cab.press("5zz");
  cab.press("q");
  EXPECT_EQ(cab.s.brake_handle, -8);
  EXPECT_EQ(cab.s.power_handle, 0);
  EXPECT_EQ(cab.sounds.status(test::kSoundEB), ChannelStatus::kStopped);
}

TEST(HandleModel, TwoHandlesMoveIndependently) {
  Cab cab(TrainFileText{}.set("[Handle]", "1"));
  // Brake handle up from emergency to release with ",".
  for (int i = 0; i < 8; ++i) cab.press(",");
  EXPECT_EQ(cab.s.brake_handle, 0);
  cab.press(",");
  EXPECT_EQ(cab.s.brake_handle, 0);
  cab.press("zzz");
  EXPECT_EQ(cab.s.power_handle, 3);
  // "." brakes while power stays applied; it stops at the strongest service step.
  for (int i = 0; i < 10; ++i) cab.press(".");
  EXPECT_EQ(cab.s.brake_handle, -7);
  EXPECT_EQ(cab.s.power_handle, 3);
  // "z" does not move the power handle while the brake is applied, "a" does.
  cab.press("z");
  EXPECT_EQ(cab.s.power_handle, 3);
  cab.press("a");
  EXPECT_EQ(cab.s.power_handle, 2);
  // "2" keeps its one-lever meaning: with the brake applied it neither
  // notches down (needs a released brake) nor brakes (needs power off).
  cab.press("2");
  EXPECT_EQ(cab.s.power_handle, 2);
  EXPECT_EQ(cab.s.brake_handle, -7);
  cab.press("aa");
  EXPECT_EQ(cab.s.power_handle, 0);
  cab.press("2");
  EXPECT_EQ(cab.s.brake_handle, -7);  // already the strongest service step
  // "q" is a one-lever key only.
  cab.press("q");
  EXPECT_EQ(cab.s.brake_handle, -7);
}

TEST(HandleModel, TwoHandlesWithHoldGoThroughHoldOnTheBrakeHandle) {
  Cab cab(TrainFileText{}.set("[Handle]", "1").set("[Hold]", "1"));
  cab.s.brake_handle = -2;
  cab.press(",");
  EXPECT_EQ(cab.s.brake_handle, -1);
  cab.press(",");
  EXPECT_EQ(cab.s.brake_handle, 0);
  EXPECT_EQ(cab.s.hold_active, 1);
  cab.press(",");
  EXPECT_EQ(cab.s.hold_active, 0);
  cab.press(".");
  EXPECT_EQ(cab.s.hold_active, 1);
  cab.press(".");
  EXPECT_EQ(cab.s.hold_active, 0);
  EXPECT_EQ(cab.s.brake_handle, -1);
  cab.press(".");
  EXPECT_EQ(cab.s.brake_handle, -2);
}

/// Three power modes: notches 1-2 in mode 0, 3-4 in mode 1, 5-6 in mode 2.
TrainFileText three_mode_train() {
  std::string notch;
  for (int group : {0, 0, 1, 1, 2, 2})
    notch += "3.0\n2.5\n40\n80\n0.98\n" + std::to_string(group) + "\n";
  return TrainFileText{}
      .set("[Power]", "6")
      .set("[Notch]", notch + "#")
      .set("[PowerMode]", "直列,S\n並列,P\n界磁,F\n#");
}

TEST(HandleModel, PowerModesKeepTheHandleInsideTheirNotches) {
  Cab cab(three_mode_train());
  ASSERT_EQ(cab.train.notch_group_count, 2);
  EXPECT_EQ(first_notch_of_mode(cab.train, 0), 1);
  EXPECT_EQ(first_notch_of_mode(cab.train, 1), 3);
  EXPECT_EQ(first_notch_of_mode(cab.train, 2), 5);
  EXPECT_EQ(first_notch_of_mode(cab.train, 3), 0);
  cab.press("5");
  cab.press("zzz");
  EXPECT_EQ(cab.s.power_handle, 2);  // the last notch of mode 0 is the top
  cab.press("9");
  EXPECT_EQ(cab.s.power_mode, 0);  // modes change only at notch 0
  cab.press("aa");
  cab.press("9");
  EXPECT_EQ(cab.s.power_mode, 1);
  EXPECT_EQ(cab.view.gear_text, "P");
  cab.press("z");
  EXPECT_EQ(cab.s.power_handle, 3);  // from 0 into the first notch of the mode
  EXPECT_EQ(cab.view.power_text, utf8_to_sjis("並列") + "1");  // names stay Shift-JIS
  cab.press("zz");
  EXPECT_EQ(cab.s.power_handle, 4);
  EXPECT_EQ(cab.view.power_text, utf8_to_sjis("並列") + "2");
  cab.press("a");
  EXPECT_EQ(cab.s.power_handle, 3);
  cab.press("a");
  EXPECT_EQ(cab.s.power_handle, 0);  // from the first notch straight to 0
  cab.press("w");
  EXPECT_EQ(cab.s.power_mode, 2);
  cab.press("8");
  EXPECT_EQ(cab.s.power_handle, 5);
  cab.press("2");
  EXPECT_EQ(cab.s.power_handle, 0);
  cab.press("w");
  EXPECT_EQ(cab.s.power_mode, 0);  // wraps after the last mode
  EXPECT_EQ(cab.view.gear_text, "S");
}

TEST(HandleModel, ReverserMovesOnlyAtStandstill) {
  Cab cab(TrainFileText{});
  cab.press("b");
  EXPECT_EQ(cab.s.reverser, -1);
  EXPECT_EQ(cab.view.backward_lamp, 1);
  EXPECT_EQ(cab.view.forward_lamp, 0);
  cab.s.speed = -1.0L;  // 1 km/h is still standstill
  cab.press("n");
  EXPECT_EQ(cab.s.reverser, 0);
  EXPECT_EQ(cab.view.reverser_text, "中");
  cab.s.speed = 1.01L;
  cab.press("f");
  EXPECT_EQ(cab.s.reverser, 0);
  cab.s.speed = 0;
  cab.press("f");
  EXPECT_EQ(cab.s.reverser, 1);
  EXPECT_EQ(cab.view.reverser_text, "前");
}

TEST(HandleModel, KeySwapExchangesTwoAndEight) {
  Cab cab(TrainFileText{});
  cab.press("5");
  toggle_key_swap(cab.s);
  EXPECT_EQ(swapped_key(cab.s, '2'), '8');
  EXPECT_EQ(swapped_key(cab.s, '5'), '5');
  cab.press("22");
  EXPECT_EQ(cab.s.power_handle, 2);
  cab.press("888");
  EXPECT_EQ(cab.s.brake_handle, -1);
  toggle_key_swap(cab.s);
  cab.press("8");
  EXPECT_EQ(cab.s.brake_handle, 0);
}

TEST(HandleModel, ManualDieselGearLeverNeedsPowerOff) {
  TrainFileText file;
  file.set("[Engine_Type]", "0").remove("[Notch]").set("[Gear_Type]", "MT");
  file.set("[Engine]",
           "0\n10\n30\n2.0\n1.5\n1.0\n"
           "0\n20\n40\n2.0\n1.5\n1.0\n"
           "10\n40\n70\n1.5\n1.0\n0.5\n#");
  Cab cab(file);
  cab.press("s");
  EXPECT_EQ(cab.s.target_gear, 2);
  EXPECT_EQ(cab.view.gear_text, "2段");
  cab.press("s");
  EXPECT_EQ(cab.s.target_gear, 2);  // the last row is the top gear
  cab.s.effective_power_notch = 1;
  cab.press("x");
  EXPECT_EQ(cab.s.target_gear, 2);
  cab.s.effective_power_notch = 0;
  cab.press("xxx");
  EXPECT_EQ(cab.s.target_gear, 0);
  EXPECT_EQ(cab.view.gear_text, "中立");
}

}  // namespace
}  // namespace cabsim
