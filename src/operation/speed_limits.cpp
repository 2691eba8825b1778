// The look-ahead of the speed limits and checks, and the `[SpeedCheck1]` checks.
#include "operation/speed_limits.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "data/rounding.h"
#include "data/route_lookup.h"
#include "operation/ats.h"

namespace cabsim {
namespace {

/// x rounded half to even into 32 bits, held at the ends of the range; not a
/// number reads 0.
int32_t clamped_int32(long double x) {
  if (std::isnan(x)) return 0;
  const long double r = round_half_even(x);
  return static_cast<int32_t>(std::clamp<long double>(r, INT32_MIN, INT32_MAX));
}

/// The rows of a table the count names, never more than it holds.
template <typename Row, size_t N>
int32_t rows_held(const std::array<Row, N>& /*table*/, int32_t count) {
  return std::clamp<int32_t>(count, 0, static_cast<int32_t>(N));
}

/// The first of `count` rows whose position lies beyond `position`, or
/// `count` when none does.
template <typename Row, size_t N>
int32_t first_row_ahead(const std::array<Row, N>& table, int32_t count, long double position) {
  for (int32_t i = 0; i < count; ++i)
    if (table[static_cast<size_t>(i)].position > position) return i;
  return count;
}

bool signal_shows_stop(const RouteTables& route, int32_t link) {
  const SignalData* signal = signal_at(route, link);
  return signal && signal->aspect == 0;
}

/// A row as the look-ahead sees it.
struct Candidate {
  int32_t speed = 0;
  int32_t position = 0;
};

/// Fills the three entries from `first` with rows n, n + 1, n + 2; `row_at`
/// gives a row's speed and position, or nothing when the row does not count.
template <typename RowAt>
void fill_entries(RunState& s, size_t first, int32_t status, int32_t n, int32_t count,
                  RowAt row_at) {
  std::array<LookaheadEntry, kEntriesPerTable> before{};
  std::copy_n(s.lookahead.begin() + static_cast<std::ptrdiff_t>(first), kEntriesPerTable,
              before.begin());
  // The needed distance the row had in the last look-ahead, 0 when it had none.
  auto kept_needed = [&](int32_t row) {
    for (const LookaheadEntry& e : before)
      if (e.status == status && e.index == row) return e.needed_distance;
    return 0;
  };
  for (size_t k = 0; k < kEntriesPerTable; ++k) {
    LookaheadEntry& e = s.lookahead[first + k];
    const int64_t row = int64_t{n} + static_cast<int64_t>(k);
    std::optional<Candidate> c;
    if (row < count) c = row_at(static_cast<int32_t>(row));
    if (!c) {
      e.status = kLookaheadNone;
      continue;
    }
    const auto i = static_cast<int32_t>(row);
    e.needed_distance =
        c->speed < s.speed ? needed_braking_distance(s.speed, c->speed) : kept_needed(i);
    e.status = status;
    e.index = i;
    e.speed = c->speed;
    e.distance = clamped_int32(static_cast<long double>(c->position) - s.position);
  }
}

/// Within the needed distance of a live entry of state `status`.
bool within_needed(const LookaheadEntry& e, int32_t status) {
  return e.status == status && e.distance < e.needed_distance;
}

AnnouncedSpeed announced(const LookaheadEntry& e) {
  return {e.speed, clamped_int32(static_cast<long double>(e.distance) / 100)};
}

}  // namespace

int32_t needed_braking_distance(long double speed, int32_t limit) {
  const long double u = limit;
  const long double metres = round_half_even((u + speed) * (speed - u) / 21.6L + speed);
  if (!(metres > 0)) return 0;  // not a number, too
  return static_cast<int32_t>(std::min<long double>(metres * 100, INT32_MAX));
}

void speed_limit_lookahead(Run& run) {
  RunState& s = run.state;
  const RouteTables& route = *run.route;

  const int32_t limits = rows_held(route.SpeedLimit, route.SpeedLimit_count);
  fill_entries(s, kFirstLimitEntry, kLookaheadLimit,
               first_row_ahead(route.SpeedLimit, limits, s.position), limits,
               [&](int32_t i) -> std::optional<Candidate> {
                 const SpeedLimitData& row = route.SpeedLimit[static_cast<size_t>(i)];
                 return Candidate{row.limit, row.position};
               });

  const int32_t checks = rows_held(route.SpeedCheck1, route.SpeedCheck1_count);
  fill_entries(s, kFirstCheckEntry, kLookaheadCheck,
               first_row_ahead(route.SpeedCheck1, checks, s.position), checks,
               [&](int32_t i) -> std::optional<Candidate> {
                 const SpeedCheck1Data& row = route.SpeedCheck1[static_cast<size_t>(i)];
                 // A check that applies always is judged, never announced.
                 if (row.signal_link < 1 || !signal_shows_stop(route, row.signal_link))
                   return std::nullopt;
                 return Candidate{row.speed, row.position};
               });
}

bool speed_check_in_force(const RouteTables& route, const SpeedCheck1Data& check) {
  if (check.signal_link < 0) return false;
  if (check.signal_link == 0) return true;
  return signal_shows_stop(route, check.signal_link);
}

void speed_check_step(Run& run) {
  RunState& s = run.state;
  if (!s.ats_on) return;
  RouteTables& route = *run.route;
  const int32_t count = rows_held(route.SpeedCheck1, route.SpeedCheck1_count);
  for (int32_t i = 0; i < count; ++i) {
    SpeedCheck1Data& check = route.SpeedCheck1[static_cast<size_t>(i)];
    if (!(check.position < s.position) || check.passed) continue;
    if (!speed_check_in_force(route, check)) continue;
    if (check.speed < s.speed) ats_alarm_request(s, run.train);
    check.passed = 1;
  }
}

std::optional<int32_t> approaching_speed_limit(const RunState& s) {
  const LookaheadEntry& e = s.lookahead[kFirstLimitEntry];
  if (within_needed(e, kLookaheadLimit)) return e.index;
  return std::nullopt;
}

SpeedNoticeValues speed_notice_values(const RunState& s) {
  SpeedNoticeValues values;
  const LookaheadEntry& limit = s.lookahead[kFirstLimitEntry];
  const LookaheadEntry& second_limit = s.lookahead[kFirstLimitEntry + 1];
  const LookaheadEntry& check = s.lookahead[kFirstCheckEntry];
  const LookaheadEntry& second_check = s.lookahead[kFirstCheckEntry + 1];
  if (within_needed(limit, kLookaheadLimit)) values.limit = announced(limit);
  if (within_needed(check, kLookaheadCheck)) values.check = announced(check);
  if (within_needed(second_check, kLookaheadCheck))
    values.following_speed = second_check.speed;
  else if (within_needed(second_limit, kLookaheadLimit))
    values.following_speed = second_limit.speed;
  return values;
}

}  // namespace cabsim
