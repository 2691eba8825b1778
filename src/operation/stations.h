// The stations of the line as the train meets them: the next-station text
// and the stop picture, arrival and the doors, the departure melody at the
// timetabled time, departure, the crew change and the end of the run.
#pragma once

#include <cstdint>
#include <string>

#include "state/run.h"

namespace cabsim {

/// Station kinds.
constexpr int32_t kStationStop = 0;       ///< a stop with doors
constexpr int32_t kStationPass = 1;       ///< passed without stopping
constexpr int32_t kStationNoDoors = 2;    ///< a stop without doors
constexpr int32_t kStationOtherKind = 3;  ///< only its text differs
/// Speed below which a conductor's train counts as standing, km/h.
constexpr long double kStationStandingSpeed = 0.1L;

/// Operation tick, step 23: every station in table order, then the zone
/// sounds stopped when the train is in no stop zone.
void station_step(Run& run);

/// Set the next stop after station `i`: the first later station that is not
/// passed (the empty row after the last station ends the search); its stop
/// position becomes the target and its index the next stop index.
void set_next_stop(Run& run, int32_t i);

/// The next-station text for approaching `next`: its name with the suffix of
/// its kind, or for the further kind the first information line alone.
std::string approach_text(const StationData& next, const CabworksText& text);

/// BackClick: ends the run with the fade-out (the display pass closes the
/// form when it has faded). The back picture of the driving form does the
/// same.
void BackClick(Run& run);

}  // namespace cabsim
