// The keyboard and the mouse wheel of the driving form: character keys
// (AsciiDown), virtual keys (keydowns) and wheel steps, which post characters.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "state/run.h"

namespace cabsim {

/// Virtual keys the driving form reacts to.
enum class VirtualKey {
  kBackspace,
  kScrollLock,
  kEnter,
  kF1,
  kF2,
  kF3,
  kF4,
  kF5,
  kF6,
  kF7,
  kF8,
  kF9,
  kF10,
  kF11,
  kF12,
  kPageUp,
  kPageDown,
  kLeft,
  kRight,
};

/// The virtual key called `name` ("Enter", "F1", "PageUp", ...), or nothing.
std::optional<VirtualKey> virtual_key_named(std::string_view name);

/// Turn-back window before the movie-stop frame, frames.
constexpr int32_t kTurnBackFrames = 200;
/// Width of the timetable card, pixels; client widths with and without it.
constexpr int32_t kTimetableCardWidth = 180;
constexpr int32_t kClientWidthWithCard = 1010;
constexpr int32_t kClientWidthWithoutCard = 830;
/// Pixels the Left and Right keys move the card.
constexpr int32_t kCardStep = 5;

/// One character: vigilance reset, key swap, nothing more before the run has
/// started, then the character table with the handle refresh after the
/// handle rows.
void AsciiDown(Run& run, char key);

/// One virtual key; `shift` when the Shift key alone is held.
void keydowns(Run& run, VirtualKey key, bool shift);

/// AsciiDown and keydowns without telling the run's input listener: the
/// keys the wheel and the controllers post are theirs, not the driver's own.
void press_character(Run& run, char key);
void press_virtual_key(Run& run, VirtualKey key, bool shift);

/// A wheel step: down posts "8"; up posts "0" at the strongest service step,
/// otherwise "2".
char wheel_character(const Run& run, bool up);
void mouse_wheel(Run& run, bool up);

}  // namespace cabsim
