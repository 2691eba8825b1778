// The conductor's announcements: the arrival announcement while standing,
// the route's announcements at distances before and after stations, and in
// one-man operation the announcements the driver gives step by step with
// the stop request they may bring.
#pragma once

#include "state/run.h"

namespace cabsim {

/// Operation tick step 14: the arrival announcement (with a conductor) and
/// the announcements at their distances (with a conductor, or one-man
/// operation 2).
void announcement_step(Run& run);

/// One-man key "c" / "1": the next announcement, which may bring a stop
/// request.
void next_announcement(Run& run);
/// One-man key "-": back to the previous announcement.
void previous_announcement(Run& run);

/// Operation tick step 41: the stop-request lamp lights once the station's
/// delay has passed since the request; it stays lit.
void stop_request_lamp_step(Run& run);

}  // namespace cabsim
