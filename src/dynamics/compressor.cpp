// Compressor governor.
#include "dynamics/compressor.h"

#include "sound/sound_numbers.h"

namespace cabsim {

void compressor_step(RunState& s, const TrainParams& train, SoundChannels& sounds) {
  if (s.main_reservoir.real() < train.LowAirPress) {
    if (!s.compressor_running) {
      play_once_from_start(sounds, train.CP_Start);
      start_looped(sounds, train.CP_Cnt);
    }
    s.compressor_running = 1;
  }
  if (s.compressor_running && s.main_reservoir.real() >= train.HighAirPress) {
    play_once_from_start(sounds, train.CP_End);
    stop_if_playing(sounds, train.CP_Cnt);
    s.compressor_running = 0;
  }
  if (s.compressor_running) s.main_reservoir = s.main_reservoir.real() + kCompressorChargePerTick;
}

}  // namespace cabsim
