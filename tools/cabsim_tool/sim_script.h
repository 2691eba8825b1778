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

enum class ScriptAction { kStart, kChar, kKey, kWheel, kMenu, kMove, kSave, kLoad, kSettings };

/// The choices of the train settings dialog a script can make.
enum class TrainSetting { kAtsOn, kAtsOff, kEngineStart, kEngineStop };

/// The check items of the driving form's menu a script can set.
enum class MenuItem { kD1, kOFF1, kOFF2, kOFFV1 };

struct ScriptCommand {
  int64_t time_ms = 0;
  ScriptAction action = ScriptAction::kStart;
  char character = 0;                           ///< kChar
  VirtualKey key = VirtualKey::kEnter;          ///< kKey
  bool shift = false;                           ///< kKey
  bool wheel_up = false;                        ///< kWheel
  MenuItem menu_item = MenuItem::kD1;           ///< kMenu
  bool checked = false;                         ///< kMenu: the item is checked
  int32_t number = 0;                           ///< kMove: the station; kSave, kLoad: the slot
  TrainSetting setting = TrainSetting::kAtsOn;  ///< kSettings
  int line = 0;                                 ///< line of the script, for messages
  std::string text;                             ///< the command as written
};

/// Reads the script. Lines are "T start", "T char C" ("space" for a blank),
/// "T key NAME", "T key shift+NAME", "T wheel up", "T wheel down", "T menu
/// ITEM on|off" (ITEM D1 commentary, OFF1 no calls, OFF2 beginner mode,
/// OFFV1 no visual effects), "T move N" (the Move menu's station N), "T save
/// S" and "T load S" (slot 1 .. 3), "T settings ats on|off", "T settings
/// engine start|stop" (the train settings dialog); blank
/// lines and lines beginning with "#" are remarks. Times never go back. On a
/// bad line, returns nothing with the reason in `error`, naming the line;
/// commands the simulation does not offer yet are named as such.
std::optional<std::vector<ScriptCommand>> read_script(std::istream& in, std::string& error);

}  // namespace cabsim::tool
