// The tables of the three USB controller kinds: the Windows pad's bands and
// their limits, the PlayStation pad's codes, the OHC-PC01's patterns, and the
// handle positions they set.
#include "input/usb_controller.h"

#include <gtest/gtest.h>

#include "input/controller_handles.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

PadState pad(int32_t x, int32_t y, uint16_t buttons = 0) {
  return pad_state(JoystickReading{x, y, buttons, true});
}

TEST(UsbController, ButtonCodesAndTheStateSum) {
  // Buttons 4 .. 7 make M; 0 .. 3 and 8 .. 15 make E.
  PadState p = pad(10, -3, (1u << 0) | (1u << 3) | (1u << 5) | (1u << 7) | (1u << 8) | (1u << 15));
  EXPECT_EQ(p.m, 2 + 8);
  EXPECT_EQ(p.e, 1 + 8 + 16 + 2048);
  EXPECT_EQ(p.sum(), 10 - 3 + 10 + 2073);
  // Readings beyond the axis are held to it.
  EXPECT_EQ(pad_state(JoystickReading{INT32_MAX, INT32_MIN, 0, true}).sum(), 32767 - 32768);
}

TEST(UsbController, WindowsPadBandsLeaveTheHandleOnALimit) {
  struct Case {
    int32_t reading;
    std::optional<int32_t> notch;
  };
  for (const Case& c : {Case{32767, 0}, Case{0, 0}, Case{-1, 1}, Case{-4999, 1}, Case{-5000, {}},
                        Case{-5001, 2}, Case{-12000, {}}, Case{-19999, 3}, Case{-20000, {}},
                        Case{-29999, 4}, Case{-30000, {}}, Case{-30001, 5}, Case{-32768, 5}})
    EXPECT_EQ(windows_pad(pad(0, c.reading)).power_notch, c.notch) << "Y " << c.reading;
  for (const Case& c : {Case{-32768, 0},
                        Case{0, 0},
                        Case{1, 1},
                        Case{1000, {}},
                        Case{1001, 2},
                        Case{4000, {}},
                        Case{5999, 3},
                        Case{6000, {}},
                        Case{7999, 4},
                        Case{8000, {}},
                        Case{9000, 5},
                        Case{9500, {}},
                        Case{10999, 6},
                        Case{11000, {}},
                        Case{11500, 7},
                        Case{12000, {}},
                        Case{12999, 8},
                        Case{13000, {}},
                        Case{13001, kControllerEmergency},
                        Case{32767, kControllerEmergency}})
    EXPECT_EQ(windows_pad(pad(c.reading, 0)).brake_step, c.notch) << "X " << c.reading;
  // Buttons 0 .. 5 in order; the Enter key-down stands as a carriage return.
  EXPECT_EQ(windows_pad(pad(0, 0, 0x3F)).posted, "9137\rs");
  EXPECT_EQ(windows_pad(pad(0, 0, 1u << 6)).posted, "");
}

TEST(UsbController, PlayStationPadFirstEqualCode) {
  PadCodes codes;
  // All codes 0 (nothing in the settings): a sum of 0 is notch 0 and M = 0
  // releases the brake; nothing else matches.
  PadDecision d = playstation_pad(pad(0, 0), codes);
  EXPECT_EQ(d.power_notch, 0);
  EXPECT_EQ(d.brake_step, 0);
  d = playstation_pad(pad(20000, -20000, 1u << 4), codes);  // X + E + Y = 0, M = 1
  EXPECT_EQ(d.power_notch, 0);
  EXPECT_FALSE(d.brake_step);
  // Real codes: the first equal one wins, EB is the emergency.
  for (int i = 0; i < PadCodes::kCount; ++i) codes.codes[static_cast<size_t>(i)] = 100 + i;
  codes.codes[3] = 101;  // P3 equal to P1: P1 comes first
  EXPECT_EQ(playstation_pad(pad(0, 0), codes).power_notch, std::nullopt);
  EXPECT_EQ(playstation_pad(pad(101, 0), codes).power_notch, 1);
  codes.codes[15] = 15;  // EB = M of buttons 4 .. 7
  d = playstation_pad(pad(0, 0, 0xF0), codes);
  EXPECT_EQ(d.brake_step, kControllerEmergency);
  codes.codes[1] = 1 + 32;  // P1 = buttons 0 and 9
  d = playstation_pad(pad(0, 0, (1u << 0) | (1u << 9)), codes);
  EXPECT_EQ(d.power_notch, 1);
  EXPECT_EQ(d.posted, "1");  // button 9
  EXPECT_EQ(playstation_pad(pad(0, 0, (1u << 1) | (1u << 2) | (1u << 3) | (1u << 8)), codes).posted,
            "379r");
}

TEST(UsbController, OhcPc01Patterns) {
  // M from buttons 4 .. 7 (1, 2, 4, 8); E from buttons 8 and 9 (16, 32).
  auto ohc = [](int32_t m, int32_t e, int32_t y = 0) {
    uint16_t b = static_cast<uint16_t>(m << 4);
    if (e & 16) b |= 1u << 8;
    if (e & 32) b |= 1u << 9;
    return ohc_pc01(pad(0, y, b));
  };
  EXPECT_EQ(ohc(4, 16).power_notch, 0);  // neutral: both handles
  EXPECT_EQ(ohc(4, 16).brake_step, 0);
  EXPECT_EQ(ohc(12, 48).power_notch, 5);
  EXPECT_FALSE(ohc(12, 48).brake_step);
  EXPECT_EQ(ohc(4, 0).brake_step, 2);
  EXPECT_EQ(ohc(0, 32).brake_step, kControllerEmergency);
  EXPECT_FALSE(ohc(0, 0).power_notch);  // nothing names M = 0, E = 0
  EXPECT_FALSE(ohc(0, 0).brake_step);
  EXPECT_EQ(ohc(0, 0, -1).posted, "f");
  EXPECT_EQ(ohc(0, 0, 0).posted, "n");
  EXPECT_EQ(ohc(0, 0, 5).posted, "b");
  EXPECT_EQ(ohc_pc01(pad(0, 0, (1u << 0) | (1u << 2))).posted, "37n");
  EXPECT_EQ(pad_decision(0, pad(0, -32768), PadCodes{}).posted, "");  // kind 0: no table
}

TEST(UsbController, DecisionsSetPositionsThroughNotchSelect) {
  const TrainParams train = test::TrainFileText{}.read();  // 4 notches, 8 brake positions
  RunState s;
  s.hold_active = 1;
  PadDecision d;
  d.power_notch = 5;
  EXPECT_TRUE(apply_pad_decision(s, train, d));
  EXPECT_EQ(s.power_handle, 4);  // the mode's highest
  EXPECT_EQ(s.power_change_pending, 1);
  EXPECT_EQ(s.brake_change_pending, 0);
  EXPECT_EQ(s.hold_active, 1);  // the brake was not set
  d = {};
  d.brake_step = 8;
  apply_pad_decision(s, train, d);
  EXPECT_EQ(s.brake_handle, -8);
  EXPECT_EQ(s.hold_active, 0);
  EXPECT_EQ(s.straight_air_change_pending, 1);
  EXPECT_FALSE(apply_pad_decision(s, train, PadDecision{}));

  // A train with more brake positions than the controller's steps: the
  // emergency position is still the emergency.
  const TrainParams long_brake = test::TrainFileText{}.set("[Brake]", "12").read();
  set_controller_brake(s, long_brake, kControllerEmergency);
  EXPECT_EQ(s.brake_handle, -12);
  set_controller_brake(s, long_brake, 8);
  EXPECT_EQ(s.brake_handle, -8);
}

}  // namespace
}  // namespace cabsim
