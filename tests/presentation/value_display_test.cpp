// The value display's texts: each row's format and unit on chosen values, the
// signal line, the train ahead between its stations and the signals ahead.
#include "presentation/value_display.h"

#include <gtest/gtest.h>

#include "support/test_run.h"

namespace cabsim {
namespace {

std::string row(const ValueDisplay& d, ValueRow r) {
  return d.values[static_cast<size_t>(r)];
}

TEST(ValueDisplay, EveryRowInItsFormatAndUnit) {
  test::TestRun t(test::TrainFileText{}.set("[Tons]", "300").set("[DriveSound]", "a.wav\nb.wav\n#"),
                  test::test_route_text("[SoundData]\ne.wav\n#\n"));
  RunState& s = t.s();
  s.speed = 63.25L;
  s.tractive_force = Fixed::from_real(50000);
  s.resistance_force = Fixed::from_real(-8333.3L);
  s.train_gradient = Fixed::from_real(-10.6L);
  s.motor_current = -412;
  s.engine_speed = 1234.5L;
  s.gear = 2;
  s.target_gear = 3;
  t.v().adhesion_state_text = "空転";
  s.adhesion_coefficient = Fixed::from_real(0.3456L);
  s.adhesion_limit = Fixed::from_real(98765.4L);
  s.straight_air_pipe = Fixed::from_real(120.4L);
  s.brake_pipe = Fixed::from_real(490);
  s.main_reservoir = Fixed::from_real(799.6L);
  s.motor_brake_cylinder = Fixed::from_real(250.2L);
  s.trailer_brake_cylinder = Fixed::from_real(260.7L);
  s.electric_brake_current = 181.5L;
  s.current_frame = 1234;
  s.filmed_speed = 60;
  s.time_driven_frame = 7;
  s.film_mode = 2;
  s.distance_to_stop = 12345;
  s.position = 5678999;
  s.target_stop_position = 277778;
  s.next_station = 1;
  s.power_handle = 3;
  s.effective_power_notch = 2;
  s.brake_handle = -1;
  s.effective_brake_notch = -1;
  s.straight_air_notch = 0;
  s.electric_brake_notch = -1;
  s.shown_other_sign = 4;
  s.pre_train_frame = 2500;
  s.pattern_target_distance = 45678;
  s.pattern_target_speed = 45;
  s.pattern_brake_speed = 70;
  s.pattern_warning_speed = 65;
  s.lookahead[0] = {2, 60, 0, 23456, 100};
  s.lookahead[3] = {0, 25, 1, 80000, 100};
  s.current_signal_picture = 4;
  s.last_drawn_signal_picture = 4;
  s.ats_check_speed = 45;
  const ValueDisplay d = value_display(*t.run, {1230, 29});
  // (50000 - 8333.3) / (300 x 1000) x 3.6 = 0.5 km/h/s
  const std::pair<ValueRow, std::string> expected[] = {
      {ValueRow::kSpeed, "63.2 km/h"},
      {ValueRow::kAcceleration, "0.5 km/h/s"},
      {ValueRow::kSlope, "-11 Permil"},
      {ValueRow::kPower, "50000 N"},
      {ValueRow::kResistance, "-8333 N"},
      {ValueRow::kCurrent, "-412 A"},
      {ValueRow::kRpm, "1234"},
      {ValueRow::kGear, "Gn 2 Gp 3"},
      {ValueRow::kFriction, "空転 0.35 98765N"},
      {ValueRow::kSap, "120 kPa"},
      {ValueRow::kEr, "490 kPa"},
      {ValueRow::kMr, "800 kPa"},
      {ValueRow::kBrakeM, "250k"},
      {ValueRow::kBrakeT, "261k"},
      {ValueRow::kBrakeE, "182A"},
      {ValueRow::kFrame, "1234"},
      {ValueRow::kProjected, "60 km/h"},
      {ValueRow::kFrameSub, "7"},
      {ValueRow::kDrawing, "1230"},
      {ValueRow::kMovie, "2"},
      {ValueRow::kFps, "29"},
      {ValueRow::kRemain, "123 m"},
      {ValueRow::kTotal, "56790 m"},
      {ValueRow::kNextStation, "2778 m 1"},
      {ValueRow::kNotch, "P 4 3 2 B 8 -1 -1 0 -1"},
      {ValueRow::kSign, "4"},
      {ValueRow::kSound, "Sound D:2 L:1 M:0 K:1"},
      {ValueRow::kAhead, "2500"},
      {ValueRow::kAtsp, "457/45/70/65"},
      {ValueRow::kLimit, "234/60"},
      {ValueRow::kCheck, "800/25"},
  };
  for (const auto& [r, text] : expected) EXPECT_EQ(row(d, r), text) << kValueCaptions[size_t(r)];
  EXPECT_EQ(d.signal, "Signal now:4 now2:4 lim_now:45");
  // The train ahead between 東駅 (frame 100) and 西駅 (frame 5000).
  EXPECT_EQ(d.ahead_between, "(東駅～西駅)");
  EXPECT_EQ(d.bar_motor, 250);
  EXPECT_EQ(d.bar_trailer, 261);
  EXPECT_EQ(d.bar_electric, 182);
}

TEST(ValueDisplay, TheSignalsAheadOfTheTrainsBlock) {
  test::TestRun t(test::TrainFileText{},
                  test::test_route_text("[Signal]\n"
                                        "0,0,0,4,0,0,0,100,0,0,0,0,0\n"
                                        "0,0,0,4,0,0,0,900,0,0,0,0,0\n"
                                        "0,0,0,4,0,0,0,1900,0,0,0,0,0\n#\n"));
  RouteTables& route = *t.run->route;
  for (int i = 0; i < 3; ++i) {
    route.Signal[size_t(i)].aspect = 4 - i;
    route.Signal[size_t(i)].display_number = 10 + i;
  }
  t.s().current_frame = 950;  // the block of the second signal
  const ValueDisplay d = value_display(*t.run, {});
  EXPECT_EQ(d.signals_ahead[0], "2 12");
  for (size_t k = 1; k < kSignalsAhead; ++k) EXPECT_EQ(d.signals_ahead[k], "") << k;
  t.s().current_frame = 50;  // before the first signal
  EXPECT_EQ(value_display(*t.run, {}).signals_ahead[0], "4 10");
  // No train ahead: no stations named; a train mass of 0 gives no acceleration.
  EXPECT_EQ(value_display(*t.run, {}).ahead_between, "");
  t.run->train.Tons = Fixed{};
  EXPECT_EQ(row(value_display(*t.run, {}), ValueRow::kAcceleration), "0.0 km/h/s");
}

}  // namespace
}  // namespace cabsim
