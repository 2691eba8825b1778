// The speed limits and speed checks ahead of the train: the look-ahead that
// keeps the next three `[SpeedLimit]` rows and the next three `[SpeedCheck1]`
// checks in force with the distance needed to brake down to each, the
// judgement of the `[SpeedCheck1]` checks as the train passes them, and what
// the sign column and the notices take from the look-ahead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "state/run.h"

namespace cabsim {

/// Look-ahead entry states.
constexpr int32_t kLookaheadLimit = 0;  ///< a `[SpeedLimit]` row
constexpr int32_t kLookaheadCheck = 1;  ///< a `[SpeedCheck1]` check in force
constexpr int32_t kLookaheadNone = 9;
/// The limits ahead fill entries 0 .. 2, the checks ahead entries 3 .. 5.
constexpr size_t kFirstLimitEntry = 0;
constexpr size_t kFirstCheckEntry = 3;
constexpr size_t kEntriesPerTable = 3;
static_assert(kFirstCheckEntry + kEntriesPerTable == kLookaheadEntries);

/// cm the train needs to come down from `speed` km/h to `limit` km/h braking
/// at 3 km/h/s, plus a margin of one metre per km/h of `speed`, in whole
/// metres: round((limit + speed) (speed - limit) / 21.6 + speed) x 100.
/// Meant for a train faster than the limit; never below 0, at most INT32_MAX.
int32_t needed_braking_distance(long double speed, int32_t limit);

/// Tick step 22, first part: the look-ahead. n is the first row (from 0)
/// whose position lies beyond the train, or the row count when none does (a
/// row exactly at the train has been reached); entries take rows n, n + 1,
/// n + 2, or state none beyond the table. A check enters the look-ahead only
/// while it is in force through its signal (a link of 1 or more to a signal
/// at stop); otherwise its entry is none.
///
/// An entry's needed distance is worked out while the train is faster than
/// its speed. When it is not, a row that already had an entry keeps its
/// needed distance (an announced limit stays announced while the driver
/// slows down); a row new to the look-ahead starts at 0, so a value worked
/// out for another row never carries over to it.
void speed_limit_lookahead(Run& run);

/// True when `[SpeedCheck1]` check `check` is judged now: a link of 0 always,
/// a link of 1 or more while that signal shows stop (aspect 0), a negative
/// link never. A link to a signal the table does not hold counts as a signal
/// not at stop.
bool speed_check_in_force(const RouteTables& route, const SpeedCheck1Data& check);

/// Tick step 22, the `[SpeedCheck1]` checks (only while the ATS is on): each
/// unpassed check behind the train is judged when in force, ringing the ATS
/// bell (ats_alarm_request) when its speed is below the train's, and marked
/// passed. A check not in force stays unpassed, to be judged when it comes
/// into force.
void speed_check_step(Run& run);

/// The limit whose sign is to blink as approached: the row of entry 0 when
/// it is a limit and the train is within its needed distance.
std::optional<int32_t> approaching_speed_limit(const RunState& s);

/// A limit or check announced in the notices.
struct AnnouncedSpeed {
  int32_t speed = 0;       ///< km/h
  int32_t distance_m = 0;  ///< metres to it, rounded half to even
  bool operator==(const AnnouncedSpeed&) const = default;
};

/// What the notices take from the look-ahead.
struct SpeedNoticeValues {
  /// The next limit, when the train is within its needed distance.
  std::optional<AnnouncedSpeed> limit;
  /// The next check in force, when the train is within its needed distance.
  std::optional<AnnouncedSpeed> check;
  /// The speed after it: the second check when within its needed distance,
  /// else the second limit when within its needed distance.
  std::optional<int32_t> following_speed;
  bool operator==(const SpeedNoticeValues&) const = default;
};

SpeedNoticeValues speed_notice_values(const RunState& s);

}  // namespace cabsim
