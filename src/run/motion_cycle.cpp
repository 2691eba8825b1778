// The six steps of the 33 ms cycle.
#include "run/motion_cycle.h"

#include "dynamics/air_brake.h"
#include "dynamics/frame_stepping.h"
#include "dynamics/traction.h"

namespace cabsim {

void cycle_interval_step(RunState& s, const Clock& clock) {
  const auto now = static_cast<uint32_t>(clock.milliseconds());
  s.cycle_interval = now - s.last_cycle_time;
  s.last_cycle_time = static_cast<uint32_t>(clock.milliseconds());
}

void clear_forces_step(RunState& s) {
  s.tractive_force = Fixed();
  s.resistance_force = Fixed();
}

void MMTimer1Timer(Run& run) {
  RunState& s = run.state;
  cycle_interval_step(s, run.clock);
  clear_forces_step(s);
  traction_step(s, run.train, run.sounds);
  power_notch_delay_step(s, run.train);
  air_brake_step(s, run.train);
  frame_stepping(s, *run.route);
  // The time-driven film counters of the film inserts join here.
}

}  // namespace cabsim
