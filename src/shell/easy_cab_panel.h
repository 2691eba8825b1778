// The easy cab panel `TForm6`: a small tool window whose buttons drive the
// train with the mouse by posting the characters the keyboard would, and whose
// column of shapes shows where the handles stand.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "presentation/easy_panel_indicators.h"
#include "state/run_state.h"

class QKeyEvent;
class QLabel;
class QPushButton;
class QStatusBar;

namespace cabsim {

/// One indicator: a rectangle with a black outline filled with its colour.
class IndicatorShape final : public QWidget {
  Q_OBJECT

 public:
  explicit IndicatorShape(QWidget* parent = nullptr);
  /// The fill as a 0x00BBGGRR value.
  void set_colour(int32_t bgr);
  int32_t colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int32_t colour_ = kEasyPanelWhite;
};

class TForm6 final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 241;
  static constexpr int kClientHeight = 376;

  explicit TForm6(QWidget* parent = nullptr);

  /// Receives every character a button posts, after the click's own event,
  /// as the driving form's `AsciiDown` receives a key's character.
  std::function<void(char)> post_character;
  /// Receives the key presses of the window and its buttons unchanged, for
  /// the driving form's `keydowns` and `AsciiDown`.
  std::function<void(const QKeyEvent&)> forward_key;
  /// The reverser's position now (+1, 0, -1), asked when the reverser button
  /// is clicked; without it the position last shown is used.
  std::function<int32_t()> current_reverser;

  /// Operation tick, step 31: colours the shapes after the handles and shows
  /// the door state in the status bar.
  void show_state(const RunState& s, bool doors_not_closed);

  IndicatorShape* brake_shape(size_t step) const;  ///< `KB1` (1) .. `KB8` (8)
  IndicatorShape* neutral_shape() const { return neutral_; }
  IndicatorShape* power_shape(size_t notch) const;  ///< `KP1` (1) .. `KP5` (5)
  QPushButton* button(int number) const;            ///< `Button1` .. `Button7`
  QString status_text() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void make_shapes();
  void make_labels();
  void make_buttons();
  QPushButton* add_button(int number, const char* caption, QRect place, char key);
  void post(char key);

  std::array<IndicatorShape*, kEasyPanelBrakeShapes> brake_{};
  IndicatorShape* neutral_ = nullptr;
  std::array<IndicatorShape*, kEasyPanelPowerShapes> power_{};
  std::array<QPushButton*, 7> buttons_{};
  QStatusBar* status_bar_ = nullptr;
  QLabel* status_ = nullptr;
  int32_t shown_reverser_ = 1;
};

}  // namespace cabsim
