// Replay files: the timed inputs of a simulated run with the run they belong
// to (route, train, the time it ran to), so that the run can be driven again
// tick for tick.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim_script.h"

namespace cabsim::tool {

/// Version of the replay files written; another version is not read.
constexpr int kReplayVersion = 1;
/// Commands a replay file holds at most.
constexpr size_t kMaxReplayCommands = 1'000'000;

/// The messages of a replay that cannot be used.
inline constexpr const char* kReplayCannotRead = "記録ファイルを読めません";
inline constexpr const char* kReplayDamaged = "記録ファイルが壊れています";
inline constexpr const char* kReplayOtherVersion = "記録ファイルの版が違うため読めません";
inline constexpr const char* kReplayOtherRoute = "別の路線の記録です";
inline constexpr const char* kReplayOtherTrain = "別の車両の記録です";

/// The run a replay belongs to and its inputs.
struct Replay {
  std::string route;  ///< route file as given to the tool
  std::string train;
  std::string train_dir;
  int64_t until_ms = 0;
  std::vector<ScriptCommand> commands;
};

/// Writes `replay`: a header of "#!" lines, the commands as written, and an
/// end line with their count, so that a file cut short is known.
void write_replay(std::ostream& out, const Replay& replay);

/// Reads a replay; a file cut short, with a bad line or without its header
/// gives kReplayDamaged (with the reason after it), another version
/// kReplayOtherVersion, in `error`.
std::optional<Replay> read_replay(std::istream& in, std::string& error);

}  // namespace cabsim::tool
