// The film frame following the train: frames per cycle, the remainder, a
// film shot standing, the position resets between speed segments, movement
// under a centimetre, and the frames of the film inserts.
#include <gtest/gtest.h>

#include "data/route_positions.h"
#include "dynamics/frame_stepping.h"

namespace cabsim {
namespace {

/// Three segments: 0-900 at 36 km/h, 900-1800 36 to 72 km/h, 1800-2700 at 72.
RouteTables profile() {
  RouteTables route;
  route.SpeedUnit[0] = {0, 900, 36, 36, 0};
  route.SpeedUnit[1] = {900, 1800, 36, 72, 0};
  route.SpeedUnit[2] = {1800, 2700, 72, 72, 0};
  route.SpeedUnit_count = 3;
  compute_segment_distances(route);
  return route;
}

TEST(FrameStepping, FramesPerCycleFollowTheSpeedOverTheFilmedSpeed) {
  RouteTables route = profile();
  RunState s;
  s.current_frame = 100;
  s.speed = 36;
  filmed_speed_step(s, route);
  ASSERT_EQ(s.filmed_speed, 36);
  for (int i = 0; i < 300; ++i) frame_stepping(s, route);
  EXPECT_EQ(s.current_frame, 400);  // one frame a cycle at the filmed speed
  EXPECT_EQ(s.frame_accumulator, 0);
  s.speed = 72;
  for (int i = 0; i < 100; ++i) frame_stepping(s, route);
  EXPECT_EQ(s.current_frame, 600);  // two a cycle at twice the speed
  // Below the filmed speed the remainder carries over: 24 of 36 a cycle.
  s.speed = 24.4L;
  frame_stepping(s, route);
  EXPECT_EQ(s.current_frame, 600);
  EXPECT_EQ(s.frame_accumulator, 24);
  frame_stepping(s, route);
  EXPECT_EQ(s.current_frame, 601);
  EXPECT_EQ(s.frame_accumulator, 12);
  // Backwards the frame goes back; standing, it keeps the remainder.
  s.speed = -36;
  frame_stepping(s, route);
  EXPECT_EQ(s.current_frame, 600);
  EXPECT_EQ(s.frame_accumulator, 12);
  s.speed = 0;
  for (int i = 0; i < 50; ++i) frame_stepping(s, route);
  EXPECT_EQ(s.current_frame, 600);
  EXPECT_EQ(s.frame_accumulator, 12);
  EXPECT_EQ(s.clock, 453);  // every cycle counts
}

TEST(FrameStepping, AFilmShotStandingJumpsByTwiceTheAccumulator) {
  RouteTables route;
  route.SpeedUnit[0] = {0, 1000, 0, 0, 0};
  route.SpeedUnit_count = 1;
  compute_segment_distances(route);
  RunState s;
  s.current_frame = 10;
  s.frame_accumulator = 3;
  s.speed = 5;
  frame_stepping(s, route);
  EXPECT_EQ(s.current_frame, 26);  // (3 + 5) / 0.5
  EXPECT_EQ(s.frame_accumulator, 0);
  EXPECT_EQ(s.filmed_speed, 0);
}

TEST(FrameStepping, CrossingSegmentsResetsThePositionToTheirBoundary) {
  RouteTables route = profile();
  const int32_t end0 = route.SpeedUnit[0].end_distance;
  const int32_t end1 = route.SpeedUnit[1].end_distance;
  RunState s;
  s.current_frame = 899;
  s.speed = 36;
  filmed_speed_step(s, route);  // first segment found after loading: no reset
  EXPECT_EQ(s.current_speed_segment, 0);
  s.position = 12345;
  frame_stepping(s, route);  // into row 1 from row 0
  EXPECT_EQ(s.current_frame, 900);
  EXPECT_EQ(s.current_speed_segment, 1);
  EXPECT_NEAR(static_cast<double>(s.position), end0 + 36 * 33333.0 / 36000, 1e-9);
  s.current_frame = 1800;  // into row 2 from row 1
  s.position = 1;
  filmed_speed_step(s, route);
  EXPECT_EQ(s.position, end1);
  EXPECT_EQ(s.filmed_speed, 72);
  s.current_frame = 1799;  // back into row 1 from row 2: row 1's own end
  filmed_speed_step(s, route);
  EXPECT_EQ(s.position, end1);
  EXPECT_EQ(s.filmed_speed, 72);  // 36 + 36 x 899 / 900, rounded
  s.current_frame = 5;            // entering row 0 from another row
  filmed_speed_step(s, route);
  EXPECT_EQ(s.position, 0);
  s.current_frame = 1350;
  filmed_speed_step(s, route);
  EXPECT_EQ(s.filmed_speed, 54);
}

TEST(FrameStepping, MovementUnderOneCentimetreIsDropped) {
  RunState s;
  s.speed = 1.07L;  // 0.9907 cm a cycle
  position_counter_step(s);
  EXPECT_EQ(s.position, 0);
  EXPECT_EQ(s.movement_this_tick, 0);
  s.speed = 1.09L;
  position_counter_step(s);
  EXPECT_GT(s.position, 1);
  s.speed = -1.07L;
  s.target_stop_position = 500;
  long double before = s.position;
  position_counter_step(s);
  EXPECT_EQ(s.position, before);
  EXPECT_EQ(s.distance_to_stop, 500 - before);
  s.speed = -72;
  position_counter_step(s);
  EXPECT_NEAR(static_cast<double>(s.movement_this_tick), -72 * 33333.0 / 36000, 1e-9);
}

TEST(FrameStepping, FilmSpeedRunAndTheFramesOfFilmInserts) {
  RouteTables route = profile();
  route.FrameRate = 10;
  RunState s;
  s.current_frame = 100;
  s.film_speed_run = 1;
  frame_stepping(s, route);
  EXPECT_EQ(s.speed, 36);
  s.film_mode = kFilmTimeDriven;
  s.clock = 0;
  for (int i = 0; i < 30; ++i) frame_stepping(s, route);
  EXPECT_EQ(s.time_driven_frame, 10);  // 10 frames a second
  route.FrameRate = 0;                 // no usable rate: a frame every cycle
  frame_stepping(s, route);
  EXPECT_EQ(s.time_driven_frame, 11);
  s.film_mode = kFilmPositionInsert;
  s.frame_offset = 90;
  frame_stepping(s, route);
  EXPECT_EQ(s.time_driven_frame, s.current_frame - 90);
}

}  // namespace
}  // namespace cabsim
