// The decisions of the display pass that need no drawing: the frames-per-
// second figure, the freeze at the movie-stop frame, which film frame the
// scene shows, the kilometre post and the fade-out that ends a run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/route_tables.h"
#include "state/run_state.h"

namespace cabsim {

/// Film modes above this fetch no frame (9 while a film is being changed).
constexpr int32_t kLastFetchingFilmMode = 2;
/// Fade-out step per pass and its end.
constexpr int32_t kFadeStep = 10;
constexpr int32_t kFadeEnd = 255;
/// The train file whose panel carries the kilometre post and the date.
inline constexpr const char* kKilometrePostTrain = "train_tz100.dat";
/// Kilometre post of the line's far end, cm from the up line's start.
constexpr long double kUpLineLength = 6150000.0L;

/// round(1000 / (now - last)); 0 when no time has passed.
int32_t frames_per_second(int64_t now_ms, int64_t last_pass_ms);

/// True while the picture stays frozen just past the movie-stop frame in the
/// direction of travel (the operation tick holds the train there).
bool frozen_at_movie_stop(const RunState& s, const RouteTables& route);

/// The film frame the scene shows in this pass, or nothing (the scene keeps
/// its last picture): the current frame up to the film's end in mode 0, the
/// time-driven frame in modes 1 and 2.
std::optional<int32_t> film_frame_to_show(const RunState& s);

/// The kilometre post text of `position` on the route file `route_file`
/// ("%2.1f" km; counted down from the far end on an up line, whose name has
/// "up" at its sixth character, up on a down line "do"), or nothing.
std::optional<std::string> kilometre_post_text(const std::string& route_file, long double position);

/// One step of the fade-out; true when it has ended and the form closes.
bool fade_step(RunState& s);

}  // namespace cabsim
