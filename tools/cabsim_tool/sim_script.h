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

enum class ScriptAction {
  kStart,
  kChar,
  kKey,
  kWheel,
  kMenu,
  kMove,
  kSave,
  kLoad,
  kSettings,
  kSerial,      ///< characters arriving at the serial port
  kPad,         ///< the joystick's state from now on
  kController,  ///< the Controller menu's kind
};

/// The choices of the train settings dialog a script can make.
enum class TrainSetting { kAtsOn, kAtsOff, kEngineStart, kEngineStop };

/// The check items of the driving form's menu a script can set.
enum class MenuItem { kD1, kOFF1, kOFF2, kOFFV1, kDebug1 };

struct ScriptCommand {
  int64_t time_ms = 0;
  ScriptAction action = ScriptAction::kStart;
  char character = 0;                   ///< kChar
  VirtualKey key = VirtualKey::kEnter;  ///< kKey
  bool shift = false;                   ///< kKey
  bool wheel_up = false;                ///< kWheel
  MenuItem menu_item = MenuItem::kD1;   ///< kMenu
  bool checked = false;                 ///< kMenu: the item is checked
  int32_t number = 0;  ///< kMove: the station; kSave, kLoad: the slot; kController: the kind
  TrainSetting setting = TrainSetting::kAtsOn;  ///< kSettings
  std::string serial;                           ///< kSerial: the characters received
  int32_t pad_x = 0, pad_y = 0;                 ///< kPad: the axes as the device gives them
  uint16_t pad_buttons = 0;                     ///< kPad: bit n = button n
  bool pad_connected = false;                   ///< kPad: false for "pad none"
  int line = 0;                                 ///< line of the script, for messages
  std::string text;                             ///< the command as written
};

/// Reads the script. Lines are "T start", "T char C" ("space" for a blank),
/// "T key NAME", "T key shift+NAME", "T wheel up", "T wheel down", "T menu
/// ITEM on|off" (ITEM D1 commentary, OFF1 no calls, OFF2 beginner mode,
/// OFFV1 no visual effects), "T move N" (the Move menu's station N), "T save
/// S" and "T load S" (slot 1 .. 3), "T settings ats on|off", "T settings
/// engine start|stop" (the train settings dialog), "T serial TEXT" (TEXT and
/// a carriage return arrive at the serial port; "T serial-part TEXT" without
/// the carriage return; in TEXT "\s" is a blank, "\r" a carriage return,
/// "\xHH" any byte, "\\" a backslash), "T pad X Y BUTTONS" (the joystick
/// from now on: axes -32768 .. 32767 before the dead zone, the buttons as a
/// number whose bit n is button n, decimal or 0x hexadecimal), "T pad none"
/// (pulled out), "T controller K" (the Controller menu's kind 0 .. 3) and
/// "T menu debug1 on|off"; blank
/// lines and lines beginning with "#" are remarks. Times never go back. On a
/// bad line, returns nothing with the reason in `error`, naming the line;
/// commands the simulation does not offer yet are named as such.
std::optional<std::vector<ScriptCommand>> read_script(std::istream& in, std::string& error);

}  // namespace cabsim::tool
