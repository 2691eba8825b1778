// Message boxes and the end of the program after a fatal failure.
#include "shell/shell_services.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>

namespace cabsim {

ShellServices desktop_services(std::function<void(const QString&)> status) {
  ShellServices services;
  services.status = std::move(status);
  services.message = [](const QString& text) {
    QMessageBox::warning(nullptr, QApplication::applicationDisplayName(), text);
  };
  services.fail = [](const QString& text) {
    QMessageBox::critical(nullptr, QApplication::applicationDisplayName(), text);
    std::quick_exit(1);  // the program ends here, as it always has
  };
  return services;
}

}  // namespace cabsim
