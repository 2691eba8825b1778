// ATS-S: the bell, the acknowledgement, the emergency after [ATS_Time], the
// stop aspect passed; ATS-P: the pattern target, its speeds and states; the
// protection reset.
#include "operation/ats.h"

#include <gtest/gtest.h>

#include "operation/vigilance.h"
#include "run/form_handlers.h"
#include "run/keyboard.h"
#include "run/start_pause.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

using test::TestRun;
using test::TrainFileText;

constexpr int kBell = 30;
constexpr int kChime = 31;
constexpr int kAtc = 32;

TrainFileText ats_train(int type = 0) {
  return TrainFileText{}
      .set("[ATS_Type]", std::to_string(type))
      .set("[ATS_Time]", "5")
      .set("[ATS_Cnt]", "0")
      .set("[Sound_Ats1]", std::to_string(kBell))
      .set("[Sound_Ats2]", std::to_string(kChime))
      .set("[Sound_Atc]", std::to_string(kAtc));
}

struct AtsRun : TestRun {
  explicit AtsRun(const TrainFileText& train = ats_train(),
                  const std::string& route = test::test_route_text())
      : TestRun(train, route) {
    for (int c : {kBell, kChime, kAtc, test::kSoundEB}) sounds.set_length(c, 2000);
    for (PanelElement e : {PanelElement::kLampAts1, PanelElement::kLampAts2,
                           PanelElement::kLampAtsp1, PanelElement::kLampAtsp2})
      v().panel[e].present = 1;
    start1Click(*run);
    s().brake_handle = -3;  // braking, as a driver does at a warning
  }
  bool playing(int c) { return sounds.status(c) != ChannelStatus::kStopped; }
  bool lamp(PanelElement e) { return v().panel[e].visible != 0; }
};

TEST(AtsS, TheBellIsAcknowledgedWhileBrakingAndTheChimeFollows) {
  AtsRun t;
  RunState& s = t.s();
  s.ats_check_speed = kPassedAtDanger;  // the transponder of a signal at stop
  ats_s_step(*t.run);
  EXPECT_EQ(s.alarm_flag, 1);
  EXPECT_EQ(t.sounds.status(kBell), ChannelStatus::kLooping);
  EXPECT_FALSE(t.lamp(PanelElement::kLampAts1));
  EXPECT_TRUE(t.lamp(PanelElement::kLampAts2));
  EXPECT_EQ(s.alarm_check_speed, kPassedAtDanger);
  for (int i = 0; i < 30; ++i) ats_s_step(*t.run);
  EXPECT_EQ(s.protection_emergency_flag, 0);
  AsciiDown(*t.run, ' ');
  EXPECT_EQ(s.alarm_flag, 0);
  EXPECT_EQ(s.acknowledged_flag, 1);
  EXPECT_EQ(s.alarm_counter, 0);
  ats_s_step(*t.run);
  EXPECT_FALSE(t.playing(kBell));
  EXPECT_EQ(t.sounds.status(kChime), ChannelStatus::kLooping);
  EXPECT_TRUE(t.lamp(PanelElement::kLampAts1));
  EXPECT_FALSE(t.lamp(PanelElement::kLampAts2));
  // Acknowledged: passing the signal at stop raises no new alarm.
  s.ats_check_speed = 0;
  for (int i = 0; i < 100; ++i) ats_s_step(*t.run);
  EXPECT_EQ(s.alarm_flag, 0);
  EXPECT_EQ(s.protection_emergency_flag, 0);
  // A second press stops the chime.
  AsciiDown(*t.run, ' ');
  EXPECT_FALSE(t.playing(kChime));
}

TEST(AtsS, WithoutAcknowledgementTheEmergencyBrakeFollowsAfterTheAlarmTime) {
  AtsRun t;
  RunState& s = t.s();
  s.ats_check_speed = kPassedAtDanger;
  for (int i = 1; i <= 50; ++i) {
    ats_s_step(*t.run);
    ASSERT_EQ(s.protection_emergency_flag, 0) << i;
  }
  ats_s_step(*t.run);  // the 51st tick: [ATS_Time] x 10 + 1
  EXPECT_EQ(s.protection_emergency_flag, 1);
  EXPECT_TRUE(t.playing(test::kSoundEB));
  EXPECT_EQ(s.brake_change_pending, 1);
  EXPECT_EQ(s.alarm_counter, 0);
  // Acknowledging under the emergency does nothing; the reset needs the
  // handle at emergency and a standing train.
  AsciiDown(*t.run, ' ');
  EXPECT_EQ(s.alarm_flag, 1);
  s.speed = 3;
  AsciiDown(*t.run, '0');
  AsciiDown(*t.run, 'r');
  EXPECT_EQ(s.protection_emergency_flag, 1);
  s.speed = 0.05L;
  AsciiDown(*t.run, 'r');
  EXPECT_EQ(s.protection_emergency_flag, 0);
  EXPECT_EQ(s.alarm_flag, 0);
  EXPECT_FALSE(t.playing(kBell));
  EXPECT_TRUE(t.lamp(PanelElement::kLampAts1));
  EXPECT_FALSE(t.lamp(PanelElement::kLampAts2));
}

TEST(AtsS, AStopAspectPassedBrakesAtOnceAndB1IsNoAcknowledgementWithBrakeType0) {
  AtsRun passed;
  passed.s().ats_check_speed = 0;
  ats_s_step(*passed.run);
  EXPECT_EQ(passed.s().alarm_flag, 1);
  EXPECT_EQ(passed.s().protection_emergency_flag, 1);
  // The reset ends the check: the train may move on.
  passed.s().brake_handle = -8;
  AsciiDown(*passed.run, 'r');
  EXPECT_EQ(passed.s().ats_check_speed, kNoCheck);
  ats_s_step(*passed.run);
  EXPECT_EQ(passed.s().alarm_flag, 0);
  EXPECT_EQ(passed.s().protection_emergency_flag, 0);

  AtsRun b1(ats_train().set("[BrakeType]", "0"));
  RunState& s = b1.s();
  s.brake_handle = -1;
  s.ats_check_speed = kPassedAtDanger;
  ats_s_step(*b1.run);
  AsciiDown(*b1.run, ' ');
  EXPECT_EQ(s.alarm_flag, 1);  // refused
  s.brake_handle = -2;
  AsciiDown(*b1.run, ' ');
  EXPECT_EQ(s.alarm_flag, 0);
  // Released brake: refused on any train.
  AtsRun released;
  released.s().brake_handle = 0;
  released.s().ats_check_speed = kPassedAtDanger;
  ats_s_step(*released.run);
  AsciiDown(*released.run, ' ');
  EXPECT_EQ(released.s().alarm_flag, 1);
}

TEST(AtsS, AnAlarmRequestBrakesOnTheNextStepAndAlarmKind1ChecksTheSpeed) {
  AtsRun t;
  ats_alarm_request(t.s(), t.run->train);
  EXPECT_EQ(t.s().alarm_counter, 50);
  ats_s_step(*t.run);
  EXPECT_EQ(t.s().protection_emergency_flag, 1);

  AtsRun kind1(ats_train().set("[ATS_Alert]", "1"));
  kind1.s().ats_check_speed = 45;
  kind1.s().speed = 45;
  ats_s_step(*kind1.run);
  EXPECT_EQ(kind1.s().alarm_flag, 0);
  kind1.s().speed = 45.5L;
  ats_s_step(*kind1.run);
  EXPECT_EQ(kind1.s().alarm_flag, 1);

  // ATS off, or another system: nothing.
  AtsRun off;
  off.s().ats_on = 0;
  off.s().ats_check_speed = 0;
  ats_s_step(*off.run);
  EXPECT_EQ(off.s().alarm_flag, 0);
  AtsRun p(ats_train(kAtsP));
  p.s().ats_check_speed = 0;
  ats_s_step(*p.run);
  EXPECT_EQ(p.s().alarm_flag, 0);
  // A huge [ATS_Time] saturates instead of overflowing.
  AtsRun huge(ats_train().set("[ATS_Time]", "2147483647"));
  ats_alarm_request(huge.s(), huge.run->train);
  EXPECT_EQ(huge.s().alarm_counter, 2147483647);
  ats_s_step(*huge.run);
  EXPECT_EQ(huge.s().protection_emergency_flag, 1);
}

/// An ATS-P run whose route event list holds one event `ahead` cm in front
/// of the train.
struct PatternRun : AtsRun {
  PatternRun(int32_t kind, long double ahead, int32_t value = 0)
      : AtsRun(ats_train(kAtsP).set("[BrakeRate]", "3.0\n3.5\n10")) {
    RouteTables& r = *run->route;
    r.Signal_count = 2;
    r.Signal[1].type = 5;
    r.Signal[1].aspect = 0;
    r.events[0] = RouteEvent{100000, value, 1, 0, kind};
    r.event_count = 1;
    s().position = 100000 - ahead;
    s().section_upper_speed = 105;
    s().section_permitted_speed = 100;
  }
};

TEST(AtsP, ARedSignal310mAheadGivesAPatternOf69) {
  PatternRun t(kEventSignal, 31000);
  RunState& s = t.s();
  s.speed = 60;
  ats_p_step(*t.run);
  EXPECT_EQ(s.pattern_target_speed, 0);
  EXPECT_EQ(s.pattern_target_distance, 31000);
  EXPECT_EQ(s.pattern_brake_speed, 69);    // sqrt(5.76 x 3 x 300) - 3
  EXPECT_EQ(s.pattern_warning_speed, 64);  // over 260 m
  EXPECT_EQ(s.pattern_state, kPatternFree);
  s.speed = 64.6L;
  ats_p_step(*t.run);
  EXPECT_EQ(s.pattern_state, kPatternApproach);
  EXPECT_TRUE(t.playing(kAtc));
  EXPECT_TRUE(t.lamp(PanelElement::kLampAtsp1));
  // Over the brake pattern with a stop target: state 3, held after the
  // speed falls, until the reset.
  s.speed = 70;
  ats_p_step(*t.run);
  EXPECT_EQ(s.pattern_state, kPatternBrakingSlow);
  EXPECT_EQ(s.pattern_brake_flag, 1);
  EXPECT_TRUE(t.lamp(PanelElement::kLampAtsp2));
  s.speed = 5;
  t.run->route->Signal[1].aspect = 4;
  for (int i = 0; i < 5; ++i) ats_p_step(*t.run);
  EXPECT_EQ(s.pattern_state, kPatternBrakingSlow);
  s.speed = 0;
  AsciiDown(*t.run, '0');
  AsciiDown(*t.run, 'r');
  EXPECT_EQ(s.pattern_brake_flag, 0);
}

TEST(AtsP, ALimitBrakesToItsSpeedAndReleasesBelowIt) {
  PatternRun t(1, 20000, 45);
  RunState& s = t.s();
  s.speed = 80;
  ats_p_step(*t.run);
  EXPECT_EQ(s.pattern_target_speed, 50);
  EXPECT_EQ(s.pattern_state, kPatternBraking);
  EXPECT_EQ(s.pattern_brake_flag, 1);
  s.speed = 49.4L;
  ats_p_step(*t.run);
  EXPECT_EQ(s.pattern_state, kPatternFree);
  EXPECT_EQ(s.pattern_brake_flag, 0);
  EXPECT_FALSE(t.lamp(PanelElement::kLampAtsp1));
}

TEST(AtsP, TheHorizonIs600mAndAStopStationKeepsAPatternOfOne) {
  PatternRun far(kEventSignal, 70000);
  far.s().speed = 60;
  ats_p_step(*far.run);
  EXPECT_EQ(far.s().pattern_target_speed, 100);  // the section's U - 5
  EXPECT_EQ(far.s().pattern_target_distance, 0);
  EXPECT_EQ(far.s().pattern_brake_speed, 105);
  EXPECT_EQ(far.s().pattern_warning_speed, 100);

  PatternRun station(kEventStopStation, 900, 10);
  station.run->route->events[0].station = 1;
  station.s().speed = 5;
  ats_p_step(*station.run);
  EXPECT_EQ(station.s().pattern_target_speed, 10);
  EXPECT_EQ(station.s().pattern_brake_speed, 10);
  station.run->route->events[0].value = 0;
  ats_p_step(*station.run);
  EXPECT_EQ(station.s().pattern_brake_speed, 1);

  // A negative or zero braking rate, a signal the table lacks: no fault.
  PatternRun odd(kEventSignal, 31000);
  odd.run->train.BrakeRate[0] = Fixed::from_real(-50);
  odd.s().speed = 30;
  ats_p_step(*odd.run);
  odd.run->route->events[0].signal = 400;
  ats_p_step(*odd.run);
  EXPECT_EQ(odd.s().pattern_target_speed, 0);
}

TEST(AtsS, BeginnerModeSwitchesTheAtsOffAndBackOnWithItsLamp) {
  AtsRun t;
  OFF2Click(*t.run, true);
  EXPECT_EQ(t.s().ats_on, 0);
  t.s().ats_check_speed = 0;
  ats_s_step(*t.run);
  EXPECT_EQ(t.s().alarm_flag, 0);
  t.v().panel.show(PanelElement::kLampAts1, false);
  OFF2Click(*t.run, false);
  EXPECT_EQ(t.s().ats_on, 1);
  EXPECT_TRUE(t.lamp(PanelElement::kLampAts1));
}

TEST(ProtectionReset, ReleasesTheVigilanceEmergencyOnceStandingAtTheEmergencyPosition) {
  AtsRun t(ats_train().set("[EB]", "1"));
  RunState& s = t.s();
  s.brake_handle = 0;
  s.speed = 30;
  for (int i = 0; i < 651; ++i) vigilance_step(*t.run);
  ASSERT_EQ(s.protection_emergency_flag, 1);
  AsciiDown(*t.run, 'r');  // running, handle released: refused
  EXPECT_EQ(s.protection_emergency_flag, 1);
  s.speed = 0;
  AsciiDown(*t.run, '0');
  AsciiDown(*t.run, 'r');
  EXPECT_EQ(s.protection_emergency_flag, 0);
  EXPECT_EQ(s.pattern_brake_flag, 0);
}

}  // namespace
}  // namespace cabsim
