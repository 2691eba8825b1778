// The track-side signs of the sign column.
#include "presentation/sign_column.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <utility>

#include "data/rounding.h"
#include "data/route_lookup.h"
#include "operation/signals.h"
#include "state/blink.h"
#include "state/sign_column.h"

namespace cabsim {
namespace {

using E = SignElement;

/// Sign-list cells of the gradient sign.
constexpr int32_t kUphillCell = 1;
constexpr int32_t kDownhillCell = 2;

/// Other-sign change times from this value on are 33 ms cycle counts, below
/// it seconds (ten ticks each).
constexpr int32_t kCycleCountChange = 1000;
constexpr int64_t kTicksPerSecond = 10;

/// Cells of the animation, stepped through from the row's first cell.
constexpr int32_t kAnimCells = 14;

/// Road traffic signals: phases of the cycle, the frames before and after a
/// view's or an approach's end within which its pictures or notice go, and
/// the distances (cm) of the first notice.
constexpr int32_t kTrafficPhases = 6;
constexpr int64_t kTrafficEndFrames = 15;
constexpr long double kNoticeFrom = 9900;
constexpr long double kNoticeBehind = -500;

/// Level crossings: frames from the first (or last) frame in which a
/// crossing joins (or leaves) the queue.
constexpr int64_t kCrossingWindow = 20;

int32_t saturating_increment(int32_t n) {
  return n < INT32_MAX ? n + 1 : n;
}

/// `first` <= frame < `first` + `length`, without overflow.
bool in_window(int32_t frame, int32_t first, int64_t length) {
  return first <= frame && int64_t{frame} < int64_t{first} + length;
}

bool near(int32_t frame, int32_t mark, int64_t frames) {
  return std::llabs(int64_t{frame} - int64_t{mark}) < frames;
}

/// The cell a sign changes to, nothing when cell + 1 does not fit or would
/// read as "no picture".
std::optional<int32_t> following_cell(int32_t cell) {
  if (cell == INT32_MAX || cell == kNoPicture - 1) return std::nullopt;
  return cell + 1;
}

// --- road traffic signals --------------------------------------------------

/// One tick of a signal's cycle: the counter runs down; below 1 the next
/// phase begins with its own duration.
void run_phase_cycle(TrafficSignalData& row) {
  if (row.phase < 1 || row.phase > kTrafficPhases) {
    row.phase = 1;
    row.phase_timer = row.phases[0].duration;
    return;
  }
  const int64_t left = int64_t{row.phase_timer} - 1;
  if (left >= 1) {
    row.phase_timer = static_cast<int32_t>(left);
    return;
  }
  const int32_t next = row.phase % kTrafficPhases + 1;
  row.phase_timer = row.phases[static_cast<size_t>(next - 1)].duration;
  row.phase = next;
}

const TrafficPhase& current_phase(const TrafficSignalData& row) {
  return row.phases[static_cast<size_t>(std::clamp(row.phase, 1, kTrafficPhases) - 1)];
}

/// `text` + " " + the distance in whole metres + "m".
std::string distance_notice(const std::string& text, long double cm) {
  const auto metres = round_to_int64(cm / 100);
  return text + " " + std::to_string(metres.value_or(0)) + "m";
}

void show_traffic_signal(Run& run, const TrafficSignalData& row) {
  RunState& s = run.state;
  SignColumn& signs = run.view.signs;
  const int32_t f = s.current_frame;
  const TrafficPhase& phase = current_phase(row);

  if (row.view_start <= f && f < row.view_end && row.phase != s.shown_traffic_phase) {
    if (phase.duration == 0) {
      signs.clear(E::kTrafficSignalImage);
    } else {
      signs.draw(E::kTrafficSignalImage, phase.cell);
    }
    s.shown_traffic_phase = row.phase;
    if (row.second_frame != 0) {
      signs.draw(E::kTrafficSignalImage2, row.stop_cell);
      s.shown_traffic_second = row.stop_cell;
    }
  }

  const long double middle =
      (static_cast<long double>(row.position) + static_cast<long double>(row.second_position)) *
      0.5L;
  if (middle < s.position && row.approach_end >= f) {
    const bool stop = phase.proceed != 1;
    const int32_t cell = stop ? row.stop_cell : row.proceed_cell;
    if (cell != s.shown_traffic_second) {
      signs.draw(E::kTrafficSignalImage2, cell);
      s.shown_traffic_second = cell;
    }
    if (stop) run.view.second_notice = run.text.TC;
  }

  if (near(f, row.view_end, kTrafficEndFrames)) {
    signs.clear(E::kTrafficSignalImage);
    signs.clear(E::kTrafficSignalImage2);
    s.shown_traffic_phase = kNoPicture;
    s.shown_traffic_second = kNoPicture;
  }
  if (row.second_frame != 0 && near(f, row.approach_end, kTrafficEndFrames))
    run.view.second_notice.clear();
}

/// The first notice line: the distance to the next second point of a signal
/// with notice 0, then the distance to the first signal close ahead when it
/// shows stop; that signal ends the scan.
void compose_first_notice(Run& run, std::span<const TrafficSignalData> rows) {
  const long double here = run.state.position;
  std::optional<std::string> notice;
  for (const TrafficSignalData& row : rows) {
    const long double d1 = static_cast<long double>(row.position) - here;
    const long double d22 = static_cast<long double>(row.second_position) - here;
    if (row.notice == 0 && 0 < d22 && d22 < kNoticeFrom) {
      notice = distance_notice(run.text.Stops[0], d22);
      continue;
    }
    if (kNoticeBehind < d1 && d1 < kNoticeFrom) {
      if (current_phase(row).proceed == 0) notice = distance_notice(run.text.Stops[1], d1);
      break;
    }
  }
  if (notice) {
    run.view.first_notice = std::move(*notice);
  } else {
    run.view.first_notice.clear();
  }
}

// --- level crossings ---------------------------------------------------------

/// Slot of crossing `row` in the queue, or nothing.
std::optional<size_t> queue_slot(const CrossingQueue& q, int32_t row) {
  auto it = std::find(q.begin(), q.end(), row);
  if (it == q.end()) return std::nullopt;
  return static_cast<size_t>(it - q.begin());
}

/// Keeps the queue's entries that name a row, in order and from the first
/// slot on: an entry naming none could never leave.
void drop_stray_entries(CrossingQueue& q, int32_t rows) {
  CrossingQueue kept = empty_crossing_queue();
  size_t n = 0;
  for (int32_t entry : q)
    if (entry >= 0 && entry < rows) kept[n++] = entry;
  q = kept;
}

}  // namespace

std::string gradient_text(Fixed gradient) {
  // Tenths of a per mille, halves away from zero.
  const int64_t count = gradient.count();
  int64_t tenths = count / 1000;
  const int64_t rest = count % 1000;
  if (rest >= 500) ++tenths;
  if (rest <= -500) --tenths;
  const uint64_t magnitude =
      tenths < 0 ? uint64_t{0} - static_cast<uint64_t>(tenths) : static_cast<uint64_t>(tenths);
  std::string text = tenths < 0 ? "-" : "";
  text += std::to_string(magnitude / 10);
  text += '.';
  text += std::to_string(magnitude % 10);
  return text;
}

void gradient_sign_step(Run& run) {
  RunState& s = run.state;
  RunView& v = run.view;
  const auto rows = table_rows(std::as_const(run.route->Slope), run.route->Slope_count);
  const int32_t f = s.current_frame;

  for (const SlopeRow& row : rows) {
    if (!(row.first_frame < f && f < row.last_frame)) continue;
    if (row.gradient != s.shown_gradient) {
      if (row.gradient > Fixed{}) v.signs.draw(E::kSlopeImage, kUphillCell);
      if (row.gradient < Fixed{}) v.signs.draw(E::kSlopeImage, kDownhillCell);
    }
    s.shown_gradient = row.gradient;
    v.slope_text = gradient_text(row.gradient);
    return;
  }

  for (size_t i = 0; i < rows.size(); ++i) {
    const bool before_next = i + 1 == rows.size() || f < rows[i + 1].first_frame;
    if (!(rows[i].last_frame < f && before_next)) continue;
    if (v.signs.holds_picture(E::kSlopeImage) || !v.slope_text.empty()) {
      v.signs.clear(E::kSlopeImage);
      s.shown_gradient = Fixed{};
      v.slope_text.clear();
    }
    return;
  }
}

void speed_limit_blink_step(Run& run) {
  if (run.state.limit_approach_flag != 1) return;
  if (auto on = blink_switch(run.state.tick_count)) run.view.signs.show(E::kSpeedLimitImage, *on);
}

void speed_limit_sign_step(Run& run, std::optional<int32_t> approaching_limit) {
  RunState& s = run.state;
  SignColumn& signs = run.view.signs;
  const auto rows = table_rows(std::as_const(run.route->SpeedLimit), run.route->SpeedLimit_count);
  const int32_t f = s.current_frame;
  bool shown = false;

  for (const SpeedLimitData& row : rows) {
    if (!(row.view_start <= f && f < row.view_end)) continue;
    s.limit_approach_flag = 0;
    signs.show(E::kSpeedLimitImage, true);
    // The zone and the approach draw into one sign, each with its own cache,
    // so either may have drawn over the other's picture (and 0, the zone
    // cache's "none", is a cell too): what the sign holds decides.
    if (signs[E::kSpeedLimitImage].cell != row.picture)
      signs.draw(E::kSpeedLimitImage, row.picture);
    s.shown_limit_picture = row.picture;
    shown = true;
  }

  if (approaching_limit && *approaching_limit >= 0 &&
      static_cast<size_t>(*approaching_limit) < rows.size()) {
    const int32_t picture = rows[static_cast<size_t>(*approaching_limit)].picture;
    if (signs[E::kSpeedLimitImage].cell != picture) signs.draw(E::kSpeedLimitImage, picture);
    s.approach_limit_picture = picture;
    s.limit_approach_flag = 1;
    shown = true;
  }

  if (!shown) {
    if (signs.holds_picture(E::kSpeedLimitImage)) signs.clear(E::kSpeedLimitImage);
    s.shown_limit_picture = 0;
    s.approach_limit_picture = kNoPicture;
  }
}

void other_sign_step(Run& run) {
  RunState& s = run.state;
  SignColumn& signs = run.view.signs;
  const auto rows = table_rows(std::as_const(run.route->Sign), run.route->Sign_count);
  const int32_t f = s.current_frame;

  auto active = std::find_if(rows.begin(), rows.end(),
                             [f](const SignRow& r) { return r.field1 <= f && f < r.field2; });
  if (active == rows.end()) {
    signs.clear(E::kOtherImage);
    s.shown_other_sign = kNoPicture;
    return;
  }
  const int32_t cell = active->field3, change_time = active->field4;
  const std::optional<int32_t> changed_cell =
      change_time >= 1 ? following_cell(cell) : std::nullopt;

  // This row's sign is on show when its cell, or the cell it changed to, is.
  const bool on_show =
      s.shown_other_sign == cell || (changed_cell && s.shown_other_sign == *changed_cell);
  if (!on_show) {
    signs.draw(E::kOtherImage, cell);
    s.other_sign_timer = 0;
    s.shown_other_sign = cell;
  }

  bool due = false;
  if (change_time >= 1 && change_time < kCycleCountChange)
    due = int64_t{s.other_sign_timer} > int64_t{change_time} * kTicksPerSecond;
  else if (change_time >= kCycleCountChange)
    due = s.cycle_count >= change_time;

  if (due && changed_cell) {
    if (s.shown_other_sign != *changed_cell) {
      signs.draw(E::kOtherImage, *changed_cell);
      s.shown_other_sign = *changed_cell;
    }
  } else {
    s.other_sign_timer = saturating_increment(s.other_sign_timer);
  }
}

void animation_step(Run& run) {
  RunState& s = run.state;
  SignColumn& signs = run.view.signs;
  const auto rows = table_rows(std::as_const(run.route->Anim), run.route->Anim_count);
  const int32_t f = s.current_frame;

  auto active = std::find_if(rows.begin(), rows.end(),
                             [f](const SignRow& r) { return r.field1 <= f && f < r.field2; });
  if (active == rows.end()) {
    signs.clear(E::kAnimImage);
    s.shown_anim_step = kNoPicture;
    return;
  }
  const int32_t period = active->field3, first_cell = active->field4;
  if (period < s.anim_counter) {
    s.anim_step = s.anim_step >= 0 && s.anim_step < kAnimCells - 1 ? s.anim_step + 1 : 0;
    s.anim_counter = 0;
  }
  const int64_t wide_cell = int64_t{first_cell} + s.anim_step;
  const int32_t cell = wide_cell <= INT32_MAX && wide_cell >= INT32_MIN
                           ? static_cast<int32_t>(wide_cell)
                           : kNoPicture;
  // A row entered straight from another one shows its own cells at once.
  if (s.anim_step != s.shown_anim_step || signs[E::kAnimImage].cell != cell) {
    signs.draw(E::kAnimImage, cell);
    s.shown_anim_step = s.anim_step;
  }
  s.anim_counter = saturating_increment(s.anim_counter);
}

void traffic_signal_step(Run& run) {
  const auto rows = table_rows(run.route->TrafficSignal, run.route->TrafficSignal_count);
  for (TrafficSignalData& row : rows) run_phase_cycle(row);
  for (const TrafficSignalData& row : rows) show_traffic_signal(run, row);
  compose_first_notice(run, rows);
}

bool crossing_indicator_on(const RunState& s, const RouteTables& route, int32_t k) {
  if (k < 1) return false;
  const int32_t row = k - 1;
  if (static_cast<size_t>(row) >= table_rows(route.Cross, route.Cross_count).size()) return false;
  return queue_slot(s.crossing_queue, row).has_value();
}

void level_crossing_step(Run& run) {
  RunState& s = run.state;
  SignColumn& signs = run.view.signs;
  const auto rows = table_rows(std::as_const(run.route->Cross), run.route->Cross_count);
  const int32_t f = s.current_frame;
  CrossingQueue& q = s.crossing_queue;
  drop_stray_entries(q, static_cast<int32_t>(rows.size()));

  bool joining = false;
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto id = static_cast<int32_t>(i);
    if (in_window(f, rows[i].first_frame, kCrossingWindow)) {
      joining = true;
      if (!queue_slot(q, id)) {
        if (auto empty = queue_slot(q, -1)) q[*empty] = id;
      }
    }
    // A crossing passed leaves wherever it stands: one met behind another
    // and passed first would otherwise stay queued for the rest of the run.
    if (in_window(f, rows[i].last_frame, kCrossingWindow)) {
      if (auto slot = queue_slot(q, id)) drop_slot(q, *slot);
    }
  }

  const int32_t head = q[0];
  if (head == -1) {
    signs.clear(E::kCrossImage);
    signs.show(E::kCrossImageSub, false);
    s.shown_crossing = -1;
    return;
  }
  if (joining || head == s.shown_crossing) return;
  const CrossRow& row = rows[static_cast<size_t>(head)];
  signs.show(E::kCrossImageSub, false);
  if (row.indicator >= 1 && !crossing_indicator_on(s, *run.route, row.indicator))
    signs.show(E::kCrossImageSub, true);
  signs.clear(E::kCrossImage);
  signs.draw(E::kCrossImage, row.cell);
  s.shown_crossing = head;
}

void reset_sign_column(RunState& s, RunView& v) {
  reset_signal_display(s, v);
  static const RunState kStart{};
  s.shown_gradient = kStart.shown_gradient;
  s.shown_limit_picture = kStart.shown_limit_picture;
  s.approach_limit_picture = kStart.approach_limit_picture;
  s.limit_approach_flag = kStart.limit_approach_flag;
  s.shown_other_sign = kStart.shown_other_sign;
  s.other_sign_timer = kStart.other_sign_timer;
  s.shown_traffic_phase = kStart.shown_traffic_phase;
  s.shown_traffic_second = kStart.shown_traffic_second;
  s.anim_step = kStart.anim_step;
  s.anim_counter = kStart.anim_counter;
  s.shown_anim_step = kStart.shown_anim_step;
  s.crossing_queue = kStart.crossing_queue;
  s.shown_crossing = kStart.shown_crossing;

  static const SignColumn kStartColumn{};
  for (size_t e = static_cast<size_t>(E::kSlopeImage); e < kSignElementCount; ++e)
    v.signs.pictures[e] = kStartColumn.pictures[e];
  v.slope_text.clear();
}

}  // namespace cabsim
