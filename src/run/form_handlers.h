// What the driving form asks of a run besides the keys: its menu items, the
// fade-out of its display pass and its closing, as named handlers. Each keeps
// the user's setting and the running state it governs together.
#pragma once

#include <string>
#include <string_view>

#include "state/run.h"

namespace cabsim {

/// D1 "解説あり": the commentary is shown (and the setting kept); the top
/// message follows at once.
void D1Click(Run& run, bool on);
/// OFF1 "喚呼なし": the driver's calls are silenced.
void OFF1Click(Run& run, bool on);
/// OFF2 "入門モード": beginner mode; train protection switched off.
void OFF2Click(Run& run, bool on);
/// OFFV1 "視覚効果OFF": the visual effects (tunnel shade) are switched off.
void OFFV1Click(Run& run, bool on);

/// The train settings dialog's ATS choice: "入" switches the protection on
/// and beginner mode off (OFF2 unchecked), "切" switches it off; ATS lamp 1
/// is lit exactly while it is on.
void jumpdlg_ats(Run& run, bool on);
/// The dialog's engine choices: "始動" starts the engine (its sound, the
/// 700 ms wait on the run's clock), "切" stops a running engine.
void jumpdlg_engine_start(Run& run);
void jumpdlg_engine_stop(Run& run);

/// The value display's buttons. Button1 "SU再読込": the route's `[SpeedUnit]`
/// rows read again (their distances kept from the set-up).
void Button1Click(Run& run);
/// Button2 "jump": the current frame becomes the number `text` gives, nothing
/// else reset. Returns the message for a text that is no integer or a frame
/// the film does not have (nothing done then), empty when it jumped.
std::string Button2Click(Run& run, std::string_view text);
/// Button3 "抵抗解除": the running resistance off, or on again.
void Button3Click(Run& run);
/// A cell of the value display's sound grid selected: its channel stops.
void sound_grid_selected(Run& run, int channel);

/// A display pass while the run fades out: the fade grows one step. True when
/// it is complete and the run ends.
bool fade_out_pass(Run& run);

/// The end of a run: handles, motion and the fade-out back at rest before
/// the form lets the run go.
void run_to_rest(Run& run);

}  // namespace cabsim
