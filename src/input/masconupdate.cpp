// masconupdate: lamps, constant speed, handle texts and pictures, in that order,
// then the panel sprites that show them.
#include "input/masconupdate.h"

#include <algorithm>
#include <string>
#include <utility>

#include "input/handle_model.h"
#include "input/handle_pictures.h"

namespace cabsim {
namespace {

const PowerModeRow* power_mode_row(const RunState& s, const TrainParams& train) {
  if (s.power_mode < 0 || s.power_mode >= train.PowerMode_count ||
      s.power_mode >= static_cast<int32_t>(kMaxPowerModes))
    return nullptr;
  return &train.PowerMode[static_cast<size_t>(s.power_mode)];
}

/// Picture pattern of brake handle position `handle`.
int64_t brake_position_pattern(const TrainParams& train, int64_t handle, bool in_hold) {
  if (train.Hold != 1) return -handle;
  return in_hold ? 0 : 1 - handle;
}

int32_t to_pattern(int64_t pattern) {
  return static_cast<int32_t>(std::clamp<int64_t>(pattern, INT32_MIN, INT32_MAX));
}

}  // namespace

std::optional<std::string> brake_text(const RunState& s, const TrainParams& train,
                                      const CabworksText& texts) {
  int32_t b = s.brake_handle;
  if (b == -train.Brake) return texts.EB;
  if (s.hold_active) return texts.Hold2;
  if (b == 0) return texts.Neut;
  if (train.BrakeType > 0) {
    if (b > 0) return std::nullopt;
    std::string step = "B";  // and the service step number
    step.append(std::to_string(-int64_t{b}));
    return step;
  }
  switch (b) {
    case -3:
      return texts.Apply;
    case -2:
      return texts.Hold;
    case -1:
      return texts.Maintain;
    default:
      return std::nullopt;
  }
}

std::optional<std::string> power_text(const RunState& s, const TrainParams& train,
                                      const CabworksText& texts) {
  if (s.constant_speed_active) return texts.Const;
  if (s.power_handle == 0) return texts.Neut2;
  if (s.power_handle < 1 || s.power_handle > train.Power) return std::nullopt;
  const PowerModeRow* mode = power_mode_row(s, train);
  int32_t first = first_notch_of_mode(train, s.power_mode);
  if (first < 1) first = 1;
  // The notch is counted within its mode: P1, P2 ... of each mode.
  int64_t within = int64_t{s.power_handle} - first + 1;
  return (mode ? mode->first : std::string()) + std::to_string(within);
}

std::string reverser_text(const RunState& s, const CabworksText& texts) {
  if (s.reverser == 1) return texts.Forward;
  if (s.reverser == -1) return texts.Reverse;
  return texts.Neutral;
}

std::optional<std::string> gear_text(const RunState& s, const TrainParams& train,
                                     const CabworksText& texts) {
  if (train.Engine_Type == 0) {
    if (s.target_gear < 0 || s.target_gear >= static_cast<int32_t>(texts.Gears.size()))
      return std::nullopt;
    return texts.Gears[static_cast<size_t>(s.target_gear)];
  }
  const PowerModeRow* mode = power_mode_row(s, train);
  return mode ? mode->second : std::string();
}

void constant_speed_on_handle_update(RunState& s, const TrainParams& train) {
  if (s.constant_speed_active) {
    if (s.brake_handle != s.effective_brake_notch || s.power_handle != s.effective_power_notch) {
      s.constant_speed_active = 0;
      s.effective_power_notch = s.power_handle;
    } else if (s.protection_emergency_flag || s.pattern_brake_flag) {
      s.constant_speed_active = 0;
    }
  }
  // Engagement: the handle was just brought back from the notch above the
  // constant-speed notch, whose delay has not yet passed.
  if (train.Const > 1 && s.speed > kConstantSpeedMinSpeed && !s.constant_speed_active &&
      s.power_handle == train.Const && int64_t{s.effective_power_notch} == int64_t{train.Const} + 1)
    s.constant_speed_active = 1;
}

int32_t brake_picture_pattern(const RunState& s, const TrainParams& train) {
  // Protection shows the position it forces: the last picture for the
  // emergency brake, the one before it for the strongest service brake.
  if (s.protection_emergency_flag)
    return to_pattern(brake_position_pattern(train, -int64_t{train.Brake}, false));
  if (s.pattern_brake_flag)
    return to_pattern(brake_position_pattern(train, 1 - int64_t{train.Brake}, false));
  return to_pattern(brake_position_pattern(train, s.brake_handle, s.hold_active));
}

void masconupdate(RunState& s, RunView& v, const TrainParams& train, const CabworksText& texts) {
  v.forward_lamp = s.reverser == 1;
  v.backward_lamp = s.reverser == -1;
  constant_speed_on_handle_update(s, train);
  v.constant_speed_lamp = s.constant_speed_active;
  // A position no text names leaves the text as it was.
  if (auto text = brake_text(s, train, texts)) v.brake_text = std::move(*text);
  if (auto text = power_text(s, train, texts)) v.power_text = std::move(*text);
  v.reverser_text = reverser_text(s, texts);
  v.power_notch_pattern = s.power_handle;
  v.brake_notch_pattern = brake_picture_pattern(s, train);
  v.gear_pattern = s.gear;
  if (auto text = gear_text(s, train, texts)) v.gear_text = std::move(*text);
  show_handle_pictures(s, v, train);  // the panel's lamps and handle pictures follow at once
}

}  // namespace cabsim
