// The steps of the operation tick, each a function of the run, numbered by
// their place in the tick. Steps of the track-side equipment, stations,
// calls, sounds and pictures join at their numbers as they are built.
#pragma once

#include "state/end_pass.h"
#include "state/run.h"

namespace cabsim {

// --- steps of the tick itself --------------------------------------------
void section_speed_step(Run& run);    ///< 1: U and P of the section
void clock_step(Run& run);            ///< 10: timecalc with the run clock
void window_caption_step(Run& run);   ///< 39: the line name replaces the design caption
void commentary_step(Run& run);       ///< 42: the commentary generated, executed when new
void debug_labels_step(Run& run);     ///< 46: debug mode labels
void reverse_running_step(Run& run);  ///< 34: reverse-running protection

// --- track-side equipment --------------------------------------------------
void signal_step(Run& run);                 ///< 17: aspects, the signal in view, ATS check speed
void cab_signal_brake_tick_step(Run& run);  ///< 19: the cab signal's speed held
void speed_limit_tick_step(Run& run);       ///< 22: look-ahead, limit sign, speed checks
void sign_pictures_step(Run& run);          ///< 26: the animation and the other signs

// --- cab panel steps (the tick decides; the view draws) ---------------------
void panel_instruments_step(Run& run);  ///< 3: gauges, digital speed, tunnel shade
void panel_lamps_step(Run& run);        ///< 8: power, brake and constant-speed lamps

// --- dynamics steps ---------------------------------------------------------
void tunnel_membership_tick_step(Run& run);  ///< 3: in-tunnel flag for the resistance
void motion_stretch_step(Run& run);          ///< 4
void speed_text_tick_step(Run& run);         ///< 5
void gear_selection_step(Run& run);          ///< 11: automatic gears
void traction_current_step(Run& run);        ///< 12: motor current, electric brake, compressor
void gradient_averaging_step(Run& run);      ///< 15: train gradient every 20 m
void gradient_sign_tick_step(Run& run);      ///< 16: gradient at the current frame, its sign
void vigilance_tick_step(Run& run);          ///< 24
void gear_change_tick_step(Run& run);        ///< 30: gear change, engine speed
void engine_stall_tick_step(Run& run);       ///< 33
void gear_reset_tick_step(Run& run);         ///< 37

/// Executes commentary command `command`: "0" + text into the top message
/// (commentary on), "" clears it (commentary on), "1" / "2" + wave file played
/// once / looped on the commentary channel.
void execute_commentary(Run& run, const std::string& command);

/// The channel commentary sounds play on: the one after the call channel.
int commentary_channel(const Run& run);

}  // namespace cabsim
