// The run record: how each stop was made, what the protection did and a
// sample of the train at every operation tick, kept while driving. It only
// reads the run; the tick hands it the run after its steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "state/run.h"

namespace cabsim {

/// Samples kept at most: six hours of 100 ms ticks; later ticks are counted
/// in `samples_dropped` and not kept.
constexpr size_t kMaxRecordSamples = 6 * 3600 * 10;
/// Stops and events kept at most; later ones are counted and not kept.
constexpr size_t kMaxRecordStops = 502;
constexpr size_t kMaxRecordEvents = 1000;
/// Inputs of the driver kept at most (more than one a second for six hours);
/// later ones are counted in `inputs_dropped` and not kept.
constexpr size_t kMaxRecordInputs = 30000;
/// Films told apart at most (the main film and its inserts); a frame of a
/// film beyond them is recorded as of no known film.
constexpr size_t kMaxRecordFilms = 64;
/// A standstill this close to the next stop position counts as a stop made
/// there, in or out of its zone, cm.
constexpr int64_t kNearStopCm = 100 * 100;
/// A step in position larger than this between two ticks is the train moved
/// (Move menu, a restored state), not running, cm.
constexpr double kMoveJumpCm = 100 * 100;
/// No value (an arrival, a departure, a limit, a pattern not there).
constexpr int32_t kNoRecordValue = -1;

/// One stop, or the standstill short of or past a stop position.
struct StopRecord {
  int32_t station = 0;
  std::string name;    ///< the station's name as written (Shift-JIS)
  bool start = false;  ///< the run started here
  bool moved = false;  ///< the train was moved here (Move menu, a restored state), not driven
  bool doors_opened = false;               ///< the stop was made: doors opened (or no-door stop)
  bool in_zone = false;                    ///< standing within the stop zone when last standing
  int32_t stop_position = 0;               ///< cm
  int64_t stop_error_cm = 0;               ///< where the train stood less the stop position
  int32_t half_zone = 0;                   ///< cm
  int32_t arrival_clock = kNoRecordValue;  ///< run clock, 1/30 s
  int32_t departure_clock = kNoRecordValue;
  int32_t scheduled_departure = 0;  ///< the timetable's departure, 1/30 s
  double top_speed = 0;             ///< km/h, highest since the last station
  int32_t hardest_brake = 0;        ///< brake step, highest since the last station
  int32_t emergency_brake = 0;      ///< the train's emergency step (for the display)
};

enum class RunEventKind : int32_t {
  kAtsAlarm = 0,             ///< the ATS bell started
  kProtectionEmergency = 1,  ///< ATS, vigilance or rolling back applied the emergency brake
  kEmergencyHandle = 2,      ///< the driver put the brake handle to emergency while moving
  kSignalOverrun = 3,        ///< a signal at stop was passed
  kLimitExceeded = 4,        ///< faster than the limit in force
};

struct RunEvent {
  RunEventKind kind = RunEventKind::kAtsAlarm;
  int32_t tick = 0;                ///< operation ticks since the start
  int32_t clock = 0;               ///< run clock, 1/30 s
  double position = 0;             ///< cm
  double speed = 0;                ///< km/h
  int32_t limit = kNoRecordValue;  ///< km/h: the limit exceeded or the ATS check speed
  double excess = 0;               ///< km/h over the limit at most
  int32_t ticks = 0;               ///< how long the limit was exceeded, ticks
  bool open = false;               ///< still going on
};

/// The train at one operation tick.
struct RunSample {
  int32_t tick = 0;
  int32_t clock = 0;
  float speed = 0;           ///< km/h
  double position = 0;       ///< cm
  float brake_cylinder = 0;  ///< kPa, trailer cars
  int16_t power_notch = 0;
  int16_t brake_notch = 0;           ///< 0 released .. emergency step
  int16_t limit = kNoRecordValue;    ///< km/h in force
  int16_t pattern = kNoRecordValue;  ///< ATS-P brake pattern, km/h, -1 none
  int16_t film = kNoRecordValue;     ///< index into RunRecordData::films, -1 none
  int32_t frame = kNoRecordValue;    ///< the film frame on show, -1 none
};

/// An input of the driver, placed among the samples.
struct RecordedInput {
  RunInput input;
  int32_t sample = 0;  ///< samples kept before it: its effect shows from this sample on
  int32_t tick = 0;    ///< operation ticks since the start
  int32_t clock = 0;   ///< run clock, 1/30 s
};

/// The whole record of one run.
struct RunRecordData {
  std::string program_dir;  ///< the program folder of the run (UTF-8)
  std::string route_file;   ///< as the selection named it (Shift-JIS)
  std::string train_file;
  int32_t start_station = 0;
  int32_t brake_steps = 0;  ///< the train's emergency step
  std::vector<StopRecord> stops;
  std::vector<RunEvent> events;
  std::vector<RunSample> samples;
  std::vector<RecordedInput> inputs;
  std::vector<std::string> films;  ///< the films shown, as opened (UTF-8 paths)
  size_t stops_dropped = 0;
  size_t inputs_dropped = 0;
  size_t events_dropped = 0;
  size_t samples_dropped = 0;
};

/// The speed limit in force at `position`: the last `[SpeedLimit]` row
/// passed, and never above the section's permitted speed; -1 when neither
/// gives one.
int32_t limit_in_force(const RouteTables& route, const RunState& s);

/// Keeps the record of a run: attach it to the run before the first tick.
class RunRecord final : public TickListener, public InputListener {
 public:
  /// Starts the record of `run` (its files, its start) with room reserved.
  explicit RunRecord(const Run& run);

  void after_tick(const Run& run) override;
  void on_input(const Run& run, const RunInput& input) override;

  const RunRecordData& data() const { return data_; }

 private:
  void watch_move(const Run& run);
  void watch_stations(const Run& run);
  void watch_standstill(const Run& run, bool standing, bool was_standing);
  void watch_departure(const Run& run, bool standing);
  void watch_events(const Run& run, int32_t limit);
  StopRecord* stop_for(const Run& run, int32_t station);
  void add_event(const Run& run, RunEventKind kind, int32_t limit);
  void watch_film(const Run& run);

  RunRecordData data_;
  std::vector<uint8_t> doors_seen_;  ///< each station's doors-opened flag at the last tick
  bool was_standing_ = true;
  bool moved_ = false;   ///< the train has run since the start or the last move
  bool jumped_ = false;  ///< the train was moved and has made no stop since
  double last_position_ = 0;
  uint8_t was_alarm_ = 0;
  uint8_t was_protection_ = 0;
  bool was_emergency_handle_ = false;
  bool was_overrun_ = false;
  double top_speed_ = 0;
  int32_t hardest_brake_ = 0;
  size_t open_limit_ = SIZE_MAX;   ///< the limit event going on, SIZE_MAX none
  int32_t films_seen_ = 0;         ///< the run's count of films opened, last tick
  int16_t film_ = kNoRecordValue;  ///< the film on show
};

}  // namespace cabsim
