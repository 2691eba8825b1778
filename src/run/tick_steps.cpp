// The operation tick's own steps and the dynamics steps it calls.
#include "run/tick_steps.h"

#include "presentation/panel_gauges.h"
#include "presentation/panel_lamps.h"

#include <stdexcept>

#include "data/route_lookup.h"
#include "data/shift_jis.h"
#include "dynamics/compressor.h"
#include "dynamics/diesel_engine.h"
#include "dynamics/electric_brake.h"
#include "dynamics/motion_stretch.h"
#include "dynamics/resistance.h"
#include "dynamics/rolling_back.h"
#include "dynamics/traction_current.h"
#include "input/masconupdate.h"
#include "operation/ats.h"
#include "operation/calls.h"
#include "operation/signals.h"
#include "operation/speed_limits.h"
#include "operation/vigilance.h"
#include "presentation/commentary.h"
#include "presentation/notices.h"
#include "presentation/sign_column.h"
#include "presentation/station_display.h"
#include "sound/channel_layout.h"
#include "state/checked_math.h"

namespace cabsim {
namespace {

/// Index of the green-aspect speed among the `[Speed_Signal]` values.
constexpr size_t kGreenAspect = 4;
/// Margin of the upper section speed over the permitted speed, km/h.
constexpr int32_t kSectionMargin = 5;

}  // namespace

void section_speed_step(Run& run) {
  RunState& s = run.state;
  const RouteTables& route = *run.route;
  int32_t upper = route.Speed_Signal[kGreenAspect];
  int32_t permitted = checked_add(upper, -kSectionMargin);
  for (int32_t i = 0; i < route.Station_count; ++i) {
    const StationData* here = station_at(route, i);
    const StationData* next = station_at(route, i + 1);
    if (here->stop_position < s.position && next->stop_position > s.position) {
      upper = checked_add(here->speed_after, kSectionMargin);
      permitted = here->speed_after;
    }
  }
  s.section_upper_speed = upper;
  s.section_permitted_speed = permitted;
}

void panel_instruments_step(Run& run) {
  update_panel_gauges(run.state, run.view, run.train);
  update_tunnel_shade(run.view.panel, *run.route, run.state.position, run.settings.Tunnel == 1);
}

void panel_lamps_step(Run& run) {
  update_running_lamps(run.state, run.view, run.train);
  // No rule of the traction sets an automatic notch-off state: its picture
  // stays dark. The protection picture shows an ATS-P train.
  update_other_indicators(run.view.panel, false, run.train.ATS_Type);
}

void tunnel_membership_tick_step(Run& run) {
  tunnel_membership_step(run.state, *run.route);
}

void motion_stretch_step(Run& run) {
  motion_stretch(run.state, run.view, run.train, *run.route);
}

void speed_text_tick_step(Run& run) {
  speed_text_step(run.state, run.view);
}

void gear_selection_step(Run& run) {
  automatic_gear_selection_step(run.state, run.train);
}

void traction_current_step(Run& run) {
  motor_current_step(run.state, run.view, run.train);
  electric_brake_step(run.state, run.train);
  compressor_step(run.state, run.train, run.sounds);
  voltmeter_step(run.state);
}

void gradient_averaging_step(Run& run) {
  train_gradient_step(run.state, run.train);
}

void gradient_sign_tick_step(Run& run) {
  local_gradient_step(run.state, *run.route);
  gradient_sign_step(run);
}

void signal_step(Run& run) {
  signal_aspects(run);
  const SignalDisplayResult shown = signal_display(run);
  if (shown.cab_signal_picture) show_cab_signal_aspect(run.view.panel, *shown.cab_signal_picture);
}

void cab_signal_brake_tick_step(Run& run) {
  cab_signal_brake_step(run);
}

void speed_limit_tick_step(Run& run) {
  speed_limit_lookahead(run);
  speed_limit_sign_step(run, approaching_speed_limit(run.state));
  speed_check_step(run);
  speed_zone_step(run);
}

void sign_pictures_step(Run& run) {
  animation_step(run);
  other_sign_step(run);
  forget_called_sign(run);
}

void vigilance_tick_step(Run& run) {
  vigilance_step(run);
}

void gear_change_tick_step(Run& run) {
  if (gear_change_step(run.state, run.train)) masconupdate(run);
  engine_speed_step(run.state, run.train);
}

void engine_stall_tick_step(Run& run) {
  engine_stall_step(run.state, run.train, run.sounds);
}

void reverse_running_step(Run& run) {
  if (rolling_back_protection_step(run.state, run.train, run.sounds)) masconupdate(run);
}

void gear_reset_tick_step(Run& run) {
  gear_reset_step(run.state, run.train);
}

void clock_step(Run& run) {
  timecalc(run, run.state.clock);
}

void window_caption_step(Run& run) {
  if (run.view.window_caption == kDesignCaption)
    run.view.window_caption = sjis_to_utf8(run.route->LineName);
}

int commentary_channel(const Run& run) {
  return static_cast<int>(channel_layout(run.train, *run.route).commentary());
}

void execute_commentary(Run& run, const std::string& command) {
  RunState& s = run.state;
  if (s.commentary_on) {
    if (command.empty()) run.view.top_message.clear();
    if (!command.empty() && command[0] == '0') {
      run.view.top_message = command.substr(1);
      run.view.film_refresh += 1;  // the frame is drawn again with the message
    }
  }
  if (command.empty() || (command[0] != '1' && command[0] != '2')) return;
  const int channel = commentary_channel(run);
  std::string error = run.sounds.load(channel, run.find_file(command.substr(1)));
  if (!error.empty()) throw std::runtime_error(error);
  if (command[0] == '1')
    run.sounds.play_once(channel);
  else
    run.sounds.play_looped(channel);
}

void commentary_step(Run& run) {
  RunState& s = run.state;
  s.commentary = commentary_command(run);
  if (s.commentary == s.previous_commentary) return;
  s.previous_commentary = s.commentary;
  execute_commentary(run, s.commentary);
}

void debug_labels_step(Run& run) {
  RunView& s = run.view;
  if (!run.state.debug_mode) return;
  const std::string* texts[kDebugLabels] = {
      &s.reverser_text,     &s.power_text,     &s.brake_text,    &s.gear_text,
      &s.next_station_text, &s.car_count_text, &s.selector_text, &s.clock_text,
      &s.first_notice,      &s.second_notice,  &s.limit_notice,  &s.top_message};
  for (size_t i = 0; i < kDebugLabels; ++i) s.debug_labels[i] = *texts[i];
}

}  // namespace cabsim
