// Starting, pausing and resuming a run (menu item start1, or a click on the
// cab view before the run has started).
#pragma once

#include "state/run.h"

namespace cabsim {

/// Menu captions of start1 (the system's own, UTF-8).
inline constexpr const char* kResumeCaption = "運転再開(&S)";
inline constexpr const char* kPauseCaption = "一時停止(&S)";

/// Pause when the operation tick runs: every channel's state is recorded and
/// the playing ones stop, both timers stop. Otherwise start or resume: both
/// timers run and the recorded channels start again from their beginning,
/// looped ones looped. Either way the frame is fetched again.
void start1Click(Run& run);

/// The click on the cab view: starts the run while the tick is not running.
void movieclick(Run& run);

}  // namespace cabsim
