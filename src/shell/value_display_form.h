// The value display `TForm3` ("Value Display"): a window beside the cab view
// with the run's internal values, three pressure bars, the grid of sound
// channels 0 to 99 and three tool buttons. Keys pressed in it drive the train.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "presentation/value_display.h"
#include "state/sound_channels.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace cabsim {

class TForm3 final : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kCaption = "Value Display";

  explicit TForm3(QWidget* parent = nullptr);

  /// Key presses of the window, its grid and its edit box, for the driving
  /// form's `keydowns` and `AsciiDown`.
  std::function<void(QKeyEvent*)> forward_key;
  /// The buttons and the grid: "SU再読込", "jump" with the edit box's text,
  /// "抵抗解除", a cell of channel n selected.
  std::function<void()> reload_speed_units;
  std::function<void(const QString& text)> jump;
  std::function<void()> toggle_resistance;
  std::function<void(int channel)> channel_selected;

  /// Step 40: every value label, the signal lines and the bars.
  void show_values(const ValueDisplay& values);
  /// Step 45: the grid from the channels' levels and states.
  void show_sounds(const SoundChannels& sounds);
  /// The "抵抗解除" button in bold while the resistance is off.
  void show_resistance_off(bool off);

  QLabel* value_label(ValueRow row) const { return values_[static_cast<size_t>(row)]; }
  QLabel* signal_label() const { return signal_; }
  QLabel* ahead_between_label() const { return ahead_between_; }
  QLabel* signal_ahead_label(size_t k) const { return signals_ahead_[k]; }
  QProgressBar* bar(int n) const;  ///< `Bar_Press0`, `Bar_Press1`, `Bar_Press6`
  QTableWidget* grid() const { return grid_; }
  QPushButton* button(int number) const;  ///< `Button1` .. `Button3`
  QLineEdit* edit() const { return edit_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::array<QLabel*, kValueRows> values_{};
  QLabel* signal_ = nullptr;
  QLabel* ahead_between_ = nullptr;
  std::array<QLabel*, kSignalsAhead> signals_ahead_{};
  QProgressBar* bar_motor_ = nullptr;
  QProgressBar* bar_trailer_ = nullptr;
  QProgressBar* bar_electric_ = nullptr;
  QTableWidget* grid_ = nullptr;
  std::array<QPushButton*, 3> buttons_{};
  QLineEdit* edit_ = nullptr;
};

}  // namespace cabsim
