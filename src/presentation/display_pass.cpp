// Frame choice, freeze, kilometre post and fade-out of the display pass.
#include "presentation/display_pass.h"

#include <cstdio>

#include "data/rounding.h"

namespace cabsim {
namespace {

constexpr int32_t kMovieStopFreeze = 500;

/// Characters 6 and 7 of the route file name (1-based), which say the
/// direction of the line.
std::string direction_of(const std::string& route_file) {
  return route_file.size() >= 7 ? route_file.substr(5, 2) : std::string();
}

}  // namespace

int32_t frames_per_second(int64_t now_ms, int64_t last_pass_ms) {
  const int64_t elapsed = now_ms - last_pass_ms;
  if (elapsed <= 0) return 0;
  return static_cast<int32_t>(round_half_even(1000.0L / static_cast<long double>(elapsed)));
}

bool frozen_at_movie_stop(const RunState& s, const RouteTables& route) {
  if (s.film_mode > 0 || route.MovieStop_filled <= 0) return false;
  const int64_t stop = route.MovieStop[0];
  const int64_t frame = s.current_frame;
  if (s.turned_back == 0 && s.speed > 0 && stop < frame && frame < stop + kMovieStopFreeze)
    return true;
  return s.turned_back == 1 && s.speed < 0 && stop - kMovieStopFreeze < frame && frame < stop;
}

std::optional<int32_t> film_frame_to_show(const RunState& s) {
  if (s.film_mode > kLastFetchingFilmMode || s.current_frame < 0) return std::nullopt;
  if (s.film_mode <= 0)
    return s.current_frame <= s.film_frame_count ? std::optional(s.current_frame) : std::nullopt;
  return s.time_driven_frame;
}

std::optional<std::string> kilometre_post_text(const std::string& route_file,
                                               long double position) {
  const std::string direction = direction_of(route_file);
  long double km;
  if (direction == "up")
    km = (kUpLineLength - position) / 100000.0L;
  else if (direction == "do")
    km = position / 100000.0L;
  else
    return std::nullopt;
  char text[64];
  std::snprintf(text, sizeof text, "%2.1Lf", km);
  return std::string(text);
}

bool fade_step(RunState& s) {
  if (s.fade_level <= 0) return false;
  s.fade_level += kFadeStep;
  if (s.fade_level <= kFadeEnd) return false;
  s.fade_level = 0;
  return true;
}

}  // namespace cabsim
