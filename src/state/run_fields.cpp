// The field table of the running state and the view.
#include "state/run_fields.h"

#include <array>
#include <cinttypes>
#include <cstdio>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

#include "data/shift_jis.h"
#include "state/panel_layout.h"

namespace cabsim {
namespace {

void trim_decimals(std::string& text) {
  if (text.find('.') == std::string::npos) return;
  size_t end = text.find_last_not_of('0');
  if (text[end] == '.') --end;
  text.erase(end + 1);
  if (text == "-0") text.erase(0, 1);
}

/// The record a field of `R` lives in.
template <typename R>
R& record_of(RunState& s, RunView& v) {
  if constexpr (std::is_same_v<R, RunState>)
    return s;
  else
    return v;
}
template <typename R>
const R& record_of(const RunState& s, const RunView& v) {
  if constexpr (std::is_same_v<R, RunState>)
    return s;
  else
    return v;
}

template <typename R, typename T>
FieldValue read_value(const T& value) {
  if constexpr (std::is_same_v<T, Fixed>)
    return value;
  else if constexpr (std::is_same_v<T, long double>)
    return value;
  else if constexpr (std::is_same_v<T, std::string>)
    return value;
  else
    return static_cast<int64_t>(value);
}

template <typename T>
bool write_value(T& field, const FieldValue& value) {
  if constexpr (std::is_same_v<T, Fixed> || std::is_same_v<T, long double> ||
                std::is_same_v<T, std::string>) {
    const T* v = std::get_if<T>(&value);
    if (!v) return false;
    field = *v;
    return true;
  } else {
    const int64_t* v = std::get_if<int64_t>(&value);
    if (!v) return false;
    using L = std::numeric_limits<T>;
    if constexpr (std::is_signed_v<T>) {
      if (*v < int64_t{L::min()} || *v > int64_t{L::max()}) return false;
    } else {
      if (*v < 0 || static_cast<uint64_t>(*v) > uint64_t{L::max()}) return false;
    }
    field = static_cast<T>(*v);
    return true;
  }
}

template <typename R, auto Member>
RunField field(std::string_view name, FieldType type) {
  constexpr FieldRecord record =
      std::is_same_v<R, RunState> ? FieldRecord::kState : FieldRecord::kView;
  return RunField{name, type, record,
                  [](const RunState& s, const RunView& v) -> FieldValue {
                    return read_value<R>(record_of<R>(s, v).*Member);
                  },
                  [](RunState& s, RunView& v, const FieldValue& value) {
                    return write_value(record_of<R>(s, v).*Member, value);
                  }};
}

/// What a field of a sign-column picture reads.
enum class SignValue : uint8_t { kCell, kLeft, kVisible };

template <size_t I, SignValue K, typename Column>
auto& sign_value(Column& column) {
  auto& p = column.pictures[I];
  if constexpr (K == SignValue::kCell)
    return p.cell;
  else if constexpr (K == SignValue::kLeft)
    return p.left;
  else
    return p.visible;
}

template <size_t I, SignValue K>
RunField sign_field(std::string_view name) {
  return RunField{name, FieldType::kInteger, FieldRecord::kView,
                  [](const RunState&, const RunView& v) -> FieldValue {
                    return static_cast<int64_t>(sign_value<I, K>(v.signs));
                  },
                  [](RunState&, RunView& v, const FieldValue& value) {
                    return write_value(sign_value<I, K>(v.signs), value);
                  }};
}

/// "shown:" and "visible:" of every picture of the sign column, "left:" of
/// the pictures that move (the signal and its neighbours).
template <size_t I>
void add_sign_fields(std::vector<RunField>& table) {
  static const std::string name(kSignGeometry[I].name);
  static const std::string shown = "shown:" + name;
  static const std::string visible = "visible:" + name;
  static const std::string left = "left:" + name;
  table.push_back(sign_field<I, SignValue::kCell>(shown));
  table.push_back(sign_field<I, SignValue::kVisible>(visible));
  if (I <= static_cast<size_t>(SignElement::kSignalSub))
    table.push_back(sign_field<I, SignValue::kLeft>(left));
}

/// `text` as exactly parts.size() decimal 32-bit integers separated by `sep`.
template <size_t N>
bool parse_integers(const std::string& text, char sep, std::array<int32_t, N>& parts) {
  size_t at = 0;
  for (size_t i = 0; i < N; ++i) {
    const size_t end = i + 1 < N ? text.find(sep, at) : text.size();
    if (end == std::string::npos) return false;
    const std::string part = text.substr(at, end - at);
    int64_t value = 0;
    size_t digits = 0;
    const bool negative = !part.empty() && part[0] == '-';
    for (size_t k = negative ? 1 : 0; k < part.size(); ++k, ++digits) {
      if (part[k] < '0' || part[k] > '9' || digits >= 10) return false;
      value = value * 10 + (part[k] - '0');
    }
    if (digits == 0) return false;
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    parts[i] = static_cast<int32_t>(value);
    at = end + 1;
  }
  return true;
}

/// "lamp:" and the picture's name without "img_" for the panel's lamps and the
/// cab signal: 1 while it is lit (shown when the panel has its picture).
template <size_t E>
RunField lamp_field() {
  static const std::string name =
      "lamp:" +
      std::string(panel_element_info(static_cast<PanelElement>(E)).picture_name.substr(4));
  return RunField{name, FieldType::kInteger, FieldRecord::kView,
                  [](const RunState&, const RunView& v) -> FieldValue {
                    return static_cast<int64_t>(v.panel.sprites[E].visible);
                  },
                  [](RunState&, RunView& v, const FieldValue& value) {
                    return write_value(v.panel.sprites[E].visible, value);
                  }};
}

template <size_t... E>
void add_lamp_fields(std::vector<RunField>& table, std::index_sequence<E...>) {
  constexpr size_t kFirst = static_cast<size_t>(PanelElement::kLampDoor);
  (table.push_back(lamp_field<kFirst + E>()), ...);
  table.push_back(lamp_field<static_cast<size_t>(PanelElement::kCabSignal)>());
}

/// "lookahead:K": entry K of the look-ahead as index/speed/status/distance/needed.
template <size_t K>
RunField lookahead_field() {
  static const std::string name = "lookahead:" + std::to_string(K);
  return RunField{
      name, FieldType::kUtf8, FieldRecord::kState,
      [](const RunState& s, const RunView&) -> FieldValue {
        const LookaheadEntry& e = s.lookahead[K];
        return std::to_string(e.index) + "/" + std::to_string(e.speed) + "/" +
               std::to_string(e.status) + "/" + std::to_string(e.distance) + "/" +
               std::to_string(e.needed_distance);
      },
      [](RunState& s, RunView&, const FieldValue& value) {
        const auto* text = std::get_if<std::string>(&value);
        if (!text) return false;
        std::array<int32_t, 5> parts{};
        if (!parse_integers(*text, '/', parts)) return false;
        s.lookahead[K] = LookaheadEntry{parts[0], parts[1], parts[2], parts[3], parts[4]};
        return true;
      }};
}

/// A queue of numbers as its slots in decimal, separated by spaces, empty
/// slots as -1 ("3 0 -1 -1 ...").
template <auto Member>
RunField queue_field(std::string_view name) {
  return RunField{name, FieldType::kUtf8, FieldRecord::kState,
                  [](const RunState& s, const RunView&) -> FieldValue {
                    std::string text;
                    for (int32_t slot : s.*Member) {
                      if (!text.empty()) text += ' ';
                      text += std::to_string(slot);
                    }
                    return text;
                  },
                  [](RunState& s, RunView&, const FieldValue& value) {
                    const auto* text = std::get_if<std::string>(&value);
                    auto slots = s.*Member;
                    if (!text || !parse_integers(*text, ' ', slots)) return false;
                    s.*Member = slots;
                    return true;
                  }};
}

template <size_t... K>
void add_lookahead_fields(std::vector<RunField>& table, std::index_sequence<K...>) {
  (table.push_back(lookahead_field<K>()), ...);
}

template <size_t... I>
void add_sign_column_fields(std::vector<RunField>& table, std::index_sequence<I...>) {
  (add_sign_fields<I>(table), ...);
}

#define STATE_FIELD(name, type) field<RunState, &RunState::name>(#name, FieldType::type)
#define VIEW_FIELD(name, type) field<RunView, &RunView::name>(#name, FieldType::type)
#define STATE_INT(name) STATE_FIELD(name, kInteger)
#define STATE_FIXED(name) STATE_FIELD(name, kFixed)
#define STATE_REAL(name) STATE_FIELD(name, kReal)
#define STATE_UTF8(name) STATE_FIELD(name, kUtf8)
#define STATE_SJIS(name) STATE_FIELD(name, kShiftJis)
#define VIEW_INT(name) VIEW_FIELD(name, kInteger)
#define VIEW_UTF8(name) VIEW_FIELD(name, kUtf8)
#define VIEW_SJIS(name) VIEW_FIELD(name, kShiftJis)

std::vector<RunField> make_fields() {
  std::vector<RunField> table = {
      STATE_REAL(speed),
      STATE_REAL(position),
      STATE_INT(current_frame),
      STATE_INT(clock),
      STATE_INT(tick_count),
      STATE_INT(reverser),
      STATE_INT(power_handle),
      STATE_INT(brake_handle),
      STATE_INT(effective_power_notch),
      STATE_INT(effective_brake_notch),
      STATE_INT(straight_air_notch),
      STATE_INT(electric_brake_notch),
      STATE_FIXED(tractive_force),
      STATE_FIXED(published_tractive_force),
      STATE_FIXED(resistance_force),
      STATE_FIXED(brake_force),
      STATE_FIXED(predicted_speed),
      STATE_FIXED(friction_factor),
      STATE_INT(motor_current),
      STATE_INT(step_current),
      STATE_FIXED(line_voltage),
      STATE_FIXED(voltmeter_value),
      STATE_FIXED(trailer_brake_cylinder),
      STATE_FIXED(motor_brake_cylinder),
      STATE_FIXED(brake_pipe),
      STATE_FIXED(main_reservoir),
      STATE_FIXED(straight_air_pipe),
      STATE_REAL(equalising_reservoir),
      STATE_REAL(electric_brake_current),
      STATE_INT(compressor_running),
      STATE_FIXED(train_gradient),
      STATE_FIXED(local_gradient),
      STATE_FIXED(adhesion_coefficient),
      STATE_FIXED(adhesion_limit),
      VIEW_UTF8(adhesion_state_text),
      STATE_INT(in_tunnel),
      STATE_INT(resistance_off),
      STATE_INT(doors_open),
      STATE_INT(protection_emergency_flag),
      STATE_INT(pattern_brake_flag),
      STATE_INT(hold_active),
      STATE_INT(constant_speed_active),
      STATE_INT(power_mode),
      STATE_INT(gear),
      STATE_INT(target_gear),
      STATE_INT(gear_change_in_progress),
      STATE_INT(gear_change_counter),
      STATE_INT(engine_running),
      STATE_REAL(engine_speed),
      STATE_REAL(engine_speed_target),
      STATE_INT(filmed_speed),
      STATE_INT(frame_accumulator),
      STATE_INT(current_speed_segment),
      STATE_REAL(movement_this_tick),
      STATE_INT(film_mode),
      STATE_INT(film_speed_run),
      STATE_INT(time_driven_frame),
      STATE_INT(turned_back),
      VIEW_INT(film_refresh),
      STATE_REAL(distance_to_stop),
      STATE_INT(cycle_interval),
      STATE_INT(section_upper_speed),
      STATE_INT(section_permitted_speed),
      STATE_INT(pre_train_frame),
      STATE_INT(next_station),
      STATE_INT(departure_counter),
      STATE_INT(doors_not_closed),
      STATE_INT(door_closed_lamp),
      STATE_INT(current_station),
      STATE_INT(target_stop_position),
      STATE_INT(door_timer_start),
      STATE_INT(departure_call_pending),
      STATE_INT(run_ended),
      STATE_INT(crew_change_requested),
      STATE_INT(fade_level),
      STATE_INT(last_station_call),
      VIEW_INT(stop_picture_shown),
      VIEW_INT(stopline_top),
      VIEW_UTF8(remain_text),
      VIEW_UTF8(clock_text),
      STATE_INT(vigilance_enabled),
      STATE_INT(vigilance_counter),
      VIEW_INT(vigilance_lamp),
      STATE_INT(key_swap),
      STATE_INT(door_side_selector),
      VIEW_INT(selector_lamp),
      VIEW_INT(timetable_card_shown),
      VIEW_INT(timetable_card_left),
      VIEW_INT(client_width),
      VIEW_UTF8(speed_text),
      VIEW_SJIS(power_text),
      VIEW_SJIS(brake_text),
      VIEW_SJIS(reverser_text),
      VIEW_SJIS(gear_text),
      VIEW_SJIS(next_station_text),
      VIEW_SJIS(car_count_text),
      VIEW_SJIS(selector_text),
      VIEW_UTF8(top_message),
      VIEW_INT(value_display_shown),
      VIEW_UTF8(value_display_caption),
      VIEW_UTF8(window_caption),
      VIEW_UTF8(start_caption),
      // Counters, delays and settings of the rules.
      STATE_INT(last_cycle_time),
      STATE_REAL(last_gradient_sample_position),
      STATE_INT(frame_offset),
      STATE_INT(film_frame_count),
      STATE_INT(insert_length),
      STATE_UTF8(commentary),
      STATE_UTF8(previous_commentary),
      STATE_INT(commentary_on),
      STATE_INT(debug_mode),
      STATE_INT(easy_cab_request),
      STATE_INT(ats_on),
      STATE_INT(beginner_mode),
      STATE_INT(power_change_pending),
      STATE_INT(brake_change_pending),
      STATE_INT(straight_air_change_pending),
      STATE_INT(electric_brake_change_pending),
      STATE_INT(left_hold),
      STATE_INT(power_delay_counter),
      STATE_INT(step_index),
      STATE_INT(brake_delay_counter),
      STATE_INT(straight_air_delay_counter),
      STATE_INT(electric_brake_delay_counter),
      STATE_INT(brake_current_row),
      STATE_INT(door_sound_draw),
      STATE_INT(door_sound_limit),
      STATE_INT(crew_change_station),
      STATE_INT(random_state),
      // Controllers.
      STATE_INT(controller_kind),
      STATE_INT(last_state_sum),
      STATE_SJIS(serial_pending),
      STATE_INT(usb_debug),
      STATE_SJIS(posted_keys),
      // What the rules decided for the view.
      VIEW_INT(timecalc_seconds),
      VIEW_SJIS(first_notice),
      VIEW_SJIS(second_notice),
      VIEW_SJIS(limit_notice),
      VIEW_SJIS(pattern_notice),
      VIEW_INT(forward_lamp),
      VIEW_INT(backward_lamp),
      VIEW_INT(constant_speed_lamp),
      VIEW_INT(step_end_lamp),
      VIEW_INT(power_notch_pattern),
      VIEW_INT(brake_notch_pattern),
      VIEW_INT(gear_pattern),
      VIEW_INT(clock_drawn_time),
      VIEW_INT(monitor_pattern),
      VIEW_INT(ammeter_current),
      VIEW_INT(cab_signal_frame),
      // Signals and the sign column.
      STATE_INT(cycle_count),
      STATE_INT(current_signal_picture),
      STATE_INT(last_drawn_signal_picture),
      STATE_INT(current_signal_third_value),
      STATE_INT(current_signal_index),
      STATE_INT(shown_signal_type),
      STATE_INT(signal_frame_seen),
      STATE_INT(ats_check_speed),
      STATE_INT(acknowledged_flag),
      STATE_INT(cab_signal_brake_flag),
      STATE_FIXED(shown_gradient),
      STATE_INT(shown_limit_picture),
      STATE_INT(approach_limit_picture),
      field<RunState, &RunState::limit_approach_flag>("limit_approach", FieldType::kInteger),
      STATE_INT(shown_other_sign),
      STATE_INT(other_sign_timer),
      STATE_INT(shown_traffic_phase),
      STATE_INT(shown_traffic_second),
      STATE_INT(anim_step),
      STATE_INT(anim_counter),
      STATE_INT(shown_anim_step),
      STATE_INT(shown_crossing),
      VIEW_UTF8(slope_text),
      // Train protection.
      STATE_INT(alarm_flag),
      STATE_INT(acknowledged_chime_flag),
      STATE_INT(alarm_counter),
      STATE_INT(alarm_check_speed),
      STATE_INT(pattern_state),
      STATE_INT(previous_pattern_state),
      STATE_INT(pattern_target_speed),
      STATE_REAL(pattern_target_distance),
      STATE_INT(pattern_brake_speed),
      STATE_INT(pattern_warning_speed),
      // Sound control.
      STATE_REAL(motor_sound_ramp),
      STATE_INT(handle_sound_played),
      STATE_REAL(zone_level_factor),
      STATE_INT(doors_open_ticks),
      // Calls and announcements.
      STATE_INT(call_queue_busy),
      STATE_INT(call_shift_pending),
      STATE_INT(call_channel_sound),
      STATE_INT(last_called_sign),
      STATE_INT(announcement_counter),
      STATE_INT(stop_request),
      STATE_INT(stop_request_clock),
      queue_field<&RunState::call_queue>("call_queue"),
      queue_field<&RunState::crossing_queue>("crossing_queue"),
  };
  add_lookahead_fields(table, std::make_index_sequence<kLookaheadEntries>{});
  constexpr size_t kLamps = static_cast<size_t>(PanelElement::kLampStop) -
                            static_cast<size_t>(PanelElement::kLampDoor) + 1;
  add_lamp_fields(table, std::make_index_sequence<kLamps>{});
  add_sign_column_fields(table, std::make_index_sequence<kSignElementCount>{});
  return table;
}

const std::vector<RunField>& fields() {
  static const std::vector<RunField> table = make_fields();
  return table;
}

#undef STATE_FIELD
#undef VIEW_FIELD
#undef STATE_INT
#undef STATE_FIXED
#undef STATE_REAL
#undef STATE_UTF8
#undef STATE_SJIS
#undef VIEW_INT
#undef VIEW_UTF8
#undef VIEW_SJIS

}  // namespace

std::span<const RunField> run_fields() {
  return fields();
}

const RunField* find_run_field(std::string_view name) {
  for (const RunField& f : fields())
    if (f.name == name) return &f;
  return nullptr;
}

std::string field_text(const RunField& field, const RunState& s, const RunView& v) {
  const FieldValue value = field.read(s, v);
  switch (field.type) {
    case FieldType::kInteger:
      return std::to_string(std::get<int64_t>(value));
    case FieldType::kFixed:
      return fixed_text(std::get<Fixed>(value));
    case FieldType::kReal:
      return real_text(std::get<long double>(value));
    case FieldType::kUtf8:
      return std::get<std::string>(value);
    case FieldType::kShiftJis:
      return sjis_to_utf8(std::get<std::string>(value));
  }
  return {};
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

}  // namespace cabsim
