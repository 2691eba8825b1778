// The controller key map mascon.dat: its lines, the five-character match of
// controller messages and the message of a missing file.
#include "data/mascon_file.h"

#include <gtest/gtest.h>

#include "data/definition_error.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

TEST(MasconFile, ReadsCodesUntilAHashLine) {
  test::TempDir dir;
  auto path = dir.write_bytes("mascon.dat", "P1\r\nP2\r\nP3\r\n#P4\r\nP5\r\n");
  MasconMap map = read_mascon_file(path);
  EXPECT_EQ(map.count, 3);
  EXPECT_EQ(map.codes[2], "P3");
  // Actions from line 3 on never match, not even the text of the '#' line.
  EXPECT_FALSE(mascon_line_matches(map, 3, "#P4"));
  EXPECT_FALSE(mascon_line_matches(map, 4, "P5"));
  EXPECT_TRUE(mascon_line_matches(map, 0, "P1"));
  EXPECT_FALSE(mascon_line_matches(map, -1, "P1"));
  EXPECT_FALSE(mascon_line_matches(map, 99, "P1"));
}

TEST(MasconFile, ReadsAtMost26LinesAndKeepsEmptyOnes) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "C" + std::to_string(i) + "\n";
  MasconMap map = read_mascon_bytes(text);
  EXPECT_EQ(map.count, 26);
  EXPECT_EQ(map.codes[25], "C25");
  map = read_mascon_bytes("A\n\nB");  // no final line break
  EXPECT_EQ(map.count, 3);
  EXPECT_EQ(map.codes[1], "");
  EXPECT_EQ(map.codes[2], "B");
  EXPECT_EQ(read_mascon_bytes("").count, 0);
}

TEST(MasconFile, FirstFiveCharactersOfAMessageAreComparedWhole) {
  const std::string message = "P5   trailing text";
  EXPECT_FALSE(mascon_code_matches("P5", message));
  EXPECT_TRUE(mascon_code_matches("P5   ", message));
  EXPECT_FALSE(mascon_code_matches("P5   t", message));  // longer codes never match
  EXPECT_FALSE(mascon_code_matches("p5   ", message));   // case-sensitive
  EXPECT_TRUE(mascon_code_matches("B1", "B1"));          // a short message is compared as it is
  EXPECT_FALSE(mascon_code_matches("B1", "B"));
}

TEST(MasconFile, MissingFileNamesTheFile) {
  test::TempDir dir;
  try {
    read_mascon_file(dir / "mascon.dat");
    FAIL() << "a missing mascon.dat was read";
  } catch (const DefinitionError& e) {
    EXPECT_EQ(std::string(e.what()), "mascon.datを読み込めません");
  }
}

}  // namespace
}  // namespace cabsim
