// The panel's lamps, handle pictures, cab signal display and tunnel shade.
#include "presentation/panel_lamps.h"

#include <gtest/gtest.h>

#include "input/handle_model.h"
#include "input/handle_pictures.h"
#include "input/masconupdate.h"
#include "state/panel_layout.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using E = PanelElement;

PanelState all_present(int32_t patterns = 1) {
  PanelState panel = initial_panel_state();
  for (auto& sprite : panel.sprites) {
    sprite.present = 1;
    sprite.pattern_count = patterns;
  }
  return panel;
}

TrainParams eight_step_train() {
  TrainParams train;
  train.Brake = 8;
  train.BrakeType = 1;
  train.Power = 5;
  return train;
}

TEST(PanelLamps, RunningLampsFollowNotchesCurrentsAndDoors) {
  TrainParams train = eight_step_train();
  RunState s = initial_run_state(train);
  RunView view;
  view.panel = all_present();
  PanelState& panel = view.panel;

  s.effective_power_notch = 2;
  s.brake_handle = s.effective_brake_notch = 0;
  update_running_lamps(s, view, train);
  EXPECT_TRUE(panel[E::kLampPower].visible);
  EXPECT_TRUE(panel[E::kLampEle].visible);
  EXPECT_FALSE(panel[E::kLampAir].visible);
  EXPECT_FALSE(panel[E::kLampGen].visible);

  s.doors_open = 1;  // the door interlock cuts power: both lamps go dark
  update_running_lamps(s, view, train);
  EXPECT_FALSE(panel[E::kLampPower].visible);
  EXPECT_FALSE(panel[E::kLampEle].visible);
  s.doors_open = 0;

  // Service braking with the electric brake working.
  s.effective_power_notch = 0;
  s.brake_handle = s.effective_brake_notch = -3;
  s.electric_brake_current = 120;
  update_running_lamps(s, view, train);
  EXPECT_TRUE(panel[E::kLampAir].visible);
  EXPECT_TRUE(panel[E::kLampGen].visible);
  EXPECT_TRUE(panel[E::kLampEle].visible);

  // Emergency: no service notch, the electric lamp needs the handle above it.
  s.brake_handle = s.effective_brake_notch = -8;
  update_running_lamps(s, view, train);
  EXPECT_FALSE(panel[E::kLampAir].visible);
  EXPECT_FALSE(panel[E::kLampGen].visible);
  EXPECT_FALSE(panel[E::kLampEle].visible);

  // Hold on a downhill push with the brake current flowing.
  s.brake_handle = s.effective_brake_notch = 0;
  s.hold_active = 1;
  s.resistance_force = Fixed::from_real(500);
  update_running_lamps(s, view, train);
  EXPECT_TRUE(panel[E::kLampGen].visible);
  s.hold_active = 0;
  s.electric_brake_current = 0;

  // A retarding power notch pulling back lights the regeneration lamp.
  train.Notch_count = 2;
  train.Notch[1].a0 = -1.5L;
  s.power_handle = 2;
  s.tractive_force = Fixed::from_real(-2000);
  update_running_lamps(s, view, train);
  EXPECT_TRUE(panel[E::kLampGen].visible);
  s.power_handle = 7;  // no curve row for this notch: no lamp, no read past the table
  update_running_lamps(s, view, train);
  EXPECT_FALSE(panel[E::kLampGen].visible);

  view.step_end_lamp = 1;
  view.constant_speed_lamp = 1;
  update_running_lamps(s, view, train);
  EXPECT_TRUE(panel[E::kLampFin].visible);
  EXPECT_TRUE(panel[E::kLampConst].visible);

  view.panel = initial_panel_state();  // nothing made: nothing touched
  update_running_lamps(s, view, train);
  EXPECT_FALSE(view.panel[E::kLampConst].visible);
}

TEST(PanelLamps, HandlePicturesTakeOnlyPatternsTheirPicturesHave) {
  TrainParams train = eight_step_train();
  RunState s = initial_run_state(train);
  RunView view;
  view.panel = all_present(10);
  PanelState& panel = view.panel;
  view.power_notch_pattern = 3;
  view.brake_notch_pattern = 9;
  view.gear_pattern = 2;
  view.forward_lamp = 0;
  view.backward_lamp = 1;
  show_handle_pictures(s, view, train);
  EXPECT_EQ(panel[E::kNotchP].pattern, 3);
  EXPECT_EQ(panel[E::kNotchB].pattern, 9);
  EXPECT_EQ(panel[E::kNotchP2].pattern, 3);
  EXPECT_EQ(panel[E::kNotchB2].pattern, 9);
  EXPECT_EQ(panel[E::kGear].pattern, 2);
  EXPECT_FALSE(panel[E::kLampFwd].visible);
  EXPECT_TRUE(panel[E::kLampBack].visible);

  view.brake_notch_pattern = 10;  // one past the last pattern: the picture stays
  view.power_notch_pattern = -1;
  show_handle_pictures(s, view, train);
  EXPECT_EQ(panel[E::kNotchB].pattern, 9);
  EXPECT_EQ(panel[E::kNotchP].pattern, 3);

  // While protection holds the brake the second pair keeps its pictures.
  s.protection_emergency_flag = 1;
  view.brake_notch_pattern = 8;
  view.power_notch_pattern = 0;
  show_handle_pictures(s, view, train);
  EXPECT_EQ(panel[E::kNotchB].pattern, 8);
  EXPECT_EQ(panel[E::kNotchB2].pattern, 9);
  EXPECT_EQ(panel[E::kNotchP2].pattern, 3);

  // A one-lever train with hold hides its power picture on the brake side.
  s.protection_emergency_flag = 0;
  train.Hold = 1;
  train.Handle = 0;
  s.brake_handle = -2;
  show_handle_pictures(s, view, train);
  EXPECT_FALSE(panel[E::kNotchP].visible);
  EXPECT_FALSE(panel[E::kNotchP2].visible);
  s.brake_handle = 0;
  show_handle_pictures(s, view, train);
  EXPECT_TRUE(panel[E::kNotchP].visible);
  train.Handle = 1;  // two handles: the power picture always shows
  s.brake_handle = -2;
  show_handle_pictures(s, view, train);
  EXPECT_TRUE(panel[E::kNotchP].visible);
}

TEST(PanelLamps, EveryHandleRefreshShowsThePicturesAtOnce) {
  TrainParams train = eight_step_train();
  CabworksText texts = test::test_texts();
  RunState s = initial_run_state(train);
  RunView view;
  view.panel = all_present(10);
  s.brake_handle = -3;
  s.power_handle = 0;
  masconupdate(s, view, train, texts);
  EXPECT_EQ(view.panel[E::kNotchB].pattern, 3);
  EXPECT_EQ(view.panel[E::kNotchB2].pattern, 3);
  EXPECT_TRUE(view.panel[E::kLampFwd].visible);
  EXPECT_TRUE(move_reverser(s, view, -1, train, texts));
  EXPECT_FALSE(view.panel[E::kLampFwd].visible);
  EXPECT_TRUE(view.panel[E::kLampBack].visible);
}

TEST(PanelLamps, CabSignalShowsThePatternOfTheListedSpeed) {
  CabPanelDefinition def;
  def.Lamp_signal_speeds = {0, 25, 45};
  def.Lamp_signal_count = 3;
  EXPECT_EQ(cab_signal_pattern(def, 25), 1);
  EXPECT_EQ(cab_signal_pattern(def, 0), 0);
  EXPECT_EQ(cab_signal_pattern(def, 30), std::nullopt);
  def.Lamp_signal_count = 2;  // 45 is beyond the list's count
  EXPECT_EQ(cab_signal_pattern(def, 45), std::nullopt);
  def.Lamp_signal_count = 99;  // a damaged count reads no further than the table
  EXPECT_EQ(cab_signal_pattern(def, 12345), std::nullopt);
  def.Lamp_signal_count = 3;

  RunState s;
  RunView view;
  view.panel = all_present(3);
  PanelState& panel = view.panel;
  hide_cab_signal(view);
  EXPECT_FALSE(panel[E::kCabSignal].visible);
  EXPECT_EQ(view.cab_signal_frame, -1);
  EXPECT_TRUE(show_cab_signal_speed(view, def, 25));
  EXPECT_TRUE(panel[E::kCabSignal].visible);
  EXPECT_EQ(panel[E::kCabSignal].pattern, 1);
  EXPECT_EQ(view.cab_signal_frame, 2);
  EXPECT_FALSE(show_cab_signal_speed(view, def, 30));
  EXPECT_EQ(panel[E::kCabSignal].pattern, 1);

  panel[E::kCabSignal].pattern_count = 2;  // the list names a pattern the picture lacks
  EXPECT_TRUE(show_cab_signal_speed(view, def, 45));
  EXPECT_FALSE(panel[E::kCabSignal].visible);

  panel[E::kCabSignal].pattern_count = 6;
  show_cab_signal_aspect(panel, 39);
  EXPECT_TRUE(panel[E::kCabSignal].visible);
  EXPECT_EQ(panel[E::kCabSignal].pattern, 2);
  show_cab_signal_aspect(panel, 36);
  EXPECT_FALSE(panel[E::kCabSignal].visible);
  show_cab_signal_aspect(panel, 37 + 6);
  EXPECT_FALSE(panel[E::kCabSignal].visible);
}

TEST(PanelLamps, ExtraPicturesShowNotchOffAndCabSignalMode) {
  PanelState panel = all_present();
  update_other_indicators(panel, true, 1);
  EXPECT_TRUE(panel[other_picture(3)].visible);
  EXPECT_TRUE(panel[other_picture(5)].visible);
  update_other_indicators(panel, false, 2);
  EXPECT_FALSE(panel[other_picture(3)].visible);
  EXPECT_FALSE(panel[other_picture(5)].visible);
}

TEST(TunnelShade, FadesInAndOutOverFifteenMetresAndLaterRowsWin) {
  RouteTables route;
  route.Tunnel_count = 2;
  route.Tunnel[0] = {0, 0, 200, 10000, 50000};
  route.Tunnel[1] = {0, 0, 100, 40000, 45000};
  EXPECT_EQ(tunnel_shade_level(route, 10000), 0);  // the portal itself is outside
  EXPECT_EQ(tunnel_shade_level(route, 10750), 100);
  EXPECT_EQ(tunnel_shade_level(route, 11500), 200);
  EXPECT_EQ(tunnel_shade_level(route, 30000), 200);
  EXPECT_EQ(tunnel_shade_level(route, 49250), 100);  // 7.5 m before the exit
  EXPECT_EQ(tunnel_shade_level(route, 42000), 100);  // the inner row wins
  EXPECT_EQ(tunnel_shade_level(route, 50001), 0);
  // 1 cm in: 1 / (1500 / 200) = 0.133 rounds to 0.
  EXPECT_EQ(tunnel_shade_level(route, 10001), 0);
  // 3.75 cm in at darkness 200: exactly 0.5, half to even gives 0; 11.25 cm: 1.5 -> 2.
  EXPECT_EQ(tunnel_shade_level(route, 10003.75L), 0);
  EXPECT_EQ(tunnel_shade_level(route, 10011.25L), 2);

  route.Tunnel_count = 1;
  route.Tunnel[0].darkness = 0;  // no shade, no division by zero
  EXPECT_EQ(tunnel_shade_level(route, 10750), 0);
  route.Tunnel[0].darkness = 900;  // beyond an alpha value
  EXPECT_EQ(tunnel_shade_level(route, 30000), 255);
  route.Tunnel[0].darkness = -40;
  EXPECT_EQ(tunnel_shade_level(route, 30000), 0);
  route.Tunnel_count = 100000;  // a damaged count reads no further than the table
  EXPECT_EQ(tunnel_shade_level(route, 30000), 0);

  route.Tunnel_count = 1;
  route.Tunnel[0].darkness = 180;
  PanelState panel = all_present();
  update_tunnel_shade(panel, route, 30000, false);
  EXPECT_TRUE(panel[E::kPanel2].visible);
  EXPECT_EQ(panel[E::kPanel2].alpha, 180);
  update_tunnel_shade(panel, route, 30000, true);  // visual effects off
  EXPECT_FALSE(panel[E::kPanel2].visible);
  update_tunnel_shade(panel, route, 60000, false);
  EXPECT_FALSE(panel[E::kPanel2].visible);
  PanelState without_panel2 = initial_panel_state();
  update_tunnel_shade(without_panel2, route, 30000, false);
  EXPECT_EQ(without_panel2[E::kPanel2].alpha, 0);
}

}  // namespace
}  // namespace cabsim
