// Lamp, handle picture, cab signal and tunnel shade rules of the panel.
#include "presentation/panel_lamps.h"

#include <algorithm>

#include "data/rounding.h"

namespace cabsim {
namespace {

using E = PanelElement;

bool service_notch(int32_t notch, const TrainParams& train) {
  return -int64_t{train.Brake} < notch && notch < 0;
}

/// The power notch's curve row pulls backwards (a retarding notch).
bool retarding_notch(const RunState& s, const TrainParams& train) {
  int32_t n = s.power_handle;
  if (n < 1 || n > train.Notch_count || n > static_cast<int32_t>(kMaxNotches)) return false;
  return train.Notch[static_cast<size_t>(n - 1)].a0 < 0;
}

bool regeneration_lamp(const RunState& s, const TrainParams& train) {
  bool braking_current = s.electric_brake_current > 0;
  if (s.hold_active && s.resistance_force.count() > 0 && braking_current) return true;
  if (service_notch(s.effective_brake_notch, train) && braking_current) return true;
  return s.power_handle >= 1 && s.tractive_force.count() < 0 && retarding_notch(s, train);
}

bool electric_lamp(const RunState& s, const TrainParams& train) {
  if (!power_cut_by_doors(s) && s.effective_power_notch >= 1) return true;
  return s.effective_brake_notch < 0 && -int64_t{train.Brake} < s.brake_handle &&
         s.electric_brake_current > 0;
}

}  // namespace

void update_running_lamps(const RunState& s, RunView& v, const TrainParams& train) {
  PanelState& panel = v.panel;
  panel.show(E::kLampPower, s.effective_power_notch >= 1 && !power_cut_by_doors(s));
  panel.show(E::kLampGen, regeneration_lamp(s, train));
  panel.show(E::kLampEle, electric_lamp(s, train));
  panel.show(E::kLampAir, service_notch(s.effective_brake_notch, train));
  panel.show(E::kLampFin, v.step_end_lamp != 0);
  panel.show(E::kLampConst, v.constant_speed_lamp != 0);
}

void update_other_indicators(PanelState& panel, bool notch_off, int32_t cab_signal_mode) {
  panel.show(other_picture(kOtherNotchOff), notch_off);
  panel.show(other_picture(kOtherCabSignalMode), cab_signal_mode == 1);
}

std::optional<int32_t> cab_signal_pattern(const CabPanelDefinition& panel, int32_t speed) {
  int32_t count = std::clamp<int32_t>(panel.Lamp_signal_count, 0, kMaxCabSignalSpeeds);
  for (int32_t k = 0; k < count; ++k)
    if (panel.Lamp_signal_speeds[static_cast<size_t>(k)] == speed) return k;
  return std::nullopt;
}

bool show_cab_signal_speed(RunView& v, const CabPanelDefinition& definition, int32_t speed) {
  auto k = cab_signal_pattern(definition, speed);
  if (!k) return false;
  if (*k + 1 == v.cab_signal_frame) return true;
  PanelSprite& display = v.panel[E::kCabSignal];
  // A list longer than the picture has patterns hides the display.
  if (display.present) display.visible = display.set_pattern(*k) ? 1 : 0;
  v.cab_signal_frame = *k + 1;
  return true;
}

void hide_cab_signal(RunView& v) {
  v.panel.show(E::kCabSignal, false);
  v.cab_signal_frame = -1;
}

void show_cab_signal_aspect(PanelState& panel, int32_t picture_number) {
  PanelSprite& display = panel[E::kCabSignal];
  if (!display.present) return;
  if (picture_number < kFirstCabSignalAspect) {
    display.visible = 0;
    return;
  }
  display.visible = display.set_pattern(int64_t{picture_number} - kFirstCabSignalAspect) ? 1 : 0;
}

int32_t tunnel_shade_level(const RouteTables& route, long double position) {
  long double level = 0;
  int32_t count = std::clamp<int32_t>(route.Tunnel_count, 0, kMaxTunnels);
  for (int32_t i = 0; i < count; ++i) {
    const TunnelRow& row = route.Tunnel[static_cast<size_t>(i)];
    long double entry = row.entry_position, exit = row.exit_position;
    if (!(entry < position && position < exit)) continue;
    long double darkness = row.darkness;
    long double in = position - entry, out = exit - position;
    if (in >= kTunnelFadeLength && out >= kTunnelFadeLength)
      level = darkness;
    else if (darkness == 0)
      level = 0;  // no shade to fade
    else if (in >= kTunnelFadeLength)
      level = round_half_even(out / (kTunnelFadeLength / darkness));
    else
      level = round_half_even(in / (kTunnelFadeLength / darkness));
  }
  return static_cast<int32_t>(std::clamp<long double>(level, 0, kMaxShadeAlpha));
}

void update_tunnel_shade(PanelState& panel, const RouteTables& route, long double position,
                         bool visual_effects_off) {
  int32_t level = tunnel_shade_level(route, position);
  PanelSprite& shade = panel[E::kPanel2];
  if (!shade.present) return;
  if (!visual_effects_off && level != 0) {
    shade.visible = 1;
    shade.alpha = level;
  } else {
    shade.visible = 0;
  }
}

}  // namespace cabsim
