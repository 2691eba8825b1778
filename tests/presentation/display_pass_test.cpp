// The display pass's choices: the frame shown, the freeze at the movie-stop
// frame, the kilometre post and the fade-out.
#include "presentation/display_pass.h"

#include <gtest/gtest.h>

namespace cabsim {
namespace {

TEST(DisplayPass, ShowsTheCurrentFrameUpToTheFilmsEndOrTheTimeDrivenFrame) {
  RunState s;
  s.film_frame_count = 300;
  s.current_frame = 300;
  EXPECT_EQ(film_frame_to_show(s), 300);
  s.current_frame = 301;
  EXPECT_EQ(film_frame_to_show(s), std::nullopt);  // the last picture stays
  s.current_frame = -1;
  EXPECT_EQ(film_frame_to_show(s), std::nullopt);
  s.current_frame = 5000;
  s.film_mode = kFilmPositionInsert;
  s.time_driven_frame = 12;
  EXPECT_EQ(film_frame_to_show(s), 12);  // no frame-count test for inserts
  s.film_mode = 9;
  EXPECT_EQ(film_frame_to_show(s), std::nullopt);  // a film is being changed
}

TEST(DisplayPass, FreezesJustPastTheMovieStopInTheDirectionOfTravel) {
  RouteTables route;
  route.MovieStop[0] = 1000;
  route.MovieStop_filled = 1;
  RunState s;
  s.speed = 10;
  s.current_frame = 1000;
  EXPECT_FALSE(frozen_at_movie_stop(s, route));
  s.current_frame = 1001;
  EXPECT_TRUE(frozen_at_movie_stop(s, route));
  s.current_frame = 1499;
  EXPECT_TRUE(frozen_at_movie_stop(s, route));
  s.current_frame = 1500;
  EXPECT_FALSE(frozen_at_movie_stop(s, route));
  s.turned_back = 1;
  s.speed = -10;
  s.current_frame = 999;
  EXPECT_TRUE(frozen_at_movie_stop(s, route));
  s.current_frame = 500;
  EXPECT_FALSE(frozen_at_movie_stop(s, route));
  route.MovieStop_filled = 0;
  s.current_frame = 999;
  EXPECT_FALSE(frozen_at_movie_stop(s, route));  // a route without a movie stop
}

TEST(DisplayPass, KilometrePostCountsFromTheLinesStartInItsDirection) {
  EXPECT_EQ(kilometre_post_text("line_up_827M.dat", 150000), "60.0");
  EXPECT_EQ(kilometre_post_text("line_down_838M.dat", 250000), "2.5");
  EXPECT_EQ(kilometre_post_text("line.dat", 250000), std::nullopt);
  EXPECT_EQ(kilometre_post_text("", 0), std::nullopt);
}

TEST(DisplayPass, FadeRunsInStepsOfTenAndEndsPast255) {
  RunState s;
  EXPECT_FALSE(fade_step(s));
  EXPECT_EQ(s.fade_level, 0);
  s.fade_level = 1;
  int passes = 0;
  while (!fade_step(s)) ++passes;
  EXPECT_EQ(passes, 25);  // 11, 21, ... 251, then 261 ends it
  EXPECT_EQ(s.fade_level, 0);
  EXPECT_EQ(frames_per_second(1016, 1000), 62);  // 62.5, halves to even
  EXPECT_EQ(frames_per_second(1015, 1000), 67);
  EXPECT_EQ(frames_per_second(1000, 1000), 0);
}

}  // namespace
}  // namespace cabsim
