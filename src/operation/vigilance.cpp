// Vigilance counter, warning sound and emergency brake.
#include "operation/vigilance.h"

#include "input/handle_model.h"
#include "input/masconupdate.h"
#include "sound/sound_numbers.h"

namespace cabsim {

void reset_vigilance(Run& run) {
  run.state.vigilance_counter = 0;
  stop_if_playing(run.sounds, run.train.Sound_EBring);
  run.view.vigilance_lamp = 0;
  run.view.panel.show(PanelElement::kLampEB, false);
}

void vigilance_step(Run& run) {
  RunState& s = run.state;
  if (!s.vigilance_enabled) return;
  if (s.speed > kVigilanceSpeed) s.vigilance_counter += 1;
  if (s.vigilance_counter > kVigilanceWarningTicks) {
    const int32_t ring = run.train.Sound_EBring;
    if (is_channel(run.sounds, ring) && run.sounds.status(ring) == ChannelStatus::kStopped)
      run.sounds.play_once(ring);
    run.view.vigilance_lamp = 1;
    run.view.panel.show(PanelElement::kLampEB, true);
  }
  if (s.vigilance_counter > kVigilanceEmergencyTicks) {
    stop_if_playing(run.sounds, run.train.Sound_EBring);
    s.vigilance_counter = 0;
    s.protection_emergency_flag = 1;
    masconupdate(run);
    set_all_pending(s);
  }
}

}  // namespace cabsim
