// The two timers of a run on the desktop: the precise 33 ms motion cycle
// (MMTimer1) and the 100 ms form timer of the operation tick (Timer1), both
// ticking on the user-interface thread.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui_timer.h"
#include "state/run_timers.h"

namespace cabsim {

class QtRunTimers final : public RunTimers {
 public:
  QtRunTimers(std::function<void()> cycle, std::function<void()> tick);

  void set_motion_cycle(bool running) override;
  bool motion_cycle_running() const override { return motion_->active(); }
  void set_operation_tick(bool enabled) override;
  bool operation_tick_enabled() const override { return tick_->active(); }

 private:
  std::unique_ptr<UiTimer> motion_ = UiTimer::motion_timer();
  std::unique_ptr<UiTimer> tick_ = UiTimer::form_timer();
};

}  // namespace cabsim
