// Serial lines, pad polls and the keys they post.
#include "run/controllers.h"

#include <algorithm>
#include <string>

#include "input/masconupdate.h"
#include "input/serial_controller.h"
#include "input/usb_controller.h"
#include "operation/calls.h"
#include "operation/vigilance.h"
#include "presentation/value_display.h"
#include "run/keyboard.h"

namespace cabsim {

void RxChar(Run& run, std::string_view received) {
  std::string line;
  while (!received.empty()) {
    bool complete = false;
    const size_t used = take_serial_line(run.state.serial_pending, received, line, complete);
    if (complete) RxChar2(run, line);
    received.remove_prefix(used);
  }
}

void RxChar2(Run& run, std::string_view line) {
  RunInput input = run_input(RunInputKind::kSerialLine, 0);
  input.set_line(line);
  note_input(run, input);
  // Any line counts as the driver's action.
  reset_vigilance(run);
  run.view.value_display_caption = serial_line_caption(line);
  for (int32_t entry = 0; entry < kSerialEntries; ++entry) {
    if (!mascon_line_matches(run.mascon, entry, line)) continue;
    const SerialEntryResult result = serial_entry_action(run.state, run.train, run.sounds, entry);
    if (result.handles_moved) masconupdate(run);
    if (result.posted) post_key(run, result.posted);
  }
  // Power taken after a stop: the departure call, as from the keys.
  first_power_call(run);
}

void USBScan(Run& run) {
  RunState& s = run.state;
  const JoystickReading reading = run.joystick ? run.joystick->poll() : JoystickReading{};
  // A controller pulled out is no driver's action: the handles stay where
  // it left them until one is plugged in again.
  if (!reading.connected) return;
  const PadState pad = pad_state(reading);
  if (pad.sum() == s.last_state_sum) return;
  note_input(run, run_input(RunInputKind::kJoystick, pad.buttons, pad.sum()));
  reset_vigilance(run);
  const PadDecision decision = pad_decision(s.controller_kind, pad, run.pad_codes);
  apply_pad_decision(s, run.train, decision);
  masconupdate(run);
  first_power_call(run);
  for (char key : decision.posted) post_key(run, key);
  if (s.usb_debug)
    run.view.window_caption = "X:" + std::to_string(pad.x) + " Y:" + std::to_string(pad.y);
  s.last_state_sum = pad.sum();
}

void usb_scan_step(Run& run) {
  if (run.state.controller_kind >= kWindowsPad) USBScan(run);
}

void controller_kind_click(Run& run, int32_t kind) {
  note_input(run, run_input(RunInputKind::kController, kind));
  run.state.controller_kind = std::clamp(kind, kStandardController, kOhcPc01);
}

void debug1Click(Run& run, bool checked) {
  note_input(run, run_input(RunInputKind::kMenuSwitch,
                            static_cast<int32_t>(RunMenuSwitch::kPadDebug), checked));
  run.state.usb_debug = checked ? 1 : 0;
  if (!checked) run.view.window_caption = kDesignCaption;
}

void post_key(Run& run, char key) {
  std::string& keys = run.state.posted_keys;
  if (keys.size() < kMaxPostedKeys) keys += key;
}

void deliver_posted_keys(Run& run) {
  // Taken first: what the keys do cannot post more into the same pass.
  const std::string keys = std::move(run.state.posted_keys);
  run.state.posted_keys.clear();
  for (char key : keys) {
    if (key == kPostedEnter)
      press_virtual_key(run, VirtualKey::kEnter, false);
    else
      press_character(run, key);
  }
}

}  // namespace cabsim
