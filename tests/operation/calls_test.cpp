// The driver's calls: the queue and its channel, time calls, the station
// moments, the calling key's rules in order, and calls whose sounds are
// missing or broken.
#include "operation/calls.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "operation/station_run.h"
#include "run/form_handlers.h"
#include "run/keyboard.h"
#include "run/start_pause.h"
#include "sound/channel_layout.h"
#include "support/test_files.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

/// Call sounds 0 .. 21 are c00.wav .. c21.wav (19 has no file name), 22 and
/// 23 come from `[KankoSound2]`; other signs 0 and 2 have sounds, 1 none.
std::string call_route() {
  std::string calls = "[KankoSound1]\n";
  for (int i = 0; i < 22; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "c%02d.wav", i);
    calls += i == 19 ? std::string("\n") : std::string(name) + "\n";
  }
  return test::test_route_text(
      calls +
      "[KankoSound2]\nk22.wav\nk23.wav\n#\n"
      "[SignalKanko]\n0,0,8\n0,2,9\n1,0,11\n0,1,10\n#\n"
      "[StationKanko]\n0,4,3\n0,0,4\n0,1,999\n0,2,1080000\n0,3,5\n0,5,6\n1,0,7\n"
      "0,0,-5\n0,0,998\n0,0,5000\n9999,0,3\n#\n"
      "[OtherImageList]\no0.bmp\no0.wav\no1.bmp\n\no2.bmp\no2.wav\n#\n"
      "[Cross]\n0,23,1000,1100,0\n#\n"
      "[Time]\n500,600,990000\n#\n");
}

/// A run whose call sounds are real files of 300 ms in a folder of its own.
struct CallRun : test::TestRun {
  CallRun() : TestRun(test::TrainFileText{}, call_route()) {
    const std::string wave = test::wave_file_bytes(22050, 13230);
    for (int i = 0; i < 22; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "c%02d.wav", i);
      dir.write_bytes(name, wave);
    }
    for (const char* name : {"k22.wav", "k23.wav", "o0.wav", "o2.wav"}) dir.write_bytes(name, wave);
    run->find_file = [this](std::string_view name) { return dir / name; };
    start1Click(*run);
  }
  /// The calls waiting, in order.
  std::vector<int32_t> queue() const {
    std::vector<int32_t> calls;
    for (int32_t c : run->state.call_queue)
      if (c != -1) calls.push_back(c);
    return calls;
  }
  void clear_queue() { run->state.call_queue = empty_slot_queue<kCallQueueSlots>(); }
  int channel() const { return static_cast<int>(channel_layout(run->train, *run->route).call()); }
  bool speaking() const { return sounds.status(channel()) != ChannelStatus::kStopped; }
  void tick() { run_for(100); }
  /// The signal in view: index 0, picture 4 (caution), third value 0.
  void signal_in_view() {
    s().current_signal_index = 0;
    s().current_signal_picture = 4;
    s().current_signal_third_value = 0;
  }

  test::TempDir dir;
};

using Calls = std::vector<int32_t>;

TEST(Calls, TheQueueSpeaksOneCallAfterAnotherWithoutAGap) {
  CallRun t;
  EXPECT_EQ(t.channel(), 1);  // after the (no) bound sounds and one free channel
  for (int32_t c : {3, 4, 5}) kanko_queue_add(*t.run, c);
  std::vector<int32_t> spoken;
  for (int n = 0; n < 20; ++n) {
    t.tick();
    if (spoken.empty() || spoken.back() != t.s().call_channel_sound)
      spoken.push_back(t.s().call_channel_sound);
    // While a call waits, one is being spoken: the next starts in the tick
    // after the last one ended.
    if (!t.queue().empty()) {
      EXPECT_TRUE(t.speaking()) << n;
      EXPECT_EQ(t.queue().front(), t.s().call_channel_sound) << n;
    }
  }
  EXPECT_EQ(spoken, (Calls{3, 4, 5}));
  EXPECT_TRUE(t.queue().empty());
  EXPECT_FALSE(t.speaking());

  // Thirteen calls in one tick: the thirteenth is dropped. A number below 0
  // names no sound and is not queued.
  for (int32_t c = 0; c < 13; ++c) kanko_queue_add(*t.run, c);
  kanko_queue_add(*t.run, -1);
  EXPECT_EQ(t.queue(), (Calls{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(Calls, WithCallsSwitchedOffEachCallTakesATickInSilence) {
  CallRun t;
  OFF1Click(*t.run, true);
  for (int32_t c : {3, 4, 5}) kanko_queue_add(*t.run, c);
  for (int n = 1; n <= 3; ++n) {
    t.tick();
    EXPECT_FALSE(t.speaking()) << n;
    EXPECT_EQ(t.queue().front(), 2 + n) << n;  // loaded, not played
    EXPECT_EQ(t.s().call_channel_sound, 2 + n) << n;
  }
  EXPECT_EQ(t.queue().size(), 1u);  // the third, started on the third tick
  t.tick();
  EXPECT_TRUE(t.queue().empty());

  // Switched on again, the next call is heard.
  OFF1Click(*t.run, false);
  kanko_queue_add(*t.run, 2);
  t.tick();
  EXPECT_TRUE(t.speaking());
}

TEST(Calls, CallsWithoutASoundPassInSilenceAndABrokenOneIsReported) {
  CallRun t;
  // Call 19 has an empty file name, 250 no file at all: each takes its tick
  // without a word and without a message.
  for (int32_t c : {19, 250, 3}) kanko_queue_add(*t.run, c);
  t.tick();
  t.tick();
  EXPECT_FALSE(t.speaking());
  EXPECT_EQ(t.queue(), (Calls{250, 3}));
  t.tick();
  EXPECT_TRUE(t.speaking());
  EXPECT_EQ(t.s().call_channel_sound, 3);
  EXPECT_EQ(t.v().message, "");

  // A call whose file has gone is reported, and the calls behind it follow.
  t.run_for(500);
  std::filesystem::remove(t.dir / "c04.wav");
  kanko_queue_add(*t.run, 4);
  kanko_queue_add(*t.run, 5);
  t.tick();
  EXPECT_EQ(t.v().message, "喚呼の再生エラー");
  EXPECT_FALSE(t.speaking());
  t.tick();
  EXPECT_TRUE(t.speaking());
  EXPECT_EQ(t.s().call_channel_sound, 5);
}

TEST(Calls, TimeCallsSayHowEarlyOrLateTheTrainIs) {
  struct Case {
    int32_t late_by;  ///< clock - target, 1/30 s
    int32_t kind;
    Calls calls;
  };
  const Case cases[] = {
      {0, 0, {17}},        {450, 0, {17}},      {-450, 1, {18}},      {451, 0, {6, 13}},
      {-451, 0, {6, 15}},  {900, 1, {6, 14}},   {901, 0, {7, 13}},    {1200, 0, {7, 13}},
      {-1351, 1, {8, 16}}, {1800, 0, {8, 13}},  {2250, 0, {9, 13}},   {2700, 0, {10, 13}},
      {3150, 0, {11, 13}}, {3151, 0, {12, 13}}, {-3600, 0, {12, 15}}, {3601, 0, {}},
      {-3601, 1, {}},
  };
  CallRun t;
  const int32_t ten = 1080000;  // 10:00:00
  for (const Case& c : cases) {
    t.clear_queue();
    t.s().clock = ten + c.late_by;
    Timekanko(*t.run, ten, c.kind);
    EXPECT_EQ(t.queue(), c.calls) << c.late_by << " kind " << c.kind;
  }

  // The time rows: frames strictly between first and last, words of kind 1.
  t.s().clock = 990000 + 1200;
  for (int32_t frame : {500, 550, 599, 600}) {
    t.clear_queue();
    t.s().current_frame = frame;
    Timecheck(*t.run, 0);
    const Calls expected = frame == 500 || frame == 600 ? Calls{} : Calls{7, 14};
    EXPECT_EQ(t.queue(), expected) << frame;
  }
  t.clear_queue();
  t.s().current_frame = 550;
  Timecheck(*t.run, 1);
  EXPECT_TRUE(t.queue().empty());
}

TEST(Calls, StationMomentsQueueTheirRowsInTableOrder) {
  CallRun t;
  t.s().current_station = 0;
  const auto moment = [&t](int32_t m) {
    t.clear_queue();
    raise_station_call(*t.run, m);
    return t.queue();
  };
  EXPECT_EQ(moment(kCallArrival), (Calls{3}));
  // Moment 1 also names a negative slot (not queued), slot 998 (queued,
  // spoken in silence) and the clock value 5000 (no time call that far
  // off); the rows of station 9999 and of station 1 are not this station's.
  EXPECT_EQ(moment(kCallDoorsOpened), (Calls{4, 998}));
  EXPECT_EQ(moment(kCallFirstPower), (Calls{20, 5}));
  EXPECT_EQ(moment(kCallDoorsClosing), (Calls{6}));
  // A clock value: the time call of kind 0 (40 s late at 10:00:40).
  t.s().clock = 1080000 + 1200;
  EXPECT_EQ(moment(kCallDoorsClosed), (Calls{7, 13}));
  // 999: as if the calling key were pressed, here at a signal in caution.
  t.signal_in_view();
  EXPECT_EQ(moment(kCallMelodyStarted), (Calls{8, 22, 2, 9, 10}));
  EXPECT_EQ(t.s().last_station_call, kCallMelodyStarted);
  EXPECT_TRUE(moment(6).empty());
  EXPECT_TRUE(moment(-1).empty());
  t.s().current_station = 1;
  EXPECT_EQ(moment(kCallDoorsOpened), (Calls{7}));
}

TEST(Calls, PowerAfterAStopGivesTheDepartureCallOnce) {
  CallRun t;
  t.s().departure_call_pending = 1;
  AsciiDown(*t.run, '5');  // both handles to 0: no power yet
  EXPECT_TRUE(t.queue().empty());
  AsciiDown(*t.run, '8');
  EXPECT_EQ(t.s().power_handle, 1);
  EXPECT_EQ(t.queue(), (Calls{20, 5}));
  EXPECT_EQ(t.s().departure_call_pending, 0);
  AsciiDown(*t.run, '8');
  EXPECT_EQ(t.queue(), (Calls{20, 5}));
}

TEST(Calls, TheCallingKeyCallsTheSignThenTheLimitThenTheSignalOrTheCrossing) {
  CallRun t;
  RunState& s = t.s();
  const auto enter = [&t] {
    t.clear_queue();
    keydowns(*t.run, VirtualKey::kEnter, false);
    return t.queue();
  };
  // The signal: the route's calls of kind 0, the call of its third value,
  // the call of the picture, then those of kinds 2 and 1 in table order.
  EXPECT_TRUE(enter().empty());  // no signal in view
  t.signal_in_view();
  s.speed = 50;
  EXPECT_EQ(enter(), (Calls{8, 22, 2, 9, 10}));
  s.current_signal_third_value = 5;  // no `[KankoSound2]` record 5
  s.current_signal_picture = 26;
  EXPECT_EQ(enter(), (Calls{21, 9, 10}));

  // A sign with a sound is called once; pressed again, the signal is called.
  s.shown_other_sign = 0;
  EXPECT_EQ(enter(), (Calls{kOtherSignSound}));
  EXPECT_EQ(enter(), (Calls{21, 9, 10}));
  s.shown_other_sign = 1;  // no sound: the signal
  EXPECT_EQ(enter(), (Calls{21, 9, 10}));
  // Once no sign is on show the called one is forgotten: the next board
  // with the same picture is called too.
  s.shown_other_sign = 999;
  forget_called_sign(*t.run);
  s.shown_other_sign = 0;
  EXPECT_EQ(enter(), (Calls{kOtherSignSound}));

  // The time-check sign calls the time rows.
  s.shown_other_sign = kTimeCheckSign;
  s.current_frame = 550;
  s.clock = 990000 - 500;
  EXPECT_EQ(enter(), (Calls{6, 16}));

  // A blinking limit sign ahead, no sign on show, the train moving.
  s.shown_other_sign = 999;
  s.limit_approach_flag = 1;
  s.approach_limit_picture = 2;
  EXPECT_EQ(enter(), (Calls{kOtherSignSound + 2}));
  EXPECT_TRUE(enter().empty());  // called already
  s.speed = 0.4L;                // standing: the signal instead
  EXPECT_EQ(enter(), (Calls{21, 9, 10}));
  s.speed = 50;
  s.approach_limit_picture = 2000000000;  // beyond any other-sign list
  EXPECT_TRUE(enter().empty());
  s.limit_approach_flag = 0;

  // A level crossing waiting: its call, and it leaves the queue.
  s.crossing_queue[0] = 0;
  EXPECT_EQ(enter(), (Calls{23}));
  EXPECT_EQ(s.crossing_queue[0], -1);
  // Not while standing, nor while the crossing's indicator shows.
  s.crossing_queue[0] = 0;
  t.v().signs[SignElement::kCrossImageSub].visible = 1;
  EXPECT_EQ(enter(), (Calls{21, 9, 10}));
  t.v().signs[SignElement::kCrossImageSub].visible = 0;
  s.speed = 0;
  EXPECT_EQ(enter(), (Calls{21, 9, 10}));
  EXPECT_EQ(s.crossing_queue[0], 0);
  // A crossing the route does not have is dropped without a call.
  s.speed = 50;
  s.crossing_queue = empty_crossing_queue();
  s.crossing_queue[0] = 7;
  s.crossing_queue[1] = 0;
  EXPECT_TRUE(enter().empty());
  EXPECT_EQ(s.crossing_queue[0], 0);
}

TEST(Calls, SignalPicturesAndTheirCallSlots) {
  const std::pair<int32_t, int32_t> slots[] = {{0, 0},  {33, 0}, {14, 1},  {28, 1}, {4, 2},
                                               {23, 2}, {11, 3}, {30, 3},  {2, 4},  {35, 4},
                                               {1, 5},  {34, 5}, {26, 21}, {36, 21}};
  for (auto [picture, slot] : slots) EXPECT_EQ(signal_call_slot(picture), slot) << picture;
  for (int32_t picture : {24, 29, 37, 42, 999, -1}) EXPECT_FALSE(signal_call_slot(picture));
}

/// Over a whole stop and departure, the calls come in the order of the
/// station's moments.
TEST(Calls, AStopAndDepartureCallTheStationMomentsInOrder) {
  test::StationRun t;
  RouteTables& route = *t.run->route;
  // Station 0: melody 150, door closing 155, doors closed 152, power 153.
  const StationKankoRow rows[] = {{0, 1, 150}, {0, 5, 155}, {0, 2, 152}, {0, 3, 153}};
  route.StationKanko_count = 0;
  for (const StationKankoRow& row : rows) route.StationKanko[route.StationKanko_count++] = row;
  start1Click(*t.run);
  std::vector<int32_t> spoken;
  const auto listen = [&] {
    t.tick();
    // Calls without a sound take one tick each: the head of every tick.
    if (t.s().call_shift_pending) spoken.push_back(t.s().call_queue[0]);
  };
  for (int n = 0; n < 900 && t.s().door_closed_lamp == 0; ++n) listen();
  for (int n = 0; n < 5; ++n) listen();
  AsciiDown(*t.run, '5');
  AsciiDown(*t.run, '8');
  for (int n = 0; n < 5; ++n) listen();
  EXPECT_EQ(spoken, (Calls{150, 155, 19, 152, 20, 153}));
}

}  // namespace
}  // namespace cabsim
