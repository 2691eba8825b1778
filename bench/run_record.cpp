// What the run record costs the operation tick: a tick of a started run on
// the demo line without a record, the same tick with the record listening,
// the record's own work after a tick alone, and its keeping of one input.
//
//   run_record [--benchmark_* options]
#include <benchmark/benchmark.h>

#include "demo_run.h"
#include "run/operation_tick.h"
#include "run/run_record.h"

namespace cabsim {
namespace {

void BM_TickWithoutRecord(benchmark::State& state) {
  DemoRun demo;
  for (auto _ : state) {
    Timer1Timer(demo.run);
    benchmark::DoNotOptimize(demo.run.state);
  }
}
BENCHMARK(BM_TickWithoutRecord)->Unit(benchmark::kMicrosecond);

void BM_TickWithRecord(benchmark::State& state) {
  DemoRun demo;
  // A fresh record each full stretch of samples, so every tick keeps one.
  auto record = std::make_unique<RunRecord>(demo.run);
  demo.run.tick_listener = record.get();
  size_t ticks = 0;
  for (auto _ : state) {
    if (++ticks == kMaxRecordSamples) {
      state.PauseTiming();
      record = std::make_unique<RunRecord>(demo.run);
      demo.run.tick_listener = record.get();
      ticks = 0;
      state.ResumeTiming();
    }
    Timer1Timer(demo.run);
    benchmark::DoNotOptimize(demo.run.state);
  }
}
BENCHMARK(BM_TickWithRecord)->Unit(benchmark::kMicrosecond);

void BM_RecordAfterTickAlone(benchmark::State& state) {
  DemoRun demo;
  Timer1Timer(demo.run);
  auto record = std::make_unique<RunRecord>(demo.run);
  size_t ticks = 0;
  for (auto _ : state) {
    if (++ticks == kMaxRecordSamples) {
      state.PauseTiming();
      record = std::make_unique<RunRecord>(demo.run);
      ticks = 0;
      state.ResumeTiming();
    }
    record->after_tick(demo.run);
    benchmark::DoNotOptimize(record->data());
  }
}
BENCHMARK(BM_RecordAfterTickAlone)->Unit(benchmark::kNanosecond);

void BM_RecordInputAlone(benchmark::State& state) {
  DemoRun demo;
  auto record = std::make_unique<RunRecord>(demo.run);
  RunInput input = run_input(RunInputKind::kSerialLine, 0);
  input.set_line("P1");
  size_t inputs = 0;
  for (auto _ : state) {
    if (++inputs == kMaxRecordInputs) {
      state.PauseTiming();
      record = std::make_unique<RunRecord>(demo.run);
      inputs = 0;
      state.ResumeTiming();
    }
    record->on_input(demo.run, input);
    benchmark::DoNotOptimize(record->data());
  }
}
BENCHMARK(BM_RecordInputAlone)->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace cabsim

BENCHMARK_MAIN();
