// The serial port a master controller is connected to: its settings, opening
// and closing, and the receive event with the number of waiting characters.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace cabsim {

enum class SerialParity { kNone, kOdd, kEven, kMark, kSpace };
enum class SerialStopBits { kOne, kOneAndHalf, kTwo };
enum class SerialFlowControl { kNone, kHardware, kSoftware };

/// How the port is opened. The defaults are those of the controllers the
/// program was built for; `port` empty means the machine's first real port.
struct SerialPortSettings {
  std::string port;
  int32_t baud_rate = 19200;
  int32_t data_bits = 8;
  SerialParity parity = SerialParity::kNone;
  SerialStopBits stop_bits = SerialStopBits::kOne;
  SerialFlowControl flow_control = SerialFlowControl::kNone;

  bool operator==(const SerialPortSettings&) const = default;
};

/// A serial port whose receive events arrive on the user-interface thread,
/// between the other events, so the handler needs no locking. DTR and RTS are
/// held inactive while the port is open.
class SerialPort {
 public:
  /// Called with the number of characters waiting to be read.
  using ReceiveHandler = std::function<void(int waiting)>;

  virtual ~SerialPort() = default;

  virtual const SerialPortSettings& settings() const = 0;
  /// Takes effect at the next open.
  virtual void set_settings(const SerialPortSettings& settings) = 0;

  /// Opens the port with the settings. Returns the failure's text to show the
  /// user (the port cannot be opened), or an empty text.
  virtual std::string open() = 0;
  virtual void close() = 0;
  virtual bool is_open() const = 0;

  virtual void set_receive_handler(ReceiveHandler handler) = 0;
  /// Reads up to `count` of the waiting characters.
  virtual std::string read(int count) = 0;
};

}  // namespace cabsim
