// Program entry: the application and its title, the route folder to start
// on, the forms in their start-up order (the title form TForm5 as the main
// window, then the help form), and the message loop; or, with --route, the
// named run straight away.
#include <QApplication>
#include <iostream>

#include "platform/file_paths.h"
#include "platform/fonts.h"
#include "platform/program_folder.h"
#include "platform/run_record_file.h"
#include "platform/settings_store_qt.h"
#include "shell/command_line.h"
#include "shell/help_form.h"
#include "shell/title_form.h"

namespace {

/// The desktop entry and the AppStream component are named after it; the
/// window manager ties the windows to the desktop entry by it.
constexpr const char* kDesktopFileName = "org.cabworks.cabsim";

}  // namespace

int main(int argc, char** argv) {
  // The user's folders: ~/.config/Cabworks/cabsim for the settings.
  QCoreApplication::setOrganizationName("Cabworks");
  QCoreApplication::setApplicationName("cabsim");
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QString::fromUtf8(cabsim::kDesignCaption));
  QGuiApplication::setDesktopFileName(kDesktopFileName);
  cabsim::install_font_substitutes();

  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const std::optional<cabsim::CommandLine> line = cabsim::parse_command_line(args, error);
  if (!line) {
    std::cerr << error << '\n';
    return 2;
  }

  cabsim::QtSettingsStore settings;
  const std::filesystem::path executable_dir = cabsim::executable_directory();
  const std::optional<std::string> remembered = settings.read_text(cabsim::kRouteFolderSetting);
  const cabsim::ProgramFolder start = cabsim::choose_program_folder(
      line->data_dir, executable_dir, remembered ? std::filesystem::path(*remembered) : "",
      cabsim::bundled_demo_folder(executable_dir));
  const std::filesystem::path program_dir = start.folder;
  if (line->help) {
    std::cout << "usage: " << cabsim::kUsage << "\nroute folder: " << program_dir.string()
              << (start.source == cabsim::ProgramFolderSource::none ? " (no cabworks.dat there)"
                                                                    : "")
              << "\nsettings: " << settings.files().hanabira.parent_path().string() << '\n';
    return 0;
  }
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
  form5.set_record_folder(cabsim::run_record_folder());
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
      // The record of the run is saved; the title's records button shows it.
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
