// Program entry: the application and its title, the forms in their start-up
// order (the title form TForm5 as the main window, then the help form), and
// the message loop; or, with --route, the named run straight away.
#include <QApplication>
#include <iostream>

#include "platform/file_paths.h"
#include "platform/fonts.h"
#include "platform/settings_store_qt.h"
#include "shell/command_line.h"
#include "shell/help_form.h"
#include "shell/title_form.h"

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

  const std::filesystem::path program_dir = cabsim::program_directory(line->data_dir);
  cabsim::QtSettingsStore settings;
  cabsim::TForm5* title = nullptr;
  // Messages, and the status line of the title form on which a run reports
  // its set-up.
  const cabsim::ShellServices services = cabsim::desktop_services([&title](const QString& text) {
    if (title) title->set_status(text);
  });

  // The forms, in start-up order. The title form is the main window: the
  // program ends when it closes.
  cabsim::TForm5 form5(program_dir, settings, services);
  title = &form5;
  form5.set_debug_mode(line->debug_mode);
  app.setQuitOnLastWindowClosed(false);
  form5.on_closed = [] { QCoreApplication::quit(); };
  cabsim::TForm4 help(program_dir);
  form5.set_help_form(&help);
  // The value display TForm3, the easy cab panel TForm6, the crew-change
  // question TkotaiStop and the train settings dialog Tjumpdlg belong to a
  // run: the driving form makes them the first time its run asks for them.

  if (!line->route_file.empty()) {
    // A run named on the command line skips the title; the program ends
    // with it.
    cabsim::RunSelection selection;
    selection.program_dir = program_dir;
    selection.route_file = line->route_file;
    selection.train_file = line->train_file;
    selection.train_dir_prefix = line->train_dir_prefix;
    selection.debug_mode = line->debug_mode;
    try {
      return form5.run_driving_form(selection, /*title_after=*/false) ? 0 : 1;
    } catch (const std::exception& e) {
      services.message(QString::fromUtf8(e.what()));
      return 1;
    }
  }
  if (!form5.FormCreate()) return 1;
  form5.show();
  return app.exec();
}
