// Handle pictures and lamps of the cab panel.
#include "input/handle_pictures.h"

#include "state/panel_state.h"

namespace cabsim {
namespace {

using E = PanelElement;

/// The power and brake notch pictures of one pair.
void show_notch_pair(PanelState& panel, E power, E brake, const RunState& s, const RunView& v,
                     const TrainParams& train) {
  if (panel[power].present) panel[power].set_pattern(v.power_notch_pattern);
  if (panel[brake].present) panel[brake].set_pattern(v.brake_notch_pattern);
  // A one-lever train with hold shows its power picture only off the brake.
  if (train.Hold == 1 && !s.protection_emergency_flag)
    panel.show(power, train.Handle != 0 || s.brake_handle >= 0);
}

}  // namespace

void show_handle_pictures(const RunState& s, RunView& v, const TrainParams& train) {
  PanelState& panel = v.panel;
  panel.show(E::kLampFwd, v.forward_lamp != 0);
  panel.show(E::kLampBack, v.backward_lamp != 0);
  panel.show(E::kLampConst, v.constant_speed_lamp != 0);
  if (panel[E::kGear].present) panel[E::kGear].set_pattern(v.gear_pattern);
  show_notch_pair(panel, E::kNotchP, E::kNotchB, s, v, train);
  // The second pair keeps what it showed while protection holds the brake.
  if (!s.protection_emergency_flag && !s.pattern_brake_flag)
    show_notch_pair(panel, E::kNotchP2, E::kNotchB2, s, v, train);
}

}  // namespace cabsim
