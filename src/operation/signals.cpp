// Signal aspects, the signal in view and the cab-signal brake.
#include "operation/signals.h"

#include <algorithm>
#include <array>

#include "data/route_lookup.h"
#include "input/handle_model.h"
#include "input/masconupdate.h"
#include "sound/sound_numbers.h"

namespace cabsim {
namespace {

constexpr int32_t kPictureTypes = 10;  ///< types -1, 0, 1 .. 8
constexpr int32_t kPictureAspects = 6;

/// Pictures by type (row 0 type -1, row 1 type 0, then 1 .. 8) and aspect;
/// aspect 5 of types 6, 7 and -1 has a second, high-speed picture.
constexpr std::array<std::array<int32_t, kPictureAspects>, kPictureTypes> kPictures = {{
    {33, 34, 34, 34, 35, 35},  // -1
    {0, 1, 1, 1, 2, 2},        // 0
    {3, 5, 5, 5, 5, 5},        // 1
    {6, 7, 7, 8, 8, 8},        // 2
    {9, 10, 10, 11, 12, 12},   // 3
    {13, 14, 15, 15, 16, 16},  // 4
    {17, 18, 19, 20, 21, 21},  // 5
    {22, 23, 23, 23, 25, 25},  // 6
    {27, 28, 29, 30, 31, 31},  // 7
    {37, 38, 39, 40, 41, 42},  // 8
}};

/// The high-speed picture of aspect 5, for the types that have one.
int32_t high_speed_picture(int32_t type) {
  switch (type) {
    case 6:
      return 26;
    case 7:
      return 32;
    case -1:
      return 36;
    default:
      return kNoPicture;
  }
}

/// Pictures of a signal at stop, as the transponder of the ATS-S sees them.
bool is_stop_display(int32_t n) {
  return n == 0 || n == 3 || n == 6 || n == 9 || n == 13 || n == 17;
}

/// Pictures of a signal at stop once passed.
bool is_stop_picture(int32_t n) {
  return n == 3 || n == 6 || n == 9 || n == 13 || n == 17 || n == 22 || n == 27;
}

/// The `[Speed_Signal]` index an alarm-kind-1 train checks after passing a
/// signal showing picture `n`; -1 lifts the check, 0 leaves it.
int32_t check_speed_index(int32_t n) {
  switch (n) {
    case 14:
    case 18:
    case 28:
      return 1;
    case 4:
    case 7:
    case 10:
    case 15:
    case 19:
    case 23:
    case 29:
      return 2;
    case 11:
    case 20:
    case 24:
    case 30:
      return 3;
    case 5:
    case 8:
    case 12:
    case 16:
    case 21:
    case 25:
    case 31:
      return 4;
    case 26:
    case 32:
      return -1;
    default:
      return 0;
  }
}

/// Pictures of the most permissive aspects: the transponder before them
/// lifts the check (those after which the check is the green speed or none).
bool is_clear_picture(int32_t n) {
  const int32_t k = check_speed_index(n);
  return k == 4 || k < 0;
}


/// The counter of the walk back from the occupied signal, adjusted by the
/// lamp arrangement of the signal it reaches.
int32_t adjust_count(int32_t type, int32_t c) {
  switch (type) {
    case 1:
      return 2;
    case 2:
      return c < 3 ? 2 : 4;
    case 3:
      if (c < 3) return 2;
      return c >= 4 ? 4 : c;
    case 4:
      return c >= 3 ? 4 : c;
    case 5:
      return c >= 4 ? 4 : c;
    default:
      return c;
  }
}

int32_t signal_count(const RouteTables& route) {
  return std::clamp<int32_t>(route.Signal_count, 0, static_cast<int32_t>(kMaxSignals));
}

/// Index of the signal protecting the block the train ahead is in; none when
/// there is no train ahead or only uncounted signals stand behind it.
std::optional<int32_t> occupied_signal(const RouteTables& route, int32_t frame) {
  if (frame == 0) return std::nullopt;
  const int32_t n = signal_count(route);
  for (int32_t h = n - 1; h >= 1; --h) {
    const auto& behind = route.Signal[static_cast<size_t>(h) - 1];
    const auto& ahead = route.Signal[static_cast<size_t>(h)];
    if (!(behind.view_end < frame && frame <= ahead.view_end)) continue;
    int32_t o = h - 1;
    while (o > 0 && !is_counted_signal(route.Signal[static_cast<size_t>(o)].type)) --o;
    if (o == 0) return std::nullopt;
    return o;
  }
  return std::nullopt;
}

/// Whether a control kind holds signal `g` at its fixed aspect this tick.
bool held_at_fixed_aspect(const Run& run, const SignalData& g) {
  const RunState& s = run.state;
  if (g.control_kind == 1 && s.clock < g.control_value) return true;
  if (s.film_mode == kFilmTimeDriven) return true;
  if (g.control_kind == 3) {
    const StationData* station = station_at(*run.route, g.control_value);
    if (!station || !station->melody_started) return true;
  }
  return g.control_kind == 2;
}

constexpr SignElement kSignalPictures[] = {SignElement::kSignalImage, SignElement::kSignalImageT,
                                           SignElement::kSignalImageR, SignElement::kSignalImageL,
                                           SignElement::kSignalSub};

void clear_signal_pictures(SignColumn& column) {
  for (SignElement e : kSignalPictures) column.clear(e);
}

/// Places the signal and its neighbours by which neighbours it has.
void place_signal_pictures(SignColumn& column, bool left, bool right) {
  using E = SignElement;
  int32_t centre = 730;
  if (left && right) {
    column.move(E::kSignalImageL, 688);
    column.move(E::kSignalImageR, 772);
  } else if (left) {
    column.move(E::kSignalImageL, 705);
    centre = 755;
  } else if (right) {
    column.move(E::kSignalImageR, 755);
    centre = 705;
  } else {
    column.move(E::kSignalImageL, 680);
    column.move(E::kSignalImageR, 780);
  }
  for (E e : {E::kSignalImage, E::kSignalImageT, E::kSignalSub}) column.move(e, centre);
}

/// Draws signal `g` showing picture `picture` beside the line.
void draw_line_side_signal(SignColumn& column, const SignalData& g, int32_t picture) {
  using E = SignElement;
  clear_signal_pictures(column);
  place_signal_pictures(column, g.picture_left >= 1, g.picture_right >= 1);
  if (g.type < 8) {
    column.draw(E::kSignalImage, picture);
    if (g.picture_top >= 1) column.draw(E::kSignalImageT, g.picture_top);
    if (g.picture_left >= 1) column.draw(E::kSignalImageL, g.picture_left);
    if (g.picture_right >= 1) column.draw(E::kSignalImageR, g.picture_right);
  }
}

/// Clears the signal pictures that hold one and puts them back home.
void send_signal_pictures_home(SignColumn& column) {
  for (SignElement e : kSignalPictures) {
    if (!column.holds_picture(e)) continue;
    column.clear(e);
    column.move(e, kSignGeometry[static_cast<size_t>(e)].left);
  }
}

/// Frames after a transponder, a signal and the end of a view over which the
/// train counts as just past it.
constexpr int64_t kTransponderFrames = 10;
constexpr int64_t kSignalFrames = 20;
constexpr int64_t kViewEndFrames = 10;

/// Whether the train is 1 to `frames` - 1 frames past `point`, or went over
/// that whole stretch since the last display of the signals: far faster than
/// the film was shot (through a station where it stopped) the frame moves
/// more than the stretch in one tick, and a signal must not go unnoticed.
bool just_passed(const RunState& s, int32_t point, int64_t frames) {
  const int64_t past = int64_t{s.current_frame} - point;
  if (past >= 1 && past < frames) return true;
  if (s.signal_frame_seen == kNoFrameSeen) return false;
  const int64_t before = int64_t{s.signal_frame_seen} - point;
  return before < 1 && past >= frames;
}

/// The transponder before signal `g` and the signal itself, for a train on
/// line-side signals with its ATS on.
void ats_check_points(Run& run, const SignalData& g) {
  RunState& s = run.state;
  const TrainParams& train = run.train;
  const RouteTables& route = *run.route;
  if (just_passed(s, g.ats_frame, kTransponderFrames)) {
    if (train.ATS_Type == 0 && train.ATS_Alert == 0 && g.type >= 1 &&
        is_stop_display(g.display_number))
      s.ats_check_speed = kPassedAtDanger;
    if (train.ATS_Alert == 1 && is_clear_picture(s.current_signal_picture))
      s.ats_check_speed = kNoCheck;
  }
  if (just_passed(s, g.frame, kSignalFrames)) {
    if (train.ATS_Alert == 0) {
      s.ats_check_speed = is_stop_picture(s.current_signal_picture) ? 0 : kNoCheck;
    } else if (train.ATS_Alert == 1) {
      const int32_t k = check_speed_index(s.current_signal_picture);
      if (k < 0) s.ats_check_speed = kNoCheck;
      if (k > 0) s.ats_check_speed = route.Speed_Signal[static_cast<size_t>(k)];
    }
    s.current_signal_picture = kNoSignal;
    s.last_drawn_signal_picture = kNoSignal;
    s.current_signal_third_value = kNoSignal;
  }
}

}  // namespace

int32_t signal_picture_number(int32_t type, int32_t aspect, int32_t max_speed) {
  if (type < -1 || type > 8 || aspect < 0) return kNoPicture;
  const int32_t a = std::min(aspect, kPictureAspects - 1);
  if (a == 5 && max_speed >= kHighSpeedPictureFrom && high_speed_picture(type) != kNoPicture)
    return high_speed_picture(type);
  return kPictures[static_cast<size_t>(type + 1)][static_cast<size_t>(a)];
}

int32_t default_aspect(const RouteTables& route) {
  return route.Speed_Signal_count - 1;
}

void signal_aspects(Run& run) {
  RouteTables& route = *run.route;
  const int32_t n = signal_count(route);
  const int32_t open = default_aspect(route);
  for (int32_t i = 0; i < n; ++i) route.Signal[static_cast<size_t>(i)].aspect = open;
  if (auto occupied = occupied_signal(route, run.state.pre_train_frame)) {
    route.Signal[static_cast<size_t>(*occupied)].aspect = 0;
    int32_t c = 0;
    for (int32_t j = *occupied - 1; j >= 0 && c < open; --j) {
      SignalData& g = route.Signal[static_cast<size_t>(j)];
      if (!is_counted_signal(g.type)) {
        g.aspect = route.Signal[static_cast<size_t>(j) + 1].aspect;
        continue;
      }
      c = adjust_count(g.type, c + 1);
      g.aspect = c;
    }
  }
  for (int32_t i = 0; i < n; ++i) {
    SignalData& g = route.Signal[static_cast<size_t>(i)];
    if (held_at_fixed_aspect(run, g)) g.aspect = g.fixed_aspect;
  }
}

SignalDisplayResult signal_display(Run& run) {
  RunState& s = run.state;
  SignColumn& column = run.view.signs;
  const TrainParams& train = run.train;
  RouteTables& route = *run.route;
  const bool cab = train.ATS_Type == kCabSignalAts;
  SignalDisplayResult result;
  const int32_t n = signal_count(route);
  for (int32_t i = 0; i < n; ++i) {
    SignalData& g = route.Signal[static_cast<size_t>(i)];
    g.display_number = g.aspect != 0 ? 1 : 0;
    if (g.view_start <= s.current_frame && s.current_frame < g.view_end) {
      const int32_t picture = signal_picture_number(g.type, g.aspect, train.MaxSpeed);
      g.display_number = picture;
      s.current_signal_picture = picture;
      s.current_signal_index = i;
      if (picture != s.last_drawn_signal_picture) {
        if (cab) {
          if (is_channel(run.sounds, train.Sound_Atc)) {
            run.sounds.stop(train.Sound_Atc);
            run.sounds.play_once(train.Sound_Atc);
          }
          clear_signal_pictures(column);
          if (g.type == 8) column.draw(SignElement::kSignalImage, picture);
          result.cab_signal_picture = picture;
        } else {
          draw_line_side_signal(column, g, picture);
        }
        s.last_drawn_signal_picture = picture;
        s.current_signal_third_value = g.third_value;
        s.shown_signal_type = g.type;
        column.draw(SignElement::kSignalSub, g.sub_picture);
      }
    }
    if (train.ATS_Type < kCabSignalAts && s.ats_on) ats_check_points(run, g);
    if (just_passed(s, g.view_end, kViewEndFrames)) {
      s.acknowledged_flag = 0;
      send_signal_pictures_home(column);
      if (train.ATS_Type < kCabSignalAts) {
        s.current_signal_picture = kNoSignal;
        s.last_drawn_signal_picture = kNoSignal;
      }
      s.current_signal_third_value = kNoSignal;
      s.current_signal_index = kNoSignal;
    }
  }
  s.signal_frame_seen = s.current_frame;
  return result;
}

bool cab_signal_brake_step(Run& run) {
  RunState& s = run.state;
  if (run.train.ATS_Type != kCabSignalAts) return false;
  const int32_t picture = s.current_signal_picture;
  constexpr int32_t kStopAspect = 22, kLastPatternAspect = 29;
  if (picture < kStopAspect || picture > kLastPatternAspect) return false;
  const long double allowed =
      run.route->Speed_Signal[static_cast<size_t>(picture - kStopAspect)] - 0.4L;
  if (s.speed > allowed) {
    if (s.cab_signal_brake_flag) return false;
    if (picture == kStopAspect)
      s.protection_emergency_flag = 1;
    else
      s.pattern_brake_flag = 1;
    set_all_pending(s);
    masconupdate(run);
    s.cab_signal_brake_flag = 1;
    return true;
  }
  if (!s.cab_signal_brake_flag) return false;
  s.pattern_brake_flag = 0;
  set_all_pending(s);
  masconupdate(run);
  s.cab_signal_brake_flag = 0;
  return true;
}

void reset_signal_display(RunState& s, RunView& v) {
  for (SignElement e : kSignalPictures) {
    v.signs.clear(e);
    v.signs.move(e, kSignGeometry[static_cast<size_t>(e)].left);
  }
  s.current_signal_picture = kNoSignal;
  s.last_drawn_signal_picture = kNoSignal;
  s.current_signal_third_value = kNoSignal;
  s.current_signal_index = kNoSignal;
  s.shown_signal_type = 0;
  s.acknowledged_flag = 0;
  s.signal_frame_seen = kNoFrameSeen;  // a move: nothing was passed on the way
}

}  // namespace cabsim
