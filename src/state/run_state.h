// The running state: the one record of simulation values a run owns, with the
// values a run starts from. The rules read and write it; what they decide for
// the view (texts, lamps, pictures) is kept beside it in RunView.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/fixed_point.h"
#include "data/train_params.h"
#include "state/sign_column.h"

namespace cabsim {

/// Film modes of the display (0 the frame follows the position, 1 time-driven
/// insert, 2 position-driven insert, 9 a film change in progress).
constexpr int32_t kFilmFollowsPosition = 0;
constexpr int32_t kFilmTimeDriven = 1;
constexpr int32_t kFilmPositionInsert = 2;

/// Cars whose gradients the train gradient averages at most; a longer train
/// averages over this many.
constexpr size_t kMaxCarGradients = 100;
/// Sound channels whose state a pause records.
constexpr size_t kPauseChannels = 320;

/// Current-signal values with no signal in view.
constexpr int32_t kNoSignal = 999;
/// ATS check speeds: no check, and a stop signal passed at danger.
constexpr int32_t kNoCheck = 999;
constexpr int32_t kPassedAtDanger = 998;
/// No frame seen yet (a frame is never this low).
constexpr int32_t kNoFrameSeen = INT32_MIN;

/// Controller kinds of the Controller menu.
constexpr int32_t kStandardController = 0;
constexpr int32_t kWindowsPad = 1;
constexpr int32_t kPlayStationPad = 2;
constexpr int32_t kOhcPc01 = 3;
/// Characters of a serial line kept at most (a code is compared with the
/// first five; the caption shows the line).
constexpr size_t kMaxSerialLine = 256;
/// Posted keys waiting at most; more are dropped.
constexpr size_t kMaxPostedKeys = 32;

/// A queue of numbers in fixed slots, the first empty slot (-1) after the
/// last entry: the level crossings met and the calls to be spoken.
template <size_t N>
using SlotQueue = std::array<int32_t, N>;
template <size_t N>
constexpr SlotQueue<N> empty_slot_queue() {
  SlotQueue<N> q{};
  for (auto& slot : q) slot = -1;
  return q;
}
/// Takes slot `k` out of `q`: the slots behind it move up, the last is empty.
template <size_t N>
constexpr void drop_slot(SlotQueue<N>& q, size_t k) {
  if (k >= N) return;
  for (size_t i = k; i + 1 < N; ++i) q[i] = q[i + 1];
  q[N - 1] = -1;
}

/// Level crossings the crossing picture keeps in its queue.
constexpr size_t kCrossingQueueSlots = 11;
using CrossingQueue = SlotQueue<kCrossingQueueSlots>;
constexpr CrossingQueue empty_crossing_queue() {
  return empty_slot_queue<kCrossingQueueSlots>();
}
/// Calls waiting to be spoken.
constexpr size_t kCallQueueSlots = 12;
using CallQueue = SlotQueue<kCallQueueSlots>;
/// Values of the departure counter the arrival announcement keeps a flag for.
constexpr size_t kArrivalAnnouncementFlags = 502;

/// One entry of the look-ahead of the speed limits and checks ahead.
struct LookaheadEntry {
  int32_t index = 0;            ///< row of the limit or check table
  int32_t speed = 0;            ///< km/h
  int32_t status = 9;           ///< 0 a limit, 1 a check, 9 none
  int32_t distance = 0;         ///< cm to it
  int32_t needed_distance = 0;  ///< cm needed to brake to its speed
  bool operator==(const LookaheadEntry&) const = default;
};
constexpr size_t kLookaheadEntries = 6;
constexpr std::array<LookaheadEntry, kLookaheadEntries> empty_lookahead() {
  return {};
}

/// Level factors of the engine sound rows at the start of a run.
template <size_t N>
constexpr std::array<long double, N> unit_factors() {
  std::array<long double, N> a{};
  for (auto& f : a) f = 1.0L;
  return a;
}

/// Line voltage of a run at its start, V.
constexpr int64_t kInitialLineVoltage = 1500;

/// Values are named after the railway quantities they hold. A new value is one
/// line with its initial value; values whose start depends on the train are set
/// by initial_run_state().
struct RunState {
  // --- motion -------------------------------------------------------------
  long double speed = 0;           ///< km/h, signed (negative running backwards)
  long double position = 0;        ///< cm along the route
  Fixed tractive_force;            ///< N, built by the 33 ms cycle; positive pushes forward
  Fixed published_tractive_force;  ///< N, copy at the end of the traction step
  Fixed resistance_force;          ///< N, sum of the 100 ms cycle's resistances
  Fixed brake_force;               ///< N, magnitude of air plus electric brake force
  Fixed predicted_speed;           ///< km/h after this cycle's forces
  Fixed line_voltage = Fixed::from_count(kInitialLineVoltage * Fixed::kScale);  ///< V
  Fixed train_gradient;  ///< per mille, positive uphill forward
  uint8_t engine_running = 1;
  uint8_t doors_open = 0;
  uint8_t protection_emergency_flag = 0;  ///< ATS, vigilance, rolling back: emergency brake
  uint8_t pattern_brake_flag = 0;         ///< pattern protection: strongest service brake
  uint8_t resistance_off = 0;
  int32_t film_mode = kFilmFollowsPosition;
  uint32_t cycle_interval = 0;   ///< ms between the last two 33 ms cycles
  uint32_t last_cycle_time = 0;  ///< millisecond clock at the last 33 ms cycle

  // --- resistance, gradient and adhesion ----------------------------------
  Fixed adhesion_coefficient;                             ///< mu of the current cycle
  Fixed adhesion_limit;                                   ///< N, largest force the wheels transmit
  Fixed local_gradient;                                   ///< per mille at the current frame
  std::array<int32_t, kMaxCarGradients> car_gradients{};  ///< whole per mille, front first
  long double last_gradient_sample_position = 0;          ///< cm
  uint8_t in_tunnel = 0;

  // --- diesel engine ------------------------------------------------------
  int32_t gear_change_counter = 0;  ///< 100 ms ticks since the change began
  long double engine_speed = 0;
  long double engine_speed_target = 0;

  // --- film frame and position counter ------------------------------------
  int32_t current_frame = 0;
  int32_t turned_back = 0;  ///< 1: turned back at the movie stop, film runs backwards
  int32_t time_driven_frame = 0;
  int32_t frame_offset = 0;  ///< film mode 2: time-driven frame = current - offset
  int32_t film_frame_count = 0;
  int32_t frame_accumulator = 0;  ///< speed units towards the next frame step
  int32_t filmed_speed = 0;       ///< km/h the film was shot at, current frame
  int32_t current_speed_segment = -1;
  long double movement_this_tick = 0;  ///< cm added in the last 33 ms cycle
  uint8_t film_speed_run = 0;          ///< the speed follows the filmed speed
  int32_t insert_length = 0;           ///< frames of the film insert on show
  int32_t fade_level = 0;              ///< 0 none; 1 .. 255 the fade-out that ends the run
  int32_t target_stop_position = 0;    ///< cm, stop position of the next stop
  long double distance_to_stop = 0;    ///< cm

  // --- time -----------------------------------------------------------------
  /// Run clock, 1/30 s since midnight; advanced by 1 every 33 ms cycle.
  int32_t clock = 0;
  /// 33 ms cycles since the run started (the multimedia tick counter): times
  /// the time-driven film and the sign pictures that change at a cycle count.
  int32_t cycle_count = 0;
  int32_t tick_count = 0;  ///< 100 ms operation ticks since the start; drives blinking

  // --- operation tick -------------------------------------------------------
  int32_t section_upper_speed = 0;      ///< km/h, default of the ATS-P pattern
  int32_t section_permitted_speed = 0;  ///< km/h, shown as the permitted speed
  int32_t pre_train_frame = 0;          ///< frame of the preceding train, 0 none
  int32_t next_station =
      1;  ///< next stop index: the first station after the current one that is not passed
  int32_t departure_counter = 0;  ///< door closings so far in the run
  uint8_t doors_not_closed = 0;   ///< from the doors opening until the door-close sequence ends
  uint8_t vigilance_enabled = 0;
  int32_t vigilance_counter = 0;    ///< ticks since the last input while running
  std::string commentary;           ///< command the commentary generator wrote this tick
  std::string previous_commentary;  ///< the command executed last
  uint8_t commentary_on = 1;        ///< menu item D1 checked
  uint8_t debug_mode = 0;           ///< diagnostic labels instead of overlay texts

  // --- signals ---------------------------------------------------------------
  int32_t current_signal_picture = kNoPicture;     ///< picture of the signal in view
  int32_t last_drawn_signal_picture = kNoPicture;  ///< picture last drawn for it
  int32_t current_signal_third_value = kNoSignal;  ///< the drawn signal's third value
  int32_t current_signal_index = kNoSignal;        ///< index of the signal in view
  int32_t shown_signal_type = 0;                   ///< type of the signal last drawn
  /// Speed the train protection checks from the signal passed: 999 no check,
  /// 998 a stop signal passed at danger, 0 stop.
  int32_t ats_check_speed = kNoCheck;
  /// Frame at the last display of the signals; kNoFrameSeen before the first.
  int32_t signal_frame_seen = kNoFrameSeen;
  uint8_t acknowledged_flag = 0;      ///< the driver acknowledged the ATS alarm
  uint8_t cab_signal_brake_flag = 0;  ///< the cab signal holds the brake

  // --- automatic train stop ------------------------------------------------------
  uint8_t alarm_flag = 0;                ///< the ATS bell rings
  uint8_t acknowledged_chime_flag = 0;   ///< acknowledged; the chime is still to start
  int32_t alarm_counter = 0;             ///< ticks since the alarm began
  int32_t alarm_check_speed = kNoCheck;  ///< check speed when the bell started (value display)
  int32_t pattern_state = 0;  ///< ATS-P: 0 free, 1 approach, 2 braking, 3 braking below 16
  int32_t previous_pattern_state = 0;
  int32_t pattern_target_speed = 0;         ///< V, km/h
  long double pattern_target_distance = 0;  ///< d, cm
  int32_t pattern_brake_speed = 0;          ///< U, km/h
  int32_t pattern_warning_speed = 0;        ///< P, km/h

  // --- speed limits and speed checks --------------------------------------------
  /// The next three speed limits (0 .. 2) and speed checks of table 1 (3 .. 5).
  std::array<LookaheadEntry, kLookaheadEntries> lookahead = empty_lookahead();

  // --- sign column ---------------------------------------------------------------
  Fixed shown_gradient;             ///< per mille the gradient sign shows, 0 none
  int32_t shown_limit_picture = 0;  ///< other-sign cell drawn for a limit in view, 0 none
  int32_t approach_limit_picture = kNoPicture;  ///< cell drawn for the limit ahead, 999 none
  uint8_t limit_approach_flag = 0;              ///< the speed-limit sign blinks
  int32_t shown_other_sign = kNoPicture;        ///< other-sign cell shown, 900 own sign, 999 none
  int32_t other_sign_timer = 0;                 ///< ticks since the other sign was drawn
  int32_t shown_traffic_phase = kNoPicture;     ///< phase the road traffic signal shows
  int32_t shown_traffic_second = kNoPicture;    ///< cell of its small approach picture
  int32_t anim_step = 0;                        ///< animation cell 0 .. 13
  int32_t anim_counter = 0;                     ///< ticks since the animation advanced
  int32_t shown_anim_step = kNoPicture;
  /// Level crossings met and not yet left, in the order met (-1 empty).
  CrossingQueue crossing_queue = empty_crossing_queue();
  int32_t shown_crossing = -1;  ///< crossing `crossimage` shows, -1 none

  // --- sound control ----------------------------------------------------------
  long double motor_sound_ramp = 0;  ///< 0 .. 100, rises with power or brake
  /// Level and gate of each `[EngineSound1]` row, and of each `[EngineSound3]` row.
  std::array<long double, kMaxEngineSound1> row_level = unit_factors<kMaxEngineSound1>();
  std::array<long double, kMaxEngineSound1> row_gate = unit_factors<kMaxEngineSound1>();
  std::array<long double, kMaxEngineSound3> gear_sound_level = unit_factors<kMaxEngineSound3>();
  std::array<long double, kMaxEngineSound3> gear_sound_gate = unit_factors<kMaxEngineSound3>();
  uint8_t handle_sound_played = 0;    ///< a brake release sound has played for this release
  long double zone_level_factor = 1;  ///< level of the position sounds in the zone the train is in
  int32_t doors_open_ticks = 0;       ///< ticks the doors have stood open (the idle sounds)

  // --- start and pause ------------------------------------------------------
  std::array<uint8_t, kPauseChannels> paused_channels{};  ///< 1 played once, 2 looped
  uint8_t easy_cab_request = 0;

  // --- keyboard -------------------------------------------------------------
  int32_t door_side_selector = 0;

  // --- train protection settings the traction reads -----------------------
  uint8_t ats_on = 1;
  uint8_t beginner_mode = 0;  ///< the beginner-mode setting (ATS starts switched off)

  // --- handles ------------------------------------------------------------
  int32_t reverser = 1;  ///< +1 forward, 0 neutral, -1 backward
  int32_t power_handle = 0;
  int32_t brake_handle = 0;  ///< 0 released .. -Brake emergency
  int32_t effective_power_notch = 0;
  int32_t effective_brake_notch = 0;
  int32_t straight_air_notch = 0;
  int32_t electric_brake_notch = 0;
  uint8_t power_change_pending = 0;
  uint8_t brake_change_pending = 0;
  uint8_t straight_air_change_pending = 0;
  uint8_t electric_brake_change_pending = 0;
  int32_t power_mode = 0;  ///< current notch group
  uint8_t hold_active = 0;
  uint8_t left_hold = 0;
  uint8_t constant_speed_active = 0;
  int32_t target_gear = 1;
  int32_t gear = 1;
  uint8_t gear_change_in_progress = 0;
  uint8_t key_swap = 0;  ///< exchanges the keys "2" and "8"

  // --- traction -----------------------------------------------------------
  int32_t power_delay_counter = 0;  ///< 33 ms cycles since the pending change
  int32_t step_index = 0;           ///< row of the current-limit table
  int32_t step_current = 0;         ///< A
  int32_t motor_current = 0;        ///< A, negative while the electric brake works
  Fixed voltmeter_value;            ///< V

  // --- air brake (kPa) ----------------------------------------------------
  Fixed trailer_brake_cylinder;
  Fixed motor_brake_cylinder;
  Fixed brake_pipe;
  Fixed main_reservoir;
  Fixed straight_air_pipe;
  long double equalising_reservoir = 0;
  int32_t brake_delay_counter = 0;
  int32_t straight_air_delay_counter = 0;
  int32_t electric_brake_delay_counter = 0;
  uint8_t compressor_running = 0;

  // --- electric brake and brake force -------------------------------------
  long double electric_brake_current = 0;  ///< A
  int32_t brake_current_row = 0;           ///< row of the brake current table
  Fixed friction_factor;

  // --- stations, doors and timetable -------------------------------------
  int32_t current_station = 0;         ///< last station whose stop zone the train entered
  int32_t door_timer_start = 0;        ///< clock when the doors opened or the melody started
  uint8_t departure_call_pending = 0;  ///< set by a stop; the first power after it calls
  int32_t door_sound_draw = 0;         ///< 0 .. 99, drawn on entering a stop zone
  int32_t door_sound_limit = 0;        ///< that station's door-sound percentage (one-man)
  uint8_t run_ended = 0;               ///< the end of the run or the crew change has begun
  int32_t crew_change_station = 999;   ///< station of a crew change; 999 none
  uint8_t crew_change_requested = 0;   ///< the crew-change question is to be shown (the shell asks)
  /// The door-closed lamp as the door rules know it, lit or dark, whether or
  /// not the panel has a picture for it: the door cycle keys on this.
  uint8_t door_closed_lamp = 1;
  uint32_t random_state = 0x2545F491u;  ///< the run's own random numbers (door sounds)

  // --- calls and announcements ----------------------------------------------
  /// Calls to be spoken, in order (call sounds, other-sign sounds from 1000).
  CallQueue call_queue = empty_slot_queue<kCallQueueSlots>();
  uint8_t call_queue_busy = 0;            ///< a call is being added
  uint8_t call_shift_pending = 0;         ///< the head call has started: it leaves on the next tick
  int32_t call_channel_sound = -1;        ///< the call last loaded into the call channel, -1 none
  int32_t last_called_sign = kNoPicture;  ///< sign of the last sign or limit call, 999 none
  int32_t last_station_call = -1;         ///< the station call moment raised last
  /// Arrival announcement made, per value of the departure counter.
  std::array<uint8_t, kArrivalAnnouncementFlags> arrival_announced{};
  int32_t announcement_counter = 0;  ///< one-man: announcements given
  uint8_t stop_request = 0;          ///< one-man: a passenger asked for the stop
  int32_t stop_request_clock = 0;    ///< clock of the request

  // --- controllers ------------------------------------------------------------
  /// 0 standard / TS master controller (serial and keys), 1 Windows pad,
  /// 2 PlayStation pad, 3 OHC-PC01; the pads are polled by the tick.
  int32_t controller_kind = kStandardController;
  /// X + Y + E + M of the last pad poll that was acted on.
  int32_t last_state_sum = 0;
  /// Serial characters received since the last carriage return, at most
  /// kMaxSerialLine of them (the rest of an overlong line is dropped).
  std::string serial_pending;
  uint8_t usb_debug = 0;  ///< menu item debug1: the pad's axes in the caption
  /// Characters the controllers posted to the form, handled after the event
  /// that posted them, in order; '\r' stands for an Enter key-down.
  std::string posted_keys;
};

/// The running state at the start of a run of `train` (whose brake steps have
/// been checked, so `Brake` is final): handles in emergency, the trailer
/// cylinder at the emergency pressure, the main reservoir full.
RunState initial_run_state(const TrainParams& train);

}  // namespace cabsim
