// The serial port settings dialog.
#include "shell/serial_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <algorithm>

#include "platform/serial_port_qt.h"

namespace cabsim {
namespace {

constexpr int kBaudRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,
                              14400, 19200, 38400, 57600, 115200, 128000, 256000};

QComboBox* choice_box(QWidget* parent, std::initializer_list<const char*> texts, int current) {
  auto* box = new QComboBox(parent);
  for (const char* text : texts) box->addItem(QString::fromUtf8(text));
  box->setCurrentIndex(current);
  return box;
}

}  // namespace

SerialSettingsDialog::SerialSettingsDialog(const SerialPortSettings& settings, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Serial port"));
  port_ = new QComboBox(this);
  port_->setEditable(true);  // a port the machine does not list can be typed
  // Wide enough for a device path such as /dev/serial/by-id/... to be read.
  port_->setMinimumContentsLength(28);
  port_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  for (const std::string& name : real_serial_ports()) port_->addItem(QString::fromStdString(name));
  port_->setCurrentText(QString::fromStdString(settings.port));

  baud_ = new QComboBox(this);
  for (int rate : kBaudRates) baud_->addItem(QString::number(rate), rate);
  int baud_index = baud_->findData(settings.baud_rate);
  if (baud_index < 0) {
    baud_->addItem(QString::number(settings.baud_rate), settings.baud_rate);
    baud_index = baud_->count() - 1;
  }
  baud_->setCurrentIndex(baud_index);

  data_bits_ = choice_box(this, {"5", "6", "7", "8"}, std::clamp(settings.data_bits - 5, 0, 3));
  parity_ =
      choice_box(this, {"None", "Odd", "Even", "Mark", "Space"}, static_cast<int>(settings.parity));
  stop_bits_ = choice_box(this, {"1", "1.5", "2"}, static_cast<int>(settings.stop_bits));
  flow_ =
      choice_box(this, {"None", "Hardware", "Software"}, static_cast<int>(settings.flow_control));

  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("Port"), port_);
  form->addRow(QStringLiteral("Baud rate"), baud_);
  form->addRow(QStringLiteral("Data bits"), data_bits_);
  form->addRow(QStringLiteral("Parity"), parity_);
  form->addRow(QStringLiteral("Stop bits"), stop_bits_);
  form->addRow(QStringLiteral("Flow control"), flow_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

SerialPortSettings SerialSettingsDialog::settings() const {
  SerialPortSettings s;
  s.port = port_->currentText().trimmed().toStdString();
  s.baud_rate = baud_->currentData().toInt();
  s.data_bits = data_bits_->currentIndex() + 5;
  s.parity = static_cast<SerialParity>(parity_->currentIndex());
  s.stop_bits = static_cast<SerialStopBits>(stop_bits_->currentIndex());
  s.flow_control = static_cast<SerialFlowControl>(flow_->currentIndex());
  return s;
}

bool SerialSettingsDialog::edit(SerialPortSettings& settings, QWidget* parent) {
  SerialSettingsDialog dialog(settings, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  settings = dialog.settings();
  return true;
}

}  // namespace cabsim
