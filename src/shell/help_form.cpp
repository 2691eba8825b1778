// Reading the operation notes and passing on the keys pressed in them.
#include "shell/help_form.h"

#include <QKeyEvent>
#include <string>

#include "data/help_text.h"
#include "platform/file_paths.h"

namespace cabsim {

TForm4::TForm4(const std::filesystem::path& program_dir, QWidget* parent)
    : QDialog(parent), memo_(new QPlainTextEdit(this)) {
  setWindowTitle("Help");
  setFixedSize(kWidth, kHeight);
  memo_->setGeometry(0, 0, kWidth, kHeight);
  memo_->setReadOnly(true);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->installEventFilter(this);
  load(program_dir);
}

void TForm4::load(const std::filesystem::path& program_dir) {
  const HelpText notes = read_help_text(resolve_file(program_dir, kFileName));
  setWindowTitle(notes.caption ? QString::fromStdString(*notes.caption) : QString("Help"));
  memo_->clear();
  for (const std::string& line : notes.lines) memo_->appendPlainText(QString::fromStdString(line));
  memo_->moveCursor(QTextCursor::Start);
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
  if (watched == memo_ && event->type() == QEvent::KeyPress && forward_keys) {
    forward_keys(static_cast<QKeyEvent*>(event));
    return true;  // driving goes on while the notes are read
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace cabsim
