// What the value display costs the operation tick: a tick of a started run on
// the demo line with the display hidden (the tick's own work only), and with
// it on show (its values computed, its labels and sound grid set and painted
// offscreen).
//
//   value_display [--benchmark_* options]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "demo_run.h"
#include "presentation/value_display.h"
#include "run/operation_tick.h"
#include "shell/value_display_form.h"

namespace cabsim {
namespace {

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
