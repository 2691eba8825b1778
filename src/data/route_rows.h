// The entries of the route tables: one record per line (or block of lines) of a
// route file list, its values in file order, then the fields the set-up and the
// operation tick fill while the run goes on.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/fixed_point.h"

namespace cabsim {

// Rows made only of integer fields list them in file order through
// `file_fields(row, visit)`, so the reader and the dumps share one order.

/// `[MovieSwitch]` row: a stretch of line on which another film is shown.
struct MovieSwitchData {
  int32_t kind = 0;         ///< 0, 1 position-driven insert; 2 time-driven insert while standing
  int32_t first_frame = 0;  ///< main-film frames the switch applies to, both included
  int32_t last_frame = 0;
  std::string film;         ///< insert film name without ".avi", opened as Path + film + ".avi"
  int32_t length = 0;       ///< insert length in insert-film frames
  int32_t target = 0;       ///< kind 2: station index; kinds 0, 1: main-film frame to return to
  int32_t start_clock = 0;  ///< kind 2: clock (1/30 s) from which the insert may start
  int32_t cue_frame = 0;    ///< insert-film frame at which the cue sound starts
  int32_t cue_sound = 0;    ///< environment sound number
  uint8_t done = 0;         ///< run time: the insert has been shown
};

/// `[Pre_Train]` header line: the preceding train's first value and the frame
/// beyond which it leaves the line.
struct PreTrainHeader {
  int32_t field1 = 0;
  int32_t removal_frame = 0;
};

/// `[Pre_Train]` row.
struct PreTrainRow {
  int32_t field1 = 0, field2 = 0, field3 = 0;
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.field1), f(r.field2), f(r.field3);
  }
};

/// `[Announce]` row: an announcement played before or after a station.
struct AnnounceRow {
  int32_t sound = 0;       ///< environment sound number
  int32_t kind = 0;        ///< 0 after a station, 1 before a station
  int32_t station = 0;     ///< station index
  int32_t distance_m = 0;  ///< metres from the station
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.sound), f(r.kind), f(r.station), f(r.distance_m);
  }
};

/// `[KankoSound2]` record: a further call sound. `number` is the call number
/// minus 22, so record k holds call sound 22 + k.
struct KankoData {
  int32_t number = 0;
  std::string file;  ///< program directory
};

/// `[Sound]` row: an environment sound started at a frame.
struct SoundPointRow {
  int32_t sound = 0;  ///< environment sound number
  int32_t frame = 0;
  int32_t reference_speed = 0;  ///< km/h at which the sound plays unshifted
  int32_t kind = 0;
  int32_t pitch_flag = 0;
  int32_t volume_flag = 0;
  int32_t field7 = 0;
  uint8_t played = 0;  ///< run time
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.sound), f(r.frame), f(r.reference_speed), f(r.kind), f(r.pitch_flag), f(r.volume_flag),
        f(r.field7);
  }
};

/// `[Sound2]` row: a sound looped between two stations.
struct SoundPoint2Row {
  int32_t sound = 0;
  int32_t first_station = 0;  ///< started when the doors close at a station from here ...
  int32_t last_station = 0;   ///< ... up to (not including) this one, stopped on arrival here
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.sound), f(r.first_station), f(r.last_station);
  }
};

/// `[Doppler]` row: a passing train heard as it goes by.
struct DopplerRow {
  int32_t sound = 0;     ///< environment sound number
  int32_t frame = 0;     ///< frame of the sound source
  int32_t range = 0;     ///< audible range, cm
  int32_t no_shift = 0;  ///< 0: pitch shifted by the relative speed
  int32_t position = 0;  ///< run time: position of `frame`, cm
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.sound), f(r.frame), f(r.range), f(r.no_shift);
  }
};

/// `[Tunnel]` row.
struct TunnelRow {
  int32_t entry_frame = 0;
  int32_t exit_frame = 0;
  int32_t darkness = 0;        ///< alpha 0..255 of the tunnel shade
  int32_t entry_position = 0;  ///< run time, cm
  int32_t exit_position = 0;   ///< run time, cm
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.entry_frame), f(r.exit_frame), f(r.darkness);
  }
};

/// `[Atten]` row: a zone in which the running sounds are quieter.
struct AttenRow {
  int32_t first_frame = 0;
  int32_t last_frame = 0;
  int32_t field3 = 0;
  int32_t level = 0;  ///< level x 100 inside the zone
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.first_frame), f(r.last_frame), f(r.field3), f(r.level);
  }
};

/// `[Station]` row. Row `Station_count` of the table is always empty (stop
/// position 0, kind 0): the rules that look at "the next station" read it
/// after the last one.
struct StationData {
  std::string name;            ///< field 1, next-station text and Move menu caption
  int32_t kind = 0;            ///< 0 stop with doors, 1 pass, 2 stop without doors, 3 further kind
  int32_t frame = 0;           ///< frame of the stop position
  int32_t half_zone = 0;       ///< half length of the stop zone, cm
  int32_t arrival_sound = 0;   ///< environment sound (door or arrival)
  int32_t melody = 0;          ///< departure melody, environment sound
  int32_t zone_sound = 0;      ///< environment sound looped in the zone, 0 none
  int32_t departure_time = 0;  ///< 1/30 s
  int32_t speed_after = 0;     ///< permitted speed after this station, km/h
  int32_t stop_event = 0;      ///< 1: a stop station of the route event list
  int32_t special_stop = 0;    ///< 1: special stop for the station lamps
  int32_t request_limit = 0;   ///< field 12: one-man stop request draw
  int32_t request_delay = 0;   ///< field 13: one-man stop request delay, x 3 clock units
  int32_t marker_x = 0;        ///< field 14: stop-line marker position at the stop
  int32_t marker_shift = 0;    ///< field 15: its shift per metre
  int32_t commentary = 0;      ///< field 16: commentary selector
  int32_t door_percent = 0;    ///< field 17: door sounds in one-man operation
  // Run time.
  int32_t stop_position = 0;  ///< cm
  int64_t zone_start = 0;     ///< stop_position - half_zone
  int64_t zone_end = 0;       ///< stop_position + half_zone
  uint8_t in_zone = 0;        ///< the train has entered the stop zone
  uint8_t doors_opened = 0;
  uint8_t departed = 0;
  uint8_t arrival_call = 0;
  uint8_t melody_started = 0;
  /// The integer fields 2 to 17 in file order.
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.kind), f(r.frame), f(r.half_zone), f(r.arrival_sound), f(r.melody), f(r.zone_sound),
        f(r.departure_time), f(r.speed_after), f(r.stop_event), f(r.special_stop),
        f(r.request_limit), f(r.request_delay), f(r.marker_x), f(r.marker_shift), f(r.commentary),
        f(r.door_percent);
  }
};

/// `[Signal]` row: a line-side signal.
struct SignalData {
  int32_t control_kind = 0;    ///< 0 block, 1 held until a time, 2 fixed, 3 starting signal
  int32_t sub_picture = 0;     ///< auxiliary picture, second signal image list
  int32_t third_value = 0;     ///< shown on the value display
  int32_t type = 0;            ///< lamp arrangement -1, 0, 1 .. 8
  int32_t view_start = 0;      ///< first frame the signal is shown
  int32_t view_end = 0;        ///< end frame of the view
  int32_t ats_frame = 0;       ///< frame of the ATS transponder
  int32_t frame = 0;           ///< frame of the signal itself
  int32_t fixed_aspect = 0;    ///< aspect of control kinds 1 to 3
  int32_t control_value = 0;   ///< clock (kind 1) or station index (kind 3)
  int32_t picture_left = 0;    ///< `SignalImageL`, 0 none
  int32_t picture_right = 0;   ///< `SignalImageR`, 0 none
  int32_t picture_top = 0;     ///< `SignalimageT`, 0 none
  int32_t aspect = 0;          ///< run time
  int32_t display_number = 0;  ///< run time
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.control_kind), f(r.sub_picture), f(r.third_value), f(r.type), f(r.view_start),
        f(r.view_end), f(r.ats_frame), f(r.frame), f(r.fixed_aspect), f(r.control_value),
        f(r.picture_left), f(r.picture_right), f(r.picture_top);
  }
};

/// One phase of a road traffic signal.
struct TrafficPhase {
  int32_t cell = 0;      ///< picture cell
  int32_t duration = 0;  ///< ticks; 0 draws nothing
  int32_t proceed = 0;   ///< 1 proceed, 0 stop
};

/// `[TrafficSignal]` row: a road traffic signal seen from the cab.
struct TrafficSignalData {
  int32_t frame = 0;       ///< field 1, the signal point
  int32_t view_start = 0;  ///< fields 2, 3: display window
  int32_t view_end = 0;
  std::array<TrafficPhase, 6> phases{};  ///< fields 4 to 21
  int32_t second_frame = 0;              ///< field 22, second point, 0 none
  int32_t approach_end = 0;              ///< field 23
  int32_t stop_cell = 0;                 ///< field 24
  int32_t proceed_cell = 0;              ///< field 25
  int32_t notice = 0;                    ///< field 26, notice selector
  // Run time.
  int32_t phase = 1;
  int32_t phase_timer = 0;
  int32_t position = 0;         ///< of `frame`, cm
  int32_t second_position = 0;  ///< of `second_frame`, cm
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.frame), f(r.view_start), f(r.view_end);
    for (auto& p : r.phases) f(p.cell), f(p.duration), f(p.proceed);
    f(r.second_frame), f(r.approach_end), f(r.stop_cell), f(r.proceed_cell), f(r.notice);
  }
};

/// `[Slope]` row: a gradient between two frames.
struct SlopeRow {
  Fixed gradient;  ///< per mille
  int32_t first_frame = 0;
  int32_t last_frame = 0;
};

/// `[Sign]` and `[Anim]` rows: a track-side picture shown beside the cab view.
struct SignRow {
  int32_t field1 = 0, field2 = 0, field3 = 0, field4 = 0;
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.field1), f(r.field2), f(r.field3), f(r.field4);
  }
};

/// `[SignalKanko]` row: a call made for a signal.
struct SignalKankoRow {
  int32_t signal = 0;
  int32_t kind = 0;  ///< 0, 1 or 2
  int32_t slot = 0;  ///< call slot
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.signal), f(r.kind), f(r.slot);
  }
};

/// `[StationKanko]` row: a call made at a station.
struct StationKankoRow {
  int32_t station = 0;
  int32_t moment = 0;  ///< moment code
  int32_t value = 0;   ///< call slot, 999 calling key, above 999 a clock value
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.station), f(r.moment), f(r.value);
  }
};

/// `[SpeedLimit]` row.
struct SpeedLimitData {
  int32_t limit = 0;       ///< km/h
  int32_t picture = 0;     ///< other-sign image list
  int32_t kind = 0;        ///< event kind, 1 observed by ATS-P
  int32_t view_start = 0;  ///< first frame of the sign's view zone
  int32_t view_end = 0;
  int32_t position = 0;  ///< run time: position of `view_start`, cm
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.limit), f(r.picture), f(r.kind), f(r.view_start), f(r.view_end);
  }
};

/// `[SpeedCheck1]` row: a speed check judged once when the train passes it.
struct SpeedCheck1Data {
  int32_t speed = 0;  ///< km/h
  int32_t second_value = 0;
  int32_t frame = 0;        ///< the check point
  int32_t signal_link = 0;  ///< 0 always, >= 1 while that signal shows 0, < 0 never
  int32_t position = 0;     ///< run time, cm
  uint8_t passed = 0;       ///< run time
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.speed), f(r.second_value), f(r.frame), f(r.signal_link);
  }
};

/// `[SpeedCheck2]` row: a cab-signal speed zone.
struct SpeedCheck2Data {
  int32_t speed = 0;  ///< km/h
  int32_t second_value = 0;
  int32_t frame = 0;      ///< zone start
  int32_t end_frame = 0;  ///< zone end
  int32_t position = 0;   ///< run time: position of `frame`, cm
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.speed), f(r.second_value), f(r.frame), f(r.end_frame);
  }
};

/// `[OtherImageList]` entry: a sign picture and its sound.
struct OtherImageEntry {
  std::string image;
  std::string sound;
};

/// `[SpeedUnit]` row: a segment of the film over which the filming train's
/// speed changed linearly from `start_speed` to `end_speed`.
struct SpeedUnitData {
  int32_t start_frame = 0;
  int32_t end_frame = 0;
  long double start_speed = 0;  ///< km/h
  long double end_speed = 0;    ///< km/h
  int32_t end_distance = 0;     ///< run time: cm from the line's start to the segment's end
};

/// `[Cross]` row: a level crossing.
struct CrossRow {
  int32_t cell = 0;  ///< crossing image list
  int32_t call_sound = 0;
  int32_t first_frame = 0;
  int32_t last_frame = 0;
  int32_t indicator = 0;  ///< linked indicator index
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.cell), f(r.call_sound), f(r.first_frame), f(r.last_frame), f(r.indicator);
  }
};

/// `[Time]` row: a time call between two frames.
struct TimeRow {
  int32_t first_frame = 0;
  int32_t last_frame = 0;
  int32_t target_clock = 0;
  uint8_t done = 0;  ///< run time
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.first_frame), f(r.last_frame), f(r.target_clock);
  }
};

/// `[Switch]` row: a point the train runs over.
struct SwitchRow {
  int32_t frame = 0;
  int32_t kind = 0;
  uint8_t sounded = 0;  ///< run time
  template <typename Self, typename F>
  static void file_fields(Self& r, F&& f) {
    f(r.frame), f(r.kind);
  }
};

/// A route event: a signal, a speed limit or a stop station met at a position.
struct RouteEvent {
  int32_t position = 0;  ///< cm
  int32_t value = 0;     ///< 0 signal, limit km/h, 10 station
  int32_t signal = 0;    ///< signal index (signals)
  int32_t station = 0;   ///< station index (stations)
  int32_t kind = 0;      ///< 2 signal, 3 stop station, a limit's event kind
};

/// Event kinds of the route event list (a speed limit carries its own kind).
constexpr int32_t kEventSignal = 2;
constexpr int32_t kEventStopStation = 3;

}  // namespace cabsim
