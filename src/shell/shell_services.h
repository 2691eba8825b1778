// What the driving form needs from the program around it: the status line
// it reports its set-up on, message boxes, and the immediate end of the
// program after a fatal failure.
#pragma once

#include <QString>
#include <functional>

namespace cabsim {

struct ShellServices {
  /// The status line Label1 of the title form, repainted at once.
  std::function<void(const QString& text)> status;
  /// A message box; the run goes on after it.
  std::function<void(const QString& text)> message;
  /// A message box, then the program ends at once without clean-up.
  std::function<void(const QString& text)> fail;
};

/// The program's own services: the message box with the application's
/// title, and quick_exit after a fatal one.
ShellServices desktop_services(std::function<void(const QString&)> status);

}  // namespace cabsim
