// The train ahead follows its timetable: standing at each row's station,
// running evenly to the next, gone before its first time and beyond the
// removal frame.
#include "operation/preceding_train.h"

#include <gtest/gtest.h>

#include "support/test_run.h"

namespace cabsim {
namespace {

using test::TestRun;

constexpr int32_t k10h = 1080000;  // 10:00:00 in clock units

/// Three stations at frames 100, 5000 and 8000; `pre_train` is the section.
std::string route_with(const std::string& pre_train) {
  return "[LineName]\n線\n[StartPos]\n100\n[Speed_Signal]\n0\n25\n45\n75\n110\n#\n" + pre_train +
         "[Station]\n"
         "東駅,2,100,1000,0,0,0,972000,60,1,0,0,0,300,5,0,100\n"
         "中駅,2,5000,1000,0,0,0,990000,60,1,0,0,0,300,5,0,100\n"
         "西駅,2,8000,1000,0,0,0,999000,0,1,0,0,0,300,5,0,100\n#\n"
         "[SpeedUnit]\n0,9000,60,60\n#\n";
}

TEST(PrecedingTrain, StandsAtEachStationThenRunsEvenlyToTheNext) {
  // Reaches 東駅 at 10:00:00 and stands 30 s, reaches 中駅 at 10:02:00,
  // stands 60 s, reaches 西駅 at 10:05:00.
  TestRun t(test::TrainFileText{}, route_with("[Pre_Train]\n1,8500\n" + std::to_string(k10h) +
                                              ",0,30\n" + std::to_string(k10h + 3600) + ",1,60\n" +
                                              std::to_string(k10h + 9000) + ",2,0\n#\n"));
  const RouteTables& r = *t.run->route;
  EXPECT_EQ(preceding_train_frame_at(r, k10h - 1), 0);  // not on the line yet
  EXPECT_EQ(preceding_train_frame_at(r, k10h), 100);
  EXPECT_EQ(preceding_train_frame_at(r, k10h + 899), 100);
  EXPECT_EQ(preceding_train_frame_at(r, k10h + 900), 100);  // leaves
  // 4900 frames over 2700 clock units.
  EXPECT_EQ(preceding_train_frame_at(r, k10h + 900 + 1350), 100 + 2450);
  EXPECT_EQ(preceding_train_frame_at(r, k10h + 3599), 100 + 4900 * 2699 / 2700);
  EXPECT_EQ(preceding_train_frame_at(r, k10h + 3600), 5000);
  EXPECT_EQ(preceding_train_frame_at(r, k10h + 5399), 5000);
  EXPECT_EQ(preceding_train_frame_at(r, k10h + 9000), 8000);
  EXPECT_EQ(preceding_train_frame_at(r, k10h + 900000), 8000);  // stays at the last
  // A move puts it at the station of the row whose range holds the clock.
  EXPECT_EQ(preceding_train_station_frame(r, k10h + 2000), 100);
  EXPECT_EQ(preceding_train_station_frame(r, k10h + 3600), 5000);
  EXPECT_EQ(preceding_train_station_frame(r, k10h - 5), 0);

  // The tick follows the clock and removes the train beyond the removal frame.
  t.s().clock = k10h + 3600;
  preceding_train_step(*t.run);
  EXPECT_EQ(t.s().pre_train_frame, 5000);
  const int32_t ticks = t.s().tick_count;
  t.run->route->Pre_TrainHeader.removal_frame = 4999;
  preceding_train_step(*t.run);
  EXPECT_EQ(t.s().pre_train_frame, 0);
  EXPECT_EQ(t.s().tick_count, ticks + 1);
}

TEST(PrecedingTrain, StrangeTimetablesGiveNoTrainOrAStandingOneNeverACrash) {
  // Backwards in time: the first row's range is empty, the second holds all
  // later times.
  TestRun back(test::TrainFileText{},
               route_with("[Pre_Train]\n1,9000\n" + std::to_string(k10h) + ",0,0\n" +
                          std::to_string(k10h - 600) + ",1,0\n#\n"));
  EXPECT_EQ(preceding_train_frame_at(*back.run->route, k10h - 601), 0);
  EXPECT_EQ(preceding_train_frame_at(*back.run->route, k10h - 600), 5000);
  EXPECT_EQ(preceding_train_frame_at(*back.run->route, k10h + 100), 5000);
  // Stations the route lacks, a standing time past the next row, two rows at
  // the same time, extreme values.
  TestRun odd(test::TrainFileText{},
              route_with("[Pre_Train]\n1,2147483647\n0,7,0\n100,0,2147483647\n200,1,0\n200,2,"
                         "-2147483648\n2147483647,-1,5\n#\n"));
  const RouteTables& r = *odd.run->route;
  EXPECT_EQ(preceding_train_frame_at(r, 50), 0);     // station 7: none
  EXPECT_EQ(preceding_train_frame_at(r, 150), 100);  // stands past the next row's time
  EXPECT_EQ(preceding_train_frame_at(r, 200), 8000);
  EXPECT_EQ(preceding_train_frame_at(r, 2147483647), 0);
  EXPECT_EQ(preceding_train_frame_at(r, -2147483647 - 1), 0);
  // No timetable: the frame is left alone (0), the header alone removes.
  TestRun none;
  none.s().pre_train_frame = 0;
  preceding_train_step(*none.run);
  EXPECT_EQ(none.s().pre_train_frame, 0);
}

}  // namespace
}  // namespace cabsim
