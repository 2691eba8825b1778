// The script of timed inputs the simulation replays: one command a line at a
// simulated time in milliseconds.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "run/keyboard.h"

namespace cabsim::tool {

enum class ScriptAction { kStart, kChar, kKey, kWheel };

struct ScriptCommand {
  int64_t time_ms = 0;
  ScriptAction action = ScriptAction::kStart;
  char character = 0;                   ///< kChar
  VirtualKey key = VirtualKey::kEnter;  ///< kKey
  bool shift = false;                   ///< kKey
  bool wheel_up = false;                ///< kWheel
  int line = 0;                         ///< line of the script, for messages
  std::string text;                     ///< the command as written
};

/// Reads the script. Lines are "T start", "T char C" ("space" for a blank),
/// "T key NAME", "T key shift+NAME", "T wheel up", "T wheel down"; blank
/// lines and lines beginning with "#" are remarks. Times never go back. On a
/// bad line, returns nothing with the reason in `error`, naming the line;
/// commands the simulation does not offer yet are named as such.
std::optional<std::vector<ScriptCommand>> read_script(std::istream& in, std::string& error);

}  // namespace cabsim::tool
