// The step list of the operation tick and its two traps.
#include "run/operation_tick.h"

#include <exception>

#include "operation/announcements.h"
#include "operation/ats.h"
#include "operation/calls.h"
#include "operation/doors.h"
#include "operation/film_segments.h"
#include "operation/preceding_train.h"
#include "operation/stations.h"
#include "presentation/notices.h"
#include "presentation/sign_column.h"
#include "presentation/station_display.h"
#include "run/controllers.h"
#include "run/tick_steps.h"
#include "sound/brake_sounds.h"
#include "sound/running_sounds.h"
#include "sound/track_sounds.h"

namespace cabsim {
namespace {

// Numbers not listed belong to the curve sections, the easy cab panel and the
// value display; each joins here at its number when it is built.
constexpr TickStep kMainSteps[] = {
    {1, "section speed", section_speed_step},
    {2, "preceding train", preceding_train_step},
    {3, "panel instruments, tunnel membership",
     [](Run& run) {
       panel_instruments_step(run);
       tunnel_membership_tick_step(run);
     }},
    {4, "motion", motion_stretch_step},
    {5, "speed text", speed_text_tick_step},
    {6, "brake squeal", brake_squeal_step},
    {7, "doors closed", door_closed_step},
    {8, "panel lamps", panel_lamps_step},
    {9, "speed-limit sign blinking", speed_limit_blink_step},
    {10, "clock", clock_step},
    {11, "automatic gear selection, brake release sounds",
     [](Run& run) {
       gear_selection_step(run);
       brake_release_sound_step(run);
     }},
    {12, "traction current, electric brake, compressor", traction_current_step},
    {13, "track-side sounds", track_sounds_step},
    {14, "announcements", announcement_step},
    {15, "passing trains, gradient averaging",
     [](Run& run) {
       passing_train_sounds(run);
       gradient_averaging_step(run);
     }},
    {16, "gradient sign", gradient_sign_tick_step},
    {17, "signals", signal_step},
    {18, "road traffic signals", traffic_signal_step},
    {19, "cab-signal brake", cab_signal_brake_tick_step},
    {20, "ATS-S", ats_s_step},
    {21, "ATS-P", ats_p_step},
    {22, "speed limits and speed checks", speed_limit_tick_step},
    {23, "stations", station_step},
    {24, "vigilance device", vigilance_tick_step},
    {25, "stop-approach warning", stop_approach_warning_step},
    {26, "animation and other signs", sign_pictures_step},
    {27, "level crossings",
     [](Run& run) {
       level_crossing_step(run);
       crossing_bells(run);
     }},
    {28, "running sounds", running_sounds_step},
    {29, "film switching", film_switching_step},
    {30, "gear change", gear_change_tick_step},
    {32, "limit and pattern notices", speed_notice_step},
    {33, "engine stall", engine_stall_tick_step},
    {34, "reverse-running protection", reverse_running_step},
    {36, "station lamps", station_lamps_step},
    {37, "gear reset", gear_reset_tick_step},
    {38, "stop-line marker", stop_line_marker_step},
    {39, "window caption", window_caption_step},
    {41, "stop-request lamp", stop_request_lamp_step},
};

// 45, the value display's sound grid, is drawn by the form after the tick.
constexpr TickStep kLateSteps[] = {
    {42, "commentary", commentary_step},
    {43, "USB controller", usb_scan_step},
    {44, "calls", kanko_queue_play},
};

}  // namespace

std::span<const TickStep> main_tick_steps() {
  return kMainSteps;
}

std::span<const TickStep> late_tick_steps() {
  return kLateSteps;
}

void Timer1Timer(Run& run) {
  try {
    for (const TickStep& step : kMainSteps) step.run(run);
    try {
      for (const TickStep& step : kLateSteps) step.run(run);
    } catch (const std::exception&) {
      // A failing commentary sound, call or controller poll is not shown.
    }
  } catch (const std::exception&) {
    // The pass ends here; the next tick starts again from step 1.
    if (run.tick_listener) run.tick_listener->after_tick(run);
    return;
  }
  debug_labels_step(run);
  if (run.tick_listener) run.tick_listener->after_tick(run);
}

}  // namespace cabsim
