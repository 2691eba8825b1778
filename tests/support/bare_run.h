// A run with empty definitions, silent channels and timers that never run:
// for the rules tested one step at a time, each test filling the tables it
// needs.
#pragma once

#include "sound/sound_channels_silent.h"
#include "state/run.h"
#include "state/virtual_clock.h"

namespace cabsim::test {

class NoTimers final : public RunTimers {
 public:
  void set_motion_cycle(bool) override {}
  bool motion_cycle_running() const override { return false; }
  void set_operation_tick(bool) override {}
  bool operation_tick_enabled() const override { return false; }
};

struct BareRun {
  VirtualClock clock;
  SilentSoundChannels sounds;
  NoTimers timers;
  Run run{sounds, clock, timers};
  RouteTables& route = *run.route;
  RunState& s = run.state;
  RunView& v = run.view;
};

}  // namespace cabsim::test
