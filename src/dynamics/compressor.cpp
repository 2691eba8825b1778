// Compressor governor.
#include "dynamics/compressor.h"

#include "sound/sound_numbers.h"

namespace cabsim {

void compressor_step(RunState& s, const TrainParams& train, SoundChannels& sounds) {
  if (s.main_reservoir.real() < train.LowAirPress) {
    if (!s.compressor_running) {
      play_once_from_start(sounds, train.CP_Start);
      if (is_channel(sounds, train.CP_Cnt)) sounds.play_looped(train.CP_Cnt);
    }
    s.compressor_running = 1;
  }
  if (s.compressor_running && s.main_reservoir.real() >= train.HighAirPress) {
    play_once_from_start(sounds, train.CP_End);
    if (is_channel(sounds, train.CP_Cnt)) sounds.stop(train.CP_Cnt);
    s.compressor_running = 0;
  }
  if (s.compressor_running) s.main_reservoir = s.main_reservoir.real() + kCompressorChargePerTick;
}

}  // namespace cabsim
