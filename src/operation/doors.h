// The doors of the train: opening and closing them (Door_operate), the
// door-closed step that ends a door cycle with the departure signal, and the
// station lamps of the panel that follow the doors.
//
// A door cycle: closed -> open (doors_open 1) -> closing (doors_open 0,
// doors_not_closed 1, the close sound playing) -> closed (the door-closed
// lamp lit, the departure signal).
#pragma once

#include "state/run.h"

namespace cabsim {

/// Speed below which the doors can be worked, km/h.
constexpr long double kDoorStandingSpeed = 0.1L;

/// Opens closed doors or closes open ones, with their sound (in one-man
/// operation only when the station's door-sound draw is within its limit).
/// While the train moves it only clears the door-open flag.
void Door_operate(Run& run);

/// Lights or darkens the door-closed lamp: the latch the door rules keep,
/// and the panel picture when the panel has one.
void set_door_closed_lamp(RunState& s, PanelState& panel, bool lit);

/// Operation tick, step 7: once the doors are shut and both door sounds have
/// ended, the door-closed lamp is lit (once per cycle), the doors count as
/// closed and the departure signal sounds.
void door_closed_step(Run& run);

/// Operation tick, step 36: the door-closed lamp goes dark while the doors
/// are not closed; `[Others]` picture 0 (picture 1 at a special stop) shows
/// while the doors are open.
void station_lamps_step(Run& run);

}  // namespace cabsim
