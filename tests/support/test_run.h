// A whole run for tests: the test train and a small route read from real
// Shift-JIS text, the silent channels, the virtual clock and the scheduler
// that calls the run's own timer handlers.
#pragma once

#include <memory>
#include <string>

#include "data/route_file.h"
#include "run/motion_cycle.h"
#include "run/operation_tick.h"
#include "run/run_assembly.h"
#include "run/scheduler.h"
#include "sound/sound_channels_silent.h"
#include "state/run.h"
#include "support/test_files.h"
#include "support/train_builder.h"

namespace cabsim::test {

/// A straight level line filmed at 60 km/h throughout; two stations without
/// doors (kind 2) at frames 100 and 5000. `extra` is added to the file.
inline std::string test_route_text(const std::string& extra = "") {
  return "[LineName]\n試験線 下り\n"
         "[StartPos]\n100\n"
         "[FrameRate]\n30\n"
         "[Friction]\n0.35\n"
         "[DataName]\ntest\n"
         "[Speed_Signal]\n0\n25\n45\n75\n110\n#\n"
         "[Station]\n"
         "東駅,2,100,1000,0,0,0,972000,60,1,0,0,0,300,5,0,100\n"
         "西駅,2,5000,1000,0,0,0,990000,0,1,0,0,0,300,5,0,100\n#\n"
         "[SpeedUnit]\n0,9000,60,60\n#\n" +
         extra;
}

struct TestRun {
  explicit TestRun(const TrainFileText& train_text = TrainFileText{},
                   const std::string& route_text = test_route_text()) {
    run->train = train_text.read();
    run->route = read_route_bytes(sjis_file_text(route_text), RouteReadContext{});
    run->text = test_texts();
    run->state.current_frame = run->route->StartPos;
    set_up_run_state(*run);
  }

  /// Runs simulated time through `ms` (inputs made before come first).
  void run_to(int64_t ms) { scheduler.run_through(ms); }
  /// Runs on for `ms` more.
  void run_for(int64_t ms) { run_to(clock.milliseconds() + ms); }

  RunState& s() { return run->state; }
  RunView& v() { return run->view; }

  VirtualClock clock;
  SilentSoundChannels sounds;
  Scheduler scheduler{clock, [this] { MMTimer1Timer(*run); }, [this] { Timer1Timer(*run); },
                      [this](int64_t ms) { sounds.advance(ms); }};
  std::unique_ptr<Run> run = std::make_unique<Run>(sounds, clock, scheduler);
};

}  // namespace cabsim::test
