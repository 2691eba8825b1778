// The move to a station and the saved running states: where the train
// stands afterwards, what is put back, and what a saved value must hold.
#include <gtest/gtest.h>

#include "data/route_lookup.h"
#include "operation/stations.h"
#include "run/station_move.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

constexpr int32_t kArrivalSeconds = 4;
constexpr int32_t kMelodySeconds = 10;

/// Three stops (東駅 without doors, 中駅 with doors, 西駅 without) and a pass
/// station between the last two; three speed checks, a level crossing at
/// 中駅 and a train ahead.
std::string three_stops(const std::string& extra = "") {
  return "[LineName]\n試験線 下り\n"
         "[LineName2]\n西駅ゆき\n"
         "[StartPos]\n100\n"
         "[FrameRate]\n30\n"
         "[Friction]\n0.35\n"
         "[DataName]\ntest\n"
         "[Speed_Signal]\n0\n25\n45\n75\n110\n#\n"
         "[SoundData]\nstart.wav\narrive.wav\nmelody.wav\n#\n"
         "[Station]\n"
         "東駅,2,100,1000,0,0,0,972000,60,1,0,0,0,300,5,0,100\n"
         "中駅,0,2500,1000,1,2,0,980000,60,1,0,0,0,300,5,0,100\n"
         "北信号所,1,3500,1000,0,0,0,0,60,0,0,0,0,300,5,0,100\n"
         "西駅,2,5000,1000,0,0,0,990000,0,1,0,0,0,300,5,0,100\n#\n"
         "[SpeedCheck1]\n40,0,1000,0\n40,0,2400,0\n40,0,4000,0\n#\n"
         "[Cross]\n0,0,2400,2600,0\n0,0,4000,4100,0\n#\n"
         "[Pre_Train]\n1,8500\n979000,3,600\n#\n"
         "[SpeedUnit]\n0,9000,60,60\n#\n" +
         extra;
}

struct MoveRun : test::TestRun {
  explicit MoveRun(const std::string& extra = "")
      : test::TestRun(test::TrainFileText{}, three_stops(extra)) {
    run->route->SoundData_seconds[1] = kArrivalSeconds;
    run->route->SoundData_seconds[2] = kMelodySeconds;
    run->selection.route_file = "line_down_test.dat";
    for (int c = 0; c < 40; ++c) sounds.set_length(c, 60000);
  }
  const StationData& station(int32_t i) { return run->route->Station[static_cast<size_t>(i)]; }
};

TEST(StationMove, TheTrainStandsBrakedAtTheStopWithTheClockBeforeItsDeparture) {
  MoveRun t;
  t.scheduler.set_motion_cycle(true);
  t.scheduler.set_operation_tick(true);
  t.run_for(3000);
  // Running somewhere else, with the bell ringing and calls waiting.
  t.s().speed = 70;
  t.s().position = 400000;
  t.s().current_frame = 4020;
  t.s().alarm_flag = 1;
  t.s().protection_emergency_flag = 1;
  t.s().call_queue[0] = 3;
  t.s().film_mode = kFilmFollowsPosition;
  t.sounds.play_looped(0);
  t.sounds.play_looped(5);
  t.run->route->Station[0].departed = 1;

  ASSERT_TRUE(StationClick(*t.run, 1));
  EXPECT_EQ(t.s().speed, 0);
  EXPECT_EQ(t.s().current_frame, 2500);
  EXPECT_EQ(t.s().position, t.station(1).stop_position);
  EXPECT_EQ(t.s().target_stop_position, t.station(1).stop_position);
  EXPECT_EQ(t.s().distance_to_stop, 0);
  EXPECT_EQ(t.s().next_station, 1);
  EXPECT_EQ(t.s().departure_counter, 1);
  // Arrival sound and melody end at the departure time.
  EXPECT_EQ(t.s().clock, 980000 - 30 * (kArrivalSeconds + kMelodySeconds));
  EXPECT_EQ(t.s().brake_handle, 1 - t.run->train.Brake);
  EXPECT_EQ(t.s().effective_brake_notch, 1 - t.run->train.Brake);
  EXPECT_EQ(t.s().power_handle, 0);
  EXPECT_EQ(t.v().window_caption, "試験線 下り");
  // The stop counts as made; every other station flag is put back.
  EXPECT_EQ(t.station(1).doors_opened, 1);
  EXPECT_EQ(t.station(0).departed, 0);
  EXPECT_EQ(t.s().doors_open, 0);
  EXPECT_EQ(t.s().door_closed_lamp, 1);
  // Nothing of the old place carries over: the protection, the calls, the
  // sounds (channel 0 plays on).
  EXPECT_EQ(t.s().alarm_flag, 0);
  EXPECT_EQ(t.s().protection_emergency_flag, 0);
  EXPECT_EQ(t.s().call_queue[0], -1);
  EXPECT_EQ(t.sounds.status(0), ChannelStatus::kLooping);
  EXPECT_EQ(t.sounds.status(5), ChannelStatus::kStopped);
  // The checks behind are passed, those ahead are not; the crossing the
  // train stands in is queued; the train ahead stands at its station.
  EXPECT_EQ(t.run->route->SpeedCheck1[0].passed, 1);
  EXPECT_EQ(t.run->route->SpeedCheck1[1].passed, 1);
  EXPECT_EQ(t.run->route->SpeedCheck1[2].passed, 0);
  EXPECT_EQ(t.s().crossing_queue[0], 0);
  EXPECT_EQ(t.s().crossing_queue[1], -1);
  EXPECT_EQ(t.s().pre_train_frame, 5000);

  // The run goes on from there: the doors open, the melody plays, the doors
  // close at the departure time.
  t.run_for(1000);
  EXPECT_EQ(t.s().doors_open, 1);
  EXPECT_EQ(t.s().current_station, 1);
  t.run_for(16000);
  EXPECT_EQ(t.s().doors_open, 0);
  EXPECT_EQ(t.station(1).departed, 1);
}

TEST(StationMove, AMoveToTheFirstStationMarksOnlyTheChecksBehindAndPassStationsAreNoStop) {
  MoveRun t;
  t.s().position = 500000;
  for (auto& check : t.run->route->SpeedCheck1) check.passed = 1;
  ASSERT_TRUE(StationClick(*t.run, 0));
  EXPECT_EQ(t.s().clock, 972000);  // no sounds at the first station
  for (int i = 0; i < 3; ++i) EXPECT_EQ(t.run->route->SpeedCheck1[i].passed, 0) << i;

  const RunState before = t.s();
  EXPECT_FALSE(StationClick(*t.run, 2));  // 北信号所 is passed, not stopped at
  EXPECT_FALSE(StationClick(*t.run, 4));
  EXPECT_FALSE(StationClick(*t.run, -1));
  EXPECT_EQ(t.s().position, before.position);
  EXPECT_EQ(t.s().clock, before.clock);

  EXPECT_EQ(move_item_station("Sta3"), 3);
  EXPECT_EQ(move_item_station("Sta"), std::nullopt);
  EXPECT_EQ(move_item_station("Sta-1"), std::nullopt);
  EXPECT_EQ(move_item_station("Save1"), std::nullopt);
}

TEST(StationMove, AMoveDuringAnInsertOpensTheMainFilmAndAPauseStaysAPause) {
  struct Film final : FilmSource {
    std::string open(const std::filesystem::path& file) override {
      opened.push_back(file.string());
      return {};
    }
    void close() override {}
    bool is_open() const override { return true; }
    int32_t frame_count() const override { return 9000; }
    int32_t width() const override { return 684; }
    int32_t height() const override { return 384; }
    FilmFrame frame(int32_t, std::chrono::microseconds) override { return {}; }
    void prefetch(int32_t) override {}
    std::vector<std::string> opened;
  } film;
  MoveRun t;
  t.run->film = &film;
  t.run->text.Path = "move\\";
  t.s().film_mode = kFilmTimeDriven;
  t.s().time_driven_frame = 40;
  const uint32_t refresh = t.v().film_refresh;
  ASSERT_TRUE(StationClick(*t.run, 1));
  ASSERT_EQ(film.opened.size(), 1u);
  EXPECT_EQ(film.opened[0], "move\\test.avi");
  EXPECT_EQ(t.s().film_mode, kFilmFollowsPosition);
  EXPECT_EQ(t.s().time_driven_frame, 0);
  EXPECT_GT(t.v().film_refresh, refresh);
  EXPECT_FALSE(t.scheduler.motion_cycle_running());  // it was paused
}

TEST(StationMove, TheOneManCountFollowsTheFirstAnnouncementAfterTheStation) {
  MoveRun t("[OneMan]\n1\n[Announce]\n0\n1,0,0,150\n2,1,1,400\n1,0,1,150\n2,1,3,400\n#\n");
  ASSERT_TRUE(StationClick(*t.run, 1));
  EXPECT_EQ(t.s().announcement_counter, 3);  // after row 2, the one leaving 中駅
  EXPECT_EQ(t.station(1).doors_opened, 0);   // the one-man driver opens them
  t.s().announcement_counter = 7;
  ASSERT_TRUE(StationClick(*t.run, 3));  // no announcement after 西駅: kept
  EXPECT_EQ(t.s().announcement_counter, 7);
}

/// A store whose writes fail (a settings file that cannot be written).
class ReadOnlyStore final : public SettingsStore {
 public:
  DrivingSwitches read_switches() override { return {}; }
  bool write_switches(const DrivingSwitches&) override { return false; }
  int read_pad_codes(PadCodes&) override { return 0; }
  bool write_pad_codes(const PadCodes&) override { return false; }
  std::optional<std::string> read_text(std::string_view) override { return std::nullopt; }
  bool write_text(std::string_view, std::string_view) override { return false; }
};

TEST(SavedState, TheSevenFieldsAndTheTitleBetweenTwoStations) {
  MoveRun t;
  MemorySettingsStore store;
  const int32_t third = t.station(3).stop_position;
  ASSERT_LT(t.station(1).stop_position, 140000);
  ASSERT_LT(140000, t.station(2).stop_position);
  t.s().current_station = 1;
  t.s().speed = 44.5;  // whole km/h and centimetres, half to even
  t.s().position = 140000.5L;
  t.s().current_frame = 2600;
  t.s().clock = 981234;
  t.s().pre_train_frame = 4321;
  EXPECT_EQ(S2Click(*t.run, store, 2), kStateSaved);
  EXPECT_EQ(store.read_text("Save2"), "line_down_test.dat,1,44,2600,981234,140000,4321");
  // Between 中駅 and the pass station; then between it and 西駅.
  EXPECT_EQ(store.read_text("Save2Title"), "西駅ゆき（中駅～北信号所）");
  t.s().position = third - 0.3L;  // at the stop, as saved
  EXPECT_EQ(saved_state_title(*t.run), "西駅ゆき（西駅～）");
  t.s().position = third + 10;
  EXPECT_EQ(saved_state_title(*t.run), "西駅ゆき（西駅～）");  // the last station

  const SaveMenu menu = Saveloadclick(store);
  EXPECT_EQ(menu.load_captions[1], "西駅ゆき（中駅～北信号所）");
  EXPECT_TRUE(menu.load_enabled[1]);
  EXPECT_EQ(menu.load_captions[0], kNoData);
  EXPECT_FALSE(menu.load_enabled[0]);
  EXPECT_EQ(menu.save_captions[0], kNoData);

  ReadOnlyStore read_only;  // a save that wrote nothing does not say it saved
  EXPECT_EQ(S2Click(*t.run, read_only, 1), kStateNotWritten);
}

TEST(SavedState, ASaveBeforeTheFirstStopHasNoTitleAndItsLoadItemIsDisabled) {
  MoveRun t;
  MemorySettingsStore store;
  t.s().position = t.station(0).stop_position - 1;
  EXPECT_EQ(S2Click(*t.run, store, 1), kStateSaved);
  EXPECT_TRUE(store.read_text("Save1").has_value());
  const SaveMenu menu = Saveloadclick(store);
  EXPECT_EQ(menu.load_captions[0], kNoData);
  EXPECT_FALSE(menu.load_enabled[0]);
  EXPECT_EQ(menu.save_captions[0], kNoData);
}

TEST(SavedState, RestoredAtSpeedTheTrainRunsOnAndAtAStandItIsHeld) {
  MoveRun t;
  t.scheduler.set_motion_cycle(true);
  t.scheduler.set_operation_tick(true);
  t.run_for(2000);
  MemorySettingsStore store;
  const int32_t between = t.station(1).stop_position + 40000;
  store.write_text("Save1",
                   "line_down_test.dat,1,45,3000,983000," + std::to_string(between) + ",0");
  t.s().trailer_brake_cylinder = Fixed::from_count(300 * Fixed::kScale);
  t.s().alarm_flag = 1;
  ASSERT_EQ(L1Click(*t.run, store, 1), "");
  EXPECT_EQ(t.s().speed, 45);
  EXPECT_EQ(t.s().brake_handle, 0);
  EXPECT_EQ(t.s().trailer_brake_cylinder, Fixed());
  EXPECT_EQ(t.s().position, between);
  EXPECT_EQ(t.s().current_frame, 3000);
  EXPECT_EQ(t.s().current_station, 1);
  EXPECT_EQ(t.s().departure_counter, 1);
  EXPECT_EQ(t.s().next_station, 3);  // the pass station is skipped
  EXPECT_EQ(t.s().target_stop_position, t.station(3).stop_position);
  EXPECT_EQ(t.s().distance_to_stop, t.station(3).stop_position - between);
  EXPECT_EQ(t.s().alarm_flag, 0);
  EXPECT_EQ(t.s().announcement_counter, 1);  // no stop with doors before 中駅
  EXPECT_EQ(t.s().filmed_speed, 60);
  EXPECT_EQ(t.run->route->SpeedCheck1[1].passed, 1);
  EXPECT_EQ(t.run->route->SpeedCheck1[2].passed, 0);
  t.run_for(1000);
  EXPECT_GT(t.s().speed, 44);  // nothing brakes it

  store.write_text("Save1", "line_down_test.dat,3,0,5000,990000," +
                                std::to_string(t.station(3).stop_position) + ",0");
  ASSERT_EQ(L1Click(*t.run, store, 1), "");
  EXPECT_EQ(t.s().brake_handle, 1 - t.run->train.Brake);
  EXPECT_EQ(t.s().announcement_counter, 3);  // 中駅 is a stop with doors
}

TEST(SavedState, AnEmptyDamagedOrForeignStateIsRefusedAndChangesNothing) {
  MoveRun t;
  MemorySettingsStore store;
  t.s().position = 12345;
  const auto refused = [&](const std::string& value) {
    store.write_text("Save3", value);
    return L1Click(*t.run, store, 3);
  };
  EXPECT_EQ(L1Click(*t.run, store, 3), kNoStateSaved);  // never saved
  EXPECT_EQ(refused(""), kNoStateSaved);
  EXPECT_EQ(refused("line_down_test.dat,1,0,2500,980000"), kNoStateSaved);
  EXPECT_EQ(refused("line_down_test.dat,x,0,2500,980000,100,0"), kNoStateSaved);
  EXPECT_EQ(refused("line_down_test.dat,1,0,2500,980000,1e400,0"), kNoStateSaved);
  EXPECT_EQ(refused("line_down_test.dat,9,0,2500,980000,100,0"), kNoStateSaved);  // no station 9
  EXPECT_EQ(refused("line_down_test.dat,1,0,-5,980000,100,0"), kNoStateSaved);    // no frame -5
  EXPECT_EQ(refused("line_down_test.dat,1,0,2500,980000,-100,0"),
            kNoStateSaved);  // before the line
  EXPECT_EQ(refused("line_down_test.dat,1,5000,2500,980000,100,0"), kNoStateSaved);
  EXPECT_EQ(refused("line_up_827M.dat,1,0,2500,980000,100,0"), kOtherRouteState);
  EXPECT_EQ(L1Click(*t.run, store, 4), kNoStateSaved);
  EXPECT_EQ(t.s().position, 12345);

  t.s().film_frame_count = 3000;  // a frame the film does not have
  EXPECT_EQ(refused("line_down_test.dat,1,0,3000,980000,100,0"), kNoStateSaved);
  EXPECT_EQ(refused("line_down_test.dat,1,0,2999,980000,100,0"), "");
}

}  // namespace
}  // namespace cabsim
