// The game controller a run polls: one reading of the first joystick (axes
// and buttons) and the service that gives it.
#pragma once

#include <cstdint>

namespace cabsim {

/// What a poll of joystick 0 gives: X and Y in -32768 .. 32767 after the dead
/// zone, and buttons 0 .. 15 as bits (bit n = button n pressed). `connected`
/// is false when no controller is present; the reading is then all zeros.
struct JoystickReading {
  static constexpr int kButtonCount = 16;

  int32_t x = 0;
  int32_t y = 0;
  uint16_t buttons = 0;
  bool connected = false;

  bool pressed(int button) const {
    return button >= 0 && button < kButtonCount && ((buttons >> button) & 1u) != 0;
  }
  bool operator==(const JoystickReading&) const = default;
};

/// The controller the operation tick polls. With no controller present a
/// poll gives zeros, no buttons and `connected` false.
class Joystick {
 public:
  virtual ~Joystick() = default;
  virtual JoystickReading poll() = 0;
};

/// No controller at all (a machine where the joystick service cannot start):
/// every poll gives zeros.
class NoJoystick final : public Joystick {
 public:
  JoystickReading poll() override { return {}; }
};

}  // namespace cabsim
