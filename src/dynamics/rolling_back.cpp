// Rolling-back protection.
#include "dynamics/rolling_back.h"

#include "input/handle_model.h"
#include "sound/sound_numbers.h"

namespace cabsim {

bool rolling_back_protection_step(RunState& s, const TrainParams& train, SoundChannels& sounds) {
  if (train.Back != 1 || s.reverser != 1 || !(s.speed < kRollingBackSpeed)) return false;
  s.protection_emergency_flag = 1;
  play_once_from_start(sounds, train.Sound_EB);
  set_brake_pending(s);  // the pending flags are not read by the handle refresh
  return true;
}

}  // namespace cabsim
