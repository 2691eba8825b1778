// The clock text, the stop-approach warning and the stop-line marker.
#include "presentation/station_display.h"

#include <optional>
#include <utility>

#include "data/rounding.h"
#include "data/route_lookup.h"
#include "presentation/panel_clock.h"
#include "sound/sound_numbers.h"
#include "state/blink.h"
#include "state/panel_state.h"

namespace cabsim {
namespace {

constexpr int64_t kClockPerHour = 108000;
constexpr int64_t kClockPerSecond = 30;

/// A number with at least two digits.
std::string two_digits(int64_t n) {
  std::string text = std::to_string(n);
  return text.size() == 1 ? "0" + text : text;
}

struct ClockParts {
  int64_t hours, minutes, seconds;
};

ClockParts clock_parts(int32_t t) {
  // Divisions truncate, as the clock's own arithmetic does: a clock before
  // midnight reads with negative parts.
  const int64_t all_seconds = int64_t{t} / kClockPerSecond;
  const int64_t hours = int64_t{t} / kClockPerHour;
  const int64_t minutes = (all_seconds - hours * 3600) / 60;
  return {hours, minutes, all_seconds - hours * 3600 - minutes * 60};
}

/// Stop warning: the train cannot stop within the stop distance left, with
/// the 125 m the warning allows for.
constexpr long double kWarningMargin = 125;
constexpr long double kWarningRestSpeed = 1;  ///< km/h

/// Distances of the stop-line marker and the gauge, cm.
constexpr long double kMarkerFrom = 3000;
constexpr long double kMarkerTo = -1000;
constexpr long double kGaugeFrom = 20000;
constexpr long double kGaugeTo = -5000;
constexpr long double kGaugeFine = 2000;
constexpr int32_t kGaugeHidden = -30;

std::optional<std::array<int32_t, 4>> marker_rectangle(long double distance,
                                                       const Perspective& perspective,
                                                       const StationData& stop) {
  if (!(kMarkerTo < distance && distance < kMarkerFrom) || perspective.P1 == 0) return std::nullopt;
  const long double m = distance / 100;
  // At m = -P1 the perspective has no finite height: no marker there.
  const long double depth = m + perspective.P1;
  if (depth == 0) return std::nullopt;
  auto size = round_to_int32(30 - m);
  auto top = round_to_int32(320 - m / depth * perspective.P2);
  auto centre = round_to_int32(static_cast<long double>(stop.marker_shift) / 20 * m +
                               static_cast<long double>(stop.marker_x));
  if (!size || !top || !centre) return std::nullopt;
  auto half = round_to_int32(static_cast<long double>(*size) / 2);
  const int64_t left = int64_t{*centre} - *half;
  const int64_t right = left + *size, bottom = int64_t{*top} + *size;
  if (left < INT32_MIN || right > INT32_MAX || bottom > INT32_MAX) return std::nullopt;
  return std::array<int32_t, 4>{static_cast<int32_t>(left), *top, static_cast<int32_t>(right),
                                static_cast<int32_t>(bottom)};
}

int32_t gauge_top(long double distance) {
  if (!(kGaugeTo < distance && distance < kGaugeFrom)) return kGaugeHidden;
  // 200 m to the gauge's 384 pixels, 20 m within the last 20 m.
  const long double scale = kMarkerTo < distance && distance <= kGaugeFine ? 20 : 200;
  return static_cast<int32_t>(round_half_even(376 - distance / 100 * 384 / scale));
}

}  // namespace

std::string clock_text_of(int32_t t) {
  const ClockParts p = clock_parts(t);
  return two_digits(p.hours) + ":" + two_digits(p.minutes) + ":" + two_digits(p.seconds);
}

void timecalc(Run& run, int32_t t) {
  RunView& v = run.view;
  const int64_t seconds = clock_parts(t).seconds;
  if (seconds == v.timecalc_seconds) return;
  v.timecalc_seconds = static_cast<int32_t>(seconds);
  v.clock_text = clock_text_of(t);
  if (analogue_clock_shown(run.train.panel.Clock)) v.clock_drawn_time = t;
}

void stop_approach_warning_step(Run& run) {
  RunState& s = run.state;
  SoundChannels& sounds = run.sounds;
  const int32_t warning = run.train.Stop;
  const long double d = s.distance_to_stop / 100, v = s.speed;
  if ((v / 5) * (v / 3.6L) > d - kWarningMargin && is_channel(sounds, warning) &&
      sounds.status(warning) == ChannelStatus::kStopped)
    sounds.play_once(warning);
  if (v < kWarningRestSpeed) {
    stop_if_playing(sounds, warning);
    run.view.panel.show(PanelElement::kLampStop, false);
    if (is_channel(sounds, warning)) sounds.set_volume(warning, 0);
  }
  if (is_channel(sounds, warning) && sounds.status(warning) != ChannelStatus::kStopped) {
    if (auto on = blink_switch(s.tick_count)) run.view.panel.show(PanelElement::kLampStop, *on);
  }
}

StopLineDisplay stop_line_display(long double distance, const Perspective& perspective,
                                  const StationData& stop) {
  StopLineDisplay shown;
  if (auto marker = marker_rectangle(distance, perspective, stop)) shown.marker = *marker;
  shown.stopline_top = gauge_top(distance);
  if (kGaugeTo < distance && distance < kGaugeFrom)
    shown.remain_text = std::to_string(static_cast<int64_t>(round_half_even(distance / 100)));
  return shown;
}

void stop_line_marker_step(Run& run) {
  RunState& s = run.state;
  static const StationData kNoStop;
  const StationData* stop = station_at(*run.route, s.next_station);
  StopLineDisplay shown =
      stop_line_display(s.distance_to_stop, run.route->perspective, stop ? *stop : kNoStop);
  run.view.stop_marker = shown.marker;
  run.view.stopline_top = shown.stopline_top;
  run.view.remain_text = std::move(shown.remain_text);
}

}  // namespace cabsim
