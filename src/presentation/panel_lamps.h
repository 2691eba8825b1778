// The lamps and pictures of the cab panel that follow the handles, the
// traction and the track: running lamps, handle pictures, the cab signal
// display, the extra indicator pictures and the tunnel shade.
#pragma once

#include <cstdint>
#include <optional>

#include "data/cab_panel.h"
#include "data/route_tables.h"
#include "data/train_params.h"
#include "state/panel_state.h"
#include "state/run_state.h"
#include "state/run_view.h"

namespace cabsim {

/// Picture numbers of the signal step from this one on are cab signal aspects:
/// the cab signal display shows pattern (number - this).
constexpr int32_t kFirstCabSignalAspect = 37;
/// Distance over which the tunnel shade fades in after the portal and out
/// before the exit, cm.
constexpr long double kTunnelFadeLength = 1500.0L;
/// The shade's opacity range.
constexpr int32_t kMaxShadeAlpha = 255;
/// `[Others]` entries with a meaning of their own.
constexpr size_t kOtherNotchOff = 3;       ///< automatic notch-off in force
constexpr size_t kOtherCabSignalMode = 5;  ///< the route runs on cab signals

/// Power is cut while the doors are not closed.
inline bool power_cut_by_doors(const RunState& s) {
  return s.doors_open != 0;
}

/// Operation tick, step 8: the power, regeneration, electric, air brake,
/// notching-progress and constant-speed lamps.
void update_running_lamps(const RunState& s, RunView& v, const TrainParams& train);

/// The extra pictures with a meaning: item 3 while automatic notch-off is in
/// force, item 5 while the route's cab-signal mode is 1.
void update_other_indicators(PanelState& panel, bool notch_off, int32_t cab_signal_mode);

/// The `[Lamp_signal]` pattern that shows `speed` km/h: the first list entry
/// equal to it, or nothing.
std::optional<int32_t> cab_signal_pattern(const CabPanelDefinition& panel, int32_t speed);

/// Speed checks: shows `speed` on the cab signal display when the list has it
/// and it is not already shown (remembered in `cab_signal_frame`). Returns
/// whether the list has the speed.
bool show_cab_signal_speed(RunView& v, const CabPanelDefinition& definition, int32_t speed);
/// Speed checks: hides the cab signal display and forgets what it showed.
void hide_cab_signal(RunView& v);
/// Signal step on cab-signal routes: aspect pictures from 37 on show their
/// pattern, lower ones hide the display.
void show_cab_signal_aspect(PanelState& panel, int32_t picture_number);

/// The darkness of the tunnel at `position` (cm): the row's darkness inside,
/// fading over the first and last 15 m; 0 outside every tunnel. A later row
/// that contains the position wins. Clamped to 0 .. 255.
int32_t tunnel_shade_level(const RouteTables& route, long double position);

/// Operation tick, with the track-side steps: the tunnel shade shows the
/// level as its alpha, unless visual effects are switched off or the level is
/// 0, when it is hidden.
void update_tunnel_shade(PanelState& panel, const RouteTables& route, long double position,
                         bool visual_effects_off);

}  // namespace cabsim
