// Timers on the user-interface thread.
#include "platform/ui_timer.h"

namespace cabsim {

std::unique_ptr<UiTimer> UiTimer::form_timer() {
  return std::make_unique<UiTimer>(kFormTimerMs, false);
}

std::unique_ptr<UiTimer> UiTimer::motion_timer() {
  return std::make_unique<UiTimer>(kMotionCycleMs, true);
}

UiTimer::UiTimer(int interval_ms, bool precise) {
  timer_.setInterval(std::max(1, interval_ms));
  timer_.setTimerType(precise ? Qt::PreciseTimer : Qt::CoarseTimer);
  connect(&timer_, &QTimer::timeout, this, &UiTimer::tick);
}

void UiTimer::start() {
  last_interval_ms_ = 0;
  since_last_.invalidate();
  timer_.start();
}

void UiTimer::stop() {
  timer_.stop();
}

void UiTimer::tick() {
  if (since_last_.isValid())
    last_interval_ms_ = since_last_.restart();
  else
    since_last_.start();
  if (on_tick) on_tick();
}

}  // namespace cabsim
