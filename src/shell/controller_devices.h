// The controller devices and settings that outlive a run: the pad codes read
// so far, the serial port settings last chosen, and the joystick service,
// started the first time a pad kind is chosen.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "input/serial_port.h"
#include "state/joystick.h"
#include "state/settings_store.h"

namespace cabsim {

class ControllerDevices {
 public:
  ControllerDevices();
  ~ControllerDevices();
  ControllerDevices(const ControllerDevices&) = delete;
  ControllerDevices& operator=(const ControllerDevices&) = delete;

  /// `P0` .. `EB`, read at the set-up of every run: a value the settings do
  /// not hold keeps what an earlier run read (0 in a new program).
  PadCodes pad_codes;
  /// The port settings chosen in the settings dialog; none yet: the defaults
  /// with the machine's first real port.
  std::optional<SerialPortSettings> serial_settings;

  /// Makes a run's serial port (Qt SerialPort unless a test says otherwise).
  std::function<std::unique_ptr<SerialPort>()> make_serial_port;
  /// Makes the joystick service (SDL unless a test says otherwise).
  std::function<std::unique_ptr<Joystick>()> make_joystick;

  /// The joystick, made at the first call and kept for the program.
  Joystick& joystick();

 private:
  std::unique_ptr<Joystick> joystick_;
};

}  // namespace cabsim
