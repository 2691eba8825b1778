// The serial port through Qt SerialPort, and the list of the machine's real
// ports that its settings dialog offers.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <string>
#include <vector>

#include "input/serial_port.h"

namespace cabsim {

/// The real serial ports of the machine (pseudo-terminals are not listed, but
/// a port can still be opened by its path).
std::vector<std::string> real_serial_ports();

class QtSerialPort final : public QObject, public SerialPort {
  Q_OBJECT

 public:
  /// Default settings, with the first real port of the machine.
  QtSerialPort();
  ~QtSerialPort() override;

  const SerialPortSettings& settings() const override { return settings_; }
  void set_settings(const SerialPortSettings& settings) override { settings_ = settings; }
  std::string open() override;
  void close() override;
  bool is_open() const override { return port_.isOpen(); }
  void set_receive_handler(ReceiveHandler handler) override { handler_ = std::move(handler); }
  std::string read(int count) override;

 private:
  void on_ready_read();

  SerialPortSettings settings_;
  QSerialPort port_;
  ReceiveHandler handler_;
};

}  // namespace cabsim
