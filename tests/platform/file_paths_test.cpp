// Finding the files definition files name, on real folders: backslashes,
// names of another case, and Shift-JIS names stored as UTF-8 or as written.
#include "platform/file_paths.h"

#include <gtest/gtest.h>

#include "data/shift_jis.h"
#include "support/test_files.h"

namespace cabsim {
namespace {
namespace fs = std::filesystem;

TEST(ResolveFile, BackslashesAndComponentsOfAnotherCase) {
  test::TempDir dir;
  dir.write_bytes("Train/TZ100/image/Panel.bmp", "x");
  dir.write_bytes("sound/40248.wav", "x");

  EXPECT_EQ(resolve_file(dir.path(), "Train\\TZ100\\image\\Panel.bmp"),
            dir / "Train/TZ100/image/Panel.bmp");
  EXPECT_EQ(resolve_file(dir.path(), "train\\tz100\\IMAGE\\panel.BMP"),
            dir / "Train/TZ100/image/Panel.bmp");
  EXPECT_EQ(resolve_file(dir.path(), "SOUND/40248.WAV"), dir / "sound/40248.wav");
  EXPECT_EQ(resolve_file(dir / "Train", "..\\sound\\40248.wav"), dir / "sound/40248.wav");
  EXPECT_EQ(resolve_file(dir.path(), "sound\\\\40248.wav"), dir / "sound/40248.wav");
  // Absolute paths are not taken relative to the base.
  std::string absolute = (dir / "sound").string() + "\\40248.WAV";
  EXPECT_EQ(resolve_file("/nowhere", absolute), dir / "sound/40248.wav");
}

TEST(ResolveFile, AnExactMatchWinsOverOneOfAnotherCase) {
  test::TempDir dir;
  dir.write_bytes("img/a.bmp", "lower");
  dir.write_bytes("img/A.bmp", "upper");
  EXPECT_EQ(resolve_file(dir.path(), "img\\A.bmp"), dir / "img/A.bmp");
  EXPECT_EQ(resolve_file(dir.path(), "img\\a.bmp"), dir / "img/a.bmp");
}

TEST(ResolveFile, ShiftJisNamesFoundAsUtf8OrAsWritten) {
  test::TempDir dir;
  // A route folder unpacked with its names converted to UTF-8.
  dir.write_bytes("画像/停車駅.bmp", "x");
  EXPECT_EQ(resolve_file(dir.path(), utf8_to_sjis("画像\\停車駅.bmp")), dir / "画像/停車駅.bmp");
  // 表 is 0x95 0x5C in Shift-JIS: its second byte is a backslash, not a separator.
  dir.write_bytes("表示/ATS.bmp", "x");
  std::string sjis = utf8_to_sjis("表示\\ats.bmp");
  ASSERT_EQ(sjis[1], '\\');
  EXPECT_EQ(resolve_file(dir.path(), sjis), dir / "表示/ATS.bmp");
  // A folder unpacked without conversion keeps the Shift-JIS bytes on disk.
  std::string raw_name = utf8_to_sjis("音声");
  dir.write_bytes(raw_name + "/call.wav", "x");
  EXPECT_EQ(resolve_file(dir.path(), raw_name + "\\CALL.wav"), dir / (raw_name + "/call.wav"));
  // Letters outside ASCII are not folded: full-width Ａ is not ａ.
  dir.write_bytes("ａ.bmp", "x");
  EXPECT_FALSE(fs::exists(resolve_file(dir.path(), utf8_to_sjis("Ａ.bmp"))));
}

TEST(ResolveFile, AMissingFileGivesThePathAsWrittenSoOpeningFails) {
  test::TempDir dir;
  dir.write_bytes("image/panel.bmp", "x");
  fs::path missing = resolve_file(dir.path(), "image\\nothing.bmp");
  EXPECT_EQ(missing, dir / "image/nothing.bmp");
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_FALSE(fs::exists(resolve_file(dir.path(), "no\\such\\folder\\x.bmp")));
  // A file where a folder is expected, an empty name, a lone lead byte.
  EXPECT_FALSE(fs::exists(resolve_file(dir.path(), "image\\panel.bmp\\x")));
  EXPECT_EQ(resolve_file(dir.path(), ""), dir.path());
  EXPECT_FALSE(fs::exists(resolve_file(dir.path(), std::string("image\\\x82"))));
  EXPECT_FALSE(fs::exists(resolve_file(dir / "no-such-base", "image\\panel.bmp")));
}

TEST(ProgramDirectory, TheDataFolderWhenGivenElseTheExecutablesFolder) {
  test::TempDir dir;
  EXPECT_EQ(program_directory(dir.path()), dir.path());
  EXPECT_TRUE(program_directory(fs::path("relative")).is_absolute());
  fs::path own = program_directory();
  EXPECT_TRUE(fs::exists(own / "cabsim_platform_tests")) << own;
}

}  // namespace
}  // namespace cabsim
