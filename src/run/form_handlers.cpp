// Menu items, the fade-out and the end of a run.
#include "run/form_handlers.h"

#include "presentation/display_pass.h"

#include "data/route_file.h"
#include "data/value_parse.h"
#include "dynamics/diesel_engine.h"

namespace cabsim {

void D1Click(Run& run, bool on) {
  note_input(run, run_input(RunInputKind::kMenuSwitch,
                            static_cast<int32_t>(RunMenuSwitch::kCommentary), on));
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
  note_input(run, run_input(RunInputKind::kMenuSwitch,
                            static_cast<int32_t>(RunMenuSwitch::kCallsOff), on));
  run.settings.Kanko = on ? 1 : 0;
}

void OFF2Click(Run& run, bool on) {
  note_input(run, run_input(RunInputKind::kMenuSwitch,
                            static_cast<int32_t>(RunMenuSwitch::kBeginner), on));
  run.settings.ATS = on ? 1 : 0;
  run.state.beginner_mode = on ? 1 : 0;
  run.state.ats_on = on ? 0 : 1;
  if (!on) run.view.panel.show(PanelElement::kLampAts1, true);
}

void OFFV1Click(Run& run, bool on) {
  note_input(run, run_input(RunInputKind::kMenuSwitch,
                            static_cast<int32_t>(RunMenuSwitch::kEffectsOff), on));
  run.settings.Tunnel = on ? 1 : 0;
}

void jumpdlg_ats(Run& run, bool on) {
  const RunTrainSetting setting = on ? RunTrainSetting::kAtsOn : RunTrainSetting::kAtsOff;
  note_input(run, run_input(RunInputKind::kTrainSetting, static_cast<int32_t>(setting)));
  RunState& s = run.state;
  s.ats_on = on ? 1 : 0;
  if (on) {
    s.beginner_mode = 0;
    run.settings.ATS = 0;
  }
  run.view.panel.show(PanelElement::kLampAts1, on);
}

void jumpdlg_engine_start(Run& run) {
  note_input(run, run_input(RunInputKind::kTrainSetting,
                            static_cast<int32_t>(RunTrainSetting::kEngineStart)));
  engine_start(run.state, run.train, run.sounds, run.clock);
}

void jumpdlg_engine_stop(Run& run) {
  note_input(run, run_input(RunInputKind::kTrainSetting,
                            static_cast<int32_t>(RunTrainSetting::kEngineStop)));
  engine_stop(run.state, run.train, run.sounds);
}

void Button1Click(Run& run) {
  reread_speed_units(*run.route, run.find_file(run.selection.route_file));
}

std::string Button2Click(Run& run, std::string_view text) {
  const std::optional<int32_t> frame = parse_integer(text);
  if (!frame) return "'" + std::string(text) + "' is not a valid integer value";
  const int32_t count = run.state.film_frame_count;
  if (count > 0 && (*frame < 0 || *frame >= count))
    return "フレーム " + std::to_string(*frame) + " は映像にありません (0 ～ " +
           std::to_string(count - 1) + ")";
  run.state.current_frame = *frame;
  return {};
}

void Button3Click(Run& run) {
  run.state.resistance_off = run.state.resistance_off ? 0 : 1;
}

void sound_grid_selected(Run& run, int channel) {
  run.sounds.stop(channel);
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
