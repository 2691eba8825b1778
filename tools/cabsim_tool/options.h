// Command-line options of cabsim-tool.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cabsim::tool {

struct Options {
  std::string command;
  std::filesystem::path data_dir = ".";   ///< the program directory
  std::optional<std::string> route;       ///< route file name, program directory relative
  std::string train = "train_tz100.dat";  ///< train file name
  std::string train_dir;                  ///< train directory prefix, as the run selection gives it
  // simulate
  std::optional<std::filesystem::path> script;  ///< timed inputs
  std::optional<int64_t> until_ms;              ///< simulated time to run to
  int64_t every_ms = 100;                       ///< rows of the trace, ms apart
  std::vector<std::string> fields;              ///< trace columns
  bool list_fields = false;
  /// The settings file the saved states live in; none: kept for the run only.
  std::optional<std::filesystem::path> settings;
  bool train_given = false;  ///< --train was given (a replay checks it)
  /// A replay file to drive the run from (its route, train, inputs and end).
  std::optional<std::filesystem::path> replay;
  /// Where the inputs of this run are written as a replay file.
  std::optional<std::filesystem::path> record_inputs;
  /// Where the run record is saved: this summary (.json) and its samples
  /// beside it (.csv).
  std::optional<std::filesystem::path> run_record;
};

/// Parses `args` (without the program name); a usage error yields nothing and
/// writes the reason to `error`.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error);

}  // namespace cabsim::tool
