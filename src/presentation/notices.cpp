// The cab-signal speed zones and the limit and pattern notices.
#include "presentation/notices.h"

#include <algorithm>
#include <cmath>

#include "data/rounding.h"
#include "data/shift_jis.h"
#include "operation/ats.h"
#include "operation/signals.h"
#include "presentation/panel_lamps.h"

namespace cabsim {
namespace {

using E = PanelElement;

/// `[InfoLabel]` line n (counted from 0).
const std::string& info_line(const Run& run, size_t n) {
  return run.text.InfoLabel[n];
}

/// ATS-P pattern notices: the pattern this close to the train's speed, km/h.
constexpr long double kPatternNoticeMargin = 30;
/// ATS-P target speeds: a stop signal, and the lowest speed announced.
constexpr int32_t kStopSignalTarget = 1;
constexpr int32_t kAnnouncedTargetFrom = 11;

int32_t speed_zone_count(const RouteTables& route) {
  return std::clamp<int32_t>(route.SpeedCheck2_count, 0, static_cast<int32_t>(kMaxSpeedChecks2));
}

bool zone_applies(const SpeedCheck2Data& zone, const RunState& s) {
  return zone.frame < s.current_frame && s.current_frame < zone.end_frame &&
         zone.speed < s.ats_check_speed;
}

/// Metres in `cm`, rounded half to even, held at the ends of 64 bits.
int64_t rounded_metres(long double cm) {
  if (std::isnan(cm)) return 0;
  const long double m = round_half_even(cm / 100);
  return static_cast<int64_t>(std::clamp<long double>(m, -9.2e18L, 9.2e18L));
}

}  // namespace

void speed_zone_step(Run& run) {
  RunState& s = run.state;
  if (!s.ats_on) return;
  RunView& v = run.view;
  const RouteTables& route = *run.route;
  const int32_t count = speed_zone_count(route);
  bool applied = false;
  for (int32_t i = 0; i < count; ++i) {
    const SpeedCheck2Data& zone = route.SpeedCheck2[static_cast<size_t>(i)];
    if (zone_applies(zone, s)) {
      applied = true;
      show_cab_signal_speed(v, run.train.panel, zone.speed);
      if (zone.speed < s.speed) ats_alarm_request(s, run.train);
    } else if (s.ats_check_speed < kNoCheck) {
      show_cab_signal_speed(v, run.train.panel, s.ats_check_speed);
    }
  }
  if (count > 0 && (applied || s.ats_check_speed != kNoCheck)) return;
  // Nothing to check: the display goes dark and the check is over. On a
  // cab-signal train the display is the signal's: only what the zones put
  // up is taken back, and the signal's aspect shown again.
  if (run.train.ATS_Type != kCabSignalAts) {
    hide_cab_signal(v);
  } else if (v.cab_signal_frame != -1) {
    hide_cab_signal(v);
    if (s.current_signal_picture != kNoSignal)
      show_cab_signal_aspect(v.panel, s.current_signal_picture);
  }
  s.ats_check_speed = kNoCheck;
}

std::string approach_notice_text(int32_t speed, const std::string& text, int64_t distance_m) {
  return std::to_string(speed) + "km/h " + text + std::to_string(distance_m) + "m";
}

void speed_notice_step(Run& run) {
  const RunState& s = run.state;
  RunView& v = run.view;
  v.limit_notice.clear();
  v.pattern_notice.clear();

  // The ATS-P values mean something only while ATS-P works; switched off,
  // they are left as they were last.
  if (run.train.ATS_Type == kAtsP && s.ats_on) {
    const int32_t target = s.pattern_target_speed;
    const long double distance = s.pattern_target_distance;
    const bool braking_towards = target < s.speed && distance > 0;
    if (braking_towards && target == kStopSignalTarget) {
      v.limit_notice = info_line(run, 2);
      return;
    }
    if (braking_towards && s.pattern_brake_speed - s.speed < kPatternNoticeMargin &&
        target >= kAnnouncedTargetFrom) {
      v.limit_notice = approach_notice_text(target, info_line(run, 3), rounded_metres(distance));
      return;
    }
  }

  const SpeedNoticeValues values = speed_notice_values(s);
  auto following = [&](size_t line) {
    if (values.following_speed)
      v.pattern_notice = info_line(run, 5) + std::to_string(*values.following_speed) + "km/h " +
                         info_line(run, line) + ")";
  };
  if (values.limit) {
    v.limit_notice =
        approach_notice_text(values.limit->speed, info_line(run, 4), values.limit->distance_m);
    following(7);
    return;
  }
  if (values.check) {
    static const std::string kCheckAhead = utf8_to_sjis("照査まで");
    v.limit_notice =
        approach_notice_text(values.check->speed, kCheckAhead, values.check->distance_m);
    following(6);
  }
}

}  // namespace cabsim
