// The character table's handle rows, in table order.
#include "input/handle_keys.h"

#include "input/handle_model.h"
#include "input/masconupdate.h"

namespace cabsim {

char swapped_key(const RunState& s, char key) {
  if (!s.key_swap) return key;
  if (key == '2') return '8';
  if (key == '8') return '2';
  return key;
}

char apply_handle_key(RunState& s, RunView& v, char key, const TrainParams& train,
                      const CabworksText& texts, SoundChannels& sounds) {
  key = swapped_key(s, key);
  const bool one_lever = train.Handle == 0;
  const bool two_handles = train.Handle == 1;
  // Several rows may fire for one character; they run in the table's order.
  if (key == 'f') move_reverser(s, v, 1, train, texts);
  if (key == 'b') move_reverser(s, v, -1, train, texts);
  if (key == 'n') move_reverser(s, v, 0, train, texts);
  if (key == 'z' && one_lever) one_lever_power_up(s, train);
  if (key == 'a' && one_lever) one_lever_power_down(s, train, /*key_two=*/false);
  if (key == 'q' && one_lever) emergency(s, train, sounds, EmergencyKey::kSilentOneLever);
  if (key == 'z' && two_handles) power_handle_up(s, train);
  if (key == 'a' && two_handles) power_handle_down(s, train);
  if (key == ',' && two_handles) brake_handle_up(s, train);
  if (key == '.' && two_handles) brake_handle_down(s, train);
  if (key == '/' && two_handles) emergency(s, train, sounds, EmergencyKey::kBrakeHandleOnly);
  if (key == '8') one_lever_power_up(s, train);
  if (key == '2') one_lever_power_down(s, train, /*key_two=*/true);
  if (key == '5') neutral(s);
  if (key == '0') emergency(s, train, sounds, EmergencyKey::kWithPowerOff);
  if ((key == '9' || key == 'w') && s.power_handle == 0) next_power_mode(s, v, train, texts);
  if (key == 't') constant_speed_on(s, v, train, texts);
  if (key == 's') gear_lever(s, v, train, texts, +1);
  if (key == 'x') gear_lever(s, v, train, texts, -1);
  masconupdate(s, v, train, texts);
  return key;
}

}  // namespace cabsim
