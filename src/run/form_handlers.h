// What the driving form asks of a run besides the keys: its menu items, the
// fade-out of its display pass and its closing, as named handlers. Each keeps
// the user's setting and the running state it governs together.
#pragma once

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

/// A display pass while the run fades out: the fade grows one step. True when
/// it is complete and the run ends.
bool fade_out_pass(Run& run);

/// The end of a run: handles, motion and the fade-out back at rest before
/// the form lets the run go.
void run_to_rest(Run& run);

}  // namespace cabsim
