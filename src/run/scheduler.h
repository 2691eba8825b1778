// Simulated time for a run: the 33 ms motion cycles and the 100 ms operation
// ticks fall due on a virtual clock and are run as the real timers would run
// them, one at a time on one thread. A timer started at S falls due at
// S + period x k while it runs; at one millisecond an input goes first (the
// caller makes it before run_due), then the cycle, then the tick.
#pragma once

#include <cstdint>
#include <functional>

#include "state/run_timers.h"
#include "state/virtual_clock.h"

namespace cabsim {

/// Periods of the two timers, ms.
constexpr int64_t kMotionCyclePeriodMs = 33;
constexpr int64_t kOperationTickPeriodMs = 100;

class Scheduler final : public RunTimers {
 public:
  using Handler = std::function<void()>;

  /// `cycle` and `tick` are the handlers the timers call (MMTimer1Timer and
  /// Timer1Timer of a run); `time_passes` hears of every advance of the
  /// clock (the silent sound channels let their sounds play on).
  Scheduler(VirtualClock& clock, Handler cycle, Handler tick,
            std::function<void(int64_t ms)> time_passes = {});

  void set_motion_cycle(bool running) override;
  bool motion_cycle_running() const override { return cycle_running_; }
  void set_operation_tick(bool enabled) override;
  bool operation_tick_enabled() const override { return tick_enabled_; }

  /// Runs every cycle and tick due before `ms`, each at its own time, then
  /// moves the clock to `ms`.
  void advance_to(int64_t ms);
  /// Runs the cycle and then the tick due at the clock's present time.
  void run_due();
  /// advance_to(ms), then run_due().
  void run_through(int64_t ms);

  int64_t now() const { return clock_.milliseconds(); }

 private:
  void move_clock(int64_t ms);
  /// The earliest time a running timer falls due, or -1.
  int64_t next_due() const;

  VirtualClock& clock_;
  Handler cycle_;
  Handler tick_;
  std::function<void(int64_t)> time_passes_;
  bool cycle_running_ = false;
  bool tick_enabled_ = false;
  int64_t next_cycle_ = 0;
  int64_t next_tick_ = 0;
};

}  // namespace cabsim
