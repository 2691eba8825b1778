// The value display's texts, in the units and formats the form shows.
#include "presentation/value_display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "data/route_lookup.h"
#include "data/shift_jis.h"

namespace cabsim {
namespace {

std::string fixed_decimals(long double v, int decimals) {
  if (!std::isfinite(v)) return "NaN";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*Lf", decimals, v);
  std::string text = buf;
  // No "-0": a value that rounds to zero is shown as zero.
  if (text.rfind("-", 0) == 0 && text.find_first_not_of("-0.") == std::string::npos)
    text.erase(0, 1);
  return text;
}

std::string whole(long double v) {
  return fixed_decimals(v, 0);
}

int32_t bar(long double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int32_t>(std::clamp<long double>(std::nearbyint(v), -1e9L, 1e9L));
}

/// "(station～next)" for the interval of the station table whose frames hold
/// the train ahead; empty when it runs beyond them or there is none.
std::string between_stations(const RouteTables& route, int32_t frame) {
  if (frame == 0) return {};
  const auto stations = table_rows(route.Station, route.Station_count);
  for (size_t i = 0; i + 1 < stations.size(); ++i) {
    if (stations[i].frame <= frame && frame < stations[i + 1].frame)
      return "(" + sjis_to_utf8(stations[i].name) + "～" + sjis_to_utf8(stations[i + 1].name) + ")";
  }
  return {};
}

/// The signal block holding `frame`: the last signal row at or behind it.
int32_t signal_block(const RouteTables& route, int32_t frame) {
  const auto signals = table_rows(route.Signal, route.Signal_count);
  int32_t block = -1;
  for (size_t i = 0; i < signals.size(); ++i)
    if (signals[i].frame <= frame) block = static_cast<int32_t>(i);
  return block;
}

std::string distance_and_speed(const LookaheadEntry& e) {
  return std::to_string(e.distance / 100) + "/" + std::to_string(e.speed);
}

}  // namespace

ValueDisplay value_display(const Run& run, const DisplayFigures& figures) {
  const RunState& s = run.state;
  const TrainParams& train = run.train;
  const RouteTables& route = *run.route;
  ValueDisplay d;
  auto set = [&d](ValueRow row, std::string text) {
    d.values[static_cast<size_t>(row)] = std::move(text);
  };
  const long double mass = train.Tons.real();
  const long double net = s.tractive_force.real() + s.resistance_force.real();
  const long double acceleration = mass > 0 ? net / (mass * 1000) * 3.6L : 0;
  set(ValueRow::kSpeed, fixed_decimals(s.speed, 1) + " km/h");
  set(ValueRow::kAcceleration, fixed_decimals(acceleration, 1) + " km/h/s");
  set(ValueRow::kSlope, whole(s.train_gradient.real()) + " Permil");
  set(ValueRow::kPower, whole(s.tractive_force.real()) + " N");
  set(ValueRow::kResistance, whole(s.resistance_force.real()) + " N");
  set(ValueRow::kCurrent, std::to_string(s.motor_current) + " A");
  set(ValueRow::kRpm, whole(s.engine_speed));
  set(ValueRow::kGear, "Gn " + std::to_string(s.gear) + " Gp " + std::to_string(s.target_gear));
  set(ValueRow::kFriction, run.view.adhesion_state_text + " " +
                               fixed_decimals(s.adhesion_coefficient.real(), 2) + " " +
                               whole(s.adhesion_limit.real()) + "N");
  set(ValueRow::kSap, whole(s.straight_air_pipe.real()) + " kPa");
  set(ValueRow::kEr, whole(s.brake_pipe.real()) + " kPa");
  set(ValueRow::kMr, whole(s.main_reservoir.real()) + " kPa");
  set(ValueRow::kBrakeM, whole(s.motor_brake_cylinder.real()) + "k");
  set(ValueRow::kBrakeT, whole(s.trailer_brake_cylinder.real()) + "k");
  set(ValueRow::kBrakeE, whole(s.electric_brake_current) + "A");
  set(ValueRow::kFrame, std::to_string(s.current_frame));
  set(ValueRow::kProjected, std::to_string(s.filmed_speed) + " km/h");
  set(ValueRow::kFrameSub, std::to_string(s.time_driven_frame));
  set(ValueRow::kDrawing, std::to_string(figures.drawn_frame));
  set(ValueRow::kMovie, std::to_string(s.film_mode));
  set(ValueRow::kFps, std::to_string(figures.fps));
  set(ValueRow::kRemain, whole(s.distance_to_stop / 100) + " m");
  set(ValueRow::kTotal, whole(s.position / 100) + " m");
  set(ValueRow::kNextStation,
      whole(s.target_stop_position / 100.0L) + " m " + std::to_string(s.next_station));
  set(ValueRow::kNotch,
      "P " + std::to_string(train.Power) + " " + std::to_string(s.power_handle) + " " +
          std::to_string(s.effective_power_notch) + " B " + std::to_string(train.Brake) + " " +
          std::to_string(s.brake_handle) + " " + std::to_string(s.effective_brake_notch) + " " +
          std::to_string(s.straight_air_notch) + " " + std::to_string(s.electric_brake_notch));
  set(ValueRow::kSign, std::to_string(s.shown_other_sign));
  set(ValueRow::kSound, "Sound D:" + std::to_string(train.DriveSound_count) +
                            " L:" + std::to_string(route.SoundData_count) +
                            " M:" + std::to_string(train.EngineSound1_count) + " K:1");
  set(ValueRow::kAhead, std::to_string(s.pre_train_frame));
  set(ValueRow::kAtsp,
      whole(s.pattern_target_distance / 100) + "/" + std::to_string(s.pattern_target_speed) + "/" +
          std::to_string(s.pattern_brake_speed) + "/" + std::to_string(s.pattern_warning_speed));
  set(ValueRow::kLimit, distance_and_speed(s.lookahead[0]));
  set(ValueRow::kCheck, distance_and_speed(s.lookahead[kLookaheadEntries / 2]));
  d.signal = "Signal now:" + std::to_string(s.current_signal_picture) +
             " now2:" + std::to_string(s.last_drawn_signal_picture) +
             " lim_now:" + std::to_string(s.ats_check_speed);
  d.ahead_between = between_stations(route, s.pre_train_frame);
  const int32_t block = signal_block(route, s.current_frame);
  for (size_t k = 0; k < kSignalsAhead; ++k) {
    const SignalData* signal = signal_at(route, block + 1 + static_cast<int32_t>(k));
    d.signals_ahead[k] =
        signal ? std::to_string(signal->aspect) + " " + std::to_string(signal->display_number)
               : std::string();
  }
  d.bar_motor = bar(s.motor_brake_cylinder.real());
  d.bar_trailer = bar(s.trailer_brake_cylinder.real());
  d.bar_electric = bar(s.electric_brake_current);
  return d;
}

std::string serial_line_caption(std::string_view line) {
  std::string bytes(line);
  // 0x7F and the control bytes are no Shift-JIS character either: the
  // conversion shows them as U+FFFD with every other byte it cannot read.
  for (char& c : bytes)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = static_cast<char>(0xFF);
  return sjis_to_utf8(bytes);
}

}  // namespace cabsim
