// Where the station and door rules hand over to the calls and announcements:
// the station call moments and the queued call sounds. The calls are not
// built yet; for now each hand-over is only recorded in the running state,
// so the moments can be seen, and nothing is played.
#pragma once

#include <cstdint>

#include "state/run.h"

namespace cabsim {

/// Station call moments.
constexpr int32_t kCallArrival = 0;  ///< arrival (one-man), or arrival before the doors open
constexpr int32_t kCallDoorsOpened = 1;
constexpr int32_t kCallMelodyStarted = 2;
constexpr int32_t kCallDoorsClosed = 3;
constexpr int32_t kCallFirstPower = 4;  ///< raised by the handles, not by the stations
constexpr int32_t kCallDoorsClosing = 5;
/// Call sound of the closed doors.
constexpr int32_t kCallSoundDoorsClosed = 19;

/// The station-call method for `moment` (0 .. 5). Not built yet: records
/// the moment and does nothing else.
void raise_station_call(Run& run, int32_t moment);

/// kanko_queue_add: puts call sound `sound` on the call queue. Not built
/// yet: records the sound and does nothing else.
void kanko_queue_add(Run& run, int32_t sound);

}  // namespace cabsim
