// The help form TForm4: the operation notes of operation.dat in a read-only
// text box; keys pressed in it drive the train as on the driving form.
#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <filesystem>
#include <functional>

namespace cabsim {

class TForm4 final : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWidth = 265;
  static constexpr int kHeight = 331;
  /// The file of the notes, in the program directory.
  static constexpr const char* kFileName = "operation.dat";

  /// Reads `program_dir`/operation.dat: its first line is the caption, the
  /// others the text (Shift-JIS). Without the file the caption stays "Help"
  /// and the text is empty.
  explicit TForm4(const std::filesystem::path& program_dir, QWidget* parent = nullptr);

  /// Reads the notes of `program_dir` in place of those shown (the title
  /// screen changed its route folder).
  void load(const std::filesystem::path& program_dir);

  /// Where the keys pressed in the text box go (the driving form's
  /// keydowns and AsciiDown); empty while no run is open.
  std::function<void(QKeyEvent*)> forward_keys;

  QPlainTextEdit* memo() const { return memo_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit* memo_;
};

}  // namespace cabsim
