// Periodic timers whose ticks run on the user-interface thread: the 100 ms
// form timer of the operation tick and the precise 33 ms motion-cycle timer.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace cabsim {

class UiTimer final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kFormTimerMs = 100;
  static constexpr int kMotionCycleMs = 33;

  /// A form timer: 100 ms, as coarse as the desktop likes.
  static std::unique_ptr<UiTimer> form_timer();
  /// The motion-cycle timer: 33 ms, kept to the millisecond.
  static std::unique_ptr<UiTimer> motion_timer();

  UiTimer(int interval_ms, bool precise);

  /// Runs on every tick, on the thread that owns the timer.
  std::function<void()> on_tick;

  void start();
  void stop();
  bool active() const { return timer_.isActive(); }
  int interval_ms() const { return timer_.interval(); }
  /// Milliseconds between the last two ticks (0 before the second tick).
  int64_t last_interval_ms() const { return last_interval_ms_; }

 private:
  void tick();

  QTimer timer_;
  QElapsedTimer since_last_;
  int64_t last_interval_ms_ = 0;
};

}  // namespace cabsim
