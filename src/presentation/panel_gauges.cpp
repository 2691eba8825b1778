// Needle, bar and digital-speed rules of the panel instruments.
#include "presentation/panel_gauges.h"

#include <cmath>
#include <cstdlib>

#include "data/rounding.h"

namespace cabsim {
namespace {

void set_angle(PanelState& panel, PanelElement e, std::optional<int32_t> angle) {
  PanelSprite& sprite = panel[e];
  if (sprite.present && angle) sprite.angle = *angle;
}

void set_bar(PanelState& panel, PanelElement e, std::optional<int32_t> top) {
  PanelSprite& sprite = panel[e];
  if (sprite.present && top) sprite.y = *top;
}

void digital_speed(PanelState& panel, long double speed) {
  PanelSprite& digits = panel[PanelElement::kDigitalSpeed];
  if (!digits.present) return;
  digits.visible = 1;
  auto shown = round_to_int32(speed);  // a speed beyond 32 bits has no pattern either
  if (shown && *shown < kDigitalSpeedLimit) digits.set_pattern(std::abs(int64_t{*shown}));
}

}  // namespace

std::optional<int32_t> needle_angle(long double degrees) {
  return round_to_int32(degrees * kNeedleUnitsPerTurn /
                        360.0L);  // multiplied first: exact halves stay halves
}

std::optional<int32_t> speedometer_angle(const Meter& meter, long double speed) {
  long double v = std::fabs(speed);
  if (!(v < kSpeedometerTop)) return std::nullopt;  // also keeps a needle on NaN
  if (speed > -1.0L && speed < 0.0L) return std::nullopt;
  long double zero = meter.zero_angle;
  if (meter.low_speed_scale == 0) return needle_angle(v * meter.scale + zero);
  if (v >= kLowSpeedScaleEnd)
    return needle_angle(v * meter.scale + zero -
                        (meter.scale - meter.low_speed_scale) * kLowSpeedScaleEnd);
  return needle_angle(v * meter.low_speed_scale + zero);
}

int32_t follow_ammeter(int32_t displayed, int32_t actual) {
  long double a = actual;
  long double d = displayed;
  if (std::fabs(a) > std::fabs(d)) d = round_half_even(a + std::fabs(a - d) / 2);
  if (std::fabs(a) < std::fabs(d)) d = round_half_even(a - std::fabs(a - d) / 2);
  auto fits = round_to_int32(d);
  return fits ? *fits : actual;
}

std::optional<int32_t> ammeter_angle(const Meter& meter, int32_t displayed, int32_t reverser) {
  switch (meter.mode) {
    case 0: {
      auto angle = needle_angle(displayed * meter.scale + meter.zero_angle);
      if (!angle) return std::nullopt;
      return round_to_int32(static_cast<long double>(*angle) * reverser);
    }
    case 1:
      return needle_angle(std::fabs(static_cast<long double>(displayed)) * meter.scale +
                          meter.zero_angle);
    case 2:
      return meter.zero_angle;
    default:
      return std::nullopt;
  }
}

std::optional<int32_t> gauge_angle(const Meter& meter, long double value) {
  return needle_angle(meter.scale * value + meter.zero_angle);
}

std::optional<int32_t> bar_top(const Meter& bar, long double kpa) {
  auto rise = round_to_int64(bar.scale * kpa);
  if (!rise) return std::nullopt;
  return round_to_int32(static_cast<long double>(bar.zero_angle) - *rise);
}

long double shown_brake_cylinder(const RunState& s, const TrainParams& train) {
  return train.Mc == 1 ? s.motor_brake_cylinder.real() : s.trailer_brake_cylinder.real();
}

void update_panel_gauges(const RunState& s, RunView& v, const TrainParams& train) {
  PanelState& panel = v.panel;
  const CabPanelDefinition& p = train.panel;
  set_angle(panel, PanelElement::kNeedleSpeed, speedometer_angle(p.Needle_Speed, s.speed));

  v.ammeter_current = follow_ammeter(v.ammeter_current, s.motor_current);
  set_angle(panel, PanelElement::kNeedleI,
            ammeter_angle(p.Needle_I, v.ammeter_current, s.reverser));

  set_angle(panel, PanelElement::kNeedleV, gauge_angle(p.Needle_V, s.voltmeter_value.real()));
  long double bc = shown_brake_cylinder(s, train);
  set_angle(panel, PanelElement::kNeedleBC, gauge_angle(p.Needle_BC, bc));
  set_angle(panel, PanelElement::kNeedleBP, gauge_angle(p.Needle_BP, s.brake_pipe.real()));
  set_angle(panel, PanelElement::kNeedleMR, gauge_angle(p.Needle_MR, s.main_reservoir.real()));
  set_angle(panel, PanelElement::kNeedleSAP, gauge_angle(p.Needle_SAP, s.straight_air_pipe.real()));
  set_angle(panel, PanelElement::kNeedleER, gauge_angle(p.Needle_ER, s.equalising_reservoir));

  set_bar(panel, PanelElement::kBarBC, bar_top(p.Needle_BC_L, bc));
  set_bar(panel, PanelElement::kBarMR, bar_top(p.Needle_MR_L, s.main_reservoir.real()));
  digital_speed(panel, s.speed);
}

}  // namespace cabsim
