// The character table after the handle rows, the virtual-key table and the
// mouse wheel.
#include "run/keyboard.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "input/handle_keys.h"
#include "operation/announcements.h"
#include "operation/ats.h"
#include "operation/calls.h"
#include "operation/doors.h"
#include "operation/signals.h"
#include "operation/vigilance.h"
#include "sound/brake_sounds.h"
#include "sound/sound_numbers.h"
#include "state/checked_math.h"

namespace cabsim {
namespace {

constexpr std::array<std::pair<std::string_view, VirtualKey>, 19> kKeyNames{{
    {"Backspace", VirtualKey::kBackspace},
    {"ScrollLock", VirtualKey::kScrollLock},
    {"Enter", VirtualKey::kEnter},
    {"F1", VirtualKey::kF1},
    {"F2", VirtualKey::kF2},
    {"F3", VirtualKey::kF3},
    {"F4", VirtualKey::kF4},
    {"F5", VirtualKey::kF5},
    {"F6", VirtualKey::kF6},
    {"F7", VirtualKey::kF7},
    {"F8", VirtualKey::kF8},
    {"F9", VirtualKey::kF9},
    {"F10", VirtualKey::kF10},
    {"F11", VirtualKey::kF11},
    {"F12", VirtualKey::kF12},
    {"PageUp", VirtualKey::kPageUp},
    {"PageDown", VirtualKey::kPageDown},
    {"Left", VirtualKey::kLeft},
    {"Right", VirtualKey::kRight},
}};

/// Speed below which the train counts as standing for the turn back, km/h.
constexpr long double kStandingSpeed = 0.1L;
/// Speed steps of the debug keys, km/h.
constexpr long double kDebugSpeedStep = 10;
constexpr long double kDebugSpeedTop = 1000;
/// Run clock step of the debug keys: 30 s.
constexpr int32_t kDebugClockStep = 900;

/// Horn and buzzer rows, after the handle refresh.
void sound_rows(Run& run, char key) {
  const TrainParams& train = run.train;
  SoundChannels& sounds = run.sounds;
  if (key == '3') play_once_from_start(sounds, train.Sound_Horn);
  if (key == '6') play_once_from_start(sounds, train.Sound_Horn2);
  if ((key == '4' || key == '1') && run.route->OneMan == 0) {
    stop_if_playing(sounds, train.Buzzer[0]);
    stop_if_playing(sounds, train.Buzzer[1]);
    play_once_from_start(sounds, train.Buzzer[key == '4' ? 1 : 0]);
  }
}

int32_t movie_stop_frame(const Run& run) {
  return run.route->MovieStop[0];
}

void turn_back(Run& run) {
  RunState& s = run.state;
  const int64_t stop = movie_stop_frame(run);
  if (std::fabs(s.speed) < kStandingSpeed && stop - kTurnBackFrames <= s.current_frame &&
      s.current_frame <= stop) {
    s.current_frame = checked_int32(stop + 2);
    s.turned_back = 1;
  }
}

void door_side(Run& run, int32_t side) {
  RunState& s = run.state;
  if (s.doors_open) return;
  s.door_side_selector = side;
  run.view.selector_text = run.text.Doors[static_cast<size_t>(side)];
  run.view.selector_lamp = side == 1 ? 1 : 0;
}

void move_card(RunView& s, int32_t step) {
  if (!s.timetable_card_shown) return;
  const int32_t rightmost = s.client_width - kTimetableCardWidth;
  s.timetable_card_left = std::clamp(s.timetable_card_left + step, 0, std::max(0, rightmost));
}

void toggle_card(RunView& s) {
  s.timetable_card_shown = s.timetable_card_shown ? 0 : 1;
  s.client_width = s.timetable_card_shown ? kClientWidthWithCard : kClientWidthWithoutCard;
  if (s.timetable_card_shown) s.timetable_card_left = s.client_width - kTimetableCardWidth;
}

/// Frames before the next signal a jump lands.
constexpr int32_t kJumpBeforeSignal = 10;

/// To just before the next signal: from between two signal rows to 10 frames
/// before the later one, the signal display forgotten.
void jump_to_next_signal(Run& run) {
  RunState& s = run.state;
  const RouteTables& route = *run.route;
  const int32_t count = std::clamp<int32_t>(route.Signal_count, 0, kMaxSignals);
  for (int32_t i = 0; i + 1 < count; ++i) {
    const int32_t here = route.Signal[static_cast<size_t>(i)].frame;
    const int32_t next = route.Signal[static_cast<size_t>(i) + 1].frame;
    if (here <= s.current_frame && next > s.current_frame) {
      reset_signal_display(s, run.view);
      s.current_frame = checked_add(next, -kJumpBeforeSignal);
      return;
    }
  }
}

void shift_keys(Run& run, VirtualKey key) {
  RunState& s = run.state;
  switch (key) {
    case VirtualKey::kF1:
      s.film_speed_run = 1;
      s.vigilance_enabled = 0;  // for the rest of the run
      break;
    case VirtualKey::kF2:
      s.film_speed_run = 0;
      break;
    case VirtualKey::kF11:
      if (s.speed > kDebugSpeedStep) s.speed -= kDebugSpeedStep;
      break;
    case VirtualKey::kF12:
      if (s.speed < kDebugSpeedTop) s.speed += kDebugSpeedStep;
      break;
    case VirtualKey::kF10:
      s.clock = checked_add(s.clock, kDebugClockStep);
      break;
    case VirtualKey::kF9:
      s.clock = checked_add(s.clock, -kDebugClockStep);
      break;
    case VirtualKey::kF8:
      s.current_frame = checked_add(s.current_frame, 1000);
      break;
    case VirtualKey::kF7:
      s.current_frame = checked_add(s.current_frame, -1000);
      break;
    case VirtualKey::kF6:
      s.current_frame = checked_add(s.current_frame, 100);
      break;
    case VirtualKey::kF5:
      s.current_frame = checked_add(s.current_frame, -100);
      break;
    case VirtualKey::kF3:
      jump_to_next_signal(run);
      break;
    default:
      break;
  }
}

}  // namespace

std::optional<VirtualKey> virtual_key_named(std::string_view name) {
  for (const auto& [key_name, key] : kKeyNames)
    if (key_name == name) return key;
  return std::nullopt;
}

void AsciiDown(Run& run, char key) {
  note_input(run, run_input(RunInputKind::kCharacter, static_cast<unsigned char>(key)));
  press_character(run, key);
}

void press_character(Run& run, char key) {
  reset_vigilance(run);
  if (!run.timers.operation_tick_enabled()) return;
  // The handle rows exchange "2" and "8" under the key swap and give the key
  // back as swapped.
  key = apply_handle_key(run.state, run.view, key, run.train, run.text, run.sounds);
  sound_rows(run, key);
  // One-man operation: the driver works the doors.
  if ((key == 'd' || key == '7') && run.route->OneMan > 0) Door_operate(run);
  if (key == 'r') ats_reset(run);
  if (key == ' ') ats_acknowledge(run);
  if (key == 'c' || key == '1') next_announcement(run);
  if (key == '-') previous_announcement(run);
  first_power_call(run);
  handle_sounds(run);
}

namespace {

bool is_function_key(VirtualKey key) {
  return key >= VirtualKey::kF1 && key <= VirtualKey::kF12;
}

}  // namespace

void keydowns(Run& run, VirtualKey key, bool shift) {
  note_input(run, run_input(RunInputKind::kVirtualKey, static_cast<int32_t>(key), shift));
  press_virtual_key(run, key, shift);
}

void press_virtual_key(Run& run, VirtualKey key, bool shift) {
  RunState& s = run.state;
  if (is_function_key(key)) {
    if (shift)
      shift_keys(run, key);
    else if (key == VirtualKey::kF1)
      toggle_card(run.view);
    else if (key == VirtualKey::kF3)
      run.view.value_display_shown = run.view.value_display_shown ? 0 : 1;
    return;
  }
  switch (key) {
    case VirtualKey::kBackspace:
      turn_back(run);
      break;
    case VirtualKey::kScrollLock:
      s.key_swap = s.key_swap ? 0 : 1;
      break;
    case VirtualKey::kEnter:
      calling_key(run);
      break;
    case VirtualKey::kPageUp:
      door_side(run, 0);
      break;
    case VirtualKey::kPageDown:
      door_side(run, 1);
      break;
    case VirtualKey::kLeft:
      move_card(run.view, -kCardStep);
      break;
    case VirtualKey::kRight:
      move_card(run.view, kCardStep);
      break;
    default:
      break;
  }
}

char wheel_character(const Run& run, bool up) {
  if (!up) return '8';
  return int64_t{run.state.brake_handle} == 1 - int64_t{run.train.Brake} ? '0' : '2';
}

void mouse_wheel(Run& run, bool up) {
  note_input(run, run_input(RunInputKind::kWheel, 0, up));
  press_character(run, wheel_character(run, up));
}

}  // namespace cabsim
