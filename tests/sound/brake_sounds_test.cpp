// The brake squeal, the release sounds of a stepped brake and the handle
// sounds after a key, for the automatic and the stepped brake.
#include "sound/brake_sounds.h"

#include <gtest/gtest.h>

#include "support/bare_run.h"

namespace cabsim {
namespace {

using test::BareRun;

constexpr int kSqueal = 3;
constexpr int kRelease = 4;   ///< `[Sound_BK]` entries
constexpr int kEase = 5;      ///< `[Sound_BR]` entries
constexpr int kApply = 6;     ///< `[Sound_BA]` entries
constexpr int kValve = 7;     ///< the last `[Sound_BA]` entry: emergency valve
constexpr int kNotch = 8;     ///< `[Sound_PA]` entries
constexpr int kNotchOff = 9;  ///< `[Sound_PR]` entries

struct BrakeRun : BareRun {
  explicit BrakeRun(int brake_type = 1) {
    TrainParams& t = run.train;
    t.DriveSound_count = 12;
    t.BrakeType = brake_type;
    t.Brake = 8;
    t.Power = 4;
    t.EBPress = 400;
    t.Sound_squeak = kSqueal;
    t.Sound_BK_count = t.Sound_BR_count = 8;
    t.Sound_BA_count = 9;
    t.Sound_PA_count = t.Sound_PR_count = 4;
    for (int i = 0; i < 8; ++i) {
      t.Sound_BK[static_cast<size_t>(i)] = kRelease;
      t.Sound_BR[static_cast<size_t>(i)] = kEase;
      t.Sound_BA[static_cast<size_t>(i)] = kApply;
    }
    t.Sound_BA[8] = kValve;
    for (int i = 0; i < 4; ++i) {
      t.Sound_PA[static_cast<size_t>(i)] = kNotch;
      t.Sound_PR[static_cast<size_t>(i)] = kNotchOff;
    }
    for (int c = 0; c < 12; ++c) sounds.set_length(c, 500);
  }
  void cylinder(long double kpa) { s.trailer_brake_cylinder = Fixed::from_real(kpa); }
  bool playing(int c) const { return sounds.status(c) != ChannelStatus::kStopped; }
  /// Plays every channel out.
  void quiet() { sounds.advance(1000); }
};

TEST(BrakeSqueal, LevelFollowsTheCylinderAndFadesWhenItEmptiesOrTheTrainStands) {
  BrakeRun r;
  r.s.speed = 30;
  r.cylinder(100);
  brake_squeal_step(r.run);
  EXPECT_EQ(r.sounds.status(kSqueal), ChannelStatus::kLooping);
  EXPECT_EQ(r.sounds.volume(kSqueal), -2500);
  r.cylinder(400);
  brake_squeal_step(r.run);
  EXPECT_EQ(r.sounds.volume(kSqueal), -625);
  // While the electric brake works there is no squeal to start or set.
  r.s.electric_brake_current = 120;
  r.cylinder(100);
  brake_squeal_step(r.run);
  EXPECT_EQ(r.sounds.volume(kSqueal), -625);
  r.s.electric_brake_current = 0;
  // Cylinder empty: 10 dB a second.
  r.cylinder(0);
  brake_squeal_step(r.run);
  EXPECT_EQ(r.sounds.volume(kSqueal), -725);
  for (int i = 0; i < 43; ++i) brake_squeal_step(r.run);
  EXPECT_EQ(r.sounds.volume(kSqueal), -5025);
  EXPECT_FALSE(r.playing(kSqueal));
  // At a stand: 100 dB a second.
  r.cylinder(400);
  brake_squeal_step(r.run);
  r.s.speed = 0.5;
  brake_squeal_step(r.run);
  EXPECT_EQ(r.sounds.volume(kSqueal), -1625);
  EXPECT_TRUE(r.playing(kSqueal));
  for (int i = 0; i < 4; ++i) brake_squeal_step(r.run);
  EXPECT_FALSE(r.playing(kSqueal));
  for (int i = 0; i < 10; ++i) brake_squeal_step(r.run);
  EXPECT_EQ(r.sounds.volume(kSqueal), -10000);  // never below silence
  // A pressure of a fraction of a kPa gives silence, not a level below it.
  r.s.speed = 30;
  r.cylinder(0.0001L);
  brake_squeal_step(r.run);
  EXPECT_EQ(r.sounds.volume(kSqueal), -10000);
}

TEST(BrakeReleaseSounds, ReleasingPlaysTheReleaseSoundOnceAndEasingTheEaseSound) {
  BrakeRun r;
  r.s.brake_handle = 0;
  r.s.effective_brake_notch = -5;
  r.cylinder(250);
  brake_release_sound_step(r.run);
  EXPECT_TRUE(r.playing(kRelease));
  EXPECT_EQ(r.s.handle_sound_played, 1);
  r.quiet();
  brake_release_sound_step(r.run);
  EXPECT_FALSE(r.playing(kRelease));  // once per release
  r.s.effective_brake_notch = 0;
  r.cylinder(0);
  brake_release_sound_step(r.run);  // released: ready again
  EXPECT_EQ(r.s.handle_sound_played, 0);

  // Easing from B6 to B3 with the cylinder still above B3's pressure.
  r.s.brake_handle = -3;
  r.s.effective_brake_notch = -6;
  r.cylinder(300);  // 400 x 3 / 8 = 150 < 290
  brake_release_sound_step(r.run);
  EXPECT_TRUE(r.playing(kEase));
  EXPECT_EQ(r.s.handle_sound_played, 1);
  r.cylinder(155);  // 150 is not less than 145: cleared
  brake_release_sound_step(r.run);
  EXPECT_EQ(r.s.handle_sound_played, 0);

  // An automatic brake and a protection brake have no release sounds.
  r.quiet();
  r.cylinder(300);
  r.s.pattern_brake_flag = 1;
  brake_release_sound_step(r.run);
  EXPECT_FALSE(r.playing(kEase));
  BrakeRun automatic(0);
  automatic.s.effective_brake_notch = -5;
  automatic.cylinder(250);
  brake_release_sound_step(automatic.run);
  EXPECT_FALSE(automatic.playing(kRelease));
}

TEST(HandleSounds, ASteppedBrakeClicksOnApplyingAndTheValveSoundsAtSpeed) {
  BrakeRun r;
  r.s.effective_brake_notch = -2;
  r.s.brake_handle = -4;
  handle_sounds(r.run);
  EXPECT_TRUE(r.playing(kApply));
  r.quiet();
  // To emergency above 15 km/h: the valve, not the click.
  r.s.brake_handle = -8;
  r.s.speed = 40;
  handle_sounds(r.run);
  EXPECT_TRUE(r.playing(kValve));
  EXPECT_FALSE(r.playing(kApply));
  r.quiet();
  r.s.speed = 10;
  handle_sounds(r.run);
  EXPECT_FALSE(r.playing(kValve));
  EXPECT_TRUE(r.playing(kApply));
  // Moving further on while a release sound plays stops it first.
  r.sounds.play_once(kRelease);
  handle_sounds(r.run);
  EXPECT_FALSE(r.playing(kRelease));
}

TEST(HandleSounds, AnAutomaticBrakeHissesOnReleaseEaseAndApply) {
  BrakeRun r(0);
  r.s.effective_brake_notch = -3;
  r.s.brake_handle = 0;
  handle_sounds(r.run);
  EXPECT_TRUE(r.playing(release_sound(r.run.train)));
  r.quiet();
  r.s.brake_handle = -2;  // eased: entry 2 of [Sound_BR]
  handle_sounds(r.run);
  EXPECT_TRUE(r.playing(kEase));
  r.quiet();
  r.s.brake_handle = -5;
  handle_sounds(r.run);
  EXPECT_TRUE(r.playing(kApply));
  r.quiet();
  r.s.brake_handle = -8;  // emergency: not a service application
  handle_sounds(r.run);
  EXPECT_FALSE(r.playing(kApply));
}

TEST(HandleSounds, PowerNotchesClickAndNotchingOffHasItsOwnSound) {
  BrakeRun r;
  r.s.power_handle = 2;
  r.s.effective_power_notch = 1;
  handle_sounds(r.run);
  EXPECT_TRUE(r.playing(kNotch));
  r.quiet();
  r.s.power_handle = 0;
  r.s.effective_power_notch = 3;
  handle_sounds(r.run);
  EXPECT_TRUE(r.playing(kNotchOff));
  EXPECT_FALSE(r.playing(kNotch));
  r.quiet();
  r.s.power_handle = 1;
  handle_sounds(r.run);
  EXPECT_TRUE(r.playing(kNotch));
  // Nothing moved, nothing heard.
  r.quiet();
  r.s.effective_power_notch = 1;
  handle_sounds(r.run);
  EXPECT_FALSE(r.playing(kNotch));
}

TEST(HandleSounds, ListsAndSoundNumbersFromTheFileAreCheckedBeforeUse) {
  BrakeRun r;
  r.run.train.Sound_BA[3] = 250;  // not one of the train's sounds
  r.run.train.Sound_BA_count = 100000;
  r.run.train.Sound_PA_count = -3;
  r.s.effective_brake_notch = 0;
  r.s.brake_handle = -4;
  r.s.power_handle = 4;
  handle_sounds(r.run);
  EXPECT_FALSE(r.playing(kApply));
  EXPECT_FALSE(r.playing(kNotch));
  r.s.brake_handle = -1000;  // beyond every list
  handle_sounds(r.run);
  r.run.train.Brake = 0;
  r.s.brake_handle = -3;
  r.s.effective_brake_notch = -6;
  r.cylinder(300);
  brake_release_sound_step(r.run);
  EXPECT_EQ(r.s.handle_sound_played, 0);
}

}  // namespace
}  // namespace cabsim
