// Cost of the traction and air brake steps of one 33 ms cycle and of the
// handle refresh after a key press.
#include <benchmark/benchmark.h>

#include "dynamics/air_brake.h"
#include "dynamics/traction.h"
#include "input/handle_keys.h"
#include "sound/sound_channels_silent.h"

namespace {

cabsim::TrainParams bench_train() {
  cabsim::TrainParams t;
  t.BrakeType = 1;
  t.BrakeType2 = 1;
  t.Brake = 8;
  t.Power = 4;
  t.PowerDelay = 5;
  t.BrakeDelay = 10;
  t.SAPDelay = 4;
  t.EBrakeDelay = 3;
  t.BrakeUp = 300;
  t.BrakeDown = 240;
  t.SAPUp = 330;
  t.SAPDown = 270;
  t.EBPress = 440;
  t.SAPPress = 420;
  t.HighAirPress = 880;
  t.Engine_Type = 1;
  t.Power_Type = 1;
  t.MaxSpeed = 120;
  t.ELBR = 100;
  t.Tons = cabsim::Fixed::from_real(260);
  for (int n = 0; n < 4; ++n) t.Notch[n] = {3.0L, 2.5L, 40, 80, 0.98L, 0};
  t.Notch_count = 4;
  return t;
}

void BM_MotionCycleSteps(benchmark::State& state) {
  cabsim::TrainParams train = bench_train();
  cabsim::SilentSoundChannels sounds;
  cabsim::RunState s = cabsim::initial_run_state(train);
  s.brake_handle = -3;
  s.power_handle = 2;
  s.speed = 85;
  int i = 0;
  for (auto _ : state) {
    if (++i % 50 == 0) {  // a handle change now and then keeps the delays busy
      s.power_change_pending = s.brake_change_pending = 1;
      s.brake_handle = s.brake_handle == 0 ? -3 : 0;
    }
    s.tractive_force = cabsim::Fixed();
    cabsim::traction_step(s, train, sounds);
    cabsim::power_notch_delay_step(s, train);
    cabsim::air_brake_step(s, train);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_MotionCycleSteps);

void BM_HandleKey(benchmark::State& state) {
  cabsim::TrainParams train = bench_train();
  cabsim::CabworksText texts;
  cabsim::SilentSoundChannels sounds;
  cabsim::RunState s = cabsim::initial_run_state(train);
  cabsim::RunView view;
  const char keys[] = "8888888888822222222222";
  size_t k = 0;
  for (auto _ : state) {
    cabsim::apply_handle_key(s, view, keys[k], train, texts, sounds);
    k = (k + 1) % (sizeof keys - 1);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_HandleKey);

}  // namespace

BENCHMARK_MAIN();
