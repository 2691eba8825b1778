// The serial port over a real pseudo-terminal pair made by socat: receive
// events on the event loop, reading what waits, the line settings, the dialog.
#include "platform/serial_port_qt.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <filesystem>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "platform/pty_pair.h"
#include "platform/qt_app.h"
#include "shell/serial_settings_dialog.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

TEST(QtSerialPort, DeliversReceivedCharactersOnTheEventLoop) {
  test::ensure_qt_app();
  test::TempDir dir;
  test::PtyPair pty(dir);
  ASSERT_TRUE(pty.ok()) << "socat did not make the pty pair";

  QtSerialPort port;
  EXPECT_FALSE(port.is_open());
  SerialPortSettings settings = port.settings();
  settings.port = pty.a().string();
  port.set_settings(settings);
  std::string received;
  std::vector<int> counts;
  port.set_receive_handler([&](int waiting) {
    counts.push_back(waiting);
    received += port.read(waiting);
  });
  ASSERT_EQ(port.open(), "");
  EXPECT_TRUE(port.is_open());

  pty.send("P1   \r");
  ASSERT_TRUE(test::process_events_until([&] { return received.size() >= 6; }));
  EXPECT_EQ(received, "P1   \r");
  EXPECT_FALSE(counts.empty());
  for (int c : counts) EXPECT_GT(c, 0);

  // The line settings the controllers need: 19200 baud, 8N1, no flow control.
  int fd = ::open(pty.a().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  termios t{};
  ASSERT_EQ(tcgetattr(fd, &t), 0);
  ::close(fd);
  EXPECT_EQ(cfgetospeed(&t), B19200);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);

  port.close();
  EXPECT_FALSE(port.is_open());
  EXPECT_EQ(port.read(10), "");
}

TEST(QtSerialPort, ClosesWhenTheLineGoesAway) {
  test::ensure_qt_app();
  test::TempDir dir;
  test::PtyPair pty(dir);
  ASSERT_TRUE(pty.ok());
  QtSerialPort port;
  SerialPortSettings settings = port.settings();
  settings.port = pty.a().string();
  port.set_settings(settings);
  std::string received;
  port.set_receive_handler([&](int waiting) { received += port.read(waiting); });
  ASSERT_EQ(port.open(), "");
  pty.send("B8   \r");
  ASSERT_TRUE(test::process_events_until([&] { return received.size() == 6; }));
  pty.end();
  EXPECT_TRUE(test::process_events_until([&] { return !port.is_open(); }));
  // Opening again fails with a text and does not crash.
  EXPECT_NE(port.open(), "");
  EXPECT_FALSE(port.is_open());
}

TEST(QtSerialPort, DefaultsAndFailureToOpen) {
  test::ensure_qt_app();
  QtSerialPort port;
  const SerialPortSettings& s = port.settings();
  EXPECT_EQ(s.baud_rate, 19200);
  EXPECT_EQ(s.data_bits, 8);
  EXPECT_EQ(s.parity, SerialParity::kNone);
  EXPECT_EQ(s.stop_bits, SerialStopBits::kOne);
  EXPECT_EQ(s.flow_control, SerialFlowControl::kNone);
  auto ports = real_serial_ports();
  EXPECT_EQ(s.port, ports.empty() ? std::string() : ports.front());
  EXPECT_NE(s.port, "COM1");

  SerialPortSettings missing = s;
  missing.port = "/dev/cabsim-no-such-port";
  port.set_settings(missing);
  std::string failure = port.open();
  EXPECT_NE(failure, "");
  EXPECT_NE(failure.find("/dev/cabsim-no-such-port"), std::string::npos);
  EXPECT_FALSE(port.is_open());
}

TEST(SerialSettingsDialog, ShowsTheSettingsAndGivesBackTheChosenOnes) {
  test::ensure_qt_app();
  SerialPortSettings start;
  start.port = "/dev/ttyUSB7";
  SerialSettingsDialog dialog(start);
  EXPECT_EQ(dialog.settings(), start);
  EXPECT_EQ(dialog.port_box()->count(), static_cast<int>(real_serial_ports().size()));
  EXPECT_EQ(dialog.baud_box()->currentText(), "19200");

  dialog.baud_box()->setCurrentText("9600");
  dialog.data_bits_box()->setCurrentText("7");
  dialog.parity_box()->setCurrentText("Even");
  dialog.stop_bits_box()->setCurrentText("2");
  dialog.flow_box()->setCurrentText("Hardware");
  dialog.port_box()->setCurrentText("/dev/ttyS1");
  SerialPortSettings chosen = dialog.settings();
  EXPECT_EQ(chosen.port, "/dev/ttyS1");
  EXPECT_EQ(chosen.baud_rate, 9600);
  EXPECT_EQ(chosen.data_bits, 7);
  EXPECT_EQ(chosen.parity, SerialParity::kEven);
  EXPECT_EQ(chosen.stop_bits, SerialStopBits::kTwo);
  EXPECT_EQ(chosen.flow_control, SerialFlowControl::kHardware);

  // An unusual rate from an earlier session stays selectable.
  start.baud_rate = 31250;
  SerialSettingsDialog odd(start);
  EXPECT_EQ(odd.settings().baud_rate, 31250);
}

}  // namespace
}  // namespace cabsim
