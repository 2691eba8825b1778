// Film inserts, returns to the main film and the ends of the film, with the
// motion cycle stopped around every change.
#include "operation/film_segments.h"

#include <gtest/gtest.h>

#include <vector>

#include "run/tick_steps.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

/// A film source that records what is opened.
class RecordingFilm final : public FilmSource {
 public:
  std::string open(const std::filesystem::path& file) override {
    opened.push_back(file.string());
    return {};
  }
  void close() override { ++closes; }
  bool is_open() const override { return !opened.empty(); }
  int32_t frame_count() const override { return 9000; }
  int32_t width() const override { return 684; }
  int32_t height() const override { return 384; }
  FilmFrame frame(int32_t, std::chrono::microseconds) override { return {}; }
  void prefetch(int32_t) override {}

  std::vector<std::string> opened;
  int closes = 0;
};

struct FilmRun : test::TestRun {
  explicit FilmRun(const std::string& extra)
      : test::TestRun(test::TrainFileText{}, test::test_route_text(extra)) {
    run->film = &film;
    run->text.Path = "move\\";
    run->show_film_frame = [this](int32_t n) { shown.push_back(n); };
    s().film_frame_count = 9000;
    scheduler.set_motion_cycle(true);
    scheduler.set_operation_tick(true);
  }
  RecordingFilm film;
  std::vector<int32_t> shown;
};

TEST(FilmSegments, PositionInsertStartsAtItsOffsetAndReturnsWithinSixtyFrames) {
  FilmRun r("[MovieSwitch]\n0,1000,1100,bridge,100,1200,0,0,0\n#\n");
  r.s().current_frame = 1005;
  r.s().speed = 60;
  const uint32_t refresh = r.v().film_refresh;
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().film_mode, kFilmPositionInsert);
  EXPECT_EQ(r.s().time_driven_frame, 5);  // entered five frames in
  EXPECT_EQ(r.s().frame_offset, 1000);
  EXPECT_EQ(r.s().insert_length, 100);
  EXPECT_EQ(r.v().film_refresh, refresh + 1);  // the new film's picture is fetched
  EXPECT_EQ(r.film.opened, std::vector<std::string>{"move\\bridge.avi"});
  EXPECT_EQ(r.shown, std::vector<int32_t>{1});
  EXPECT_TRUE(r.scheduler.motion_cycle_running());

  r.s().current_frame = 1170;  // past the switch, 170 insert frames in: too late
  r.s().time_driven_frame = 170;
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().film_mode, kFilmPositionInsert);
  r.s().current_frame = 1101;
  r.s().time_driven_frame = 101;
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().film_mode, kFilmFollowsPosition);
  EXPECT_EQ(r.s().current_frame, 1200);
  EXPECT_EQ(r.film.opened.back(), "move\\test.avi");
  EXPECT_EQ(r.run->route->MovieSwitch[0].done, 1);
  r.s().current_frame = 1050;  // a switch is used once
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().film_mode, kFilmFollowsPosition);
}

TEST(FilmSegments, AChangeDuringAPauseEndsTheTickAndIsTriedAgain) {
  FilmRun r("[MovieSwitch]\n0,1000,1100,bridge,100,1200,0,0,0\n#\n");
  r.s().current_frame = 1000;
  r.scheduler.set_motion_cycle(false);
  EXPECT_THROW(film_switching_step(*r.run), EndPass);
  EXPECT_EQ(r.s().film_mode, 9);  // no frame is fetched meanwhile
  EXPECT_TRUE(r.film.opened.empty());
  r.scheduler.set_motion_cycle(true);
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().film_mode, kFilmPositionInsert);
}

TEST(FilmSegments, TimeDrivenInsertPlaysWhileStandingAfterItsClock) {
  FilmRun r("[MovieSwitch]\n2,90,110,station,60,1,980000,5,0\n#\n[SoundData]\ncue.wav\n#\n");
  r.sounds.set_length(r.run->train.DriveSound_count, 5000);
  r.s().current_frame = 100;
  r.s().speed = 0;
  r.s().clock = 980000;  // not yet after its clock
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().film_mode, kFilmFollowsPosition);
  r.s().clock = 980001;
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().film_mode, kFilmTimeDriven);
  const StationData& west = r.run->route->Station[1];
  EXPECT_EQ(r.s().current_frame, west.frame);
  EXPECT_EQ(r.s().position, static_cast<long double>(west.zone_start));
  EXPECT_EQ(r.film.opened.back(), "move\\station.avi");

  r.s().time_driven_frame = 6;  // the cue sound within its ten frames
  r.s().current_frame = 100;
  film_switching_step(*r.run);
  EXPECT_EQ(r.sounds.status(r.run->train.DriveSound_count), ChannelStatus::kPlayingOnce);

  r.s().time_driven_frame = 60;  // the insert has ended
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().film_mode, kFilmFollowsPosition);
  EXPECT_EQ(r.film.opened.back(), "move\\test.avi");
  EXPECT_EQ(r.run->route->MovieSwitch[0].done, 1);
}

TEST(FilmSegments, TheEndsOfTheFilmStopTheTrain) {
  FilmRun r("[MovieStop]\n3000\n#\n");
  r.s().speed = 50;
  r.s().power_handle = 3;
  r.s().effective_power_notch = 3;
  r.s().current_frame = 3100;
  r.sounds.set_length(0, 10000);
  r.sounds.play_looped(0);
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().current_frame, 3000);
  EXPECT_EQ(r.s().speed, 0);
  EXPECT_EQ(r.s().power_handle, 0);
  EXPECT_EQ(r.sounds.status(0), ChannelStatus::kLooping);  // channel 0 plays on

  r.s().speed = 40;
  r.s().current_frame = 9500;  // past the film's last frame
  r.s().gear = 3;
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().current_frame, 9000);
  EXPECT_EQ(r.s().speed, 0);
  EXPECT_EQ(r.s().gear, 1);

  r.s().turned_back = 1;
  r.s().speed = -20;
  r.s().current_frame = 2900;
  film_switching_step(*r.run);
  EXPECT_EQ(r.s().current_frame, 3001);
  EXPECT_EQ(r.s().speed, 0);
}

}  // namespace
}  // namespace cabsim
