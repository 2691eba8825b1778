// The keyboard and the wheel: the order of AsciiDown, keys before the start,
// the reverser, one lever against two handles, the wheel at the strongest
// service step, buzzer against one-man, and the virtual keys.
#include <gtest/gtest.h>

#include "run/keyboard.h"
#include "run/start_pause.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

using test::TestRun;
using test::TrainFileText;

constexpr int kHorn = 40;
constexpr int kBuzzer1 = 41;
constexpr int kBuzzer2 = 42;

TrainFileText with_sounds(TrainFileText text = TrainFileText{}) {
  return text.set("[Sound_Horn]", std::to_string(kHorn))
      .set("[Buzzer]", std::to_string(kBuzzer1) + "\n" + std::to_string(kBuzzer2))
      .set("[EB]", "1");
}

struct Keys : TestRun {
  explicit Keys(const TrainFileText& train = with_sounds(),
                const std::string& route = test::test_route_text())
      : TestRun(train, route) {
    for (int c : {kHorn, kBuzzer1, kBuzzer2, test::kSoundEB}) sounds.set_length(c, 3000);
  }
  void type(const std::string& keys) {
    for (char k : keys) AsciiDown(*run, k);
  }
};

TEST(Keyboard, KeysBeforeTheStartResetVigilanceButMoveNothing) {
  Keys k;
  k.s().vigilance_counter = 300;
  k.type("5");
  EXPECT_EQ(k.s().vigilance_counter, 0);
  EXPECT_EQ(k.s().brake_handle, -8);
  k.type("3");
  EXPECT_EQ(k.sounds.status(kHorn), ChannelStatus::kStopped);
  start1Click(*k.run);
  k.type("53");
  EXPECT_EQ(k.s().brake_handle, 0);
  EXPECT_EQ(k.v().brake_text, "ブレーキ緩め");  // refreshed after the handle rows
  EXPECT_EQ(k.sounds.status(kHorn), ChannelStatus::kPlayingOnce);
}

TEST(Keyboard, ReverserOnlyNearlyStandingAndTwoHandleKeys) {
  Keys k(with_sounds().set("[Handle]", "1"));
  start1Click(*k.run);
  k.type("n");
  EXPECT_EQ(k.s().reverser, 0);
  k.s().speed = 1.5L;
  k.type("b");
  EXPECT_EQ(k.s().reverser, 0);
  k.s().speed = 0;
  k.type("f");
  EXPECT_EQ(k.s().reverser, 1);
  // Two handles: "," releases the brake step by step, "z" moves power only.
  for (int i = 0; i < 8; ++i) k.type(",");
  EXPECT_EQ(k.s().brake_handle, 0);
  k.type("zz");
  EXPECT_EQ(k.s().power_handle, 2);
  k.type("a");
  EXPECT_EQ(k.s().power_handle, 1);
  // "2" keeps its one-lever meaning: power down first, then the brake.
  k.type("22");
  EXPECT_EQ(k.s().power_handle, 0);
  EXPECT_EQ(k.s().brake_handle, -1);
}

TEST(Keyboard, WheelUpAtTheStrongestServiceStepIsTheEmergencyKey) {
  Keys k;
  start1Click(*k.run);
  k.type("8");  // emergency -> B7, the strongest service step
  EXPECT_EQ(k.s().brake_handle, -7);
  EXPECT_EQ(wheel_character(*k.run, true), '0');
  mouse_wheel(*k.run, true);
  EXPECT_EQ(k.s().brake_handle, -8);
  EXPECT_EQ(k.sounds.status(test::kSoundEB), ChannelStatus::kPlayingOnce);
  mouse_wheel(*k.run, false);  // down posts "8"
  EXPECT_EQ(k.s().brake_handle, -7);
  mouse_wheel(*k.run, false);
  EXPECT_EQ(wheel_character(*k.run, true), '2');
  mouse_wheel(*k.run, true);
  EXPECT_EQ(k.s().brake_handle, -7);
  mouse_wheel(*k.run, false);
  EXPECT_EQ(k.s().brake_handle, -6);
  // Scroll Lock swaps "2" and "8" for typed and posted characters alike.
  keydowns(*k.run, VirtualKey::kScrollLock, false);
  mouse_wheel(*k.run, false);
  EXPECT_EQ(k.s().brake_handle, -7);
}

TEST(Keyboard, TheHandleSoundsFollowEveryKeyAgainstTheNotchesInEffect) {
  // Sounds 0 .. 49 are the train's; the apply click is 45, the notch click 46.
  std::string drive;
  for (int i = 0; i < 50; ++i) drive += "s" + std::to_string(i) + ".wav\n";
  auto lines = [](int count, int sound) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? "\n" : "") + std::to_string(sound);
    return text;
  };
  Keys k(with_sounds()
             .set("[Brake]", "8")
             .set("[Sound_BK]", lines(8, 44))
             .set("[Sound_BR]", lines(8, 44))
             .set("[Sound_BA]", lines(9, 45))
             .set("[Sound_PA]", lines(4, 46))
             .set("[Sound_PR]", lines(4, 47))
             .set("[DriveSound]", drive + "#"));
  for (int c : {44, 45, 46, 47}) k.sounds.set_length(c, 300);
  start1Click(*k.run);
  k.run_for(2000);  // the emergency brake of the start is in effect
  k.type("8");      // B7, weaker than the emergency in effect: no click
  EXPECT_EQ(k.sounds.status(45), ChannelStatus::kStopped);
  k.run_for(2000);
  k.type("8");  // B6
  k.run_for(2000);
  k.type("2");  // B7, stronger than B6 in effect: its click
  EXPECT_EQ(k.s().brake_handle, -7);
  EXPECT_EQ(k.sounds.status(45), ChannelStatus::kPlayingOnce);
  k.run_for(2000);
  for (int i = 0; i < 11; ++i) k.type("8");  // released, then P4
  EXPECT_EQ(k.s().power_handle, 4);
  EXPECT_EQ(k.sounds.status(46), ChannelStatus::kPlayingOnce);
  k.run_for(2000);
  k.type("5");  // power off: the notch-off sound
  EXPECT_EQ(k.sounds.status(47), ChannelStatus::kPlayingOnce);
  k.run_for(2000);
  k.type("2");  // B1 from running: the apply click
  EXPECT_EQ(k.s().brake_handle, -1);
  EXPECT_EQ(k.sounds.status(45), ChannelStatus::kPlayingOnce);
}

TEST(Keyboard, OneIsTheBuzzerOnTwoPersonRoutesOnly) {
  Keys k;
  start1Click(*k.run);
  k.type("1");
  EXPECT_EQ(k.sounds.status(kBuzzer1), ChannelStatus::kPlayingOnce);
  k.type("4");
  EXPECT_EQ(k.sounds.status(kBuzzer1), ChannelStatus::kStopped);
  EXPECT_EQ(k.sounds.status(kBuzzer2), ChannelStatus::kPlayingOnce);
  EXPECT_EQ(k.s().announcement_counter, 0);

  Keys one_man(with_sounds(), test::test_route_text("[OneMan]\n1\n"));
  start1Click(*one_man.run);
  one_man.type("1");
  EXPECT_EQ(one_man.sounds.status(kBuzzer1), ChannelStatus::kStopped);
  EXPECT_EQ(one_man.s().announcement_counter, 1);  // the next announcement instead
}

TEST(Keyboard, VirtualKeysForTheDebugControlsDoorSideAndTimetable) {
  Keys k(with_sounds(), test::test_route_text("[MovieStop]\n500\n#\n"));
  RunState& s = k.s();
  RunView& view = k.v();
  keydowns(*k.run, VirtualKey::kF12, true);
  EXPECT_EQ(s.speed, 10);
  keydowns(*k.run, VirtualKey::kF11, true);
  EXPECT_EQ(s.speed, 10);  // only above 10 km/h
  s.speed = 0;
  const int32_t clock = s.clock;
  keydowns(*k.run, VirtualKey::kF10, true);
  EXPECT_EQ(s.clock, clock + 900);
  keydowns(*k.run, VirtualKey::kF8, true);
  keydowns(*k.run, VirtualKey::kF5, true);
  EXPECT_EQ(s.current_frame, 100 + 1000 - 100);
  keydowns(*k.run, VirtualKey::kF10, false);  // without Shift: nothing
  EXPECT_EQ(s.clock, clock + 900);

  s.current_frame = 299;  // more than 200 frames before the movie stop
  keydowns(*k.run, VirtualKey::kBackspace, false);
  EXPECT_EQ(s.turned_back, 0);
  s.current_frame = 300;
  keydowns(*k.run, VirtualKey::kBackspace, false);
  EXPECT_EQ(s.turned_back, 1);
  EXPECT_EQ(s.current_frame, 502);

  keydowns(*k.run, VirtualKey::kPageDown, false);
  EXPECT_EQ(s.door_side_selector, 1);
  EXPECT_EQ(view.selector_lamp, 1);
  s.doors_open = 1;
  keydowns(*k.run, VirtualKey::kPageUp, false);
  EXPECT_EQ(s.door_side_selector, 1);  // not with the doors open

  keydowns(*k.run, VirtualKey::kF1, false);
  EXPECT_EQ(view.client_width, 1010);
  EXPECT_EQ(view.timetable_card_left, 830);
  keydowns(*k.run, VirtualKey::kRight, false);
  EXPECT_EQ(view.timetable_card_left, 830);  // kept within the client area
  keydowns(*k.run, VirtualKey::kLeft, false);
  EXPECT_EQ(view.timetable_card_left, 825);
  keydowns(*k.run, VirtualKey::kF1, false);
  EXPECT_EQ(view.client_width, 830);
  EXPECT_EQ(virtual_key_named("PageDown"), VirtualKey::kPageDown);
  EXPECT_EQ(virtual_key_named("F13"), std::nullopt);
}

}  // namespace
}  // namespace cabsim
