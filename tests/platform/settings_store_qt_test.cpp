// The settings store on real INI files: the read rules of the two groups and
// exact round trips of the saved-state texts.
#include "platform/settings_store_qt.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "data/shift_jis.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

TEST(QtSettingsStore, SwitchesRoundTripAndMissingFileGivesDefaults) {
  test::TempDir dir;
  QtSettingsStore store(SettingsFiles::in_folder(dir / "Cabworks"));
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));
  EXPECT_TRUE(std::filesystem::exists(dir / "Cabworks" / "hanabira.ini"));

  ASSERT_TRUE(store.write_switches({1, 0, 1, 1}));
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{1, 0, 1, 1}));
  // A second store on the same files sees what the first wrote.
  QtSettingsStore again(SettingsFiles::in_folder(dir / "Cabworks"));
  EXPECT_EQ(again.read_switches(), (DrivingSwitches{1, 0, 1, 1}));
}

TEST(QtSettingsStore, OneUnreadableSwitchGivesAllFourDefaults) {
  test::TempDir dir;
  // Tunnel missing: all four take 0, 1, 0, 0 although three were readable.
  dir.write_bytes("hanabira.ini", "[General]\nKanko=1\nInformation=0\nATS=1\n");
  QtSettingsStore store(SettingsFiles::in_folder(dir.path()));
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));

  dir.write_bytes("hanabira.ini", "[General]\nKanko=1\nInformation=0\nATS=1\nTunnel=yes\n");
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));

  // A value other than 0 or 1 is kept as read; the menus decide what it means.
  dir.write_bytes("hanabira.ini", "[General]\nKanko=2\nInformation=0\nATS=1\nTunnel=0\n");
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{2, 0, 1, 0}));
}

TEST(QtSettingsStore, PadCodesReadInOrderUntilTheFirstUnreadable) {
  test::TempDir dir;
  dir.write_bytes("padcontroller.ini", "[General]\nP0=10\nP1=11\nP2=-12\nP3=13\nP5=15\nB0=1\n");
  QtSettingsStore store(SettingsFiles::in_folder(dir.path()));
  PadCodes codes;
  codes.codes.fill(7);
  EXPECT_EQ(store.read_pad_codes(codes), 4);
  EXPECT_EQ(codes.codes[0], 10);
  EXPECT_EQ(codes.codes[2], -12);
  EXPECT_EQ(codes.codes[3], 13);
  // P4 is missing: P4 and everything after it keep their values, P5 too.
  for (size_t i = 4; i < codes.codes.size(); ++i) EXPECT_EQ(codes.codes[i], 7) << i;

  PadCodes all;
  for (size_t i = 0; i < all.codes.size(); ++i) all.codes[i] = static_cast<int32_t>(i * 100 - 300);
  ASSERT_TRUE(store.write_pad_codes(all));
  PadCodes back;
  EXPECT_EQ(store.read_pad_codes(back), PadCodes::kCount);
  EXPECT_EQ(back, all);
}

TEST(QtSettingsStore, SavedStateTextsKeepTheirExactBytes) {
  test::TempDir dir;
  QtSettingsStore store(SettingsFiles::in_folder(dir.path()));
  EXPECT_EQ(store.read_text("Save1"), std::nullopt);

  const std::string state = "line_up.dat,3,45,12034,1512000,4523311,0";
  ASSERT_TRUE(store.write_text("Save1", state));
  EXPECT_EQ(store.read_text("Save1"), state);

  // Station names come from Shift-JIS files and must come back byte for byte.
  const std::string title = utf8_to_sjis("花びら線（東駅～西駅）");
  ASSERT_TRUE(store.write_text("Save1Title", title));
  EXPECT_EQ(store.read_text("Save1Title"), title);
  const std::string utf8_title = "花びら線（東駅～西駅）";
  ASSERT_TRUE(store.write_text("Save2Title", utf8_title));
  EXPECT_EQ(store.read_text("Save2Title"), utf8_title);

  ASSERT_TRUE(store.write_text("Save3", ""));
  EXPECT_EQ(store.read_text("Save3"), std::string());
  // The texts live beside the switches without disturbing them.
  ASSERT_TRUE(store.write_switches({1, 1, 0, 0}));
  EXPECT_EQ(store.read_text("Save1"), state);
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{1, 1, 0, 0}));
}

TEST(QtSettingsStore, AnUnwritableFileReportsFailure) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "blocked" / "hanabira.ini");  // a folder, not a file
  QtSettingsStore store(SettingsFiles::in_folder(dir / "blocked"));
  EXPECT_FALSE(store.write_switches({1, 1, 1, 1}));
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));
  EXPECT_EQ(store.read_text("Save1"), std::nullopt);
}

TEST(QtSettingsStore, ANamedPipeInPlaceOfASettingsFileIsLeftAloneWithTheDefaults) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "hanabira.ini").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((dir / "padcontroller.ini").c_str(), 0600), 0);
  QtSettingsStore store(SettingsFiles::in_folder(dir.path()));
  // Answered at once: reading the pipe would wait for a writer for ever.
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));
  PadCodes codes;
  EXPECT_EQ(store.read_pad_codes(codes), 0);
  EXPECT_EQ(store.read_text("Save1"), std::nullopt);
  EXPECT_FALSE(store.write_switches({1, 1, 1, 1}));
  EXPECT_FALSE(store.write_pad_codes(codes));
  EXPECT_FALSE(store.write_text("Save1", "x"));
  EXPECT_EQ(std::filesystem::status(dir / "hanabira.ini").type(),
            std::filesystem::file_type::fifo);  // not replaced
}

}  // namespace
}  // namespace cabsim
