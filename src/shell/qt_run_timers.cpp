// Real timers for the run's two cycles.
#include "shell/qt_run_timers.h"

namespace cabsim {

QtRunTimers::QtRunTimers(std::function<void()> cycle, std::function<void()> tick) {
  motion_->on_tick = std::move(cycle);
  tick_->on_tick = std::move(tick);
}

void QtRunTimers::set_motion_cycle(bool running) {
  if (running == motion_->active()) return;
  running ? motion_->start() : motion_->stop();
}

void QtRunTimers::set_operation_tick(bool enabled) {
  if (enabled == tick_->active()) return;
  enabled ? tick_->start() : tick_->stop();
}

}  // namespace cabsim
