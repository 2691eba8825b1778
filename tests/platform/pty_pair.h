// Two linked pseudo-terminals made by socat: one end for the program's
// serial port, the other written as a master controller would.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "platform/qt_app.h"
#include "support/test_files.h"

namespace cabsim::test {

/// Two linked pseudo-terminals, `a` for the program and `b` for the controller.
class PtyPair {
 public:
  explicit PtyPair(const test::TempDir& dir) : a_(dir / "ttyA"), b_(dir / "ttyB") {
    socat_.start("socat", {"-d", "-d", QString::fromStdString("pty,raw,echo=0,link=" + a_.string()),
                           QString::fromStdString("pty,raw,echo=0,link=" + b_.string())});
    socat_.waitForStarted(3000);
    test::process_events_until(
        [&] { return std::filesystem::exists(a_) && std::filesystem::exists(b_); });
  }
  ~PtyPair() { end(); }
  /// The controller's side goes away, as when its cable is pulled.
  void end() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (socat_.state() == QProcess::NotRunning) return;
    socat_.kill();
    socat_.waitForFinished(3000);
  }
  bool ok() const { return std::filesystem::exists(a_) && std::filesystem::exists(b_); }
  const std::filesystem::path& a() const { return a_; }
  /// Writes as the controller would.
  void send(const std::string& text) {
    if (fd_ < 0) fd_ = ::open(b_.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd_, 0);
    ASSERT_EQ(::write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

 private:
  std::filesystem::path a_, b_;
  QProcess socat_;
  int fd_ = -1;
};

}  // namespace cabsim::test
