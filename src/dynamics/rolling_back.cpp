// Rolling-back protection.
#include "dynamics/rolling_back.h"

#include "input/handle_model.h"
#include "input/masconupdate.h"
#include "sound/sound_numbers.h"

namespace cabsim {

void rolling_back_protection_step(RunState& s, const TrainParams& train, const CabworksText& texts,
                                  SoundChannels& sounds) {
  if (train.Back != 1 || s.reverser != 1 || !(s.speed < kRollingBackSpeed)) return;
  s.protection_emergency_flag = 1;
  play_once_from_start(sounds, train.Sound_EB);
  masconupdate(s, train, texts);
  set_brake_pending(s);
}

}  // namespace cabsim
