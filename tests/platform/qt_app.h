// The one Qt application object the platform tests need for pictures, fonts,
// widgets and events; offscreen unless the environment chose a platform.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <functional>

namespace cabsim::test {

inline void ensure_qt_app() {
  if (QCoreApplication::instance()) return;
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "cabsim_platform_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives until the test program ends
}

/// Runs the event loop until `done` holds or `timeout_ms` have passed.
inline bool process_events_until(const std::function<bool()>& done, int timeout_ms = 3000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

}  // namespace cabsim::test
