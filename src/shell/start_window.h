// The start window: the program's main window until the title screen comes,
// carrying the status line Label1 on which a run reports its set-up, and
// opening the run named on the command line.
#pragma once

#include <QLabel>
#include <QWidget>
#include <memory>

#include "shell/command_line.h"
#include "shell/driving_form.h"
#include "shell/help_form.h"
#include "state/settings_store.h"

namespace cabsim {

class StartWindow final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 800;
  static constexpr int kHeight = 600;
  /// Height with the status line in view.
  static constexpr int kHeightWithStatus = 618;

  StartWindow(CommandLine line, SettingsStore& settings, ShellServices services);

  /// The status line, repainted at once (the set-up blocks the event loop).
  void set_status(const QString& text);
  QLabel* status_line() const { return Label1; }

  /// Creates the driving form for the command line's run and shows it over
  /// this window; false when the set-up failed.
  bool open_run(TForm4* help = nullptr);
  void set_services(ShellServices services);
  TForm1* driving_form() const { return form_.get(); }

 private:
  CommandLine line_;
  SettingsStore& settings_;
  ShellServices services_;
  QLabel* Label1;
  std::unique_ptr<TForm1> form_;
};

/// "Formを作成しています": the status while the driving form is made.
inline constexpr const char* kStatusCreatingForm = "Formを作成しています";

}  // namespace cabsim
