// The read rules of the settings, on the store kept in memory.
#include <gtest/gtest.h>

#include "state/settings_store.h"

namespace cabsim {
namespace {

TEST(SettingsRules, SwitchesAreReadAsAGroupWithTheirDefaults) {
  MemorySettingsStore store;
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));  // nothing stored
  store.values["hanabira"] = {{"Kanko", "1"}, {"Information", "0"}, {"ATS", "1"}};
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));  // Tunnel missing
  store.values["hanabira"]["Tunnel"] = " 1 ";
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{1, 0, 1, 1}));
  store.values["hanabira"]["ATS"] = "1x";
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));
  store.values["hanabira"]["ATS"] = "99999999999";  // does not fit
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));

  ASSERT_TRUE(store.write_switches({1, 1, 1, 0}));
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{1, 1, 1, 0}));
}

TEST(SettingsRules, PadCodesStopAtTheFirstUnreadableAndKeepTheRest) {
  MemorySettingsStore store;
  store.values["padcontroller"] = {{"P0", "5"}, {"P1", "-6"}, {"P2", "7"}, {"P3", ""}, {"P4", "9"}};
  PadCodes codes;
  codes.codes.fill(42);
  EXPECT_EQ(store.read_pad_codes(codes), 3);
  EXPECT_EQ(codes.codes[0], 5);
  EXPECT_EQ(codes.codes[1], -6);
  EXPECT_EQ(codes.codes[2], 7);
  EXPECT_EQ(codes.codes[3], 42);
  EXPECT_EQ(codes.codes[4], 42);  // readable, but after the first unreadable one

  PadCodes none;
  EXPECT_EQ(MemorySettingsStore().read_pad_codes(none), 0);
  EXPECT_EQ(none, PadCodes{});  // no key: all stay 0

  PadCodes written;
  written.codes[15] = 2048;  // EB
  ASSERT_TRUE(store.write_pad_codes(written));
  PadCodes back;
  back.codes.fill(1);
  EXPECT_EQ(store.read_pad_codes(back), PadCodes::kCount);
  EXPECT_EQ(back, written);
}

TEST(SettingsRules, TextsAreKeptAsWritten) {
  MemorySettingsStore store;
  EXPECT_EQ(store.read_text("Save2"), std::nullopt);
  ASSERT_TRUE(store.write_text("Save2", "line_do.dat,0,0,0,0,0,0"));
  EXPECT_EQ(store.read_text("Save2"), "line_do.dat,0,0,0,0,0,0");
  EXPECT_EQ(stored_integer(" -12\t"), -12);
  EXPECT_EQ(stored_integer("+3"), 3);
  EXPECT_EQ(stored_integer("0x10"), std::nullopt);
  EXPECT_EQ(stored_integer(""), std::nullopt);
}

}  // namespace
}  // namespace cabsim
