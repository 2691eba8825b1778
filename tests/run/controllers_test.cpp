// The controllers on a whole run: serial lines assembled at the carriage
// return and matched against the key map, the pad polled by the tick with
// its state sum, and the keys both post, handled afterwards as typed keys.
#include "run/controllers.h"

#include <gtest/gtest.h>

#include "data/mascon_file.h"
#include "input/usb_controller.h"
#include "run/start_pause.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

using test::TestRun;

constexpr int kHorn = 40;

/// The 23 codes a controller might send, one a line, then three unused.
std::string key_map_text() {
  return "P1   \nP2   \nP3   \nP4   \nP5   \nP6   \nN\nB1\nB2\nB3\nB4\nB5\nB6\nB7\nB8\n"
         "EB\nRF\nRN\nRB\nSW0\nSW3\nSW7\nSW1\nX\nY\nZ\n";
}

struct Controllers : TestRun {
  explicit Controllers(const std::string& key_map = key_map_text())
      : TestRun(test::TrainFileText{}.set("[Sound_Horn]", std::to_string(kHorn))) {
    run->mascon = read_mascon_bytes(key_map);
    sounds.set_length(test::kSoundEB, 3000);
    sounds.set_length(kHorn, 3000);
    start1Click(*run);
  }
  /// One tick, and the keys it posted handled after it, as the form does.
  void tick() {
    run_for(100);
    deliver_posted_keys(*run);
  }
  void serial(std::string_view text) {
    RxChar(*run, text);
    deliver_posted_keys(*run);
  }
};

/// A joystick a test sets; unplugged until set.
class TestPad final : public Joystick {
 public:
  JoystickReading reading;
  int polls = 0;
  JoystickReading poll() override {
    ++polls;
    return reading;
  }
  void set(int32_t x, int32_t y, uint16_t buttons = 0) { reading = {x, y, buttons, true}; }
};

TEST(SerialController, LinesEndAtTheCarriageReturnAndTheRestWaits) {
  Controllers c;
  c.serial("P3   ");
  EXPECT_EQ(c.s().power_handle, 0);  // no line yet
  EXPECT_EQ(c.s().serial_pending, "P3   ");
  // The line ends; what follows in the same event starts the next line.
  c.serial("\rB2\r");
  c.serial("\nN");  // the line feed of a CR LF line end
  EXPECT_EQ(c.s().serial_pending, "N");
  EXPECT_EQ(c.s().power_handle, 0);  // P3 then B2, which takes power off
  EXPECT_EQ(c.s().brake_handle, -2);
  EXPECT_EQ(c.v().value_display_caption, "B2");
  c.serial("\r");
  EXPECT_EQ(c.s().brake_handle, 0);
  EXPECT_EQ(c.s().serial_pending, "");
  // A line longer than five characters matches by its first five.
  c.serial("P2   and more\r");
  EXPECT_EQ(c.s().power_handle, 2);
  EXPECT_EQ(c.v().brake_text, "ブレーキ緩め");  // masconupdate followed
  // A notch the train lacks gives the mode's highest (four notches).
  c.serial("P6   \r");
  EXPECT_EQ(c.s().power_handle, 4);
  EXPECT_EQ(c.s().power_change_pending, 1);
  EXPECT_EQ(c.s().electric_brake_change_pending, 1);
}

TEST(SerialController, EmergencyReverserAndPostedKeys) {
  Controllers c;
  c.s().vigilance_counter = 500;
  c.serial("EB\r");
  EXPECT_EQ(c.s().brake_handle, -8);
  EXPECT_EQ(c.sounds.status(test::kSoundEB), ChannelStatus::kPlayingOnce);
  EXPECT_EQ(c.s().vigilance_counter, 0);
  c.sounds.advance(2500);
  c.serial("EB\r");  // restarted from its beginning while still playing
  c.sounds.advance(1000);
  EXPECT_EQ(c.sounds.status(test::kSoundEB), ChannelStatus::kPlayingOnce);
  // The reverser moves only while standing; the line still counts as input.
  c.s().speed = 2;
  c.s().vigilance_counter = 500;
  c.serial("RB\r");
  EXPECT_EQ(c.s().reverser, 1);
  EXPECT_EQ(c.s().vigilance_counter, 0);
  c.s().speed = 0.5L;
  c.serial("RB\r");
  EXPECT_EQ(c.s().reverser, -1);
  EXPECT_EQ(c.v().backward_lamp, 1);
  // Entry 20 posts "3", handled as the horn key after the event.
  RxChar(*c.run, "SW3\r");
  EXPECT_EQ(c.s().posted_keys, "3");
  EXPECT_EQ(c.sounds.status(kHorn), ChannelStatus::kStopped);
  deliver_posted_keys(*c.run);
  EXPECT_EQ(c.sounds.status(kHorn), ChannelStatus::kPlayingOnce);
  EXPECT_EQ(c.s().posted_keys, "");
}

TEST(SerialController, EqualEntriesAllActAndMissingOnesNever) {
  // Entries 0 and 7 equal: P1 then B1, in order; the map ends at line 8
  // (a "#" line), so the later codes never match, even an empty line.
  Controllers c("AA\nP2\nP3\nP4\nP5\nP6\nN\nAA\n#\nB2\n");
  c.serial("AA\r");
  EXPECT_EQ(c.s().power_handle, 0);
  EXPECT_EQ(c.s().brake_handle, -1);
  c.serial("B2\r");
  EXPECT_EQ(c.s().brake_handle, -1);
  // A code longer than five characters never matches, nor a blank line of
  // the file an empty line.
  Controllers d("LONGER\n\n\n\n\n\n\n");
  d.serial("LONGER\r");
  d.serial("\r");
  EXPECT_EQ(d.s().power_handle, 0);
  EXPECT_EQ(d.s().brake_handle, -8);
}

TEST(SerialController, StrangeInputStaysBoundedAndMovesNothing) {
  Controllers c;
  const RunState before = c.s();
  // A CR alone, binary bytes, NUL: lines that match nothing.
  c.serial("\r");
  c.serial(std::string("\0\xff\x81\x7f\r", 5));
  EXPECT_EQ(c.v().value_display_caption, "\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(c.s().power_handle, before.power_handle);
  EXPECT_EQ(c.s().brake_handle, before.brake_handle);
  // Without a carriage return for a long time the pending text stops
  // growing at its bound; the line's start still decides.
  for (int i = 0; i < 1000; ++i) c.serial("P4   garbage without an end ");
  EXPECT_EQ(c.s().serial_pending.size(), kMaxSerialLine);
  c.serial("\r");
  EXPECT_EQ(c.s().power_handle, 4);
  // One event of many lines: each acts, the posted keys are bounded.
  std::string flood;
  for (int i = 0; i < 20000; ++i) flood += "SW0\r\n";
  RxChar(*c.run, flood);
  EXPECT_EQ(c.s().posted_keys.size(), kMaxPostedKeys);
  deliver_posted_keys(*c.run);
}

TEST(SerialController, PowerAfterAStopRaisesTheDepartureCall) {
  Controllers c;
  c.s().departure_call_pending = 1;
  c.serial("B3\r");
  EXPECT_EQ(c.s().departure_call_pending, 1);
  c.serial("P1   \r");
  EXPECT_EQ(c.s().departure_call_pending, 0);
}

TEST(UsbController, TickPollsOnlyForPadKindsAndActsOnChange) {
  Controllers c;
  TestPad pad;
  c.run->joystick = &pad;
  pad.set(0, -25000);  // Windows pad: notch 4
  c.run_for(200);
  EXPECT_EQ(pad.polls, 0);  // the standard controller does not poll
  controller_kind_click(*c.run, kWindowsPad);
  c.s().brake_handle = -3;
  c.run_for(100);
  EXPECT_EQ(pad.polls, 1);
  EXPECT_EQ(c.s().power_handle, 4);
  EXPECT_EQ(c.s().brake_handle, 0);  // X = 0: released
  EXPECT_EQ(c.s().last_state_sum, -25000);
  // The same sum is no change: a brake set by the keys stays.
  c.s().brake_handle = -3;
  pad.set(5000, -30000);  // X and Y moved by the same amount in opposite ways
  c.run_for(100);
  EXPECT_EQ(c.s().brake_handle, -3);
  EXPECT_EQ(c.s().power_handle, 4);
  // On a limit the handle keeps its place: Y = -30000 leaves notch 4.
  pad.set(5001, -30000);
  c.run_for(100);
  EXPECT_EQ(c.s().power_handle, 4);
  EXPECT_EQ(c.s().brake_handle, -3);  // 4000 < X < 6000: B3
}

TEST(UsbController, APulledOutPadMovesNothingAndIsFoundAgain) {
  Controllers c;
  TestPad pad;
  c.run->joystick = &pad;
  controller_kind_click(*c.run, kWindowsPad);
  pad.set(14000, 0);  // emergency
  c.run_for(100);
  EXPECT_EQ(c.s().brake_handle, -8);
  pad.reading = JoystickReading{};  // pulled out: zeros, which would release the brake
  c.run_for(300);
  EXPECT_EQ(c.s().brake_handle, -8);
  pad.set(2000, 0);  // in again
  c.run_for(100);
  EXPECT_EQ(c.s().brake_handle, -2);
  c.run->joystick = nullptr;  // no joystick service at all
  c.run_for(100);
  EXPECT_EQ(c.s().brake_handle, -2);
}

TEST(UsbController, PostedKeysAfterTheTickAndTheDebugCaption) {
  Controllers c;
  TestPad pad;
  c.run->joystick = &pad;
  controller_kind_click(*c.run, kWindowsPad);
  debug1Click(*c.run, true);
  // Button 2 is the horn ("3"), button 4 the Enter key-down (the calling key).
  pad.set(0, -1000, (1u << 2) | (1u << 4));
  c.s().vigilance_counter = 100;
  USBScan(*c.run);
  EXPECT_EQ(c.s().posted_keys, "3\r");
  EXPECT_EQ(c.s().vigilance_counter, 0);
  EXPECT_EQ(c.v().window_caption, "X:0 Y:-1000");
  EXPECT_EQ(c.sounds.status(kHorn), ChannelStatus::kStopped);
  deliver_posted_keys(*c.run);
  EXPECT_EQ(c.sounds.status(kHorn), ChannelStatus::kPlayingOnce);
  // Held down, a button posts nothing more until the state changes.
  USBScan(*c.run);
  EXPECT_EQ(c.s().posted_keys, "");
  debug1Click(*c.run, false);
  EXPECT_EQ(c.v().window_caption, kDesignCaption);
  c.run_for(100);  // the line name comes back with the tick
  EXPECT_NE(c.v().window_caption, kDesignCaption);
}

TEST(UsbController, PlayStationPadWithNoCodesAndTheOhcReverser) {
  Controllers c;
  TestPad pad;
  c.run->joystick = &pad;
  controller_kind_click(*c.run, kPlayStationPad);
  // Codes all 0: a pad at rest never acts (its sum is the start's 0) ...
  pad.set(0, 0);
  c.run_for(100);
  EXPECT_EQ(c.s().brake_handle, -8);
  // ... and any state whose X + E + Y is 0 is notch 0, M = 0 the released brake.
  pad.set(0, 0, 1u << 0);  // E = 1
  c.run_for(100);
  EXPECT_EQ(c.s().brake_handle, 0);
  c.s().power_handle = 2;
  pad.set(3000, -3000, 1u << 5);  // M = 2: no brake code; X + E + Y = 0
  c.run_for(100);
  EXPECT_EQ(c.s().power_handle, 0);
  EXPECT_EQ(c.s().brake_handle, 0);

  controller_kind_click(*c.run, kOhcPc01);
  pad.set(0, -20000, (1u << 7) | (1u << 6) | (1u << 8) | (1u << 9));  // M 12, E 48: P5
  c.tick();
  EXPECT_EQ(c.s().power_handle, 4);
  EXPECT_EQ(c.s().reverser, 1);  // "f" posted and handled
  c.s().speed = 0;
  pad.set(0, 20000, (1u << 7) | (1u << 6) | (1u << 8) | (1u << 9));
  c.tick();
  EXPECT_EQ(c.s().reverser, -1);  // "b"
}

}  // namespace
}  // namespace cabsim
