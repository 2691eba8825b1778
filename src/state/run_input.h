// One input of the driver as the run's entry points hear it (a key, the
// wheel, a menu command, a serial line, a joystick state), and the listener
// that is told of each one: the run record keeps them for the replay.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace cabsim {

enum class RunInputKind : uint8_t {
  kCharacter = 0,     ///< a character key: `code` the character
  kVirtualKey = 1,    ///< a special key: `code` its VirtualKey, `value` 1 with Shift
  kWheel = 2,         ///< a wheel step: `value` 1 up, 0 down
  kSerialLine = 3,    ///< a line of the serial controller: `text`
  kJoystick = 4,      ///< a new state of the pad: `code` buttons, `value` X + Y + E + M
  kMove = 5,          ///< the Move menu: `code` the station
  kSave = 6,          ///< a state saved: `code` the slot
  kRestore = 7,       ///< a state restored: `code` the slot
  kTrainSetting = 8,  ///< the train settings: `code` a RunTrainSetting
  kMenuSwitch = 9,    ///< a menu item switched: `code` a RunMenuSwitch, `value` on
  kController = 10,   ///< the controller kind chosen: `code` the kind
  kStart = 11,        ///< Start: the run started, paused or resumed
};
constexpr int kRunInputKinds = 12;

/// The kinds' names in the saved record.
inline constexpr std::array<const char*, kRunInputKinds> kRunInputKindNames = {
    "character", "key",     "wheel",         "serial", "joystick",   "move",
    "save",      "restore", "train_setting", "menu",   "controller", "start"};

enum class RunTrainSetting : int32_t { kAtsOn = 0, kAtsOff = 1, kEngineStart = 2, kEngineStop = 3 };
enum class RunMenuSwitch : int32_t {
  kCommentary = 0,  ///< 解説あり
  kCallsOff = 1,    ///< 喚呼なし
  kBeginner = 2,    ///< 入門モード
  kEffectsOff = 3,  ///< 視覚効果OFF
  kPadDebug = 4,    ///< デバッグオプション
};
constexpr int kRunMenuSwitches = 5;

/// Bytes of a serial line kept; a longer line is kept cut (the controllers'
/// lines are a few characters).
constexpr size_t kRunInputTextBytes = 23;

struct RunInput {
  RunInputKind kind = RunInputKind::kCharacter;
  uint8_t text_length = 0;
  std::array<char, kRunInputTextBytes> text{};
  int32_t code = 0;
  int32_t value = 0;

  std::string_view line() const { return {text.data(), text_length}; }
  void set_line(std::string_view s) {
    text_length = static_cast<uint8_t>(std::min(s.size(), text.size()));
    for (size_t i = 0; i < text_length; ++i) text[i] = s[i];
  }
};

inline RunInput run_input(RunInputKind kind, int32_t code, int32_t value = 0) {
  RunInput in;
  in.kind = kind;
  in.code = code;
  in.value = value;
  return in;
}

struct Run;

/// Hears each input of the driver before it acts. It reads the run and never
/// changes it.
class InputListener {
 public:
  virtual ~InputListener() = default;
  virtual void on_input(const Run& run, const RunInput& input) = 0;
};

}  // namespace cabsim
