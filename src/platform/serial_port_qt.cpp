// Opening, receiving and reading on a Qt serial port.
#include "platform/serial_port_qt.h"

#include <QSerialPortInfo>

namespace cabsim {
namespace {

QSerialPort::Parity to_qt(SerialParity parity) {
  switch (parity) {
    case SerialParity::kOdd:
      return QSerialPort::OddParity;
    case SerialParity::kEven:
      return QSerialPort::EvenParity;
    case SerialParity::kMark:
      return QSerialPort::MarkParity;
    case SerialParity::kSpace:
      return QSerialPort::SpaceParity;
    case SerialParity::kNone:
      break;
  }
  return QSerialPort::NoParity;
}

QSerialPort::StopBits to_qt(SerialStopBits stop_bits) {
  switch (stop_bits) {
    case SerialStopBits::kOneAndHalf:
      return QSerialPort::OneAndHalfStop;
    case SerialStopBits::kTwo:
      return QSerialPort::TwoStop;
    case SerialStopBits::kOne:
      break;
  }
  return QSerialPort::OneStop;
}

QSerialPort::FlowControl to_qt(SerialFlowControl flow) {
  switch (flow) {
    case SerialFlowControl::kHardware:
      return QSerialPort::HardwareControl;
    case SerialFlowControl::kSoftware:
      return QSerialPort::SoftwareControl;
    case SerialFlowControl::kNone:
      break;
  }
  return QSerialPort::NoFlowControl;
}

}  // namespace

std::vector<std::string> real_serial_ports() {
  std::vector<std::string> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    ports.push_back(info.systemLocation().toStdString());
  return ports;
}

QtSerialPort::QtSerialPort() {
  auto ports = real_serial_ports();
  if (!ports.empty()) settings_.port = ports.front();
  connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::on_ready_read);
  // A controller pulled out (or its line hung up, which reads fail with over
  // and over) closes the port, so the driver sees it closed and can connect
  // again.
  connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
    if (e == QSerialPort::ResourceError || e == QSerialPort::ReadError) close();
  });
}

QtSerialPort::~QtSerialPort() {
  close();
}

std::string QtSerialPort::open() {
  if (port_.isOpen()) port_.close();
  if (settings_.port.empty()) return "シリアルポートがありません";
  if (settings_.data_bits < 5 || settings_.data_bits > 8 || settings_.baud_rate <= 0)
    return settings_.port + ": unsupported port settings";
  port_.setPortName(QString::fromStdString(settings_.port));
  bool ok = port_.setBaudRate(settings_.baud_rate) &&
            port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.data_bits)) &&
            port_.setParity(to_qt(settings_.parity)) &&
            port_.setStopBits(to_qt(settings_.stop_bits)) &&
            port_.setFlowControl(to_qt(settings_.flow_control));
  if (!ok || !port_.open(QIODevice::ReadWrite))
    return settings_.port + ": " + port_.errorString().toStdString();
  // Set again once open: some drivers take the line settings only then.
  port_.setBaudRate(settings_.baud_rate);
  port_.setDataTerminalReady(false);
  if (settings_.flow_control != SerialFlowControl::kHardware) port_.setRequestToSend(false);
  return {};
}

void QtSerialPort::close() {
  if (port_.isOpen()) port_.close();
}

std::string QtSerialPort::read(int count) {
  if (count <= 0 || !port_.isOpen()) return {};
  return port_.read(count).toStdString();
}

void QtSerialPort::on_ready_read() {
  auto waiting = port_.bytesAvailable();
  if (waiting > 0 && handler_) handler_(static_cast<int>(std::min<qint64>(waiting, 1 << 20)));
}

}  // namespace cabsim
