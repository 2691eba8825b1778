// The two timers of a run as the handlers see them: the 33 ms motion cycle
// (MMTimer1) and the 100 ms operation tick (Timer1). The driving form drives
// them by real timers, the simulation by the scheduler.
#pragma once

namespace cabsim {

class RunTimers {
 public:
  virtual ~RunTimers() = default;
  /// Starts (the first cycle 33 ms later) or stops the motion cycle.
  virtual void set_motion_cycle(bool running) = 0;
  virtual bool motion_cycle_running() const = 0;
  /// Enables (the first tick 100 ms later) or disables the operation tick.
  virtual void set_operation_tick(bool enabled) = 0;
  virtual bool operation_tick_enabled() const = 0;
};

}  // namespace cabsim
