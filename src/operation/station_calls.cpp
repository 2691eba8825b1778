// The hand-over to the calls, recorded until the calls are built.
#include "operation/station_calls.h"

#include "state/checked_math.h"

namespace cabsim {

void raise_station_call(Run& run, int32_t moment) {
  RunState& s = run.state;
  s.last_station_call = moment;
  if (moment < 0 || static_cast<size_t>(moment) >= s.station_calls_raised.size()) return;
  int32_t& count = s.station_calls_raised[static_cast<size_t>(moment)];
  count = checked_add(count, 1);
}

void kanko_queue_add(Run& run, int32_t sound) {
  RunState& s = run.state;
  s.last_queued_call_sound = sound;
  s.call_sounds_queued = checked_add(s.call_sounds_queued, 1);
}

}  // namespace cabsim
