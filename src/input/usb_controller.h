// The USB controllers read as a joystick: the Windows and PlayStation
// versions of the two-handle train controller and the OHC-PC01 one-handle
// master controller. A poll's axes and buttons are turned into handle
// positions and posted keys by the table of the chosen kind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/train_params.h"
#include "state/joystick.h"
#include "state/run_state.h"
#include "state/settings_store.h"

namespace cabsim {

/// What one poll gives the tables: the axes, the button code E (buttons 0 ..
/// 3 and 8 .. 15 as 1, 2, 4, 8, 16 .. 2048) and the four-button code M
/// (buttons 4 .. 7 as 1, 2, 4, 8).
struct PadState {
  int32_t x = 0;
  int32_t y = 0;
  int32_t e = 0;
  int32_t m = 0;
  uint16_t buttons = 0;  ///< bit n: button n pressed

  /// X + Y + E + M: a poll whose sum equals the last one acted on is no change.
  int32_t sum() const { return x + y + e + m; }
};

PadState pad_state(const JoystickReading& reading);

/// The Enter key-down among posted keys.
constexpr char kPostedEnter = '\r';

/// What the table of a controller kind decides for one poll.
struct PadDecision {
  std::optional<int32_t> power_notch;  ///< 0 .. 5; none leaves the power handle
  std::optional<int32_t> brake_step;   ///< 0 .. 8 or kControllerEmergency; none leaves it
  std::string posted;                  ///< characters posted, kPostedEnter an Enter key-down
};

/// Kind 1: power from Y and brake from X in bands; a reading exactly on a
/// band's limit leaves that handle. Buttons 0 .. 5: "9", "1", "3", "7",
/// Enter, "s".
PadDecision windows_pad(const PadState& pad);
/// Kind 2: X + E + Y against `P0` .. `P5`, M against `B0` .. `B8`, `EB`,
/// first equal code; buttons 9, 1, 2, 3, 8: "1", "3", "7", "9", "r".
PadDecision playstation_pad(const PadState& pad, const PadCodes& codes);
/// Kind 3: the fixed M and E patterns of the one handle; buttons 0 and 2:
/// "3" and "7"; the reverser from the sign of Y: "f", "n", "b".
PadDecision ohc_pc01(const PadState& pad);

/// The table of `kind` (1 .. 3); other kinds decide nothing.
PadDecision pad_decision(int32_t kind, const PadState& pad, const PadCodes& codes);

/// Sets the handles the decision names with their pending flags (power: the
/// power flag; brake: the three brake flags). True when a handle was set.
bool apply_pad_decision(RunState& s, const TrainParams& train, const PadDecision& decision);

}  // namespace cabsim
