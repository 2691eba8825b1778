// The 33 ms motion cycle, MMTimer1Timer: interval, traction, power-notch
// delay, air brake and brake-notch delays, then the film frame and the
// position.
#pragma once

#include "state/run.h"

namespace cabsim {

/// Step 1: the interval since the previous cycle on the millisecond clock
/// (modulo 2^32, as the clock's 32-bit reading wraps).
void cycle_interval_step(RunState& s, const Clock& clock);

/// Step 2: the forces of the 100 ms tick start again from 0.
void clear_forces_step(RunState& s);

/// One 33 ms cycle, its six steps in order.
void MMTimer1Timer(Run& run);

}  // namespace cabsim
