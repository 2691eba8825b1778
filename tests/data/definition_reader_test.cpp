// The keyed-file reader: lines, key matching, value forms, lists, labels.
#include "data/definition_reader.h"

#include <gtest/gtest.h>

#include "data/definition_error.h"

namespace cabsim {
namespace {

struct Read {
  int32_t a = 0;
  int32_t b = 0;
  std::string text;
  std::vector<std::string> list;
  std::string failed_label;
  bool failed = false;
};

/// Reads `file` with a small table: [A] integer, [B] integer, [T] text,
/// [L] list (label "[L]"), [Z] integer after it.
Read read(const std::string& file, bool remarks = false) {
  Read r;
  DefinitionReader reader(file);
  std::vector<KeyEntry> table = {
      {"[A]", "", [&](DefinitionReader& d) { r.a = d.read_integer(); }},
      {"[T]", "", [&](DefinitionReader& d) { r.text = d.read_text(); }},
      {"[L]", "[L]",
       [&](DefinitionReader& d) {
         r.list.clear();
         while (d.next_list_entry(remarks)) r.list.push_back(d.current());
       }},
      {"[B]", "", [&](DefinitionReader& d) { r.b = d.read_integer(); }},
  };
  try {
    read_keyed_file(reader, table, "pass");
  } catch (const ReadFailure&) {
    r.failed = true;
    r.failed_label = reader.label;
  }
  return r;
}

TEST(DefinitionReader, SplitsLinesOnLfAndCrLfAndReadsALastLineWithoutBreak) {
  DefinitionReader reader("one\r\ntwo\nthree");
  EXPECT_EQ(reader.next_line(), "one");
  EXPECT_EQ(reader.next_line(), "two");
  EXPECT_FALSE(reader.at_end());
  EXPECT_EQ(reader.next_line(), "three");
  EXPECT_TRUE(reader.at_end());
  EXPECT_EQ(reader.next_line(), "");  // past the end: empty lines
  EXPECT_EQ(reader.next_line(), "");
}

TEST(DefinitionReader, MatchesKeysByPrefixCaseSensitiveWithoutLeadingBlanks) {
  EXPECT_EQ(read("[A] remark here\n5\n").a, 5);
  EXPECT_EQ(read("[A]\n5\n").a, 5);
  EXPECT_EQ(read(" [A]\n5\n").a, 0);
  EXPECT_EQ(read("[a]\n5\n").a, 0);
  EXPECT_EQ(read("- heading\n#note\n[A]\n7\nfree text\n").a, 7);
  // A key read again replaces the earlier value.
  EXPECT_EQ(read("[A]\n1\n[A]\n2\n").a, 2);
}

TEST(DefinitionReader, ConvertsValuesAtOnceWithTheBlankRules) {
  EXPECT_EQ(read("[A]\n 3\n").a, 3);
  EXPECT_TRUE(read("[A]\n3 \n").failed);
  EXPECT_TRUE(read("[A]\nx\n").failed);
  EXPECT_EQ(read("[T]\n  a text, with blanks \n").text, "  a text, with blanks ");
}

TEST(DefinitionReader, ReadsPastTheEndAsEmptyLines) {
  Read number = read("[A]");
  EXPECT_TRUE(number.failed);
  EXPECT_EQ(number.failed_label, "pass");
  Read text = read("[A]\n4\n[T]");
  EXPECT_FALSE(text.failed);
  EXPECT_EQ(text.text, "");
  EXPECT_EQ(text.a, 4);
}

TEST(DefinitionReader, ListsRunToAHashLineAndMustBeClosed) {
  EXPECT_EQ(read("[L]\n#\n").list.size(), 0u);
  EXPECT_EQ(read("[L]\na\n;b\n\n#end\n[B]\n3\n").list, (std::vector<std::string>{"a", ";b", ""}));
  EXPECT_EQ(read("[L]\na\n;b\n#\n", true).list, (std::vector<std::string>{"a"}));
  EXPECT_EQ(read("[L]\na\n#\n[L]\nb\n#\n").list, (std::vector<std::string>{"b"}));
  Read open = read("[L]\na\nb\n");
  EXPECT_TRUE(open.failed);
  EXPECT_EQ(open.failed_label, "[L]");
}

TEST(DefinitionReader, SetsTheLabelBeforeEveryListKeyWhetherOrNotItMatches) {
  // [B] stands after the list key in the table: its failure names the list.
  Read after_list = read("[B]\nx\n");
  EXPECT_TRUE(after_list.failed);
  EXPECT_EQ(after_list.failed_label, "[L]");
  // [A] stands before it: the pass label.
  EXPECT_EQ(read("[L]\n#\n[A]\nx\n").failed_label, "pass");
}

TEST(DefinitionReader, TestsTheRemainingKeysAgainstTheValueLineJustRead) {
  // The text value of [T] is itself the key [B], which is tested next in the
  // same pass and reads the line after it.
  Read r = read("[T]\n[B]\n9\n");
  EXPECT_EQ(r.text, "[B]");
  EXPECT_EQ(r.b, 9);
  // Keys earlier in the table are not tested again against the value line.
  Read earlier = read("[T]\n[A]\n9\n");
  EXPECT_EQ(earlier.a, 0);
}

TEST(DefinitionReader, RejectsOverlongLinesAndSurvivesNulBytes) {
  std::string huge = "[T]\n" + std::string(kMaxLineBytes + 1, 'x') + "\n";
  EXPECT_TRUE(read(huge).failed);
  EXPECT_EQ(read("[T]\n" + std::string(kMaxLineBytes, 'x') + "\n").text.size(), kMaxLineBytes);
  Read nul = read(std::string("[A]\n1\0\n", 7));
  EXPECT_TRUE(nul.failed);
  EXPECT_EQ(read(std::string("[T]\na\0b\n", 8)).text, std::string("a\0b", 3));
}

TEST(DefinitionReader, AppendEntryRefusesAFullTable) {
  std::array<int, 2> table{};
  int32_t count = 0;
  append_entry(table, count, 2, 1);
  append_entry(table, count, 2, 2);
  EXPECT_THROW(append_entry(table, count, 2, 3), ReadFailure);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(table[1], 2);
}

}  // namespace
}  // namespace cabsim
