// The easy cab panel's indicator column and status text, decided each tick
// from the handle positions and the doors.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "state/run_state.h"

namespace cabsim {

/// Colours as 0x00BBGGRR values.
constexpr int32_t kEasyPanelWhite = 0xFFFFFF;
constexpr int32_t kEasyPanelRed = 0x0000FF;
constexpr int32_t kEasyPanelGreen = 0x00FF00;
constexpr int32_t kEasyPanelYellow = 0x00FFFF;

/// Brake shapes `KB1` .. `KB8` and power shapes `KP1` .. `KP5`.
constexpr size_t kEasyPanelBrakeShapes = 8;
constexpr size_t kEasyPanelPowerShapes = 5;

struct EasyPanelIndicators {
  std::array<int32_t, kEasyPanelBrakeShapes> brake{};  ///< index 0 is `KB1`
  int32_t neutral = kEasyPanelWhite;                   ///< `KN`
  std::array<int32_t, kEasyPanelPowerShapes> power{};  ///< index 0 is `KP1`
  std::string status;                                  ///< UTF-8
};

/// Operation tick, step 31: `KBn` red at brake handle -n or beyond, `KPn`
/// yellow at power notch n or above, `KN` green with both handles at 0; the
/// status bar tells while the doors are open or closing.
EasyPanelIndicators easy_panel_indicators(const RunState& s, bool doors_not_closed);

/// The character the reverser button posts: "b" from forward, "f" from
/// backward, none (0) in neutral.
char reverser_button_key(const RunState& s);

}  // namespace cabsim
