// The field table of the simulation's CSV output.
#include "sim_fields.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "data/shift_jis.h"

namespace cabsim::tool {
namespace {

void trim_decimals(std::string& text) {
  if (text.find('.') == std::string::npos) return;
  size_t end = text.find_last_not_of('0');
  if (text[end] == '.') --end;
  text.erase(end + 1);
  if (text == "-0") text.erase(0, 1);
}

template <typename T>
std::string integer_text(T value) {
  return std::to_string(static_cast<int64_t>(value));
}

#define CABSIM_INT(name)                                          \
  SimField {                                                      \
#name, [](const RunState& s) { return integer_text(s.name); } \
  }
#define CABSIM_FIXED(name)                                      \
  SimField {                                                    \
#name, [](const RunState& s) { return fixed_text(s.name); } \
  }
#define CABSIM_REAL(name)                                      \
  SimField {                                                   \
#name, [](const RunState& s) { return real_text(s.name); } \
  }
#define CABSIM_UTF8(name)                           \
  SimField {                                        \
#name, [](const RunState& s) { return s.name; } \
  }
#define CABSIM_SJIS(name)                                         \
  SimField {                                                      \
#name, [](const RunState& s) { return sjis_to_utf8(s.name); } \
  }

const std::vector<SimField>& fields() {
  static const std::vector<SimField> table = {
      CABSIM_REAL(speed),
      CABSIM_REAL(position),
      CABSIM_INT(current_frame),
      CABSIM_INT(clock),
      CABSIM_INT(tick_count),
      CABSIM_INT(reverser),
      CABSIM_INT(power_handle),
      CABSIM_INT(brake_handle),
      CABSIM_INT(effective_power_notch),
      CABSIM_INT(effective_brake_notch),
      CABSIM_INT(straight_air_notch),
      CABSIM_INT(electric_brake_notch),
      CABSIM_FIXED(tractive_force),
      CABSIM_FIXED(published_tractive_force),
      CABSIM_FIXED(resistance_force),
      CABSIM_FIXED(brake_force),
      CABSIM_FIXED(predicted_speed),
      CABSIM_FIXED(friction_factor),
      CABSIM_INT(motor_current),
      CABSIM_INT(step_current),
      CABSIM_FIXED(line_voltage),
      CABSIM_FIXED(voltmeter_value),
      CABSIM_FIXED(trailer_brake_cylinder),
      CABSIM_FIXED(motor_brake_cylinder),
      CABSIM_FIXED(brake_pipe),
      CABSIM_FIXED(main_reservoir),
      CABSIM_FIXED(straight_air_pipe),
      CABSIM_REAL(equalising_reservoir),
      CABSIM_REAL(electric_brake_current),
      CABSIM_INT(compressor_running),
      CABSIM_FIXED(train_gradient),
      CABSIM_FIXED(local_gradient),
      CABSIM_FIXED(adhesion_coefficient),
      CABSIM_FIXED(adhesion_limit),
      CABSIM_UTF8(adhesion_state_text),
      CABSIM_INT(in_tunnel),
      CABSIM_INT(resistance_off),
      CABSIM_INT(doors_open),
      CABSIM_INT(protection_emergency_flag),
      CABSIM_INT(pattern_brake_flag),
      CABSIM_INT(hold_active),
      CABSIM_INT(constant_speed_active),
      CABSIM_INT(power_mode),
      CABSIM_INT(gear),
      CABSIM_INT(target_gear),
      CABSIM_INT(gear_change_in_progress),
      CABSIM_INT(gear_change_counter),
      CABSIM_INT(engine_running),
      CABSIM_REAL(engine_speed),
      CABSIM_REAL(engine_speed_target),
      CABSIM_INT(filmed_speed),
      CABSIM_INT(frame_accumulator),
      CABSIM_INT(current_speed_segment),
      CABSIM_REAL(movement_this_tick),
      CABSIM_INT(film_mode),
      CABSIM_INT(film_speed_run),
      CABSIM_INT(time_driven_frame),
      CABSIM_INT(turned_back),
      CABSIM_INT(last_fetched_frame),
      CABSIM_REAL(distance_to_stop),
      CABSIM_INT(cycle_interval),
      CABSIM_INT(section_upper_speed),
      CABSIM_INT(section_permitted_speed),
      CABSIM_INT(pre_train_frame),
      CABSIM_INT(next_station),
      CABSIM_INT(departure_counter),
      CABSIM_INT(doors_not_closed),
      CABSIM_INT(door_closed_lamp),
      CABSIM_INT(current_station),
      CABSIM_INT(target_stop_position),
      CABSIM_INT(door_timer_start),
      CABSIM_INT(departure_call_pending),
      CABSIM_INT(run_ended),
      CABSIM_INT(crew_change_requested),
      CABSIM_INT(fade_level),
      CABSIM_INT(last_station_call),
      CABSIM_INT(stop_picture_shown),
      CABSIM_INT(stopline_top),
      CABSIM_UTF8(remain_text),
      CABSIM_UTF8(clock_text),
      CABSIM_INT(vigilance_enabled),
      CABSIM_INT(vigilance_counter),
      CABSIM_INT(vigilance_lamp),
      CABSIM_INT(key_swap),
      CABSIM_INT(door_side_selector),
      CABSIM_INT(selector_lamp),
      CABSIM_INT(timetable_card_shown),
      CABSIM_INT(timetable_card_left),
      CABSIM_INT(client_width),
      CABSIM_UTF8(speed_text),
      CABSIM_SJIS(power_text),
      CABSIM_SJIS(brake_text),
      CABSIM_SJIS(reverser_text),
      CABSIM_SJIS(gear_text),
      CABSIM_SJIS(next_station_text),
      CABSIM_SJIS(car_count_text),
      CABSIM_SJIS(selector_text),
      CABSIM_UTF8(top_message),
      CABSIM_UTF8(window_caption),
      CABSIM_UTF8(start_caption),
  };
  return table;
}

#undef CABSIM_INT
#undef CABSIM_FIXED
#undef CABSIM_REAL
#undef CABSIM_UTF8
#undef CABSIM_SJIS

}  // namespace

std::span<const SimField> sim_fields() {
  return fields();
}

const SimField* find_sim_field(std::string_view name) {
  for (const SimField& f : fields())
    if (f.name == name) return &f;
  return nullptr;
}

std::string csv_cell(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string fixed_text(Fixed value) {
  const int64_t count = value.count();
  const uint64_t magnitude =
      count < 0 ? uint64_t(0) - static_cast<uint64_t>(count) : static_cast<uint64_t>(count);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%s%" PRIu64 ".%04" PRIu64, count < 0 ? "-" : "",
                magnitude / Fixed::kScale, magnitude % Fixed::kScale);
  std::string text = buffer;
  trim_decimals(text);
  return text;
}

std::string real_text(long double value) {
  char buffer[128];
  int n = std::snprintf(buffer, sizeof buffer, "%.10Lf", value);
  // A value too large for the buffer is written in exponent form instead.
  if (n < 0 || static_cast<size_t>(n) >= sizeof buffer)
    std::snprintf(buffer, sizeof buffer, "%.10Le", value);
  std::string text = buffer;
  if (text.find('e') == std::string::npos) trim_decimals(text);
  return text;
}

}  // namespace cabsim::tool
