// A driver's sequence through the 33 ms and 100 ms steps in the order of the
// motion cycles: release from emergency, recharge, power away, brake with the
// electric brake holding the motor car.
#include <gtest/gtest.h>

#include "dynamics/air_brake.h"
#include "dynamics/brake_force.h"
#include "dynamics/compressor.h"
#include "dynamics/electric_brake.h"
#include "dynamics/traction.h"
#include "dynamics/traction_current.h"
#include "input/handle_keys.h"
#include "sound/sound_channels_silent.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::TrainFileText;

struct DrivenRun {
  TrainParams train = TrainFileText{}.set("[Hold]", "1").read();
  CabworksText texts = test::test_texts();
  SilentSoundChannels sounds;
  RunState s = initial_run_state(train);
  RunView view;
  int elapsed_ms = 0;

  void press(char key) { apply_handle_key(s, view, key, train, texts, sounds); }

  /// Runs `ms` of simulated time: a 33 ms cycle every 33 ms, a 100 ms tick
  /// every 100 ms, the cycle first when both fall due together.
  void run(int ms) {
    for (int end = elapsed_ms + ms; elapsed_ms < end; ++elapsed_ms) {
      if (elapsed_ms % 33 == 0) {
        s.tractive_force = Fixed();
        traction_step(s, train, sounds);
        power_notch_delay_step(s, train);
        air_brake_step(s, train);
      }
      if (elapsed_ms % 100 == 0) {
        brake_force_step(s, train);
        motor_current_step(s, view, train);
        electric_brake_step(s, train);
        compressor_step(s, train, sounds);
        voltmeter_step(s);
      }
      sounds.advance(1);
    }
  }
};

TEST(DrivingSequence, ReleasePowerAwayAndBrakeElectrically) {
  DrivenRun r;
  r.run(1000);
  EXPECT_EQ(r.s.trailer_brake_cylinder.real(), 440);  // held in emergency
  EXPECT_EQ(r.s.voltmeter_value.real(), 1500);
  // Seven steps up from emergency to B1, then hold, then 0.
  for (int i = 0; i < 7; ++i) r.press('8');
  EXPECT_EQ(r.s.brake_handle, -1);
  EXPECT_EQ(r.view.brake_text, "B1");
  r.press('8');
  EXPECT_EQ(r.view.brake_text, "抑速");
  r.press('8');
  EXPECT_EQ(r.view.brake_text, "ブレーキ緩め");
  EXPECT_EQ(r.view.power_text, "切");
  // The pipe recharges at 1.6 kPa a cycle; the brake releases once it passes 385 kPa.
  r.run(9000);
  EXPECT_EQ(r.s.effective_brake_notch, 0);
  EXPECT_GT(r.s.brake_pipe.real(), 385);
  EXPECT_LT(r.s.trailer_brake_cylinder.real(), 440);
  r.run(20000);
  EXPECT_EQ(r.s.trailer_brake_cylinder.count(), 0);
  EXPECT_EQ(r.s.motor_brake_cylinder.count(), 0);
  EXPECT_EQ(r.s.brake_pipe.real(), 490);

  // Notch 1: the force appears five cycles later, the ammeter on the next tick.
  r.press('8');
  EXPECT_EQ(r.view.power_text, "P1");
  r.run(5 * 33);
  EXPECT_EQ(r.s.effective_power_notch, 1);
  r.run(200);
  const Fixed full = Fixed::from_real(3.0L / 3.6L * 260 * 1000);
  EXPECT_EQ(r.s.tractive_force, full);
  EXPECT_EQ(r.s.published_tractive_force, full);
  EXPECT_EQ(r.s.motor_current, 150);

  // At 40 km/h, down through 0, hold and B1 to B3.
  r.s.speed = 40;
  for (int i = 0; i < 5; ++i) r.press('2');
  EXPECT_EQ(r.s.brake_handle, -3);
  EXPECT_EQ(r.view.brake_text, "B3");
  r.run(3000);
  EXPECT_EQ(r.s.effective_power_notch, 0);
  EXPECT_EQ(r.s.tractive_force.count(), 0);
  EXPECT_EQ(r.s.effective_brake_notch, -3);
  EXPECT_EQ(r.s.electric_brake_notch, -3);
  // 700 A x 3/7 = 300 A, approached in 40 A steps to within 50 A.
  EXPECT_EQ(r.s.electric_brake_current, 280);
  EXPECT_EQ(r.s.motor_current, -280);
  EXPECT_EQ(r.s.motor_brake_cylinder.real(), 100);  // held at `[ELBR]`
  const long double target = 440.0L * 3 / 7;
  EXPECT_GT(r.s.trailer_brake_cylinder.real(), target - 10);
  EXPECT_LE(r.s.trailer_brake_cylinder.real(), target);
  long double air =
      4.0L / 3.6L * 1000 / 440 * (100 * 120 + r.s.trailer_brake_cylinder.real() * (80 + 60));
  long double electric = 280 * 3.5L / 700 / 3.6L * 1000 * 120;
  EXPECT_NEAR(static_cast<double>(r.s.brake_force.real()), static_cast<double>(air + electric),
              1e-3);
  // Below the fading speed the electric brake dies and the air brake takes over.
  r.s.speed = 5;
  r.run(3000);
  EXPECT_EQ(r.s.electric_brake_current, 0);
  EXPECT_GT(r.s.motor_brake_cylinder.real(), target - 10);
}

}  // namespace
}  // namespace cabsim
