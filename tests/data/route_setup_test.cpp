// The set-up of a route: film frames to positions with their rounding, the
// stored positions, the sorted route event list, speed checks behind the start
// and the Move menu.
#include "data/route_setup.h"

#include <gtest/gtest.h>

#include "data/definition_error.h"
#include "data/route_file.h"
#include "data/route_positions.h"
#include "data/shift_jis.h"
#include "support/sample_route.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

std::unique_ptr<RouteTables> set_up(std::string_view utf8_text, int32_t start_station = 0) {
  auto route = read_route_bytes(test::sjis_file_text(utf8_text), {});
  build_move_menu(*route);
  set_up_route_positions(*route, start_station);
  return route;
}

std::string station(std::string_view name, int kind, int frame, int half_zone, int stop_event) {
  return std::string(name) + "," + std::to_string(kind) + "," + std::to_string(frame) + "," +
         std::to_string(half_zone) + ",0,0,0,0,0," + std::to_string(stop_event) +
         ",0,0,0,0,0,0,0\n";
}

std::string signal_at(int frame) {
  return "0,0,0,3,0,0,0," + std::to_string(frame) + ",0,0,0,0,0\n";
}

TEST(RouteSetup, ConstantAndAcceleratingSegmentsPlaceObjects) {
  // 36 km/h for 10 s is 100 m; the middle frame lies at 50 m.
  auto r = set_up("[SpeedUnit]\n0,300,36,36\n#\n[SpeedCheck2]\n0,0,150,200\n#\n");
  EXPECT_EQ(r->SpeedUnit[0].end_distance, 10000);
  EXPECT_EQ(r->SpeedCheck2[0].position, 5000);
  // Accelerating from 0 to 72 km/h: 36 km/h at the middle frame, 25 m run.
  r = set_up("[SpeedUnit]\n0,300,0,72\n#\n[SpeedCheck2]\n0,0,150,200\n#\n");
  EXPECT_EQ(r->SpeedUnit[0].end_distance, 10000);
  EXPECT_EQ(r->SpeedCheck2[0].position, 2500);
}

TEST(RouteSetup, DistancesRoundHalvesToEven) {
  // 0.54 km/h over 5 frames is 2.5 cm, over 1 frame at 2.7 km/h 2.5 cm too.
  EXPECT_EQ(segment_distance({0, 5, 0.54L, 0.54L, 0}), 2);
  EXPECT_EQ(segment_distance({0, 1, 2.7L, 2.7L, 0}), 2);
  EXPECT_EQ(segment_distance({0, 9, 0.54L, 0.54L, 0}), 4);  // 4.5
  // Frame 9 of a 0.54 km/h segment lies at 4.5 cm, frame 3 at 0.9 km/h at 2.5 cm.
  SpeedUnitData slow{0, 100, 0.54L, 0.54L, 0};
  EXPECT_EQ(frame_distance(slow, 0, 9), 4);
  EXPECT_EQ(frame_distance(slow, 1000, 9), 1004);
  EXPECT_EQ(frame_distance({0, 100, 0.9L, 0.9L, 0}, 0, 3), 2);
  EXPECT_EQ(frame_distance({0, 100, 0.27L, 0.27L, 0}, 0, 6), 2);  // 1.5
  // The same halves through the file: the running sum of rounded lengths.
  auto r = set_up("[SpeedUnit]\n0,5,0.54,0.54\n5,6,2.7,2.7\n6,15,0.54,0.54\n#\n");
  EXPECT_EQ(r->SpeedUnit[0].end_distance, 2);
  EXPECT_EQ(r->SpeedUnit[1].end_distance, 4);
  EXPECT_EQ(r->SpeedUnit[2].end_distance, 8);
}

TEST(RouteSetup, CompleteRoutePositionsEventsAndMenu) {
  auto r = set_up(test::sample_route_text());
  EXPECT_EQ(r->SpeedUnit[0].end_distance, 30000);
  EXPECT_EQ(r->SpeedUnit[1].end_distance, 75000);
  EXPECT_EQ(r->SpeedUnit[2].end_distance, 105000);
  // Stations: the passed station on the shared frame 900, the last one at
  // the end of the braking segment.
  EXPECT_EQ(r->Station[0].stop_position, 5000);
  EXPECT_EQ(r->Station[0].zone_start, 4000);
  EXPECT_EQ(r->Station[0].zone_end, 6000);
  EXPECT_EQ(r->Station[1].stop_position, 30000);
  EXPECT_EQ(r->Station[2].stop_position, 105000);
  EXPECT_EQ(r->Station[2].zone_start, 103500);
  EXPECT_EQ(r->Station[3].stop_position, 0);  // the empty row is never placed
  EXPECT_EQ(r->TrafficSignal[0].position, 33519);
  EXPECT_EQ(r->TrafficSignal[0].second_position, 35417);
  EXPECT_EQ(r->Doppler[0].position, 20000);
  EXPECT_EQ(r->Tunnel[0].entry_position, 41667);
  EXPECT_EQ(r->Tunnel[0].exit_position, 56667);
  EXPECT_EQ(r->SpeedLimit[0].position, 13333);
  EXPECT_EQ(r->SpeedCheck2[0].position, 104630);
  // Check 1 at 20 m lies behind the start at station 0 (50 m), check 2 ahead.
  EXPECT_EQ(r->SpeedCheck1[0].position, 2000);
  EXPECT_EQ(r->SpeedCheck1[0].passed, 1);
  EXPECT_EQ(r->SpeedCheck1[1].position, 20000);
  EXPECT_EQ(r->SpeedCheck1[1].passed, 0);

  ASSERT_EQ(r->event_count, 5);
  const RouteEvent expected[] = {{7000, 10, 0, 0, kEventStopStation},
                                 {13333, 0, 0, 0, kEventSignal},
                                 {13333, 45, 0, 0, 1},
                                 {104907, 0, 1, 0, kEventSignal},
                                 {107000, 10, 0, 2, kEventStopStation}};
  for (size_t i = 0; i < 5; ++i) {
    const RouteEvent& e = r->events[i];
    EXPECT_EQ(e.position, expected[i].position) << i;
    EXPECT_EQ(e.value, expected[i].value) << i;
    EXPECT_EQ(e.signal, expected[i].signal) << i;
    EXPECT_EQ(e.station, expected[i].station) << i;
    EXPECT_EQ(e.kind, expected[i].kind) << i;
  }
  ASSERT_EQ(r->move_menu_count, 1);
  EXPECT_EQ(r->move_menu[0].caption, utf8_to_sjis("東西駅"));
  EXPECT_EQ(r->move_menu[0].name, "Sta0");
}

TEST(RouteSetup, StopStationEventLiesTwentyMetresBeyondTheStop) {
  auto r = set_up("[SpeedUnit]\n0,300,36,36\n#\n[Station]\n" + station("A", 0, 150, 500, 1) +
                  station("B", 0, 160, 500, 0) + station("C", 2, 170, 500, 1) + "#\n");
  // Only a kind-0 station whose field 10 is 1 gives an event.
  ASSERT_EQ(r->event_count, 1);
  EXPECT_EQ(r->events[0].position, 7000);
  EXPECT_EQ(r->events[0].value, 10);
  EXPECT_EQ(r->events[0].kind, kEventStopStation);
}

TEST(RouteSetup, EventsAtOnePositionKeepSignalsLimitsStations) {
  // At 36 km/h frame 60 lies at 2000 cm, where the event of a stop at frame 0
  // lies too: a signal, a limit and the station meet there.
  auto r = set_up(
      "[SpeedUnit]\n0,300,36,36\n#\n"
      "[Station]\n" +
      station("A", 0, 0, 100, 1) +
      "#\n"
      "[Signal]\n" +
      signal_at(120) + signal_at(60) +
      "#\n"
      "[SpeedLimit]\n45,0,1,60,70\n30,0,0,30,40\n#\n");
  ASSERT_EQ(r->event_count, 5);
  EXPECT_EQ(r->events[0].position, 1000);  // limit at frame 30
  EXPECT_EQ(r->events[1].kind, kEventSignal);
  EXPECT_EQ(r->events[1].signal, 1);
  EXPECT_EQ(r->events[1].position, 2000);
  EXPECT_EQ(r->events[2].kind, 1);
  EXPECT_EQ(r->events[2].position, 2000);
  EXPECT_EQ(r->events[3].kind, kEventStopStation);
  EXPECT_EQ(r->events[3].position, 2000);
  EXPECT_EQ(r->events[4].signal, 0);
  EXPECT_EQ(r->events[4].position, 4000);
}

TEST(RouteSetup, SharedFrameOfTwoSegmentsGivesTwoEvents) {
  auto r = set_up("[SpeedUnit]\n0,300,36,36\n300,600,36,36\n#\n[Signal]\n" + signal_at(300) +
                  "#\n[SpeedCheck2]\n0,0,300,310\n#\n[SpeedCheck1]\n0,0,700,0\n#\n");
  ASSERT_EQ(r->event_count, 2);
  EXPECT_EQ(r->events[0].position, 10000);
  EXPECT_EQ(r->events[1].position, 10000);
  EXPECT_EQ(r->SpeedCheck2[0].position, 10000);
  // A frame in no segment keeps position 0, so a check there lies at 0 cm,
  // behind no start position of 0.
  EXPECT_EQ(r->SpeedCheck1[0].position, 0);
  EXPECT_EQ(r->SpeedCheck1[0].passed, 0);
}

TEST(RouteSetup, ExchangeSortOrdersByPositionAndKeepsTies) {
  RouteTables route;
  const int32_t positions[] = {500, 100, 300, 100, 500, 0};
  for (int32_t i = 0; i < 6; ++i) route.events[static_cast<size_t>(i)] = {positions[i], i, 0, 0, 2};
  route.event_count = 6;
  sort_route_events(route);
  const int32_t order[] = {5, 1, 3, 2, 0, 4};  // values, i.e. the original indices
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(route.events[i].value, order[i]) << i;
}

TEST(RouteSetup, MoreThan501EventsRefuseTheRoute) {
  auto signals = [](int count) {
    std::string text = "[SpeedUnit]\n0,1000,36,36\n#\n[Signal]\n";
    for (int i = 0; i < count; ++i) text += signal_at(i);
    return text + "#\n";
  };
  EXPECT_EQ(set_up(signals(501))->event_count, 501);
  auto route = read_route_bytes(test::sjis_file_text(signals(500) + "[SpeedLimit]\n1,0,1,5,6\n"
                                                                    "2,0,1,5,6\n#\n"),
                                {});
  try {
    set_up_route_positions(*route, 0);
    FAIL() << "502 events were accepted";
  } catch (const DefinitionError& e) {
    EXPECT_EQ(std::string(e.what()), "路線ファイルに誤りがあります。[SpeedLimit]:");
  }
}

TEST(RouteSetup, SpeedChecksBehindTheStartStationArePassed) {
  std::string text = "[SpeedUnit]\n0,300,36,36\n#\n[Station]\n" + station("A", 0, 30, 100, 0) +
                     station("B", 0, 150, 100, 0) + station("C", 0, 270, 100, 0) +
                     "#\n[SpeedCheck1]\n40,0,30,0\n40,0,60,0\n40,0,200,0\n#\n";
  auto r = set_up(text, 0);
  EXPECT_EQ(r->SpeedCheck1[0].passed, 0);  // at the stop itself: not behind it
  EXPECT_EQ(r->SpeedCheck1[1].passed, 0);
  r = set_up(text, 2);
  EXPECT_EQ(start_position(*r, 2), 9000);
  EXPECT_EQ(r->SpeedCheck1[0].passed, 1);
  EXPECT_EQ(r->SpeedCheck1[1].passed, 1);
  EXPECT_EQ(r->SpeedCheck1[2].passed, 1);
  // The row after the last station and indices outside the table start at 0.
  EXPECT_EQ(start_position(*r, 3), 0);
  EXPECT_EQ(start_position(*r, 600), 0);
  EXPECT_EQ(start_position(*r, -1), 0);
}

TEST(RouteSetup, MoveMenuListsStopsButNotTheLastStation) {
  auto r = set_up("[Station]\n" + station("A", 0, 1, 1, 0) + station("B", 0, 2, 1, 0) +
                  station("C", 0, 3, 1, 0) + "#\n");
  ASSERT_EQ(r->move_menu_count, 2);
  EXPECT_EQ(r->move_menu[0].name, "Sta0");
  EXPECT_EQ(r->move_menu[1].name, "Sta1");
  EXPECT_EQ(r->move_menu[1].caption, "B");
  r = set_up("[Station]\n" + station("A", 1, 1, 1, 0) + station("B", 2, 2, 1, 0) +
             station("C", 3, 3, 1, 0) + station("D", 0, 4, 1, 0) + station("E", 1, 5, 1, 0) +
             "#\n");
  ASSERT_EQ(r->move_menu_count, 2);
  EXPECT_EQ(r->move_menu[0].name, "Sta1");
  EXPECT_EQ(r->move_menu[1].name, "Sta3");
  EXPECT_EQ(set_up("[Station]\n#\n")->move_menu_count, 0);
}

TEST(RouteSetup, SoundLengthsAndRunFields) {
  auto r = set_up(
      "[SoundData]\na.wav\nb.wav\n#\n[TrafficSignal]\n"
      "1,2,3,4,25,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26\n#\n");
  store_sound_lengths(*r, [](std::string_view file) { return file == "b.wav" ? 7 : 3; });
  EXPECT_EQ(r->SoundData_seconds[0], 3);
  EXPECT_EQ(r->SoundData_seconds[1], 7);
  r->TrafficSignal[0].phase = 4;
  r->Station[0].melody_started = 1;
  r->SpeedCheck1[0].passed = 1;
  reset_route_run_fields(*r);
  EXPECT_EQ(r->Station[0].melody_started, 0);
  EXPECT_EQ(r->SpeedCheck1[0].passed, 0);
  EXPECT_EQ(r->TrafficSignal[0].phase, 1);
  EXPECT_EQ(r->TrafficSignal[0].phase_timer, 25);
}

TEST(RouteSetup, CrossingImagesKeepOnlyThoseAfterTheLastSizeChange) {
  EXPECT_EQ(first_kept_cross_image({}), 0);
  EXPECT_EQ(first_kept_cross_image({{64, 48}, {64, 48}}), 0);
  EXPECT_EQ(first_kept_cross_image({{64, 48}, {32, 48}, {32, 48}}), 1);
  EXPECT_EQ(first_kept_cross_image({{64, 48}, {32, 48}, {64, 48}}), 2);
}

}  // namespace
}  // namespace cabsim
