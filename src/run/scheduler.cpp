// Cycles and ticks merged by time on the virtual clock.
#include "run/scheduler.h"

#include <algorithm>
#include <utility>

namespace cabsim {

Scheduler::Scheduler(VirtualClock& clock, Handler cycle, Handler tick,
                     std::function<void(int64_t)> time_passes)
    : clock_(clock),
      cycle_(std::move(cycle)),
      tick_(std::move(tick)),
      time_passes_(std::move(time_passes)) {}

void Scheduler::set_motion_cycle(bool running) {
  if (running && !cycle_running_) next_cycle_ = now() + kMotionCyclePeriodMs;
  cycle_running_ = running;
}

void Scheduler::set_operation_tick(bool enabled) {
  if (enabled && !tick_enabled_) next_tick_ = now() + kOperationTickPeriodMs;
  tick_enabled_ = enabled;
}

void Scheduler::move_clock(int64_t ms) {
  const int64_t before = now();
  clock_.advance_to(ms);
  if (time_passes_ && now() > before) time_passes_(now() - before);
}

int64_t Scheduler::next_due() const {
  int64_t due = -1;
  if (cycle_running_) due = next_cycle_;
  if (tick_enabled_) due = due < 0 ? next_tick_ : std::min(due, next_tick_);
  return due;
}

void Scheduler::run_due() {
  const int64_t t = now();
  // A handler that slept (the engine start waits) has moved the clock on;
  // what fell due meanwhile runs late, in order.
  if (cycle_running_ && next_cycle_ <= t) {
    next_cycle_ += kMotionCyclePeriodMs;
    cycle_();
  }
  if (tick_enabled_ && next_tick_ <= t) {
    next_tick_ += kOperationTickPeriodMs;
    tick_();
  }
}

void Scheduler::advance_to(int64_t ms) {
  for (int64_t due = next_due(); due >= 0 && due < ms; due = next_due()) {
    move_clock(due);
    run_due();
  }
  move_clock(ms);
}

void Scheduler::run_through(int64_t ms) {
  advance_to(ms);
  run_due();
}

}  // namespace cabsim
