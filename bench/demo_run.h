// A started run on the demo line under a virtual clock, for the benchmarks
// that time the operation tick: assembled as the program assembles it, its
// timers left to the benchmark, running at 60 km/h.
#pragma once

#include "platform/file_paths.h"
#include "run/run_assembly.h"
#include "run/scheduler.h"
#include "run/start_pause.h"
#include "sound/sound_channels_silent.h"
#include "state/virtual_clock.h"

namespace cabsim {

struct DemoRun {
  VirtualClock clock;
  SilentSoundChannels sounds;
  Scheduler scheduler{clock, [] {}, [] {}};
  Run run{sounds, clock, scheduler};

  DemoRun() {
    RunSelection selection;
    selection.program_dir = CABSIM_DEMO_DIR;
    selection.route_file = "line_up_827M.dat";
    assemble_run(run, selection, RunSettings{}, resolve_file, AssemblySteps{});
    start1Click(run);
    run.state.speed = 60;
  }
};

}  // namespace cabsim
