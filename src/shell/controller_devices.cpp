// The program's controller devices.
#include "shell/controller_devices.h"

#include "platform/joystick_sdl.h"
#include "platform/serial_port_qt.h"

namespace cabsim {

ControllerDevices::ControllerDevices()
    : make_serial_port([] { return std::make_unique<QtSerialPort>(); }),
      make_joystick([]() -> std::unique_ptr<Joystick> { return std::make_unique<SdlJoystick>(); }) {
}

ControllerDevices::~ControllerDevices() = default;

Joystick& ControllerDevices::joystick() {
  if (!joystick_) joystick_ = make_joystick ? make_joystick() : nullptr;
  if (!joystick_) joystick_ = std::make_unique<NoJoystick>();
  return *joystick_;
}

}  // namespace cabsim
