// The first game controller, read through SDL's joystick subsystem.
#pragma once

#include "input/joystick.h"

struct _SDL_Joystick;

namespace cabsim {

/// Polls joystick 0. A controller plugged in while the program runs is found
/// at the next poll; one pulled out gives zeros until another appears. Only
/// SDL's joystick subsystem is started (no video, no events).
class SdlJoystick final : public Joystick {
 public:
  SdlJoystick();
  ~SdlJoystick() override;
  SdlJoystick(const SdlJoystick&) = delete;
  SdlJoystick& operator=(const SdlJoystick&) = delete;

  /// False when SDL's joystick subsystem could not start; polls then give zeros.
  bool available() const { return started_; }
  JoystickReading poll() override;

 private:
  /// Opens joystick 0 when none is open or the open one was pulled out.
  void attach();

  bool started_ = false;
  _SDL_Joystick* joystick_ = nullptr;
};

}  // namespace cabsim
