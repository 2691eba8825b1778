// Step operations of the reverser, the power and brake handles, power modes,
// constant speed and the gear lever.
#include "input/handle_model.h"

#include <cmath>

#include "input/masconupdate.h"
#include "sound/sound_numbers.h"

namespace cabsim {

int32_t notch_group(const TrainParams& train, int32_t notch) {
  // Rows past the last one read are zero, so their notches are in mode 0.
  if (notch < 1 || notch > static_cast<int32_t>(kMaxNotches)) return 0;
  return train.Notch[static_cast<size_t>(notch - 1)].group;
}

int32_t first_notch_of_mode(const TrainParams& train, int32_t mode) {
  if (mode == 0) return 1;
  if (mode < 1 || mode > train.notch_group_count) return 0;
  return train.notch_group_starts[static_cast<size_t>(mode - 1)] + 1;
}

void set_all_pending(RunState& s) {
  s.power_change_pending = 1;
  set_brake_pending(s);
}

void set_brake_pending(RunState& s) {
  s.brake_change_pending = 1;
  s.straight_air_change_pending = 1;
  s.electric_brake_change_pending = 1;
}

bool move_reverser(RunState& s, RunView& v, int32_t direction, const TrainParams& train,
                   const CabworksText& texts) {
  if (std::fabs(s.speed) > kReverserMaxSpeed) return false;
  s.reverser = direction;
  masconupdate(s, v, train, texts);
  return true;
}

namespace {

/// One notch up within the current power mode; from 0 into the mode's first
/// notch. The handle never crosses into another mode.
void power_step_up(RunState& s, const TrainParams& train) {
  if (s.brake_handle != 0 || s.power_handle >= train.Power || s.hold_active) return;
  if (notch_group(train, s.power_handle + 1) == s.power_mode) {
    s.power_handle += 1;
  } else if (s.power_handle == 0 && s.power_mode > 0) {
    int32_t first = first_notch_of_mode(train, s.power_mode);
    if (first > 0) s.power_handle = first;
  }
}

/// One notch down within the current power mode; from the mode's first notch
/// straight to 0.
void power_step_down(RunState& s, const TrainParams& train, bool need_released_brake) {
  bool may_step = s.power_handle >= 2 && (!need_released_brake || s.brake_handle == 0);
  if (may_step && notch_group(train, s.power_handle - 1) == s.power_mode) {
    s.power_handle -= 1;
  } else if (s.power_handle > 0 && s.power_handle == first_notch_of_mode(train, s.power_mode)) {
    s.power_handle = 0;
  }
}

/// One step towards emergency through hold: 0, hold, B1, B2 ... the strongest
/// service step. The emergency position is not reached by stepping.
void brake_step_down(RunState& s, const TrainParams& train, bool need_power_off) {
  if (s.hold_active) {
    s.hold_active = 0;
    s.brake_handle = -1;
    s.left_hold = 1;
  }
  if (need_power_off && s.power_handle != 0) return;
  if (s.brake_handle <= -train.Brake + 1 || s.hold_active) return;
  if (train.Hold == 1 && s.brake_handle == 0) {
    s.hold_active = 1;
  } else if (train.Hold == 1 && s.brake_handle < 0 && !s.left_hold) {
    s.brake_handle -= 1;
  } else if (train.Hold == 0) {
    s.brake_handle -= 1;
  } else if (train.Hold == 1 && s.left_hold) {
    s.left_hold = 0;  // the step that left hold already stands at B1
  }
}

}  // namespace

void one_lever_power_up(RunState& s, const TrainParams& train) {
  power_step_up(s, train);
  if (s.hold_active) s.hold_active = 0;  // the step out of hold stays at 0
  if (s.power_handle == 0 && s.brake_handle < 0) {
    // Towards release: B1 goes into hold when the handle has one.
    s.brake_handle += 1;
    if (train.Hold == 1 && s.brake_handle == 0) s.hold_active = 1;
  }
  set_all_pending(s);
}

void one_lever_power_down(RunState& s, const TrainParams& train, bool key_two) {
  brake_step_down(s, train, /*need_power_off=*/true);
  power_step_down(s, train, key_two);
  set_all_pending(s);
}

void power_handle_up(RunState& s, const TrainParams& train) {
  power_step_up(s, train);
  s.power_change_pending = 1;
}

void power_handle_down(RunState& s, const TrainParams& train) {
  power_step_down(s, train, /*need_released_brake=*/false);
  s.power_change_pending = 1;
}

void brake_handle_up(RunState& s, const TrainParams& train) {
  s.hold_active = 0;
  if (s.brake_handle < 0) {
    s.brake_handle += 1;
    if (train.Hold == 1 && s.brake_handle == 0) s.hold_active = 1;
  }
  set_brake_pending(s);
}

void brake_handle_down(RunState& s, const TrainParams& train) {
  brake_step_down(s, train, /*need_power_off=*/false);
  set_brake_pending(s);
}

void emergency(RunState& s, const TrainParams& train, SoundChannels& sounds, EmergencyKey key) {
  if (key != EmergencyKey::kSilentOneLever && s.brake_handle != -train.Brake &&
      !s.protection_emergency_flag)
    play_once_from_start(sounds, train.Sound_EB);
  s.hold_active = 0;
  s.brake_handle = -train.Brake;
  if (key == EmergencyKey::kBrakeHandleOnly) {
    set_brake_pending(s);
  } else {
    s.power_handle = 0;
    set_all_pending(s);
  }
}

void neutral(RunState& s) {
  s.hold_active = 0;
  s.brake_handle = 0;
  s.power_handle = 0;
  set_all_pending(s);
}

void next_power_mode(RunState& s, RunView& v, const TrainParams& train, const CabworksText& texts) {
  if (s.power_handle != 0) return;
  s.power_mode += 1;
  if (s.power_mode >= train.PowerMode_count) s.power_mode = 0;
  s.power_handle = 0;
  masconupdate(s, v, train, texts);
}

void constant_speed_on(RunState& s, RunView& v, const TrainParams& train,
                       const CabworksText& texts) {
  if (s.power_handle == train.Power && s.speed > 15 && !s.constant_speed_active &&
      train.Const == 1) {
    s.constant_speed_active = 1;
    v.power_text = texts.Const;
  }
}

void gear_lever(RunState& s, RunView& v, const TrainParams& train, const CabworksText& texts,
                int32_t step) {
  if (train.Engine_Type != 0 || train.Gear_Type != 1 || s.effective_power_notch != 0) return;
  int32_t last_gear = train.Engine_count - 1;
  if (step > 0 && s.target_gear < last_gear) s.target_gear += 1;
  if (step < 0 && s.target_gear > 0) s.target_gear -= 1;
  masconupdate(s, v, train, texts);
}

}  // namespace cabsim
