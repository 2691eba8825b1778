// The program's command line.
#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace cabsim {
namespace {

TEST(CommandLine, DebugModeOnlyForAFirstArgumentOfExactlyOne) {
  std::string error;
  auto line = parse_command_line({"1", "--data", "/d", "--route", "line_up_827M.dat"}, error);
  ASSERT_TRUE(line);
  EXPECT_TRUE(line->debug_mode);
  EXPECT_EQ(line->data_dir, "/d");
  EXPECT_EQ(line->route_file, "line_up_827M.dat");
  EXPECT_EQ(line->train_file, "train_tz100.dat");
  EXPECT_FALSE(parse_command_line({"--route", "x", "1"}, error)->debug_mode);
  EXPECT_FALSE(parse_command_line({"11"}, error)->debug_mode);
  line = parse_command_line({"--train", "t.dat", "--train-dir", "trains\\a\\"}, error);
  EXPECT_EQ(line->train_file, "t.dat");
  EXPECT_EQ(line->train_dir_prefix, "trains\\a\\");
  EXPECT_FALSE(line->help);
  EXPECT_TRUE(parse_command_line({"--data", "/d", "--help"}, error)->help);
  EXPECT_TRUE(parse_command_line({"-h"}, error)->help);
  // "--help" as the value of an option is that value.
  line = parse_command_line({"--data", "--help"}, error);
  EXPECT_FALSE(line->help);
  EXPECT_EQ(line->data_dir, "--help");
}

TEST(CommandLine, UnknownOptionsAndMissingValuesAreRefused) {
  std::string error;
  EXPECT_FALSE(parse_command_line({"--route"}, error));
  EXPECT_NE(error.find("--route needs a value"), std::string::npos);
  EXPECT_FALSE(parse_command_line({"--speed", "3"}, error));
  EXPECT_NE(error.find("usage"), std::string::npos);
}

}  // namespace
}  // namespace cabsim
