// Assembling a run from its files: reading order, sounds on their channels,
// the start frame, clock and position, and the starting state.
#include <gtest/gtest.h>

#include "data/definition_error.h"
#include "data/shift_jis.h"
#include "run/run_assembly.h"
#include "support/test_run.h"

namespace cabsim {
namespace {

std::string le32(uint32_t v) {
  return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

/// A mono 8-bit PCM wave file of `seconds` at 8000 samples per second.
std::string wave_of_seconds(uint32_t seconds) {
  std::string fmt = std::string{1, 0, 1, 0} + le32(8000) + le32(8000) + std::string{1, 0, 8, 0};
  uint32_t data = 8000 * seconds;
  std::string body =
      "WAVE" + std::string("fmt ") + le32(16) + fmt + "data" + le32(data) + std::string(data, 0);
  return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

FileResolver plain_resolver() {
  return [](const std::filesystem::path& base, std::string_view name) {
    return base / std::filesystem::path(std::string(name));
  };
}

/// Stations: a stop with doors (kind 0) whose melody is environment sound 1,
/// then a stop without doors whose arrival sound is 0 and melody 1.
std::string stations_route() {
  return "[LineName]\n線\n[StartPos]\n50\n[SoundData]\narrive.wav\nmelody.wav\n#\n"
         "[Station]\n"
         "一,0,100,1000,0,1,0,972000,60,1,0,0,0,300,5,0,100\n"
         "二,2,900,1000,0,1,0,990000,70,1,0,0,0,300,5,0,100\n#\n"
         "[SpeedUnit]\n0,9000,60,60\n#\n";
}

struct Folder {
  test::TempDir dir;
  Folder(const test::TrainFileText& train = test::TrainFileText{}.set("[DriveSound]",
                                                                      "horn.wav\n#")) {
    dir.write_bytes("mascon.dat", "P1\r\n#\r\n");
    dir.write_sjis("train_tz100.dat", train.text());
    dir.write_sjis("line.dat", stations_route());
    dir.write_sjis("cabworks.dat",
                   "[Forward]\n前\n[Cars]\n両\n[Gears]\nN\n1速\n2\n3\n4\n5\n[Doors]\n左\n右\n");
    dir.write_bytes("horn.wav", wave_of_seconds(1));
    dir.write_bytes("arrive.wav", wave_of_seconds(2));
    dir.write_bytes("melody.wav", wave_of_seconds(5));
  }
  RunSelection selection(int32_t start = 0) const {
    RunSelection sel;
    sel.program_dir = dir.path();
    sel.route_file = "line.dat";
    sel.start_station = start;
    return sel;
  }
};

struct Assembled {
  VirtualClock clock;
  SilentSoundChannels sounds;
  Scheduler scheduler{clock, [] {}, [] {}};
  Run run{sounds, clock, scheduler};
};

TEST(RunAssembly, ARunFromTheFirstStationStandsWithItsDoorsOpen) {
  Folder folder;
  Assembled a;
  assemble_run(a.run, folder.selection(), RunSettings{}, plain_resolver());
  const RunState& s = a.run.state;
  RunView& view = a.run.view;
  EXPECT_EQ(s.current_frame, 50);       // `[StartPos]`
  EXPECT_EQ(s.clock, 972000 - 30 * 5);  // departure less the melody
  EXPECT_EQ(s.doors_open, 1);
  EXPECT_EQ(s.doors_not_closed, 1);
  EXPECT_EQ(s.next_station, 1);
  EXPECT_EQ(s.position, a.run.route->Station[0].stop_position);
  EXPECT_EQ(s.brake_handle, -8);
  EXPECT_EQ(s.reverser, 1);
  EXPECT_EQ(view.car_count_text, utf8_to_sjis("8両"));
  EXPECT_EQ(view.next_station_text, utf8_to_sjis("一"));
  EXPECT_EQ(view.gear_text, "M");  // electric: the handle refresh shows the power mode
  EXPECT_EQ(s.ats_on, 1);
  // Sounds: the train's on 0, the route's from 1, with their lengths.
  EXPECT_TRUE(a.sounds.has_sound(0));
  EXPECT_EQ(a.sounds.length(2), 5000);
  EXPECT_EQ(a.run.route->SoundData_seconds[1], 5);
  EXPECT_EQ(a.sounds.status(0), ChannelStatus::kStopped);
}

TEST(RunAssembly, ALaterStartStationAndTheSettings) {
  Folder folder;
  Assembled a;
  RunSettings beginner;
  beginner.ATS = 1;
  beginner.Information = 0;
  assemble_run(a.run, folder.selection(1), beginner, plain_resolver());
  const RunState& s = a.run.state;
  EXPECT_EQ(s.current_frame, 900);
  EXPECT_EQ(s.clock, 990000 - 30 * 5 - 30 * 2);  // also less the arrival sound
  EXPECT_EQ(s.doors_open, 0);                    // no doors at this stop
  EXPECT_EQ(s.next_station, 2);
  EXPECT_EQ(s.departure_counter, 1);
  EXPECT_EQ(s.ats_on, 0);
  EXPECT_EQ(s.beginner_mode, 1);
  EXPECT_EQ(s.commentary_on, 0);
}

TEST(RunAssembly, SoundsThatCannotBeBoundEndTheAssembly) {
  Folder missing(test::TrainFileText{}.set("[DriveSound]", "nothing.wav\n#"));
  Assembled a;
  EXPECT_THROW(assemble_run(a.run, missing.selection(), RunSettings{}, plain_resolver()),
               DefinitionError);

  // 100 running, 100 environment, 100 + 21 engine sounds: one too many.
  Assembled b;
  b.run.train.DriveSound_count = 100;
  b.run.route->SoundData_count = 100;
  b.run.train.EngineSound1_count = 100;
  b.run.train.EngineSound3_count = 21;
  try {
    bind_run_sounds(b.run, plain_resolver());
    FAIL() << "321 sounds were bound";
  } catch (const DefinitionError& e) {
    EXPECT_EQ(std::string(e.what()), kTooManySounds);
  }
  EXPECT_EQ(start_clock(*b.run.route, 7), 0);  // no such station
}

TEST(RunAssembly, CallSoundsAreReadAtTheStartAndAMissingOneEndsTheAssembly) {
  // Twenty-two call lines, most of them without a file; a further call and
  // an other sign's sound.
  std::string calls = "[KankoSound1]\nhai.wav\n";
  for (int i = 1; i < 22; ++i) calls += "\n";
  const std::string extra = calls +
                            "[KankoSound2]\nshinkou.wav\n#\n"
                            "[OtherImageList]\nsign.bmp\nsign.wav\n#\n";
  Folder folder;
  folder.dir.write_sjis("line.dat", stations_route() + extra);
  for (const char* name : {"hai.wav", "shinkou.wav", "sign.wav"})
    folder.dir.write_bytes(name, wave_of_seconds(1));
  Assembled a;
  assemble_run(a.run, folder.selection(), RunSettings{}, plain_resolver());
  // Read once: a call binds from memory even when its file has gone since.
  std::filesystem::remove(folder.dir / "shinkou.wav");
  EXPECT_EQ(a.sounds.load(5, folder.dir / "shinkou.wav"), "");
  EXPECT_EQ(a.sounds.length(5), 1000);

  folder.dir.write_bytes("shinkou.wav", wave_of_seconds(1));
  std::filesystem::remove(folder.dir / "sign.wav");
  Assembled b;
  try {
    assemble_run(b.run, folder.selection(), RunSettings{}, plain_resolver());
    FAIL() << "a missing call sound was accepted";
  } catch (const DefinitionError& e) {
    EXPECT_NE(std::string(e.what()).find("sign.wav"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace cabsim
