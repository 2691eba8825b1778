// Door_operate, the door-closed step and the station lamps.
#include "operation/doors.h"

#include <algorithm>
#include <cmath>

#include "data/route_lookup.h"
#include "operation/calls.h"
#include "sound/sound_numbers.h"
#include "state/checked_math.h"
#include "state/panel_state.h"

namespace cabsim {
namespace {

/// `[Others]` pictures of the station lamps.
constexpr size_t kOtherDoorsOpen = 0;
constexpr size_t kOtherDoorsOpenSpecial = 1;

bool playing(const SoundChannels& sounds, int32_t number) {
  return is_channel(sounds, number) && sounds.status(number) != ChannelStatus::kStopped;
}

/// One-man trains sound their doors only as often as the station's
/// percentage says.
bool door_sound_allowed(const Run& run) {
  if (run.route->OneMan <= 0) return true;
  return run.state.door_sound_draw <= run.state.door_sound_limit;
}

bool special_stop(const RouteTables& route) {
  const int32_t count = std::clamp<int32_t>(route.Station_count, 0, kMaxStations);
  for (int32_t i = 0; i < count; ++i) {
    const StationData& st = route.Station[static_cast<size_t>(i)];
    if (st.special_stop == 1 && st.in_zone) return true;
  }
  return false;
}

}  // namespace

void Door_operate(Run& run) {
  RunState& s = run.state;
  s.doors_open = 0;
  if (run.route->OneMan > 0) run.view.car_count_text.clear();
  if (std::fabs(s.speed) >= kDoorStandingSpeed) return;
  const bool sound = door_sound_allowed(run);
  if (!s.doors_not_closed) {
    s.doors_open = 1;
    if (sound) play_once_from_start(run.sounds, run.train.Sound_DoorOpen);
  } else if (sound) {
    play_once_from_start(run.sounds, run.train.Sound_DoorClose);
  }
  if (s.doors_open) s.doors_not_closed = 1;
}

void set_door_closed_lamp(RunState& s, PanelState& panel, bool lit) {
  s.door_closed_lamp = lit ? 1 : 0;
  panel.show(PanelElement::kLampDoor, lit);
}

void door_closed_step(Run& run) {
  RunState& s = run.state;
  const TrainParams& train = run.train;
  if (s.doors_open || s.door_closed_lamp) return;
  if (playing(run.sounds, train.Sound_DoorOpen) || playing(run.sounds, train.Sound_DoorClose))
    return;
  set_door_closed_lamp(s, run.view.panel, true);
  s.doors_not_closed = 0;
  play_once_from_start(run.sounds, train.DepSign);
  s.departure_counter = checked_add(s.departure_counter, 1);
  kanko_queue_add(run, kCallSoundDoorsClosed);
  raise_station_call(run, kCallDoorsClosed);
}

void station_lamps_step(Run& run) {
  RunState& s = run.state;
  if (s.doors_not_closed) set_door_closed_lamp(s, run.view.panel, false);
  const bool open = s.doors_open != 0;
  const bool special = special_stop(*run.route);
  run.view.panel.show(other_picture(kOtherDoorsOpen), open && !special);
  run.view.panel.show(other_picture(kOtherDoorsOpenSpecial), open && special);
}

}  // namespace cabsim
