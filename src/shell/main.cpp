// Program entry: the application and its title, the start window and the
// help form, the run named on the command line, the message loop.
#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "platform/file_paths.h"
#include "platform/fonts.h"
#include "platform/settings_store_qt.h"
#include "shell/command_line.h"
#include "shell/help_form.h"
#include "shell/start_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QString::fromUtf8(cabsim::kDesignCaption));
  cabsim::install_font_substitutes();

  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const std::optional<cabsim::CommandLine> line = cabsim::parse_command_line(args, error);
  if (!line) {
    std::cerr << error << '\n';
    return 2;
  }

  cabsim::QtSettingsStore settings;
  cabsim::StartWindow start(*line, settings, {});
  start.show();
  cabsim::TForm4 help(cabsim::program_directory(line->data_dir));
  // Services that report on the start window's status line.
  cabsim::ShellServices services =
      cabsim::desktop_services([&start](const QString& text) { start.set_status(text); });
  start.set_services(services);
  if (!line->route_file.empty()) {
    if (!start.open_run(&help)) return 1;
    start.hide();  // the driving form stands in its place; closing it ends the program
  }
  return app.exec();
}
