// The route file reader: every section of a complete Shift-JIS route, the
// special forms, the capacities and the exact messages of bad files.
#include "data/route_file.h"

#include <gtest/gtest.h>

#include "data/definition_error.h"
#include "data/route_lookup.h"
#include "data/shift_jis.h"
#include "support/sample_route.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

using test::sjis_file_text;

std::unique_ptr<RouteTables> read(std::string_view utf8_text, RouteReadContext context = {}) {
  return read_route_bytes(sjis_file_text(utf8_text), context);
}

/// The message a route file fails with ("" when it reads).
std::string failure(std::string_view utf8_text) {
  try {
    read(utf8_text);
  } catch (const DefinitionError& e) {
    return e.what();
  }
  return "";
}

std::string sjis(std::string_view utf8) {
  return utf8_to_sjis(utf8);
}

const std::string kPrefix = "路線ファイルに誤りがあります。";

TEST(RouteFile, ReadsEverySectionOfACompleteRoute) {
  test::TempDir dir;
  auto path = dir.write_sjis("line_tozai.dat", test::sample_route_text());
  RouteReadContext context;
  context.train_dir_prefix = sjis("車両\\");
  auto r = read_route_file(path, context);

  EXPECT_EQ(r->LineName, sjis("東西線 上り 各駅停車"));
  EXPECT_EQ(r->LineName2, sjis("東西線"));
  EXPECT_EQ(r->StartPos, 120);
  EXPECT_EQ(r->FrameRate, 30);
  EXPECT_EQ(r->Staf[0], sjis("staf\\スタフ.bmp"));
  EXPECT_EQ(r->Staf[1], "staf\\start.bmp");
  EXPECT_EQ(r->Friction.count(), 3500);
  ASSERT_EQ(r->StafSwitch_count, 2);
  EXPECT_EQ(r->StafSwitch[0], 240);
  EXPECT_EQ(r->StafSwitch[1], 2);
  EXPECT_EQ(r->MovieStop_filled, 1);
  EXPECT_EQ(r->MovieStop[0], 2690);
  ASSERT_EQ(r->MovieSwitch_count, 1);
  EXPECT_EQ(r->MovieSwitch[0].film, sjis("駅構内"));
  EXPECT_EQ(r->MovieSwitch[0].start_clock, 32460000);
  EXPECT_EQ(r->MovieSwitch[0].cue_sound, 1);
  EXPECT_EQ(r->Speed_Signal_count, 5);
  EXPECT_EQ(r->Speed_Signal[4], 110);
  EXPECT_EQ(r->DataName, "tozai_up");
  EXPECT_EQ(r->perspective.P1, 12.5L);
  EXPECT_EQ(r->perspective.P2, 80);
  EXPECT_EQ(r->Pre_TrainHeader.field1, 100);
  EXPECT_EQ(r->Pre_TrainHeader.removal_frame, 2500);
  ASSERT_EQ(r->Pre_Train_count, 2);
  EXPECT_EQ(r->Pre_Train[1].field3, 900);
  EXPECT_EQ(r->OneMan, 0);
  ASSERT_EQ(r->SoundData_count, 2);
  EXPECT_EQ(r->SoundData[1], sjis("sound\\発車メロディ.wav"));
  // Only the block of the current train is used; its picture takes the
  // train directory prefix.
  ASSERT_TRUE(r->Monitor.present);
  EXPECT_EQ(r->Monitor.image.x, 10);
  EXPECT_EQ(r->Monitor.image.pattern_height, 40);
  EXPECT_EQ(r->Monitor.image.file, sjis("車両\\monitor.bmp"));
  EXPECT_EQ(r->AnnounceHeader, 1);
  ASSERT_EQ(r->Announce_count, 2);
  EXPECT_EQ(r->Announce[0].station, 2);
  EXPECT_EQ(r->Announce[0].distance_m, 300);
  EXPECT_EQ(r->KankoSound1[0], "kanko\\k0.wav");
  EXPECT_EQ(r->KankoSound1[21], "kanko\\k21.wav");
  ASSERT_EQ(r->KankoSound2_count, 3);
  EXPECT_EQ(r->KankoSound2[2].number + kFirstKankoSound2, 24);
  ASSERT_EQ(r->Sound_count, 2);  // the two remark lines are skipped
  EXPECT_EQ(r->Sound[1].frame, 700);
  EXPECT_EQ(r->Sound2_count, 1);
  EXPECT_EQ(r->Doppler[0].range, 5000);
  EXPECT_EQ(r->Tunnel[0].darkness, 128);
  EXPECT_EQ(r->Atten[0].level, 50);
  EXPECT_EQ(r->TunnelR, 12);
  ASSERT_EQ(r->Station_count, 3);
  const StationData& west = r->Station[2];
  EXPECT_EQ(west.name, sjis("西町"));
  EXPECT_EQ(west.frame, 2700);
  EXPECT_EQ(west.half_zone, 1500);
  EXPECT_EQ(west.departure_time, 32460000);
  EXPECT_EQ(west.stop_event, 1);
  EXPECT_EQ(west.special_stop, 1);
  EXPECT_EQ(west.marker_x, 310);
  EXPECT_EQ(west.commentary, 1);
  EXPECT_EQ(west.door_percent, 90);
  EXPECT_EQ(r->Station[3].name, "");  // the empty row after the last station
  EXPECT_EQ(r->StopSound_count, 1);
  ASSERT_EQ(r->Signal_count, 2);
  EXPECT_EQ(r->Signal[1].control_kind, 3);
  EXPECT_EQ(r->Signal[1].frame, 2650);
  EXPECT_EQ(r->Signal[1].picture_right, 1);
  ASSERT_EQ(r->TrafficSignal_count, 1);
  EXPECT_EQ(r->TrafficSignal[0].phases[1].duration, 5);
  EXPECT_EQ(r->TrafficSignal[0].second_frame, 1050);
  EXPECT_EQ(r->TrafficSignal[0].proceed_cell, 5);
  ASSERT_EQ(r->Slope_count, 2);
  EXPECT_EQ(r->Slope[0].gradient.count(), -25000);
  EXPECT_EQ(r->Sign[0].field4, 1);
  EXPECT_EQ(r->Anim[0].field4, 2);
  EXPECT_EQ(r->SignalKanko[0].slot, 1);
  EXPECT_EQ(r->StationKanko[0].value, 2);
  EXPECT_EQ(r->SpeedLimit[0].view_start, 400);
  EXPECT_EQ(r->SpeedCheck1_count, 2);
  EXPECT_EQ(r->SpeedCheck2[0].end_frame, 2700);
  EXPECT_EQ(r->SignImageList.count, 1);
  ASSERT_EQ(r->OtherImageList_count, 1);
  EXPECT_EQ(r->OtherImageList[0].sound, "other\\limit45.wav");
  EXPECT_EQ(r->SignalImageList.count, 2);
  EXPECT_EQ(r->SignalImageList2.files[0], "signal\\sub0.bmp");
  ASSERT_EQ(r->SpeedUnit_count, 3);
  EXPECT_EQ(r->SpeedUnit[2].start_speed, 72.0L);
  EXPECT_EQ(r->CrossImageList.count, 1);
  EXPECT_EQ(r->Cross[0].call_sound, 5);
  EXPECT_EQ(r->Time[0].target_clock, 32401000);
  EXPECT_EQ(r->Switch[0].kind, 1);
}

TEST(RouteFile, MonitorBlockOfAnotherTrainIsSkippedLineByLine) {
  RouteReadContext context;
  context.train_file_name = "train_683.dat";
  auto r = read("[Monitor]\ntrain_tz100.dat\n1\n2\n3\n4\nmon.bmp\n[StartPos]\n7\n", context);
  EXPECT_FALSE(r->Monitor.present);
  EXPECT_EQ(r->StartPos, 7);
  // Its value lines are unknown lines: a number there is no error.
  context.train_file_name = "train_tz100.dat";
  r = read("[Monitor]\ntrain_683.dat\nx\n[Monitor]\ntrain_tz100.dat\n5\n6\n7\n8\nm.bmp\n", context);
  ASSERT_TRUE(r->Monitor.present);
  EXPECT_EQ(r->Monitor.image.x, 5);
  EXPECT_EQ(r->Monitor.image.file, "m.bmp");
}

TEST(RouteFile, ImageListsGrowWhileOtherListsRestart) {
  auto r = read(
      "[SignalImageList]\na.bmp\n#\n[Signal]\n1,0,0,0,0,0,0,0,0,0,0,0,0\n"
      "2,0,0,0,0,0,0,0,0,0,0,0,0\n#\n[KankoSound2]\nk0.wav\nk1.wav\n#\n"
      "[OtherImageList]\no1.bmp\no1.wav\n#\n"
      "[SignalImageList]\nb.bmp\n#\n[Signal]\n3,0,0,0,0,0,0,0,0,0,0,0,0\n#\n"
      "[KankoSound2]\nk2.wav\n#\n[OtherImageList]\no2.bmp\no2.wav\n#\n");
  EXPECT_EQ(r->SignalImageList.count, 2);
  EXPECT_EQ(r->SignalImageList.files[1], "b.bmp");
  EXPECT_EQ(r->OtherImageList_count, 2);
  ASSERT_EQ(r->Signal_count, 1);
  EXPECT_EQ(r->Signal[0].control_kind, 3);
  // The second block numbers its calls from 22 again.
  ASSERT_EQ(r->KankoSound2_count, 1);
  EXPECT_EQ(r->KankoSound2[0].number, 0);
  EXPECT_EQ(r->KankoSound2[0].file, "k2.wav");
}

TEST(RouteFile, ShorterStationListLeavesAnEmptyRowAfterItsLastStation) {
  auto r = read(
      "[Station]\nA,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0\nB,2,2,1,0,0,0,0,0,0,0,0,0,0,0,0,0\n#\n"
      "[Station]\nC,0,3,1,0,0,0,0,0,0,0,0,0,0,0,0,0\n#\n");
  ASSERT_EQ(r->Station_count, 1);
  EXPECT_EQ(r->Station[1].name, "");
  EXPECT_EQ(r->Station[1].kind, 0);
  EXPECT_EQ(r->Station[1].frame, 0);
}

TEST(RouteFile, RemarksAreSkippedOnlyInTheSoundLists) {
  auto r = read("[Sound]\n1,1,1,1,1,1,1\n;remark\n2,2,2,2,2,2,2\n#\n[Sound2]\n;\n1,2,3\n#\n");
  ASSERT_EQ(r->Sound_count, 2);
  EXPECT_EQ(r->Sound[1].sound, 2);
  EXPECT_EQ(r->Sound2_count, 1);
  EXPECT_EQ(failure("[Doppler]\n;remark\n#\n"), kPrefix + "[Doppler]:;remark");
}

TEST(RouteFile, StafSwitchTakesTheLineAfterItsKeyAsPageHeight) {
  auto r = read("[StafSwitch]\n300\n#\n");
  EXPECT_EQ(r->StafSwitch_count, 1);
  EXPECT_EQ(r->StafSwitch[0], 300);
  // Entry 0 is a value line, never the end of the list.
  EXPECT_EQ(failure("[StafSwitch]\n#\n"), kPrefix + "[StafSwitch]:#");
}

TEST(RouteFile, KeysCarryRemarksButNoLeadingBlanks) {
  auto r = read("[StartPos] 開始位置\n42\n [FrameRate]\n9\n");
  EXPECT_EQ(r->StartPos, 42);
  EXPECT_EQ(r->FrameRate, 0);
}

TEST(RouteFile, KankoSound1TakesExactly22Lines) {
  auto r = read("[KankoSound1]\n" + test::sample_kanko_sound1() + "[StartPos]\n5\n");
  EXPECT_EQ(r->KankoSound1[21], "kanko\\k21.wav");
  EXPECT_EQ(r->StartPos, 5);
  // With fewer lines the following key is taken as a call sound name.
  r = read("[KankoSound1]\na.wav\n[StartPos]\n5\n");
  EXPECT_EQ(r->KankoSound1[1], "[StartPos]");
  EXPECT_EQ(r->KankoSound1[2], "5");
  EXPECT_EQ(r->StartPos, 0);
}

TEST(RouteFile, MessagesNameTheLastLabelAndTheCurrentLine) {
  struct Case {
    const char* file;
    std::string message;
  };
  const Case cases[] = {
      {"[StartPos]\nabc\n", kPrefix + "その他:abc"},
      {"[FrameRate]\n", kPrefix + "その他:"},
      {"[Friction]\n0,3\n", kPrefix + "その他:0,3"},
      {"[Perspective]\n1.5\nx\n", kPrefix + "[Speed_Signal]:x"},
      {"[OneMan]\n1 \n", kPrefix + "[Pre_Train]:1 "},
      {"[Pre_Train]\n#\n", kPrefix + "[Pre_Train]:#"},
      {"[Pre_Train]\n1\n#\n", kPrefix + "[Pre_Train]:1"},
      {"[Monitor]\ntrain_tz100.dat\n1\n2\n三\n", kPrefix + "[SoundData]:三"},
      {"[Announce]\n1\n1,2,3\n#\n", kPrefix + "[Announce]:1,2,3"},
      {"[TunnelR]\n1.5\n", kPrefix + "[TunnelR]:1.5"},
      {"[Station]\n東西駅,0,150\n#\n", kPrefix + "[Station]:東西駅,0,150"},
      {"[Station]\n東西駅,0,150,1000,0,0,0,0,0,0,0,0,0,0,0,0,x\n#\n",
       kPrefix + "[Station]:東西駅,0,150,1000,0,0,0,0,0,0,0,0,0,0,0,0,x"},
      {"[Signal]\n0,0,0,3,100,400,380,400,0,0,0,0,0\n",
       kPrefix + "[Signal]:0,0,0,3,100,400,380,400,0,0,0,0,0"},
      {"[Slope]\n1.5e,0,9\n#\n", kPrefix + "[Slope]:1.5e,0,9"},
      {"[SpeedLimit]\n45 ,0,1,400,500\n#\n", kPrefix + "[SpeedLimit]:45 ,0,1,400,500"},
      {"[SpeedUnit]\n100,100,36,36\n#\n", kPrefix + "[SpeedUnit]:100,100,36,36"},
      {"[SpeedUnit]\n0,1,36\n#\n", kPrefix + "[SpeedUnit]:0,1,36"},
      {"[SpeedUnit]\n0,2000000000,1e300,1\n#\n", kPrefix + "[SpeedUnit]:0,2000000000,1e300,1"},
      {"[MovieSwitch]\n0,1,2,film\n#\n", kPrefix + "[MovieSwitch]:0,1,2,film"},
      {"[Switch]\n1\n#\n", kPrefix + "[Switch]:1"},
      {"[Time]\n1,2,3\n", kPrefix + "[Time]:1,2,3"},
  };
  for (const Case& c : cases) EXPECT_EQ(failure(c.file), c.message) << c.file;
}

TEST(RouteFile, MissingFileGetsTheRouteMessage) {
  // So does a file with no route key at all: empty, noise, a picture.
  for (const char* not_a_route : {"", "BM6\x01\0\0 [Station\n", " [StartPos]\n5\n"})
    EXPECT_EQ(failure(not_a_route), kPrefix + ":") << not_a_route;
  test::TempDir dir;
  try {
    read_route_file(dir / "line_none.dat", {});
    FAIL() << "a missing route file was read";
  } catch (const DefinitionError& e) {
    EXPECT_EQ(std::string(e.what()), kPrefix + ":");
  }
}

/// `count` lines made by `line(i)`, each ended by a line break.
template <typename Line>
std::string lines(size_t count, Line line) {
  std::string out;
  for (size_t i = 0; i < count; ++i) out += line(i) + "\n";
  return out;
}

TEST(RouteFile, EveryListStopsAtItsCapacity) {
  struct Case {
    std::string key;
    size_t capacity;
    std::string entry;
  };
  const Case cases[] = {
      {"[Speed_Signal]", kMaxSignalSpeeds, "5"},
      {"[MovieStop]", kMaxMovieStops, "5"},
      {"[SoundData]", kMaxEnvironmentSounds, "s.wav"},
      {"[KankoSound2]", kMaxKankoSound2, "k.wav"},
      {"[Station]", kMaxStations, "S,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0"},
      {"[Signal]", kMaxSignals, "0,0,0,0,0,0,0,0,0,0,0,0,0"},
      {"[Time]", kMaxTimes, "1,2,3"},
      {"[Cross]", kMaxCrossings, "1,2,3,4,5"},
      {"[SignImageList]", kMaxListImages, "a.bmp"},
  };
  for (const Case& c : cases) {
    auto entry = [&c](size_t) { return c.entry; };
    EXPECT_EQ(failure(c.key + "\n" + lines(c.capacity, entry) + "#\n"), "") << c.key;
    EXPECT_EQ(failure(c.key + "\n" + lines(c.capacity + 1, entry) + "#\n"),
              kPrefix + c.key + ":" + c.entry)
        << c.key;
  }
  EXPECT_EQ(kMaxKankoSound2, 278u);  // call sounds 22 to 299
  // A growing image list is full over all its blocks.
  std::string half = "[SignalImageList]\n" +
                     lines(kMaxListImages / 2, [](size_t) { return std::string("a.bmp"); }) + "#\n";
  EXPECT_EQ(failure(half + half), "");
  EXPECT_EQ(failure(half + half + "[SignalImageList]\nz.bmp\n#\n"),
            kPrefix + "[SignalImageList]:z.bmp");
  // Header lines do not count as entries.
  auto row = [](size_t) { return std::string("1,2,3,4"); };
  EXPECT_EQ(failure("[Announce]\n0\n" + lines(kMaxAnnouncements, row) + "#\n"), "");
  EXPECT_EQ(failure("[StafSwitch]\n240\n" +
                    lines(kMaxStafPages - 1, [](size_t) { return std::string("1"); }) + "9\n#\n"),
            kPrefix + "[StafSwitch]:9");
}

TEST(RouteFile, SpeedProfileHoldsTenThousandSegments) {
  auto segment = [](size_t i) {
    return std::to_string(i * 10) + "," + std::to_string(i * 10 + 10) + ",36,36";
  };
  auto r = read("[SpeedUnit]\n" + lines(kMaxSpeedUnits, segment) + "#\n");
  EXPECT_EQ(r->SpeedUnit_count, static_cast<int32_t>(kMaxSpeedUnits));
  EXPECT_EQ(failure("[SpeedUnit]\n" + lines(kMaxSpeedUnits + 1, segment) + "#\n"),
            kPrefix + "[SpeedUnit]:" + segment(kMaxSpeedUnits));
}

TEST(RouteFile, IndicesFromTheFileAreLookedUpChecked) {
  auto r = read(
      "[Station]\nA,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0\n#\n[SoundData]\na.wav\n#\n"
      "[KankoSound2]\nk22.wav\nk23.wav\n#\n[Signal]\n0,0,0,0,0,0,0,0,0,0,0,0,0\n#\n");
  ASSERT_NE(station_at(*r, 1), nullptr);  // the empty row
  EXPECT_EQ(station_at(*r, 1)->name, "");
  EXPECT_EQ(station_at(*r, 2), nullptr);
  EXPECT_EQ(station_at(*r, -1), nullptr);
  EXPECT_NE(signal_at(*r, 0), nullptr);
  EXPECT_EQ(signal_at(*r, 1), nullptr);
  EXPECT_TRUE(is_environment_sound(*r, 0));
  EXPECT_FALSE(is_environment_sound(*r, 1));
  ASSERT_NE(call_sound_file(*r, 23), nullptr);
  EXPECT_EQ(*call_sound_file(*r, 23), "k23.wav");
  EXPECT_NE(call_sound_file(*r, 21), nullptr);
  EXPECT_EQ(call_sound_file(*r, 24), nullptr);
  EXPECT_EQ(call_sound_file(*r, -1), nullptr);
}

}  // namespace
}  // namespace cabsim
