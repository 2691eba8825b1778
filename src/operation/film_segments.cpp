// Film inserts, returns to the main film and the ends of the film.
#include "operation/film_segments.h"

#include <algorithm>

#include "data/rounding.h"
#include "data/route_lookup.h"
#include "sound/channel_layout.h"
#include "state/checked_math.h"
#include "state/end_pass.h"

namespace cabsim {
namespace {

constexpr int32_t kFilmChanging = 9;

/// Every change of film happens with the motion cycle stopped, so no frame
/// step sees a film half exchanged.
void change_film(Run& run, const std::filesystem::path& file) {
  run.timers.set_motion_cycle(false);
  if (run.film) {
    run.film->close();
    run.film->open(file);  // a missing film shows nothing; the last picture stays
  }
  run.film_file = file;
  ++run.films_opened;
}

void end_tick_unless_cycle_runs(const Run& run) {
  if (!run.timers.motion_cycle_running()) throw EndPass();
}

bool speed_rounds_to_zero(const RunState& s) {
  return round_half_even(s.speed) == 0;
}

void cue_sound(Run& run, const MovieSwitchData& sw) {
  const RunState& s = run.state;
  const int32_t frame = s.current_frame;
  if (s.film_mode != kFilmTimeDriven || frame < sw.first_frame || frame > sw.last_frame) return;
  if (!(sw.cue_frame < s.time_driven_frame && s.time_driven_frame < sw.cue_frame + kCueWindow))
    return;
  const int64_t channel = channel_layout(run.train, *run.route).environment(sw.cue_sound);
  if (sw.cue_sound < 0 || channel >= run.sounds.channel_count()) return;
  const int c = static_cast<int>(channel);
  if (run.sounds.status(c) == ChannelStatus::kStopped) run.sounds.play_once(c);
}

void time_driven_insert(Run& run, MovieSwitchData& sw) {
  RunState& s = run.state;
  if (s.film_mode == kFilmFollowsPosition && !sw.done) {
    end_tick_unless_cycle_runs(run);
    const StationData* station = station_at(*run.route, sw.target);
    s.film_mode = kFilmTimeDriven;
    if (station) {
      s.current_frame = station->frame;
      s.position = static_cast<long double>(station->zone_start);
    }
    s.time_driven_frame = 0;
    s.frame_offset = s.current_frame;
    change_film(run, insert_film_file(run, sw.film));
    s.insert_length = sw.length;
    run.timers.set_motion_cycle(true);
    run.view.film_refresh += 1;
  } else if (s.film_mode == kFilmTimeDriven && s.time_driven_frame >= s.insert_length) {
    change_film(run, main_film_file(run));
    s.film_mode = kFilmFollowsPosition;
    s.time_driven_frame = 0;
    run.timers.set_motion_cycle(true);
    run.view.film_refresh += 1;
    sw.done = 1;
  }
}

void return_from_insert(Run& run, MovieSwitchData& sw) {
  RunState& s = run.state;
  if (s.film_mode != kFilmPositionInsert) return;
  if (s.time_driven_frame < s.insert_length ||
      s.time_driven_frame > int64_t{s.insert_length} + kInsertReturnWindow)
    return;
  if (s.current_frame >= sw.target) return;
  s.film_mode = kFilmChanging;
  change_film(run, main_film_file(run));
  s.current_frame = sw.target;
  s.time_driven_frame = 0;
  run.timers.set_motion_cycle(true);
  run.view.film_refresh += 1;
  sw.done = 1;
  s.film_mode = kFilmFollowsPosition;
}

void enter_position_insert(Run& run, MovieSwitchData& sw) {
  RunState& s = run.state;
  // A change that found the cycle stopped left the mode at 9: it is tried
  // again, or the film would stay changing (and dark) for the rest of the run.
  if ((s.film_mode != kFilmFollowsPosition && s.film_mode != kFilmChanging) || sw.done) return;
  s.film_mode = kFilmChanging;  // no frame is fetched until the insert is open
  end_tick_unless_cycle_runs(run);
  s.time_driven_frame = checked_add(s.current_frame, -sw.first_frame);
  s.frame_offset = sw.first_frame;
  change_film(run, insert_film_file(run, sw.film));
  s.insert_length = sw.length;
  if (run.show_film_frame) run.show_film_frame(1);  // the insert's first picture at once
  run.timers.set_motion_cycle(true);
  run.view.film_refresh += 1;
  s.film_mode = kFilmPositionInsert;
}

void film_ends(Run& run) {
  RunState& s = run.state;
  const RouteTables& route = *run.route;
  // Without a film (none could be opened, or a run without a display) there
  // is no end to hold the train at; the run goes on along the route.
  if (s.film_mode == kFilmFollowsPosition && s.film_frame_count > 0 &&
      ((s.speed > 0 && s.current_frame > s.film_frame_count) ||
       (s.speed < 0 && s.current_frame < 1))) {
    s.current_frame = std::clamp(s.current_frame, 1, std::max(1, s.film_frame_count));
    stop_train_at_film_end(run);
    s.gear = 1;
  }
  if (route.MovieStop_filled <= 0) return;
  const int64_t stop = route.MovieStop[0];
  const int64_t frame = s.current_frame;
  if (s.film_mode < 1 && s.turned_back == 0 && s.speed > 0 && stop < frame &&
      frame < stop + kMovieStopWindow) {
    s.current_frame = static_cast<int32_t>(stop);
    stop_train_at_film_end(run);
  }
  if (s.film_mode < 1 && s.turned_back == 1 && s.speed < 0 && stop - kMovieStopWindow < frame &&
      frame < stop) {
    s.current_frame = checked_add(static_cast<int32_t>(stop), 1);
    stop_train_at_film_end(run);
  }
}

}  // namespace

std::filesystem::path main_film_file(const Run& run) {
  return run.find_file(run.text.Path + run.route->DataName + ".avi");
}

std::filesystem::path insert_film_file(const Run& run, const std::string& name) {
  return run.find_file(run.text.Path + name + ".avi");
}

void stop_train_at_film_end(Run& run) {
  RunState& s = run.state;
  s.speed = 0;
  s.frame_accumulator = 0;
  s.power_handle = 0;
  s.effective_power_notch = 0;
  const int64_t last = channel_layout(run.train, *run.route).last_running_channel();
  const int64_t end = std::min<int64_t>(last, run.sounds.channel_count() - 1);
  for (int64_t c = 1; c <= end; ++c) run.sounds.stop(static_cast<int>(c));
}

void film_switching_step(Run& run) {
  RouteTables& route = *run.route;
  const int32_t count = std::clamp<int32_t>(route.MovieSwitch_count, 0, kMaxMovieSwitches);
  for (int32_t i = 0; i < count; ++i) {
    MovieSwitchData& sw = route.MovieSwitch[static_cast<size_t>(i)];
    const RunState& s = run.state;
    cue_sound(run, sw);
    const int32_t frame = s.current_frame;
    const bool in_range = sw.first_frame <= frame && frame <= sw.last_frame;
    if (sw.kind == 2 && speed_rounds_to_zero(s) && in_range && sw.start_clock < s.clock) {
      time_driven_insert(run, sw);
    } else if (!in_range || sw.kind == 2) {
      return_from_insert(run, sw);
    } else {
      enter_position_insert(run, sw);
    }
  }
  film_ends(run);
}

}  // namespace cabsim
