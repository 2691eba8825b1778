// The call queue, the station and time calls and the calling key.
#include "operation/calls.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

#include "data/rounding.h"
#include "data/route_lookup.h"
#include "sound/channel_layout.h"
#include "state/sign_column.h"

namespace cabsim {
namespace {

/// Station call moment -> `[StationKanko]` moment code.
constexpr std::array<int32_t, 6> kMomentCodes = {4, 0, 1, 2, 3, 5};
/// `[StationKanko]` values: up to here a call slot, this one the calling key,
/// above it a clock value.
constexpr int32_t kLastSlotValue = 998;
constexpr int32_t kCallingKeyValue = 999;

/// Time calls, clock units (1/30 s).
constexpr int64_t kOnTimeBand = 450;        ///< 15 s
constexpr int64_t kLongestTimeCall = 3600;  ///< 2 min
constexpr int32_t kFirstAmountSlot = 6;     ///< 15 to 30 s; each further slot 15 s more
constexpr int32_t kLateSlot = 13, kEarlySlot = 15, kOnTimeSlot = 17;

/// Call slot of each signal picture, -1 none.
constexpr std::array<int8_t, 37> kSignalSlots = [] {
  std::array<int8_t, 37> t{};
  t.fill(-1);
  const auto put = [&t](int8_t slot, std::initializer_list<int> pictures) {
    for (int p : pictures) t[static_cast<size_t>(p)] = slot;
  };
  put(0, {0, 3, 6, 9, 13, 17, 22, 27, 33});  // stop
  put(1, {14, 18, 28});
  put(2, {4, 7, 10, 15, 19, 23});
  put(3, {11, 20, 30});
  put(4, {2, 5, 8, 12, 16, 21, 25, 31, 35});
  put(5, {1, 34});
  put(21, {26, 32, 36});
  return t;
}();

bool speed_rounds_to_zero(const RunState& s) {
  return round_half_even(s.speed) == 0;
}

/// The queued number of other sign `sign`; nothing for a sign beyond the
/// other-sign list's capacity.
std::optional<int32_t> other_sign_call(int32_t sign) {
  if (sign < 0 || static_cast<size_t>(sign) >= kMaxOtherImages) return std::nullopt;
  return kOtherSignSound + sign;
}

bool other_sign_has_sound(const RouteTables& route, int32_t sign) {
  const auto call = other_sign_call(sign);
  return call && queued_call_file(route, *call) != nullptr;
}

/// The channel the calls play on, or -1 when the channel set has none left.
int call_channel(const Run& run) {
  const int64_t channel = channel_layout(run.train, *run.route).call();
  return channel < run.sounds.channel_count() ? static_cast<int>(channel) : -1;
}

void queue_if_some(Run& run, std::optional<int32_t> call) {
  if (call) kanko_queue_add(run, *call);
}

bool signal_in_view(const RunState& s) {
  return s.current_signal_index != kNoSignal;
}

/// Rule 1 of the calling key: the other sign on show, once.
bool sign_call(Run& run) {
  RunState& s = run.state;
  const int32_t sign = s.shown_other_sign;
  if (sign == kNoPicture || sign == s.last_called_sign) return false;
  if (sign != kTimeCheckSign && !other_sign_has_sound(*run.route, sign)) return false;
  if (sign == kTimeCheckSign)
    Timecheck(run, 0);
  else
    queue_if_some(run, other_sign_call(sign));
  s.last_called_sign = sign;
  return true;
}

/// Rule 2: the speed limit ahead whose sign blinks, while no other sign is
/// on show and the train moves.
bool limit_call(Run& run) {
  RunState& s = run.state;
  if (s.limit_approach_flag != 1 || s.shown_other_sign != kNoPicture || speed_rounds_to_zero(s))
    return false;
  const int32_t picture = s.approach_limit_picture;
  if (picture != s.last_called_sign) {
    queue_if_some(run, other_sign_call(picture));
    s.last_called_sign = picture;
  }
  return true;
}

/// Rule 3: the signal in view, with its route calls before and after.
bool signal_call(Run& run) {
  RunState& s = run.state;
  const RouteTables& route = *run.route;
  const bool crossing_waits = std::any_of(s.crossing_queue.begin(), s.crossing_queue.end(),
                                          [](int32_t c) { return c != -1; });
  if (crossing_waits && !speed_rounds_to_zero(s) &&
      !run.view.signs[SignElement::kCrossImageSub].visible)
    return false;
  if (signal_in_view(s)) {
    for (const KankoData& record : table_rows(route.KankoSound2, route.KankoSound2_count)) {
      if (record.number != s.current_signal_third_value) continue;
      kanko_add(run, 1);
      kanko_queue_add(run, kFirstKankoSound2 + record.number);
    }
  }
  queue_if_some(run, signal_call_slot(s.current_signal_picture));
  kanko_add(run, 2);
  return true;
}

/// Rule 4: the level crossing at the head of the crossing queue, which then
/// leaves the queue.
void crossing_call(Run& run) {
  RunState& s = run.state;
  const auto rows = table_rows(run.route->Cross, run.route->Cross_count);
  const int32_t head = s.crossing_queue[0];
  if (head >= 0 && static_cast<size_t>(head) < rows.size())
    kanko_queue_add(run, rows[static_cast<size_t>(head)].call_sound);
  drop_slot(s.crossing_queue, 0);
}

}  // namespace

std::optional<int32_t> signal_call_slot(int32_t picture) {
  if (picture < 0 || static_cast<size_t>(picture) >= kSignalSlots.size()) return std::nullopt;
  const int8_t slot = kSignalSlots[static_cast<size_t>(picture)];
  if (slot < 0) return std::nullopt;
  return slot;
}

const std::string* queued_call_file(const RouteTables& route, int32_t call) {
  const std::string* file = nullptr;
  if (call >= kOtherSignSound) {
    const int32_t k = call - kOtherSignSound;
    if (k < route.OtherImageList_count && static_cast<size_t>(k) < kMaxOtherImages)
      file = &route.OtherImageList[static_cast<size_t>(k)].sound;
  } else {
    file = call_sound_file(route, call);
  }
  return file && !file->empty() ? file : nullptr;
}

void kanko_queue_add(Run& run, int32_t call) {
  RunState& s = run.state;
  if (call < 0) return;  // names no sound (and -1 marks an empty slot)
  s.call_queue_busy = 1;
  auto empty = std::find(s.call_queue.begin(), s.call_queue.end(), -1);
  if (empty != s.call_queue.end()) *empty = call;
  s.call_queue_busy = 0;
}

void kanko_queue_play(Run& run) {
  RunState& s = run.state;
  if (s.call_queue_busy) return;
  const int channel = call_channel(run);
  if (channel >= 0 && run.sounds.status(channel) != ChannelStatus::kStopped) return;
  if (s.call_shift_pending) {
    s.call_shift_pending = 0;
    drop_slot(s.call_queue, 0);
  }
  if (std::all_of(s.call_queue.begin(), s.call_queue.end(), [](int32_t c) { return c == -1; }))
    return;
  // The call leaves the queue on the next tick whatever happens to it here:
  // a call that cannot be played must not stop the ones behind it.
  s.call_shift_pending = 1;
  const int32_t call = s.call_queue[0];
  const std::string* file = queued_call_file(*run.route, call);
  if (!file || channel < 0) return;  // a call without a sound passes in silence
  if (!run.sounds.load(channel, run.find_file(*file)).empty()) {
    run.view.message = kCallPlaybackError;
    return;
  }
  s.call_channel_sound = call;
  if (run.settings.Kanko != 1) run.sounds.play_once(channel);
}

void raise_station_call(Run& run, int32_t moment) {
  RunState& s = run.state;
  if (moment < 0 || static_cast<size_t>(moment) >= kMomentCodes.size()) return;
  s.last_station_call = moment;
  if (moment == kCallFirstPower) kanko_queue_add(run, kCallSoundFirstPower);
  const int32_t code = kMomentCodes[static_cast<size_t>(moment)];
  for (const StationKankoRow& row :
       table_rows(std::as_const(run.route->StationKanko), run.route->StationKanko_count)) {
    if (row.station != s.current_station || row.moment != code) continue;
    if (row.value <= kLastSlotValue)
      kanko_queue_add(run, row.value);
    else if (row.value == kCallingKeyValue)
      calling_key(run);
    else
      Timekanko(run, row.value, 0);
  }
}

void first_power_call(Run& run) {
  RunState& s = run.state;
  if (!s.departure_call_pending || s.power_handle <= 0) return;
  s.departure_call_pending = 0;
  raise_station_call(run, kCallFirstPower);
}

void Timekanko(Run& run, int32_t target, int32_t kind) {
  const int64_t clock = run.state.clock;
  const int64_t e = std::llabs(clock - target);
  const int32_t words = kind == 0 ? 0 : 1;
  if (e <= kOnTimeBand) {
    kanko_queue_add(run, kOnTimeSlot + words);
    return;
  }
  if (e > kLongestTimeCall) return;
  kanko_queue_add(run,
                  kFirstAmountSlot + static_cast<int32_t>((e - kOnTimeBand - 1) / kOnTimeBand));
  if (target < clock) kanko_queue_add(run, kLateSlot + words);
  if (target > clock) kanko_queue_add(run, kEarlySlot + words);
}

void Timecheck(Run& run, int32_t flag) {
  if (flag != 0) return;
  const int32_t f = run.state.current_frame;
  for (const TimeRow& row : table_rows(std::as_const(run.route->Time), run.route->Time_count))
    if (row.first_frame < f && f < row.last_frame) Timekanko(run, row.target_clock, 1);
}

void kanko_add(Run& run, int32_t kind) {
  const RunState& s = run.state;
  if (!signal_in_view(s)) return;
  for (const SignalKankoRow& row :
       table_rows(std::as_const(run.route->SignalKanko), run.route->SignalKanko_count)) {
    if (row.signal != s.current_signal_index) continue;
    if (kind == 1 && row.kind == 0) kanko_queue_add(run, row.slot);
    if (kind == 2 && (row.kind == 2 || row.kind == 1)) kanko_queue_add(run, row.slot);
  }
}

void calling_key(Run& run) {
  if (sign_call(run) || limit_call(run) || signal_call(run)) return;
  crossing_call(run);
}

void forget_called_sign(Run& run) {
  RunState& s = run.state;
  if (s.shown_other_sign == kNoPicture && s.limit_approach_flag != 1)
    s.last_called_sign = kNoPicture;
}

}  // namespace cabsim
