// masconupdate: lamps, constant speed, handle texts and pictures, in that order,
// then the panel sprites that show them.
#include "input/masconupdate.h"

#include <algorithm>
#include <string>
#include <utility>

#include "dynamics/constant_speed.h"
#include "input/handle_model.h"
#include "presentation/panel_lamps.h"

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

int32_t brake_picture_pattern(const RunState& s, const TrainParams& train) {
  // Protection shows the position it forces: the last picture for the
  // emergency brake, the one before it for the strongest service brake.
  if (s.protection_emergency_flag)
    return to_pattern(brake_position_pattern(train, -int64_t{train.Brake}, false));
  if (s.pattern_brake_flag)
    return to_pattern(brake_position_pattern(train, 1 - int64_t{train.Brake}, false));
  return to_pattern(brake_position_pattern(train, s.brake_handle, s.hold_active));
}

void masconupdate(RunState& s, const TrainParams& train, const CabworksText& texts) {
  s.forward_lamp = s.reverser == 1;
  s.backward_lamp = s.reverser == -1;
  constant_speed_on_handle_update(s, train);
  s.constant_speed_lamp = s.constant_speed_active;
  // A position no text names leaves the text as it was.
  if (auto text = brake_text(s, train, texts)) s.brake_text = std::move(*text);
  if (auto text = power_text(s, train, texts)) s.power_text = std::move(*text);
  s.reverser_text = reverser_text(s, texts);
  s.power_notch_pattern = s.power_handle;
  s.brake_notch_pattern = brake_picture_pattern(s, train);
  s.gear_pattern = s.gear;
  if (auto text = gear_text(s, train, texts)) s.gear_text = std::move(*text);
  show_handle_pictures(s, train);  // the panel's lamps and handle pictures follow at once
}

}  // namespace cabsim
