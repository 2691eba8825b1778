// The three traction models, the traction gate and the power-notch delay.
#include "dynamics/traction.h"

#include <climits>
#include <cmath>

#include "data/rounding.h"
#include "sound/sound_numbers.h"

namespace cabsim {
namespace {

/// x raised to the whole number n by repeated squaring (negative n: 1 / x^-n).
long double int_power(long double x, int64_t n) {
  bool invert = n < 0;
  uint64_t e = invert ? uint64_t(0) - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  long double result = 1.0L;
  while (e != 0) {
    if (e & 1) result *= x;
    x *= x;
    e >>= 1;
  }
  return invert ? 1.0L / result : result;
}

/// A degenerate row of a stranger's file (a zero divisor) gives no force
/// rather than an infinite one.
long double finite_or_zero(long double x) {
  return std::isfinite(x) ? x : 0.0L;
}

long double notch_curve_force(const RunState& s, const TrainParams& train, int32_t notch) {
  // This model alone gives no force while the brake handle is applied.
  if (s.brake_handle != 0) return 0;
  NotchRow none;
  const NotchRow& row = notch <= static_cast<int32_t>(kMaxNotches)
                            ? train.Notch[static_cast<size_t>(notch - 1)]
                            : none;
  return force_for_acceleration(train, notch_curve_acceleration(row, std::fabs(s.speed)));
}

long double current_limit_force(const RunState& s, const TrainParams& train) {
  const CurrentLimitHeader& h = train.CurrentPHeader;
  long double v = std::fabs(s.speed);
  long double a = h.constant_force_speed > v ? h.limit_acceleration
                                             : h.limit_acceleration * h.constant_force_speed / v;
  return finite_or_zero(force_for_acceleration(train, finite_or_zero(a)) * s.step_current /
                        h.limit_current);
}

long double diesel_force(const RunState& s, const TrainParams& train, int32_t notch) {
  if (s.gear_change_in_progress) return 0;
  if (s.gear < 0 || s.gear >= static_cast<int32_t>(kMaxEngineGears)) return 0;
  const EngineRow& g = train.Engine[static_cast<size_t>(s.gear)];
  long double v = std::fabs(s.speed);
  long double per_notch = 0;
  long double notches = notch;
  if (v < g.e1) {
    long double slope = (g.e4 - g.e3) / (static_cast<long double>(g.e1) - g.e0);
    long double a = g.e3 + std::fabs(v - g.e0) * finite_or_zero(slope);
    per_notch = force_for_acceleration(train, a) / train.Power;
    // Starting off, the engine gives at most the force of notch 2.
    if (s.speed < train.PowerJerk && notch > 2) notches = 2;
  } else if (v < g.e2) {
    long double a = g.e4 + (v - g.e1) * (g.e5 - g.e4) / (static_cast<long double>(g.e2) - g.e1);
    per_notch = force_for_acceleration(train, a) / train.Power;
  }
  return finite_or_zero(per_notch * notches);
}

}  // namespace

long double notch_curve_acceleration(const NotchRow& row, long double v) {
  if (row.a0 > 0) {
    if (v < row.V1) return row.a0 + v * (row.a1 - row.a0) / row.V1;
    if (v < row.V2) return finite_or_zero(row.a1 * row.V1 / v);
    int64_t whole_speed = round_to_int64(v).value_or(INT64_MAX);
    return finite_or_zero(row.a1 * row.V1 / int_power(row.D, row.V2) *
                          int_power(row.D, whole_speed) / v);
  }
  // A retarding notch works only between its two speeds.
  if (row.V1 <= v && v < row.V2) return row.a0;
  return 0;
}

long double force_for_acceleration(const TrainParams& train, long double acceleration) {
  return acceleration / 3.6L * train.Tons.real() * 1000.0L;
}

long double notch_force(const RunState& s, const TrainParams& train) {
  int32_t n = s.effective_power_notch;
  if (n < 1) return 0;
  if (train.Engine_Type == 0) return diesel_force(s, train, n);
  if (train.Engine_Type != 1) return 0;
  if (train.Power_Type == 1) return notch_curve_force(s, train, n);
  if (train.Power_Type == 0) return current_limit_force(s, train);
  return 0;
}

bool traction_gate_open(const RunState& s, const TrainParams& train) {
  return s.line_voltage.count() > 0 && s.speed < train.MaxSpeed && s.engine_running &&
         !s.doors_open && !s.protection_emergency_flag && !s.pattern_brake_flag;
}

void ats_off_warning(const RunState& s, const TrainParams& train, SoundChannels& sounds) {
  if (!s.ats_on && !s.beginner_mode && s.power_handle > 1)
    start_looped(sounds, train.ATS_Warn);
  else
    stop_if_playing(sounds, train.ATS_Warn);
}

void traction_step(RunState& s, const TrainParams& train, SoundChannels& sounds) {
  if (!traction_gate_open(s, train)) return;
  ats_off_warning(s, train, sounds);
  s.tractive_force = s.tractive_force.real() + notch_force(s, train);
  if (s.reverser == 0) s.tractive_force = Fixed();
  if (s.reverser == -1) s.tractive_force = -s.tractive_force.real();
}

void power_notch_delay_step(RunState& s, const TrainParams& train) {
  if (s.line_voltage.count() <= 0) return;
  if (s.power_change_pending) {
    if (s.power_delay_counter < INT32_MAX) s.power_delay_counter += 1;
    if (s.power_delay_counter == train.PowerDelay) {
      s.power_change_pending = 0;
      s.power_delay_counter = 0;
      if (s.film_mode == kFilmFollowsPosition || s.film_mode == kFilmPositionInsert) {
        // Notching up always follows the handle; notching back only down to
        // the lowest notch that can be notched back to, or straight to 0.
        if (s.power_handle >= s.effective_power_notch || s.power_handle >= train.NotchBack ||
            s.power_handle == 0)
          s.effective_power_notch = s.power_handle;
      }
    }
  }
  s.published_tractive_force = s.tractive_force;
}

}  // namespace cabsim
