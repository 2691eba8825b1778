// The commentary generator's rules, in order; a later rule's text replaces an
// earlier one.
#include "presentation/commentary.h"

#include <cmath>

#include "data/rounding.h"
#include "data/route_lookup.h"
#include "data/shift_jis.h"
#include "operation/stations.h"

namespace cabsim {
namespace {

/// `[InfoLabel]` lines of the advice (counted from 0).
constexpr size_t kSelectorAgainstSide0 = 8;  ///< the doors open on side 0, side 1 selected
constexpr size_t kSelectorAgainstSide1 = 9;  ///< the doors open on side 1, side 0 selected
constexpr size_t kTimeDrivenFilm = 10;
constexpr size_t kProtectionBraking = 11;
constexpr size_t kProtectionStopped = 12;
constexpr size_t kAtsBell = 13;
constexpr size_t kVigilance = 14;
constexpr size_t kCautionSpeed = 15;
constexpr size_t kReducedSpeed = 16;
constexpr size_t kRestrictedSpeed = 17;
constexpr size_t kStopApproach = 18;
constexpr size_t kAtsOffPower = 20;
constexpr size_t kMovieStop = 21;

/// Vigilance device ticks after which the driver is told to act.
constexpr int32_t kVigilanceAdvice = 600;
/// The film end: frames before the movie-stop frame where turning back is advised.
constexpr int64_t kMovieStopFrames = 200;
/// Speeds the signal advice starts above, km/h.
constexpr long double kCautionAdvice = 65;
constexpr long double kReducedAdvice = 96;
constexpr long double kRestrictedAdvice = 25;
/// Stop approach: the distance the advice allows for, m, and the distance
/// to the stop below which it is not given, cm.
constexpr long double kStopMargin = 125;
constexpr long double kStopAdviceFrom = 25000;

bool one_of(int32_t picture, std::initializer_list<int32_t> pictures) {
  for (int32_t p : pictures)
    if (p == picture) return true;
  return false;
}

class Commentary {
 public:
  explicit Commentary(const Run& run) : run_(run), s_(run.state) {}

  std::string text() {
    doors();
    if (s_.film_mode == kFilmTimeDriven && s_.power_handle > 0) line(kTimeDrivenFilm);
    if (!s_.ats_on && !s_.beginner_mode && s_.power_handle > 1) line(kAtsOffPower);
    movie_stop();
    protection();
    engine_stall();
    return text_;
  }

 private:
  long double rounded_speed() const { return round_half_even(s_.speed); }
  bool standing() const { return std::fabs(rounded_speed()) <= 0.1L; }

  void line(size_t k) { say(info(k)); }
  /// The top message becomes `rest`.
  void say(std::string_view rest) {
    text_.assign(1, '0');
    text_.append(rest);
  }
  std::string info(size_t k) const {
    return k < run_.text.InfoLabel.size() ? sjis_to_utf8(run_.text.InfoLabel[k]) : std::string();
  }

  /// 1: standing at a stop with the doors closed, the door-side selector
  /// against the side the station's doors open on.
  void doors() {
    if (s_.doors_not_closed || rounded_speed() > 0) return;
    const RouteTables& route = *run_.route;
    for (const StationData& st : table_rows(route.Station, route.Station_count)) {
      if (st.kind != kStationStop || !st.in_zone) continue;
      if (st.commentary == 0 && s_.door_side_selector == 1)
        line(kSelectorAgainstSide0);
      else if (st.commentary == 1 && s_.door_side_selector == 0)
        line(kSelectorAgainstSide1);
      else
        say({});
    }
  }

  /// 4: standing near the end of the film.
  void movie_stop() {
    const int64_t stop = run_.route->MovieStop[0];
    if (rounded_speed() == 0 && stop - kMovieStopFrames < s_.current_frame &&
        s_.current_frame <= stop)
      line(kMovieStop);
  }

  /// 5: the protection brake, the ATS bell, the vigilance device, the signal
  /// ahead and the approach to the stop.
  void protection() {
    const bool moving = std::fabs(rounded_speed()) > 0.1L;
    if (s_.pattern_brake_flag) {
      if (s_.pattern_state > 1 && moving)
        line(kProtectionBraking);
      else if (s_.pattern_state > 1)
        line(kProtectionStopped);
      return;
    }
    if (s_.protection_emergency_flag) {
      if (s_.alarm_flag && std::fabs(rounded_speed()) > 0.5L) {
        line(kProtectionBraking);
        return;
      }
      if (s_.pattern_state < 2 && !moving) line(kProtectionStopped);
      if (s_.pattern_state >= 2) line(kProtectionBraking);
      return;
    }
    if (s_.alarm_flag && s_.ats_on) {
      line(kAtsBell);
      return;
    }
    if (s_.vigilance_counter > kVigilanceAdvice) {
      line(kVigilance);
      return;
    }
    signal_ahead();
  }

  void signal_ahead() {
    const int32_t picture = s_.current_signal_picture;
    const long double v = rounded_speed();
    if (one_of(picture, {4, 7, 10, 15, 19}) && v > kCautionAdvice) line(kCautionSpeed);
    if (one_of(picture, {11, 20}) && v >= kReducedAdvice) line(kReducedSpeed);
    if (one_of(picture, {14, 18}) && v > kRestrictedAdvice) line(kRestrictedSpeed);
    // Too fast for the stop ahead: v/5 x v/3.6 metres (braking at about
    // 2.5 km/h/s) is more than is left before the stop, less 125 m.
    const long double speed = s_.speed;
    if ((speed / 5) * (speed / 3.6L) > s_.distance_to_stop / 100 - kStopMargin &&
        s_.distance_to_stop > kStopAdviceFrom) {
      if (text_.empty()) say({});
      text_.append(info(kStopApproach));
    }
  }

  /// 6: driven off in the last gear, the engine has stalled.
  void engine_stall() {
    const TrainParams& train = run_.train;
    if (s_.power_handle > 0 && !s_.engine_running && s_.gear == train.Engine_count - 1 &&
        std::fabs(rounded_speed()) < 0.5L)
      say(kEngineStallText);
  }

  const Run& run_;
  const RunState& s_;
  std::string text_;
};

}  // namespace

std::string commentary_command(const Run& run) {
  return Commentary(run).text();
}

}  // namespace cabsim
