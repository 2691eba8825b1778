// One reading of the first game controller (axes and buttons) and the dead
// zone every reading passes through, so a pad at rest reads exactly 0.
#pragma once

#include <cstdint>

namespace cabsim {

/// What a poll of joystick 0 gives: X and Y in -32768 .. 32767 after the dead
/// zone, and buttons 0 .. 15 as bits (bit n = button n pressed).
struct JoystickReading {
  static constexpr int kButtonCount = 16;

  int32_t x = 0;
  int32_t y = 0;
  uint16_t buttons = 0;

  bool pressed(int button) const {
    return button >= 0 && button < kButtonCount && ((buttons >> button) & 1u) != 0;
  }
  bool operator==(const JoystickReading&) const = default;
};

/// Readings within 5 % of the centre become 0; beyond it the rest of the
/// travel is stretched back over the full range: (reading - edge) * 100 / 95,
/// with the edges -32768 * 5 / 100 and 32767 * 5 / 100 (integer division).
/// Readings outside -32768 .. 32767 are first clamped to it.
int32_t apply_joystick_dead_zone(int32_t reading);

/// The controller the operation tick polls. With no controller present a
/// poll gives zeros and no buttons.
class Joystick {
 public:
  virtual ~Joystick() = default;
  virtual JoystickReading poll() = 0;
};

/// No controller at all (the standard controller kind, or a machine where
/// the joystick service cannot start): every poll gives zeros.
class NoJoystick final : public Joystick {
 public:
  JoystickReading poll() override { return {}; }
};

}  // namespace cabsim
