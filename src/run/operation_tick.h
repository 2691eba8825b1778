// The 100 ms operation tick, Timer1Timer: one pass through its fixed list of
// numbered steps inside its two error traps.
#pragma once

#include <span>

#include "state/run.h"

namespace cabsim {

/// A step of the pass: its number in the tick and what it does.
struct TickStep {
  int number;
  const char* name;
  void (*run)(Run&);
};

/// Steps 1 to 41, in order: an error in any of them ends the pass silently.
std::span<const TickStep> main_tick_steps();
/// Steps 42 to 45: an error is trapped on its own and step 46 still runs.
std::span<const TickStep> late_tick_steps();

/// One operation tick.
void Timer1Timer(Run& run);

}  // namespace cabsim
