// Which film is open: the film switches of the route (position-driven and
// time-driven inserts and the returns to the main film), the ends of the main
// film and the movie-stop frame, run once per operation tick.
#pragma once

#include <filesystem>
#include <string>

#include "state/run.h"

namespace cabsim {

/// Frames past the movie-stop frame within which the train is held at it.
constexpr int32_t kMovieStopWindow = 500;
/// Insert-film frames after the end of a position-driven insert within which
/// the main film comes back.
constexpr int32_t kInsertReturnWindow = 60;
/// Insert-film frames within which the cue sound of an insert starts.
constexpr int32_t kCueWindow = 10;

/// The file of the main film: `[Path]` + `[DataName]` + ".avi".
std::filesystem::path main_film_file(const Run& run);
/// The file of an insert: `[Path]` + name + ".avi".
std::filesystem::path insert_film_file(const Run& run, const std::string& name);

/// Stops the train at the end of the film: speed, frame accumulator and power
/// to 0, every running, environment and first engine sound stopped (channel 0
/// plays on).
void stop_train_at_film_end(Run& run);

/// The film switching step of the operation tick. A change that finds the
/// motion cycle stopped (a pause) ends the tick (EndPass) and is tried again
/// on the next one.
void film_switching_step(Run& run);

}  // namespace cabsim
