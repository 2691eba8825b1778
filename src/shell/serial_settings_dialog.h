// The settings dialog of the serial port: the machine's real ports (a path can
// also be typed), baud rate, data bits, parity, stop bits and flow control.
#pragma once

#include <QDialog>

#include "input/serial_port.h"

class QComboBox;

namespace cabsim {

class SerialSettingsDialog final : public QDialog {
  Q_OBJECT

 public:
  SerialSettingsDialog(const SerialPortSettings& settings, QWidget* parent = nullptr);

  /// The settings as the dialog's fields now show them.
  SerialPortSettings settings() const;

  /// Shows the dialog modally; on OK `settings` takes the chosen values.
  static bool edit(SerialPortSettings& settings, QWidget* parent = nullptr);

  QComboBox* port_box() const { return port_; }
  QComboBox* baud_box() const { return baud_; }
  QComboBox* data_bits_box() const { return data_bits_; }
  QComboBox* parity_box() const { return parity_; }
  QComboBox* stop_bits_box() const { return stop_bits_; }
  QComboBox* flow_box() const { return flow_; }

 private:
  QComboBox* port_;
  QComboBox* baud_;
  QComboBox* data_bits_;
  QComboBox* parity_;
  QComboBox* stop_bits_;
  QComboBox* flow_;
};

}  // namespace cabsim
