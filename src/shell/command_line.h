// The program's command line: `cabsim [1] [--data DIR] [--route FILE]
// [--train FILE] [--train-dir PREFIX]`, or `cabsim --help`.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cabsim {

struct CommandLine {
  bool debug_mode = false;  ///< the first argument is exactly "1"
  std::string data_dir;     ///< empty: the executable's folder
  std::string route_file;   ///< empty: the title screen lets the player choose a run
  std::string train_file = "train_tz100.dat";
  std::string train_dir_prefix;
  bool help = false;  ///< --help: the usage and the route folder, then the end
};

/// Usage text shown for a command line that cannot be read.
inline constexpr const char* kUsage =
    "cabsim [1] [--data DIR] [--route FILE] [--train FILE] [--train-dir PREFIX]";

/// The options of `args` (without the program name); an error text when an
/// option is unknown or lacks its value.
std::optional<CommandLine> parse_command_line(const std::vector<std::string>& args,
                                              std::string& error);

}  // namespace cabsim
