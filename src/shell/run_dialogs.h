// The two dialogs of a run: the train settings Tjumpdlg (the protection on
// or off, the diesel engine started or stopped) and the crew-change
// question TkotaiStop at a station where the crew changes.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

namespace cabsim {

class Tjumpdlg final : public QDialog {
  Q_OBJECT

 public:
  explicit Tjumpdlg(QWidget* parent = nullptr);

  /// Asked when the dialog comes up: whether the protection is on.
  std::function<bool()> ats_is_on;
  /// Told the choices: the protection on (true) or off; the engine started
  /// or stopped.
  std::function<void(bool)> ats_chosen;
  std::function<void()> engine_start_chosen;
  std::function<void()> engine_stop_chosen;
  /// Where keys pressed in the dialog go (the driving form's keydowns).
  std::function<void(QKeyEvent*)> forward_keys;

  QGroupBox* RadioGroup2 = nullptr;  ///< "ATS": 入 / 切
  QRadioButton* ats_on_button = nullptr;
  QRadioButton* ats_off_button = nullptr;
  QGroupBox* RadioGroup4 = nullptr;  ///< "機関始動": 始動 / 運転 / 切
  QRadioButton* engine_start_button = nullptr;
  QRadioButton* engine_run_button = nullptr;
  QRadioButton* engine_off_button = nullptr;
  QPushButton* Button1 = nullptr;  ///< "OK"

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void engine_clicked(QRadioButton* button);
};

class TkotaiStop final : public QDialog {
  Q_OBJECT

 public:
  explicit TkotaiStop(QWidget* parent = nullptr);

  QPushButton* OKBtn = nullptr;      ///< "運転継続": driving goes on
  QPushButton* CancelBtn = nullptr;  ///< "運転終了": the run ends
};

}  // namespace cabsim
