// Reading and setting up the largest route the tables hold: 10000 film
// segments and every object table full.
#include <benchmark/benchmark.h>

#include <string>

#include "data/route_file.h"
#include "data/route_setup.h"

namespace {

/// A list section of `count` rows, row i being `prefix` + i x `step` + `offset` + `suffix`.
std::string rows(const char* key, int count, const char* prefix, int step, int offset,
                 const char* suffix) {
  std::string text = key;
  text += "\r\n";
  for (int i = 0; i < count; ++i) {
    text += prefix;
    text += std::to_string(i * step + offset);
    text += suffix;
    text += "\r\n";
  }
  return text + "#\r\n";
}

/// 10000 segments of 100 frames at 60 km/h; 250 stops and 251 signals off the
/// segment ends (a full event list) and 501 speed checks spread over the line.
std::string largest_route() {
  std::string text = "[SpeedUnit]\r\n";
  for (int i = 0; i < 10000; ++i) {
    text += std::to_string(i * 100);
    text += ',';
    text += std::to_string(i * 100 + 100);
    text += ",60,60\r\n";
  }
  text += "#\r\n";
  text += rows("[Station]", 250, "S,0,", 4000, 50, ",1000,0,0,0,0,0,1,0,0,0,0,0,0,0");
  text += rows("[Signal]", 251, "0,0,0,3,0,0,0,", 3990, 5, ",0,0,0,0,0");
  text += rows("[SpeedCheck1]", 501, "45,0,", 1990, 0, ",0");
  return text;
}

void BM_ReadLargestRoute(benchmark::State& state) {
  const std::string text = largest_route();
  for (auto _ : state) benchmark::DoNotOptimize(cabsim::read_route_bytes(text, {}));
}
BENCHMARK(BM_ReadLargestRoute)->Unit(benchmark::kMillisecond);

void BM_SetUpLargestRoute(benchmark::State& state) {
  auto route = cabsim::read_route_bytes(largest_route(), {});
  for (auto _ : state) {
    cabsim::set_up_route_positions(*route, 0);
    benchmark::DoNotOptimize(route->event_count);
  }
}
BENCHMARK(BM_SetUpLargestRoute)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
