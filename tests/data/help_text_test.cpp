// The operation notes: caption and lines, their limits, and files that are
// no text at all.
#include "data/help_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/test_files.h"

namespace cabsim {
namespace {

TEST(HelpText, FirstLineIsTheCaptionTheRestTheText) {
  HelpText t = parse_help_text(test::sjis_file_text("操作説明\n8 ノッチを進める\n\n2 戻す"));
  EXPECT_EQ(t.caption, "操作説明");
  EXPECT_EQ(t.lines, (std::vector<std::string>{"8 ノッチを進める", "", "2 戻す"}));
  EXPECT_FALSE(parse_help_text("").caption.has_value());
  EXPECT_EQ(parse_help_text("\n").caption, "");
  // Only so many lines and bytes: a text without end is cut, not read whole.
  std::string many;
  for (size_t i = 0; i < kMaxHelpLines + 50; ++i) many += "x\r\n";
  EXPECT_EQ(parse_help_text(many).lines.size(), kMaxHelpLines - 1);
  const std::string endless(kMaxHelpBytes + 1000, 'a');
  EXPECT_EQ(parse_help_text(endless).caption->size(), kMaxHelpBytes);
}

TEST(HelpText, AFolderOrAPipeInItsPlaceGivesNoNotesWithoutWaiting) {
  test::TempDir dir;
  EXPECT_FALSE(read_help_text(dir / "operation.dat").caption.has_value());  // missing
  std::filesystem::create_directory(dir / "folder.dat");
  EXPECT_FALSE(read_help_text(dir / "folder.dat").caption.has_value());
  const auto pipe = dir / "pipe.dat";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(read_help_text(pipe).caption.has_value());
  EXPECT_EQ(read_help_text(dir.write_sjis("notes.dat", "ヘルプ\n本文\n")).lines,
            std::vector<std::string>{"本文"});
}

}  // namespace
}  // namespace cabsim
