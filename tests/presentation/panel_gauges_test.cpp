// The panel instruments: needle angles with the 255/360 factor, the
// speedometer's low-speed scale and top, the ammeter modes and overshoot,
// the bars and the digital speed.
#include "presentation/panel_gauges.h"

#include <gtest/gtest.h>

#include <limits>

#include "state/panel_layout.h"

namespace cabsim {
namespace {

Meter meter(int32_t zero, long double scale, long double low = 0, int32_t mode = 0) {
  Meter m;
  m.file = "needle.bmp";
  m.zero_angle = zero;
  m.scale = scale;
  m.low_speed_scale = low;
  m.mode = mode;
  return m;
}

PanelState all_present() {
  PanelState panel = initial_panel_state();
  for (auto& sprite : panel.sprites) {
    sprite.present = 1;
    sprite.pattern_count = 1;
  }
  return panel;
}

TEST(PanelNeedles, AnglesUseTheFactor255Over360RoundedHalfToEven) {
  EXPECT_EQ(needle_angle(40 * 1.5L + 30), 64);  // 63.75
  EXPECT_EQ(needle_angle(360), 255);            // a full dial is 255 units, not 256
  EXPECT_EQ(needle_angle(-360), -255);
  EXPECT_EQ(needle_angle(72), 51);
  EXPECT_EQ(needle_angle(-72), -51);
  EXPECT_EQ(needle_angle(90), 64);    // 63.75: 256/360 would give 64 too, 180 tells them apart
  EXPECT_EQ(needle_angle(180), 128);  // 127.5, half to even
  EXPECT_EQ(needle_angle(540), 382);  // 382.5, half to even
  EXPECT_EQ(needle_angle(270), 191);  // 191.25 (256/360 gives 192)
  EXPECT_EQ(needle_angle(std::numeric_limits<long double>::infinity()), std::nullopt);
  EXPECT_EQ(needle_angle(1e30L), std::nullopt);
}

TEST(PanelNeedles, SpeedometerSpreadsLowSpeedsAndStopsAt160) {
  Meter plain = meter(30, 1.5);
  EXPECT_EQ(speedometer_angle(plain, 40), 64);
  EXPECT_EQ(speedometer_angle(plain, -40), 64);  // running backwards shows |speed|
  EXPECT_EQ(speedometer_angle(plain, 159.9L), needle_angle(159.9L * 1.5L + 30));
  EXPECT_EQ(speedometer_angle(plain, 160), std::nullopt);
  EXPECT_EQ(speedometer_angle(plain, -200), std::nullopt);
  EXPECT_EQ(speedometer_angle(plain, -0.5L), std::nullopt);  // creeping back: stays
  EXPECT_EQ(speedometer_angle(plain, -1), needle_angle(31.5L));
  EXPECT_EQ(speedometer_angle(plain, std::numeric_limits<long double>::quiet_NaN()), std::nullopt);

  Meter spread = meter(20, 1.2L, 3);
  // Both slopes meet at 10 km/h: 10 x 3 + 20 = 50 degrees.
  EXPECT_EQ(speedometer_angle(spread, 10), needle_angle(50));
  EXPECT_EQ(speedometer_angle(spread, 9.99L), needle_angle(9.99L * 3 + 20));
  EXPECT_EQ(speedometer_angle(spread, 5), needle_angle(35));
  EXPECT_EQ(speedometer_angle(spread, 100), needle_angle(100 * 1.2L + 20 - (1.2L - 3) * 10));
}

TEST(PanelNeedles, AmmeterOvershootsAStepAndSettles) {
  // Within one tick a rise overshoots (100 -> 150) and is pulled back
  // (-> 75); the next tick 112 then 94, and so on to the current.
  std::vector<int32_t> shown;
  int32_t displayed = 0;
  for (int i = 0; i < 5; ++i) shown.push_back(displayed = follow_ammeter(displayed, 100));
  EXPECT_EQ(shown, (std::vector<int32_t>{75, 94, 98, 100, 100}));
  // A fall to zero: |0| < |100| gives 0 - 50.
  EXPECT_EQ(follow_ammeter(100, 0), -50);
  EXPECT_EQ(follow_ammeter(-50, 0), -25);
  EXPECT_EQ(follow_ammeter(-25, 0), -12);  // -12.5, half to even
  // The extremes of the motor current neither overflow nor wrap.
  EXPECT_EQ(follow_ammeter(INT32_MAX, INT32_MIN), 0);
}

TEST(PanelNeedles, AmmeterModesAndOtherGauges) {
  Meter signed_needle = meter(90, 0.1L, 0, 0);
  EXPECT_EQ(ammeter_angle(signed_needle, 300, 1), needle_angle(120));
  EXPECT_EQ(ammeter_angle(signed_needle, 300, -1), -*needle_angle(120));
  EXPECT_EQ(ammeter_angle(signed_needle, 300, 0), 0);
  Meter magnitude = meter(90, 0.1L, 0, 1);
  EXPECT_EQ(ammeter_angle(magnitude, -300, -1), needle_angle(120));
  Meter fixed = meter(90, 0.1L, 0, 2);
  EXPECT_EQ(ammeter_angle(fixed, 500, 1), 90);  // the zero angle itself, unconverted
  EXPECT_EQ(ammeter_angle(meter(90, 0.1L, 0, 7), 500, 1), std::nullopt);

  Meter bar = meter(600, 0.25L);  // base y 600, 0.25 px per kPa
  EXPECT_EQ(bar_top(bar, 440), 490);
  EXPECT_EQ(bar_top(bar, 0), 600);
  EXPECT_EQ(bar_top(meter(600, 1e300L), 1e300L), std::nullopt);
}

TEST(PanelNeedles, TickSetsEveryPresentGaugeAndLeavesAbsentOnesAlone) {
  TrainParams train;
  CabPanelDefinition& p = train.panel;
  p.Needle_Speed = meter(30, 1.5);
  p.Needle_BC = meter(0, 0.5);
  p.Needle_BC_L = meter(600, 0.25);
  p.Needle_MR_L = meter(500, 0.1);
  p.Needle_MR = meter(10, 0.3);
  p.Needle_V = meter(0, 0.1);
  p.Needle_I = meter(90, 0.1, 0, 0);
  RunState s = initial_run_state(train);
  RunView view;
  s.speed = 40;
  s.trailer_brake_cylinder = Fixed::from_real(440);
  s.motor_brake_cylinder = Fixed::from_real(200);
  s.main_reservoir = Fixed::from_real(800);
  s.voltmeter_value = Fixed::from_real(1500);
  s.motor_current = 100;

  view.panel = all_present();
  PanelState& panel = view.panel;
  panel[PanelElement::kDigitalSpeed].pattern_count = 200;
  panel[PanelElement::kNeedleSAP].present = 0;
  panel[PanelElement::kNeedleSAP].angle = 17;
  update_panel_gauges(s, view, train);
  EXPECT_EQ(panel[PanelElement::kNeedleSpeed].angle, 64);
  EXPECT_EQ(panel[PanelElement::kNeedleBC].angle, *needle_angle(220));  // trailer with [Mc] 0
  EXPECT_EQ(panel[PanelElement::kBarBC].y, 600 - 110);
  EXPECT_EQ(panel[PanelElement::kBarMR].y, 500 - 80);
  EXPECT_EQ(panel[PanelElement::kNeedleMR].angle, *needle_angle(250));
  EXPECT_EQ(panel[PanelElement::kNeedleV].angle, *needle_angle(150));
  EXPECT_EQ(view.ammeter_current, 75);
  EXPECT_EQ(panel[PanelElement::kNeedleI].angle, *needle_angle(97.5L));
  EXPECT_EQ(panel[PanelElement::kNeedleSAP].angle, 17);
  EXPECT_EQ(panel[PanelElement::kDigitalSpeed].pattern, 40);
  EXPECT_TRUE(panel[PanelElement::kDigitalSpeed].visible);

  train.Mc = 1;   // the motor car's cylinder
  s.speed = 170;  // the speedometer stays where it was; the digits show 170
  update_panel_gauges(s, view, train);
  EXPECT_EQ(panel[PanelElement::kNeedleBC].angle, *needle_angle(100));
  EXPECT_EQ(panel[PanelElement::kBarBC].y, 600 - 50);
  EXPECT_EQ(panel[PanelElement::kNeedleSpeed].angle, 64);
  EXPECT_EQ(panel[PanelElement::kDigitalSpeed].pattern, 170);
  s.speed = 250;  // beyond the digital display's range: the pattern stays
  update_panel_gauges(s, view, train);
  EXPECT_EQ(panel[PanelElement::kDigitalSpeed].pattern, 170);
  s.speed = -12.4L;  // backwards: the magnitude
  update_panel_gauges(s, view, train);
  EXPECT_EQ(panel[PanelElement::kDigitalSpeed].pattern, 12);
  s.speed = -320;  // below 200 but a pattern the picture lacks: stays
  update_panel_gauges(s, view, train);
  EXPECT_EQ(panel[PanelElement::kDigitalSpeed].pattern, 12);
  for (long double wild :
       {-1e300L, -2147483648.0L, std::numeric_limits<long double>::quiet_NaN()}) {
    s.speed = wild;  // never a wrapped magnitude or a pattern from nothing
    update_panel_gauges(s, view, train);
    EXPECT_EQ(panel[PanelElement::kDigitalSpeed].pattern, 12);
  }
}

}  // namespace
}  // namespace cabsim
