// Menu items, the fade-out and the end of a run.
#include "run/form_handlers.h"

#include "presentation/display_pass.h"

namespace cabsim {

void D1Click(Run& run, bool on) {
  run.settings.Information = on ? 1 : 0;
  run.state.commentary_on = on ? 1 : 0;
  // The message follows the switch at once: switched off, the advice on show
  // goes; switched on, the advice of the moment comes up (otherwise either
  // would wait for the advice to change).
  const std::string& advice = run.state.previous_commentary;
  const std::string shown =
      on && !advice.empty() && advice[0] == '0' ? advice.substr(1) : std::string();
  if (shown == run.view.top_message) return;
  run.view.top_message = shown;
  run.view.film_refresh += 1;
}

void OFF1Click(Run& run, bool on) {
  run.settings.Kanko = on ? 1 : 0;
}

void OFF2Click(Run& run, bool on) {
  run.settings.ATS = on ? 1 : 0;
  run.state.beginner_mode = on ? 1 : 0;
  run.state.ats_on = on ? 0 : 1;
  if (!on) run.view.panel.show(PanelElement::kLampAts1, true);
}

void OFFV1Click(Run& run, bool on) {
  run.settings.Tunnel = on ? 1 : 0;
}

bool fade_out_pass(Run& run) {
  return fade_step(run.state);
}

void run_to_rest(Run& run) {
  RunState& s = run.state;
  s.speed = 0;
  s.power_handle = 0;
  s.effective_power_notch = 0;
  s.fade_level = 0;
}

}  // namespace cabsim
