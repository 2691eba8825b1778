// The handle display: brake, power, reverser and gear texts, the handle
// picture patterns, the lamps, and constant-speed engagement and release.
#include "input/masconupdate.h"

#include <gtest/gtest.h>

#include "dynamics/traction.h"
#include "input/handle_keys.h"
#include "sound/sound_channels_silent.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

TEST(Masconupdate, BrakeTextsOfStraightAirAndAutomaticBrakes) {
  CabworksText texts = test::test_texts();
  TrainParams train = TrainFileText{}.read();
  RunState s = initial_run_state(train);
  RunView view;
  masconupdate(s, view, train, texts);
  EXPECT_EQ(view.brake_text, "非常");
  s.brake_handle = -7;
  masconupdate(s, view, train, texts);
  EXPECT_EQ(view.brake_text, "B7");
  s.brake_handle = 0;
  masconupdate(s, view, train, texts);
  EXPECT_EQ(view.brake_text, "ブレーキ緩め");
  EXPECT_EQ(view.power_text, "切");

  // The automatic air brake names its four positions.
  TrainParams automatic = TrainFileText{}.set("[BrakeType]", "0").set("[Brake]", "2").read();
  ASSERT_EQ(automatic.Brake, 4);
  const char* expected[] = {"ブレーキ緩め", "緩め込め", "重なり", "重なり込め", "非常"};
  for (int b = 0; b >= -4; --b) {
    s.brake_handle = b;
    masconupdate(s, view, automatic, texts);
    EXPECT_EQ(view.brake_text, expected[-b]) << b;
  }
}

TEST(Masconupdate, HoldTextAndBrakePicture) {
  CabworksText texts = test::test_texts();
  TrainParams train = TrainFileText{}.set("[Hold]", "1").read();
  RunState s = initial_run_state(train);
  RunView view;
  s.brake_handle = 0;
  s.hold_active = 1;
  masconupdate(s, view, train, texts);
  EXPECT_EQ(view.brake_text, "抑速");
  EXPECT_EQ(view.brake_notch_pattern, 0);  // hold is the first picture
  s.hold_active = 0;
  masconupdate(s, view, train, texts);
  EXPECT_EQ(view.brake_notch_pattern, 1);  // release follows it
  s.brake_handle = -3;
  masconupdate(s, view, train, texts);
  EXPECT_EQ(view.brake_notch_pattern, 4);
  s.pattern_brake_flag = 1;
  masconupdate(s, view, train, texts);
  EXPECT_EQ(view.brake_notch_pattern, 8);  // strongest service step, B7
  s.protection_emergency_flag = 1;
  masconupdate(s, view, train, texts);
  EXPECT_EQ(view.brake_notch_pattern, 9);  // emergency, the last picture

  TrainParams plain = TrainFileText{}.read();
  RunState p = initial_run_state(plain);
  RunView p_view;
  p.brake_handle = -3;
  p.power_handle = 0;
  masconupdate(p, p_view, plain, texts);
  EXPECT_EQ(p_view.brake_notch_pattern, 3);
  p.power_handle = 2;
  masconupdate(p, p_view, plain, texts);
  EXPECT_EQ(p_view.power_notch_pattern, 2);
  EXPECT_EQ(p_view.power_text, "P2");
  // A controller position beyond the last notch names nothing: the text stays.
  p.power_handle = 9;
  masconupdate(p, p_view, plain, texts);
  EXPECT_EQ(p_view.power_text, "P2");
  EXPECT_EQ(p_view.power_notch_pattern, 9);
}

TEST(Masconupdate, ConstantSpeedEngagesWhenNotchingBackAtSpeed) {
  CabworksText texts = test::test_texts();
  TrainParams train = TrainFileText{}.set("[Const]", "3").read();
  SilentSoundChannels sounds;
  RunState s = initial_run_state(train);
  RunView view;
  apply_handle_key(s, view, '5', train, texts, sounds);
  s.effective_brake_notch = 0;
  // At 15 km/h notching back from 4 to 3 does not engage.
  s.power_handle = 4;
  s.effective_power_notch = 4;
  s.speed = 15;
  apply_handle_key(s, view, 'a', train, texts, sounds);
  EXPECT_EQ(s.constant_speed_active, 0);
  EXPECT_EQ(view.power_text, "P3");
  // Above 15 km/h it does, and the notch text shows the constant-speed label.
  s.power_handle = 4;
  s.effective_power_notch = 4;
  s.speed = 15.1L;
  apply_handle_key(s, view, 'a', train, texts, sounds);
  EXPECT_EQ(s.constant_speed_active, 1);
  EXPECT_EQ(view.constant_speed_lamp, 1);
  EXPECT_EQ(view.power_text, "定速");
  // The power delay then brings the notch down to 3: the handle matches, it stays.
  for (int i = 0; i < 5; ++i) power_notch_delay_step(s, train);
  EXPECT_EQ(s.effective_power_notch, 3);
  masconupdate(s, view, train, texts);
  EXPECT_EQ(s.constant_speed_active, 1);
  // A handle move releases it, and the handle takes effect at once.
  apply_handle_key(s, view, 'a', train, texts, sounds);
  EXPECT_EQ(s.constant_speed_active, 0);
  EXPECT_EQ(view.constant_speed_lamp, 0);
  EXPECT_EQ(s.effective_power_notch, 2);
  EXPECT_EQ(view.power_text, "P2");
}

TEST(Masconupdate, ConstantSpeedKeyOnTrainsWithConstOne) {
  CabworksText texts = test::test_texts();
  TrainParams train = TrainFileText{}.set("[Const]", "1").read();
  SilentSoundChannels sounds;
  RunState s = initial_run_state(train);
  RunView view;
  apply_handle_key(s, view, '5', train, texts, sounds);
  s.effective_brake_notch = 0;
  s.power_handle = 4;
  s.effective_power_notch = 4;
  s.speed = 10;
  apply_handle_key(s, view, 't', train, texts, sounds);
  EXPECT_EQ(s.constant_speed_active, 0);
  s.speed = 40;
  apply_handle_key(s, view, 't', train, texts, sounds);
  EXPECT_EQ(s.constant_speed_active, 1);
  EXPECT_EQ(view.power_text, "定速");
  // Protection releases it.
  s.protection_emergency_flag = 1;
  masconupdate(s, view, train, texts);
  EXPECT_EQ(s.constant_speed_active, 0);
}

}  // namespace
}  // namespace cabsim
