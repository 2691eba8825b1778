// Fuzzing the track-side equipment over a route the reader accepted: the
// train ahead, the signals with their pictures and check points, the
// cab-signal brake, the train protection, the speed limits and checks and
// the whole sign column, the calls, announcements and commentary, at every
// frame and time the route names (and just beside them), for ATS-S trains of
// both alarm kinds, an ATS-P train and a cab-signal train. A refused file raises DefinitionError;
// anything else going wrong is a fault.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/definition_error.h"
#include "data/route_file.h"
#include "data/route_setup.h"
#include "operation/announcements.h"
#include "operation/ats.h"
#include "operation/calls.h"
#include "operation/preceding_train.h"
#include "operation/signals.h"
#include "operation/speed_limits.h"
#include "presentation/commentary.h"
#include "presentation/notices.h"
#include "presentation/sign_column.h"
#include "run/scheduler.h"
#include "sound/sound_channels_silent.h"
#include "state/run.h"
#include "state/virtual_clock.h"

namespace {

using namespace cabsim;

/// Frames worth standing on: every frame the route's equipment names, and
/// the frames around them where windows open and close.
std::vector<int32_t> frames_of(const RouteTables& r) {
  std::vector<int32_t> named;
  auto add = [&named](int32_t f) { named.push_back(f); };
  for (int32_t i = 0; i < std::min<int32_t>(r.Signal_count, 40); ++i) {
    const auto& g = r.Signal[static_cast<size_t>(i)];
    add(g.view_start), add(g.view_end), add(g.ats_frame), add(g.frame);
  }
  for (int32_t i = 0; i < std::min<int32_t>(r.TrafficSignal_count, 10); ++i) {
    const auto& t = r.TrafficSignal[static_cast<size_t>(i)];
    add(t.view_start), add(t.view_end), add(t.approach_end), add(t.frame), add(t.second_frame);
  }
  for (int32_t i = 0; i < std::min<int32_t>(r.Cross_count, 10); ++i)
    add(r.Cross[static_cast<size_t>(i)].first_frame),
        add(r.Cross[static_cast<size_t>(i)].last_frame);
  for (int32_t i = 0; i < std::min<int32_t>(r.Sign_count, 10); ++i)
    add(r.Sign[static_cast<size_t>(i)].field1), add(r.Sign[static_cast<size_t>(i)].field2);
  for (int32_t i = 0; i < std::min<int32_t>(r.Anim_count, 10); ++i)
    add(r.Anim[static_cast<size_t>(i)].field1);
  for (int32_t i = 0; i < std::min<int32_t>(r.Slope_count, 10); ++i)
    add(r.Slope[static_cast<size_t>(i)].first_frame),
        add(r.Slope[static_cast<size_t>(i)].last_frame);
  for (int32_t i = 0; i < std::min<int32_t>(r.Time_count, 10); ++i) {
    named.push_back(r.Time[static_cast<size_t>(i)].first_frame);
    named.push_back(r.Time[static_cast<size_t>(i)].last_frame);
  }
  for (int32_t i = 0; i < std::min<int32_t>(r.SpeedLimit_count, 10); ++i)
    add(r.SpeedLimit[static_cast<size_t>(i)].view_start);
  std::vector<int32_t> frames;
  for (int32_t f : named)
    for (int64_t d : {-16, -1, 0, 1, 5, 15}) {
      const int64_t g = int64_t{f} + d;
      if (g >= INT32_MIN && g <= INT32_MAX) frames.push_back(static_cast<int32_t>(g));
    }
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  if (frames.size() > 600) frames.resize(600);
  return frames;
}

void drive(std::unique_ptr<RouteTables>& tables, int32_t ats_type, int32_t alert) {
  VirtualClock clock;
  SilentSoundChannels sounds;
  Scheduler timers(
      clock, [] {}, [] {});
  Run run(sounds, clock, timers);
  run.train.ATS_Type = ats_type;
  run.train.ATS_Alert = alert;
  run.train.MaxSpeed = 131;
  run.train.Sound_Atc = 3;
  run.route = std::move(tables);
  // The calls' sounds are never found: each call is reported and passed on.
  run.find_file = [](std::string_view) { return std::filesystem::path("/nonexistent/call.wav"); };
  RouteTables& route = *run.route;
  run.state = initial_run_state(run.train);
  std::vector<int32_t> clocks = {0};
  for (int32_t i = 0; i < std::min<int32_t>(route.Pre_Train_count, 20); ++i) {
    const int32_t t = route.Pre_Train[static_cast<size_t>(i)].field1;
    clocks.push_back(t);
    if (t < INT32_MAX) clocks.push_back(t + 1);
  }
  for (int32_t c : clocks) {
    run.state.clock = c;
    preceding_train_step(run);
    (void)preceding_train_station_frame(route, c);
    for (int32_t f : frames_of(route)) {
      RunState& s = run.state;
      s.current_frame = f;
      s.position = f * 100.0L;
      s.speed = (f & 0xff) - 40;
      s.tick_count = f & 0x7fff;
      s.cycle_count = f & 0xfffff;
      gradient_sign_step(run);
      signal_aspects(run);
      signal_display(run);
      traffic_signal_step(run);
      cab_signal_brake_step(run);
      speed_limit_blink_step(run);
      speed_limit_lookahead(run);
      speed_limit_sign_step(run, approaching_speed_limit(run.state));
      speed_limit_sign_step(run, static_cast<int32_t>(f & 0x3ff) - 2);
      speed_check_step(run);
      speed_zone_step(run);
      ats_s_step(run);
      ats_p_step(run);
      speed_notice_step(run);
      animation_step(run);
      other_sign_step(run);
      level_crossing_step(run);
      // The calls and announcements at every station the route names, and
      // beyond its table.
      s.current_station = f % 16 - 2;
      s.current_signal_index = f % 12 - 1;
      s.current_signal_third_value = f % 7;
      s.departure_counter = f;
      s.distance_to_stop = (f & 0xfff) * 10.0L - 12000;
      s.clock = f;
      forget_called_sign(run);
      calling_key(run);
      raise_station_call(run, f % 7);
      Timecheck(run, 0);
      first_power_call(run);
      announcement_step(run);
      if (f & 1) next_announcement(run);
      if (f & 2) previous_announcement(run);
      stop_request_lamp_step(run);
      kanko_queue_play(run);
      (void)commentary_command(run);
    }
  }
  reset_sign_column(run.state, run.view);
  reset_signal_display(run.state, run.view);
  tables = std::move(run.route);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    auto route = read_route_bytes(std::move(bytes), {});
    reset_route_run_fields(*route);
    set_up_route_positions(*route, 0);
    drive(route, 0, 0);
    drive(route, kAtsP, 1);
    drive(route, kAtsS, 1);
    drive(route, kCabSignalAts, 0);
  } catch (const DefinitionError&) {
  }
  return 0;
}
