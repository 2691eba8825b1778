// What the value display costs the operation tick: a tick of a started run on
// the demo line with the display hidden (the tick's own work only), and with
// it on show (its values computed, its labels and sound grid set and painted
// offscreen).
//
//   value_display [--benchmark_* options]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "platform/file_paths.h"
#include "presentation/value_display.h"
#include "run/operation_tick.h"
#include "run/run_assembly.h"
#include "run/scheduler.h"
#include "run/start_pause.h"
#include "shell/value_display_form.h"
#include "sound/sound_channels_silent.h"
#include "state/virtual_clock.h"

namespace cabsim {
namespace {

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

void BM_TickWithTheValueDisplayHidden(benchmark::State& state) {
  DemoRun demo;
  for (auto _ : state) {
    Timer1Timer(demo.run);
    benchmark::DoNotOptimize(demo.run.state);
  }
}
BENCHMARK(BM_TickWithTheValueDisplayHidden)->Unit(benchmark::kMicrosecond);

void BM_TickWithTheValueDisplayShown(benchmark::State& state) {
  DemoRun demo;
  TForm3 form;
  form.show();
  for (auto _ : state) {
    Timer1Timer(demo.run);
    form.show_values(value_display(demo.run, {demo.run.state.current_frame, 30}));
    form.show_sounds(demo.run.sounds);
    QApplication::processEvents();  // the changed labels are painted
    benchmark::DoNotOptimize(demo.run.state);
  }
}
BENCHMARK(BM_TickWithTheValueDisplayShown)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace cabsim

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
