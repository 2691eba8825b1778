// Signal aspects from the train ahead and the control kinds, the pictures of
// the signal in view, the ATS check points and the cab-signal brake.
#include "operation/signals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_run.h"

namespace cabsim {
namespace {

using test::TestRun;
using test::TrainFileText;

/// A `[Signal]` row: control kind, sub picture, third value, type, view
/// start, view end, transponder frame, signal frame, fixed aspect, control
/// value, left, right and top pictures.
struct Row {
  int kind = 0, sub = 0, third = 0, type = 5, view_start = 0, view_end = 0, ats = 0, frame = 0,
      fixed = 0, control = 0, left = 0, right = 0, top = 0;
  std::string text() const {
    std::string t;
    for (int v : {kind, sub, third, type, view_start, view_end, ats, frame, fixed, control, left,
                  right, top})
      t += (t.empty() ? "" : ",") + std::to_string(v);
    return t + "\n";
  }
};

/// Signals every 1000 frames: signal i stands at frame 1000 (i + 1), is seen
/// from 300 frames before it, its transponder 200 frames before it.
std::vector<Row> block_line(const std::vector<int>& types) {
  std::vector<Row> rows;
  for (size_t i = 0; i < types.size(); ++i) {
    const int at = 1000 * static_cast<int>(i + 1);
    Row r;
    r.type = types[i];
    r.view_start = at - 300;
    r.view_end = at;
    r.ats = at - 200;
    r.frame = at;
    r.third = static_cast<int>(i) + 50;
    rows.push_back(r);
  }
  return rows;
}

std::string signal_section(const std::vector<Row>& rows) {
  std::string t = "[Signal]\n";
  for (const Row& r : rows) t += r.text();
  return t + "#\n";
}

struct SignalRun : TestRun {
  explicit SignalRun(const std::vector<Row>& rows, const TrainFileText& train = TrainFileText{})
      : TestRun(train, test::test_route_text(signal_section(rows))) {}

  SignalData& signal(int i) { return run->route->Signal[static_cast<size_t>(i)]; }
  std::vector<int32_t> aspects() {
    std::vector<int32_t> a;
    for (int i = 0; i < run->route->Signal_count; ++i) a.push_back(signal(i).aspect);
    return a;
  }
  /// The aspects with the train ahead at `frame`.
  std::vector<int32_t> aspects_with_train_at(int32_t frame) {
    s().pre_train_frame = frame;
    signal_aspects(*run);
    return aspects();
  }
  /// The train at `frame`, aspects and display of one tick.
  SignalDisplayResult look_at(int32_t frame) {
    s().current_frame = frame;
    signal_aspects(*run);
    return signal_display(*run);
  }
  const SignPicture& picture(SignElement e) { return v().signs[e]; }
};

TEST(SignalPictures, FollowTheTypeAndAspectTableWithTheHighSpeedPictureFrom131) {
  EXPECT_EQ(signal_picture_number(0, 0, 100), 0);
  EXPECT_EQ(signal_picture_number(1, 3, 100), 5);
  EXPECT_EQ(signal_picture_number(2, 1, 100), 7);
  EXPECT_EQ(signal_picture_number(3, 3, 100), 11);
  EXPECT_EQ(signal_picture_number(4, 2, 100), 15);
  EXPECT_EQ(signal_picture_number(5, 0, 100), 17);
  EXPECT_EQ(signal_picture_number(8, 5, 100), 42);
  EXPECT_EQ(signal_picture_number(-1, 1, 100), 34);
  EXPECT_EQ(signal_picture_number(7, 5, 130), 31);
  EXPECT_EQ(signal_picture_number(7, 5, 131), 32);
  EXPECT_EQ(signal_picture_number(6, 5, 131), 26);
  EXPECT_EQ(signal_picture_number(-1, 5, 131), 36);
  EXPECT_EQ(signal_picture_number(5, 5, 131), 21);  // no high-speed picture
  // A route with more signal speeds than aspects shows the clearest picture;
  // a type or aspect no signal has shows nothing.
  EXPECT_EQ(signal_picture_number(5, 10, 100), 21);
  EXPECT_EQ(signal_picture_number(9, 1, 100), kNoPicture);
  EXPECT_EQ(signal_picture_number(-2, 1, 100), kNoPicture);
  EXPECT_EQ(signal_picture_number(5, -1, 100), kNoPicture);
}

TEST(SignalAspects, WalkBackFromTheOccupiedBlockCountingByLampArrangement) {
  // Signal 0 is the line's first; the train ahead between signals 4 and 5
  // puts signal 4 at stop, the three type-5 signals behind show 1, 2, 3.
  SignalRun t(block_line({5, 5, 5, 5, 5, 5}));
  EXPECT_EQ(t.aspects_with_train_at(0), (std::vector<int32_t>{4, 4, 4, 4, 4, 4}));  // none
  EXPECT_EQ(t.aspects_with_train_at(5500), (std::vector<int32_t>{4, 3, 2, 1, 0, 4}));
  EXPECT_EQ(t.aspects_with_train_at(6000), (std::vector<int32_t>{4, 3, 2, 1, 0, 4}));  // edge in
  EXPECT_EQ(t.aspects_with_train_at(6001), (std::vector<int32_t>{4, 4, 4, 4, 4, 4}));  // beyond

  SignalRun five(block_line({5, 5, 5, 5, 5, 5, 5}));
  EXPECT_EQ(five.aspects_with_train_at(6500), (std::vector<int32_t>{4, 4, 3, 2, 1, 0, 4}));
  SignalRun longer(block_line({5, 5, 5, 5, 5, 5, 5, 5}));
  // The fourth signal behind counts 4 and the walk ends there.
  EXPECT_EQ(longer.aspects_with_train_at(7500), (std::vector<int32_t>{4, 4, 4, 3, 2, 1, 0, 4}));

  // Two type-2 signals behind the occupied one: 1 becomes 2, 3 becomes 4.
  SignalRun pair(block_line({5, 2, 2, 5, 5}));
  EXPECT_EQ(pair.aspects_with_train_at(4500), (std::vector<int32_t>{4, 4, 2, 0, 4}));
  EXPECT_EQ(signal_picture_number(2, 2, 100), 7);
  EXPECT_EQ(signal_picture_number(2, 4, 100), 8);

  // Type 1 always counts 2, type 3 keeps 3, type 4 lifts 4 and keeps 1.
  SignalRun kinds(block_line({5, 4, 3, 1, 5, 5}));
  EXPECT_EQ(kinds.aspects_with_train_at(5500), (std::vector<int32_t>{4, 4, 3, 2, 0, 4}));
  SignalRun four_near(block_line({5, 4, 5, 5}));
  EXPECT_EQ(four_near.aspects_with_train_at(3500), (std::vector<int32_t>{2, 1, 0, 4}));
  SignalRun three_far(block_line({3, 5, 5, 5, 5, 5}));
  EXPECT_EQ(three_far.aspects_with_train_at(5500), (std::vector<int32_t>{4, 3, 2, 1, 0, 4}));
}

TEST(SignalAspects, RepeatersCopyTheSignalAheadAndAreNeverTheOccupiedOne) {
  // A repeater (type 0) shows what the signal ahead of it shows and is not
  // counted; a train ahead just beyond a repeater stops the counted signal
  // behind it.
  SignalRun t(block_line({5, 5, 0, 5, 5}));
  EXPECT_EQ(t.aspects_with_train_at(4500), (std::vector<int32_t>{2, 1, 0, 0, 4}));
  EXPECT_EQ(t.aspects_with_train_at(3500), (std::vector<int32_t>{1, 0, 4, 4, 4}));
  // Only uncounted signals behind the train, back to the first: no stop.
  SignalRun only_repeaters(block_line({5, 0, -1, 0}));
  EXPECT_EQ(only_repeaters.aspects_with_train_at(3500), (std::vector<int32_t>{4, 4, 4, 4}));
  SignalRun none(block_line({0, -1, 0, -1}));
  EXPECT_EQ(none.aspects_with_train_at(3500), (std::vector<int32_t>{4, 4, 4, 4}));
}

TEST(SignalAspects, ControlKindsHoldTheirFixedAspect) {
  std::vector<Row> rows = block_line({5, 5, 5, 5});
  rows[1].kind = 1;  // held at 0 until 10:00:00
  rows[1].control = 1080000;
  rows[2].kind = 2;  // always 3
  rows[2].fixed = 3;
  rows[3].kind = 3;  // starting signal of station 1
  rows[3].control = 1;
  SignalRun t(rows);
  t.s().clock = 1080000 - 1;
  EXPECT_EQ(t.aspects_with_train_at(0), (std::vector<int32_t>{4, 0, 3, 0}));
  t.s().clock = 1080000;
  EXPECT_EQ(t.aspects_with_train_at(0), (std::vector<int32_t>{4, 4, 3, 0}));
  // The starting signal follows the block once its station's melody starts.
  t.run->route->Station[1].melody_started = 1;
  EXPECT_EQ(t.aspects_with_train_at(0), (std::vector<int32_t>{4, 4, 3, 4}));
  // While a time-driven film runs every signal shows its fixed aspect.
  t.s().film_mode = kFilmTimeDriven;
  EXPECT_EQ(t.aspects_with_train_at(0), (std::vector<int32_t>{0, 0, 3, 0}));
  // A starting signal of a station the route does not have stays held.
  rows[3].control = 77;
  SignalRun stray(rows);
  EXPECT_EQ(stray.aspects_with_train_at(0).back(), 0);
}

TEST(SignalDisplay, DrawsTheSignalInViewWithItsNeighboursAndSendsThemHomeAfter) {
  std::vector<Row> rows = block_line({5, 7, 5});
  rows[1].left = 40;
  rows[1].right = 41;
  rows[1].top = 42;
  rows[1].sub = 2;
  rows[2].left = 40;  // left neighbour only
  SignalRun t(rows);
  using E = SignElement;
  t.look_at(1800);  // signal 1 (type 7, aspect 4) in view
  EXPECT_EQ(t.s().current_signal_index, 1);
  EXPECT_EQ(t.s().current_signal_picture, 31);
  EXPECT_EQ(t.s().last_drawn_signal_picture, 31);
  EXPECT_EQ(t.s().current_signal_third_value, 51);
  EXPECT_EQ(t.signal(1).display_number, 31);
  EXPECT_EQ(t.signal(0).display_number, 1);  // out of view: 1 for a proceed aspect
  EXPECT_EQ(t.picture(E::kSignalImage).cell, 31);
  EXPECT_EQ(t.picture(E::kSignalImageT).cell, 42);
  EXPECT_EQ(t.picture(E::kSignalImageL).cell, 40);
  EXPECT_EQ(t.picture(E::kSignalImageR).cell, 41);
  EXPECT_EQ(t.picture(E::kSignalSub).cell, 2);
  EXPECT_EQ(t.picture(E::kSignalImageL).left, 688);
  EXPECT_EQ(t.picture(E::kSignalImageR).left, 772);
  for (E e : {E::kSignalImage, E::kSignalImageT, E::kSignalSub}) EXPECT_EQ(t.picture(e).left, 730);

  // Leaving the view: everything cleared and home again.
  t.look_at(2005);
  EXPECT_EQ(t.s().current_signal_index, kNoSignal);
  EXPECT_EQ(t.s().current_signal_picture, kNoSignal);
  EXPECT_EQ(t.s().current_signal_third_value, kNoSignal);
  for (size_t i = 0; i <= static_cast<size_t>(E::kSignalSub); ++i) {
    EXPECT_EQ(t.v().signs.pictures[i].cell, kNoPicture) << i;
    EXPECT_EQ(t.v().signs.pictures[i].left, kSignGeometry[i].left) << i;
  }

  // A left neighbour alone moves it to 705 and the signal to 755.
  t.look_at(2800);
  EXPECT_EQ(t.picture(E::kSignalImageL).left, 705);
  EXPECT_EQ(t.picture(E::kSignalImage).left, 755);
  EXPECT_EQ(t.picture(E::kSignalImageR).cell, kNoPicture);
}

TEST(SignalDisplay, RedrawsOnlyWhenThePictureChanges) {
  SignalRun t(block_line({5, 5, 5}));
  t.look_at(1800);
  ASSERT_EQ(t.picture(SignElement::kSignalImage).cell, 21);
  // Whatever happened to the picture, an unchanged signal is not drawn again.
  t.v().signs.draw(SignElement::kSignalImage, 5);
  t.look_at(1801);
  EXPECT_EQ(t.picture(SignElement::kSignalImage).cell, 5);
  // The train ahead enters the block beyond: the signal drops to stop.
  t.s().pre_train_frame = 2500;
  t.look_at(1802);
  EXPECT_EQ(t.picture(SignElement::kSignalImage).cell, 17);
}

TEST(SignalDisplay, AtsCheckPointsOfAnAlarmKind0Train) {
  SignalRun t(block_line({5, 5, 5}));
  t.s().pre_train_frame = 2500;  // signal 1 at stop
  // The transponder of a stop signal: passed at danger.
  t.look_at(1805);
  EXPECT_EQ(t.s().ats_check_speed, kPassedAtDanger);
  t.s().ats_check_speed = kNoCheck;
  t.look_at(1900);  // in view, not at the transponder
  EXPECT_EQ(t.s().ats_check_speed, kNoCheck);
  // Passing the signal at stop: the check is 0 and the signal is forgotten.
  t.look_at(2000);  // the view ended at the signal's frame
  t.s().current_signal_picture = 17;
  t.s().current_frame = 2001;
  signal_display(*t.run);
  EXPECT_EQ(t.s().ats_check_speed, 0);
  EXPECT_EQ(t.s().current_signal_picture, kNoSignal);
  EXPECT_EQ(t.s().last_drawn_signal_picture, kNoSignal);
  // A clear signal passed lifts the check; with the ATS off nothing is checked.
  t.s().pre_train_frame = 0;
  t.look_at(1900);
  t.s().current_frame = 2001;
  signal_display(*t.run);
  EXPECT_EQ(t.s().ats_check_speed, kNoCheck);
  t.s().ats_on = 0;
  t.s().pre_train_frame = 2500;
  t.look_at(1805);
  EXPECT_EQ(t.s().ats_check_speed, kNoCheck);
}

TEST(SignalDisplay, ATickThatJumpsOverACheckPointStillSeesIt) {
  // Far faster than the film was shot the frame moves more than a window in
  // one tick: the transponder, the signal and the end of the view count as
  // passed all the same, once.
  SignalRun t(block_line({5, 5, 5}));
  t.s().pre_train_frame = 2500;  // signal 1 at stop
  t.look_at(1790);
  t.look_at(1850);  // over the transponder at 1800
  EXPECT_EQ(t.s().ats_check_speed, kPassedAtDanger);
  t.s().ats_check_speed = kNoCheck;
  t.look_at(1990);
  t.look_at(2100);  // over the signal and the end of its view
  EXPECT_EQ(t.s().ats_check_speed, 0);
  EXPECT_EQ(t.s().current_signal_index, kNoSignal);
  t.s().ats_check_speed = kNoCheck;
  t.look_at(2101);
  EXPECT_EQ(t.s().ats_check_speed, kNoCheck);
  // A move forgets the frame: nothing counts as passed on the way.
  reset_signal_display(t.s(), t.v());
  t.look_at(2790);
  EXPECT_EQ(t.s().ats_check_speed, kNoCheck);
}

TEST(SignalDisplay, AtsCheckPointsOfAnAlarmKind1TrainGiveTheSignalSpeeds) {
  SignalRun t(block_line({5, 5, 5, 5, 5}), TrainFileText{}.set("[ATS_Alert]", "1"));
  t.s().pre_train_frame = 4500;  // signal 3 at stop; 2 shows 1 (picture 18), 1 shows 2
  t.look_at(2950);               // signal 2 in view
  ASSERT_EQ(t.s().current_signal_picture, 18);
  t.s().current_frame = 3001;  // passed
  signal_display(*t.run);
  EXPECT_EQ(t.s().ats_check_speed, 25);  // `[Speed_Signal]` value 1
  t.s().pre_train_frame = 0;
  t.look_at(1950);  // signal 1 clear: picture 21
  t.s().current_frame = 1805;
  t.look_at(1805);  // its transponder with a clear picture lifts the check
  EXPECT_EQ(t.s().ats_check_speed, kNoCheck);
  t.look_at(1950);
  t.s().current_frame = 2001;
  signal_display(*t.run);
  EXPECT_EQ(t.s().ats_check_speed, 110);  // value 4
}

TEST(CabSignal, DrawsOnlyType8AndAsksForTheCabSignalPicture) {
  std::vector<Row> rows = block_line({8, 8, 6});
  rows[1].sub = 3;
  SignalRun t(rows, TrainFileText{}.set("[ATS_Type]", "2").set("[Sound_Atc]", "4"));
  SignalDisplayResult r = t.look_at(1800);
  ASSERT_TRUE(r.cab_signal_picture);
  EXPECT_EQ(*r.cab_signal_picture, 41);
  EXPECT_EQ(t.picture(SignElement::kSignalImage).cell, 41);
  EXPECT_EQ(t.picture(SignElement::kSignalSub).cell, 3);
  EXPECT_FALSE(t.look_at(1801).cab_signal_picture);  // unchanged: no new picture
  // A type-6 signal on a cab-signal train is not drawn, only remembered.
  r = t.look_at(2800);
  ASSERT_TRUE(r.cab_signal_picture);
  EXPECT_EQ(*r.cab_signal_picture, 25);
  EXPECT_EQ(t.picture(SignElement::kSignalImage).cell, kNoPicture);
  // Leaving the view keeps the cab signal's picture number.
  t.look_at(3005);
  EXPECT_EQ(t.s().current_signal_picture, 25);
  EXPECT_EQ(t.s().current_signal_index, kNoSignal);
}

TEST(CabSignal, BrakesAboveTheAspectSpeedAndReleasesBelowIt) {
  SignalRun t(block_line({6, 6}), TrainFileText{}.set("[ATS_Type]", "2"));
  RunState& s = t.s();
  s.current_signal_picture = 23;  // `[Speed_Signal]` value 1: 25 km/h
  s.speed = 24.5L;
  EXPECT_FALSE(cab_signal_brake_step(*t.run));
  s.speed = 24.7L;
  EXPECT_TRUE(cab_signal_brake_step(*t.run));
  EXPECT_EQ(s.pattern_brake_flag, 1);
  EXPECT_EQ(s.protection_emergency_flag, 0);
  EXPECT_EQ(s.cab_signal_brake_flag, 1);
  EXPECT_EQ(s.brake_change_pending, 1);
  EXPECT_FALSE(cab_signal_brake_step(*t.run));  // already holding
  s.speed = 20;
  EXPECT_TRUE(cab_signal_brake_step(*t.run));
  EXPECT_EQ(s.pattern_brake_flag, 0);
  EXPECT_EQ(s.cab_signal_brake_flag, 0);
  // Stop aspect: any movement above -0.4 km/h is an emergency, kept after.
  s.current_signal_picture = 22;
  s.speed = 0.1L;
  EXPECT_TRUE(cab_signal_brake_step(*t.run));
  EXPECT_EQ(s.protection_emergency_flag, 1);
  s.speed = -1;
  EXPECT_TRUE(cab_signal_brake_step(*t.run));
  EXPECT_EQ(s.protection_emergency_flag, 1);
  // Line-side trains and pictures outside 22 .. 29 are never braked.
  s.current_signal_picture = 30;
  s.speed = 200;
  EXPECT_FALSE(cab_signal_brake_step(*t.run));
  SignalRun line_side(block_line({6, 6}));
  line_side.s().current_signal_picture = 22;
  line_side.s().speed = 50;
  EXPECT_FALSE(cab_signal_brake_step(*line_side.run));
}

TEST(SignalDisplay, StrangeRowsDrawNothingAndNeverReachOutOfTheTables) {
  std::vector<Row> rows = block_line({5, 99, -7, 5});
  rows[1].sub = 100000;
  rows[1].left = 2000000000;
  rows[2].fixed = -5;
  rows[2].kind = 2;
  rows[3].kind = 3;
  rows[3].control = -3;
  rows[3].view_end = -2147483647;
  rows[3].ats = 2147483647;
  SignalRun t(rows, TrainFileText{}.set("[ATS_Alert]", "1"));
  for (int32_t f : {0, 1800, 1950, 2001, 2800, 3001, 2147483000}) {
    t.s().pre_train_frame = f;
    t.look_at(f);
  }
  t.look_at(1800);
  EXPECT_EQ(t.s().current_signal_picture, kNoPicture);
  EXPECT_EQ(t.picture(SignElement::kSignalImage).cell, kNoPicture);
  t.look_at(2800);
  EXPECT_EQ(t.signal(2).aspect, -5);
  EXPECT_EQ(t.picture(SignElement::kSignalImage).cell, kNoPicture);
}

}  // namespace
}  // namespace cabsim
