// Parsing of simulation scripts.
#include "sim_script.h"

#include <array>
#include <cctype>
#include <exception>
#include <sstream>
#include <string_view>
#include <utility>

namespace cabsim::tool {
namespace {

/// Commands other parts of the simulator will offer (clicks on the cab view
/// and the easy cab panel).
constexpr std::array<std::string_view, 2> kNotBuiltYet = {"click", "easy"};

constexpr std::array<std::pair<std::string_view, MenuItem>, 5> kMenuItems = {{
    {"D1", MenuItem::kD1},
    {"OFF1", MenuItem::kOFF1},
    {"OFF2", MenuItem::kOFF2},
    {"OFFV1", MenuItem::kOFFV1},
    {"debug1", MenuItem::kDebug1},
}};

/// The characters of a serial command: escapes \s, \r, \xHH and \\.
std::string parse_serial_text(std::string_view text, std::string& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 1 >= text.size()) return "serial: a backslash ends the text";
    const char e = text[++i];
    if (e == 's') {
      out += ' ';
    } else if (e == 'r') {
      out += '\r';
    } else if (e == '\\') {
      out += '\\';
    } else if (e == 'x' && i + 2 < text.size() &&
               std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
               std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      return "serial: unknown escape \\" + std::string(1, e) + " (\\s, \\r, \\xHH, \\\\)";
    }
  }
  return "";
}

std::optional<int64_t> signed_number(const std::string& word, int64_t low, int64_t high) {
  if (word.empty() || word.size() > 12) return std::nullopt;
  size_t used = 0;
  int64_t value = 0;
  try {
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    value = std::stoll(word, &used, hex ? 16 : 10);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (used != word.size() || value < low || value > high) return std::nullopt;
  return value;
}

std::string parse_pad(const std::string& first, std::istringstream& words, ScriptCommand& cmd) {
  cmd.action = ScriptAction::kPad;
  std::string y, buttons, extra;
  if (first == "none") {
    cmd.pad_connected = false;
    return words >> extra ? "pad none takes nothing after it" : "";
  }
  words >> y >> buttons;
  if (words >> extra) return "pad takes X Y BUTTONS";
  auto px = signed_number(first, -32768, 32767);
  auto py = signed_number(y, -32768, 32767);
  auto pb = signed_number(buttons, 0, 0xFFFF);
  if (!px || !py || !pb) return "pad needs X and Y in -32768 .. 32767 and BUTTONS in 0 .. 65535";
  cmd.pad_connected = true;
  cmd.pad_x = static_cast<int32_t>(*px);
  cmd.pad_y = static_cast<int32_t>(*py);
  cmd.pad_buttons = static_cast<uint16_t>(*pb);
  return "";
}

std::string parse_menu(const std::string& item, std::istringstream& words, ScriptCommand& cmd) {
  std::string state, extra;
  words >> state;
  if (words >> extra || (state != "on" && state != "off"))
    return "menu needs an item and on or off";
  cmd.action = ScriptAction::kMenu;
  cmd.checked = state == "on";
  for (const auto& [name, menu_item] : kMenuItems) {
    if (name != item) continue;
    cmd.menu_item = menu_item;
    return "";
  }
  return "unknown menu item " + item + " (D1, OFF1, OFF2, OFFV1, debug1)";
}

std::optional<int64_t> time_of(const std::string& word) {
  if (word.empty() || word.size() > 15) return std::nullopt;
  for (char c : word)
    if (c < '0' || c > '9') return std::nullopt;
  return std::stoll(word);
}

std::string parse_settings(const std::string& what, std::istringstream& words, ScriptCommand& cmd) {
  std::string choice, extra;
  words >> choice;
  if (words >> extra) return "settings takes two words";
  cmd.action = ScriptAction::kSettings;
  if (what == "ats" && (choice == "on" || choice == "off")) {
    cmd.setting = choice == "on" ? TrainSetting::kAtsOn : TrainSetting::kAtsOff;
    return "";
  }
  if (what == "engine" && (choice == "start" || choice == "stop")) {
    cmd.setting = choice == "start" ? TrainSetting::kEngineStart : TrainSetting::kEngineStop;
    return "";
  }
  return "settings needs ats on|off or engine start|stop";
}

/// Fills `cmd` from the words after the time; the reason on failure.
std::string parse_action(std::istringstream& words, const std::string& verb, ScriptCommand& cmd) {
  if (verb == "serial" || verb == "serial-part") {
    // The text is the rest of the line after one blank, blanks and all.
    std::string rest;
    std::getline(words, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    cmd.action = ScriptAction::kSerial;
    std::string reason = parse_serial_text(rest, cmd.serial);
    if (verb == "serial") cmd.serial += '\r';
    return reason;
  }
  std::string arg, extra;
  words >> arg;
  if (verb == "pad") return parse_pad(arg, words, cmd);
  if (verb == "start") {
    cmd.action = ScriptAction::kStart;
    return arg.empty() ? "" : "start takes nothing after it";
  }
  if (verb == "menu") return parse_menu(arg, words, cmd);
  if (verb == "settings") return parse_settings(arg, words, cmd);
  if (words >> extra) return verb + " takes one argument";
  if (verb == "char") {
    cmd.action = ScriptAction::kChar;
    if (arg == "space") arg = " ";
    if (arg.size() != 1) return "char needs one character (or space)";
    cmd.character = arg[0];
    return "";
  }
  if (verb == "key") {
    cmd.action = ScriptAction::kKey;
    constexpr std::string_view kShift = "shift+";
    cmd.shift = std::string_view(arg).substr(0, kShift.size()) == kShift;
    std::string name = cmd.shift ? arg.substr(kShift.size()) : arg;
    auto key = virtual_key_named(name);
    if (!key) return "unknown key " + arg;
    cmd.key = *key;
    return "";
  }
  if (verb == "wheel") {
    cmd.action = ScriptAction::kWheel;
    if (arg != "up" && arg != "down") return "wheel needs up or down";
    cmd.wheel_up = arg == "up";
    return "";
  }
  if (verb == "controller") {
    cmd.action = ScriptAction::kController;
    const std::optional<int64_t> n = time_of(arg);
    if (!n || *n > 3) return "controller needs a kind 0, 1, 2 or 3";
    cmd.number = static_cast<int32_t>(*n);
    return "";
  }
  if (verb == "move" || verb == "save" || verb == "load") {
    cmd.action = verb == "move"   ? ScriptAction::kMove
                 : verb == "save" ? ScriptAction::kSave
                                  : ScriptAction::kLoad;
    const std::optional<int64_t> n = time_of(arg);
    if (verb == "move" && (!n || *n > 100000)) return "move needs a station number";
    if (verb != "move" && (!n || *n < 1 || *n > 3)) return verb + " needs a slot 1, 2 or 3";
    cmd.number = static_cast<int32_t>(*n);
    return "";
  }
  for (std::string_view later : kNotBuiltYet)
    if (verb == later) return verb + " is not built yet";
  return "unknown command " + verb;
}

}  // namespace

std::optional<std::vector<ScriptCommand>> read_script(std::istream& in, std::string& error) {
  std::vector<ScriptCommand> commands;
  std::string line;
  int64_t last_time = 0;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    std::istringstream words(line);
    std::string time_word, verb;
    words >> time_word >> verb;
    auto where = [&] { return "script line " + std::to_string(number) + ": "; };
    ScriptCommand cmd;
    cmd.line = number;
    cmd.text = line.substr(first);
    auto time = time_of(time_word);
    if (!time) {
      error = where() + "a command begins with its time in ms";
      return std::nullopt;
    }
    if (*time < last_time) {
      error = where() + "time goes back";
      return std::nullopt;
    }
    cmd.time_ms = last_time = *time;
    std::string reason = parse_action(words, verb, cmd);
    if (!reason.empty()) {
      error = where() + reason;
      return std::nullopt;
    }
    commands.push_back(cmd);
  }
  return commands;
}

}  // namespace cabsim::tool
