// The start window and the hand-over of a run to the driving form.
#include "shell/start_window.h"

#include "shell/cab_panel.h"

#include <QApplication>

#include "platform/file_paths.h"

namespace cabsim {

StartWindow::StartWindow(CommandLine line, SettingsStore& settings, ShellServices services)
    : line_(std::move(line)), settings_(settings), services_(std::move(services)) {
  setWindowTitle(QApplication::applicationDisplayName());
  setFixedSize(kWidth, kHeightWithStatus);
  setStyleSheet("background: black;");
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(0, kHeight, kWidth, kHeightWithStatus - kHeight);
  Label1->setStyleSheet("color: white;");
  auto* hint = new QLabel(this);
  hint->setGeometry(0, 0, kWidth, kHeight);
  hint->setAlignment(Qt::AlignCenter);
  hint->setStyleSheet("color: white;");
  hint->setText(
      QString("%1\n\n%2").arg(QApplication::applicationDisplayName(), QString::fromUtf8(kUsage)));
  if (!services_.status) services_.status = [this](const QString& text) { set_status(text); };
}

void StartWindow::set_status(const QString& text) {
  Label1->setText(text);
  Label1->repaint();
}

void StartWindow::set_services(ShellServices services) {
  services_ = std::move(services);
  if (!services_.status) services_.status = [this](const QString& text) { set_status(text); };
}

bool StartWindow::open_run(TForm4* help) {
  RunSelection selection;
  selection.program_dir = program_directory(line_.data_dir);
  selection.route_file = line_.route_file;
  selection.train_file = line_.train_file.empty() ? "train_tz100.dat" : line_.train_file;
  selection.train_dir_prefix = line_.train_dir_prefix;
  selection.debug_mode = line_.debug_mode;
  set_status(QString::fromUtf8(kStatusCreatingForm));
  form_ = std::make_unique<TForm1>(settings_, services_, std::make_unique<CabPanel>());
  form_->set_help_form(help);
  if (!form_->FormCreate(selection)) return false;
  form_->setWindowModality(Qt::ApplicationModal);
  form_->show();
  set_status(QString());
  return true;
}

}  // namespace cabsim
