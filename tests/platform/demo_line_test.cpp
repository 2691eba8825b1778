// The demo line generator: the same bytes on every run, every catalogue run
// reads with each train, the films have the frames the route files count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include "data/shift_jis.h"
#include "data/wave_seconds.h"
#include "support/test_files.h"
#include "tool_runner.h"

namespace cabsim {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kTrains = {"train_tz100.dat", "train_kiha10.dat", "train_tx300.dat"};
const std::vector<std::string> kRuns = {
    "line_up_827M.dat",   "line_up_837M.dat",   "line_up_3821M.dat",   "line_up_free.dat",
    "line_down_838M.dat", "line_down_832M.dat", "line_down_3834M.dat", "line_down_free.dat"};

/// Runs make_demo in its quick mode (films of plain frames) into `dir`.
void generate(const fs::path& dir) {
  fs::path program = fs::path(CABSIM_TOOL_PATH).parent_path() / "make_demo";
  std::string command = "QT_QPA_PLATFORM=offscreen '" + program.string() + "' '" + dir.string() +
                        "' --quick > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::string read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::map<std::string, std::string> tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = read_all(e.path());
  return files;
}

/// The lines of a Shift-JIS definition file, converted to UTF-8, CR removed.
std::vector<std::string> lines_of(const fs::path& p) {
  std::vector<std::string> out;
  std::istringstream in(sjis_to_utf8(read_all(p)));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

/// The lines of the list section `key` up to its closing `#`.
std::vector<std::string> section(const std::vector<std::string>& lines, const std::string& key) {
  std::vector<std::string> out;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == key) {
      for (size_t k = i + 1; k < lines.size() && lines[k].rfind('#', 0) != 0; ++k)
        out.push_back(lines[k]);
      break;
    }
  return out;
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream s(line);
  for (std::string f; std::getline(s, f, ',');) out.push_back(f);
  return out;
}

/// Frames of the film at `path` (every packet is one frame: no B-frames).
int film_frames(const fs::path& path) {
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return -1;
  avformat_find_stream_info(format, nullptr);
  int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  AVPacket* packet = av_packet_alloc();
  int frames = 0;
  while (av_read_frame(format, packet) >= 0) {
    if (packet->stream_index == video) ++frames;
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avformat_close_input(&format);
  return frames;
}

fs::path named(const fs::path& root, std::string name) {
  for (char& c : name)
    if (c == '\\') c = '/';
  return root / name;
}

TEST(DemoLine, GeneratesTheSameBytesOnEveryRun) {
  test::TempDir first, second;
  generate(first.path());
  generate(second.path());
  auto a = tree(first.path()), b = tree(second.path());
  ASSERT_GT(a.size(), 300u);
  ASSERT_EQ(a.size(), b.size());
  for (const auto& [name, bytes] : a) {
    ASSERT_TRUE(b.count(name)) << name;
    EXPECT_TRUE(bytes == b[name]) << name << " differs between two runs";
  }
}

// One generation serves the checks of the readers, the named files and the
// film lengths.
TEST(DemoLine, EveryRunReadsWithEachTrainNamesExistingFilesAndFilmsOfItsLength) {
  test::TempDir dir;
  generate(dir.path());
  for (const std::string& run : kRuns)
    for (const std::string& train : kTrains) {
      auto r = test::run_tool(
          {"check", "--data", dir.path().string(), "--route", run, "--train", train});
      EXPECT_EQ(r.exit_code, 0) << run << " with " << train << ": " << r.out;
    }
  // Every picture and sound a definition file names is there; the sounds are
  // canonical wave files whose length the route set-up can read.
  for (const std::string& file : kRuns)
    for (const std::string& line : lines_of(dir / file)) {
      if (line.rfind("image\\", 0) != 0 && line.rfind("sound\\", 0) != 0) continue;
      fs::path p = named(dir.path(), line);
      EXPECT_TRUE(fs::exists(p)) << file << " names " << line;
      if (line.rfind("sound\\", 0) == 0 && fs::exists(p)) {
        std::string wave = read_all(p);
        ASSERT_GE(wave.size(), 44u) << line;
        EXPECT_EQ(wave.substr(0, 4), "RIFF");
        EXPECT_EQ(wave.substr(36, 4), "data") << line << " has no canonical header";
      }
    }
  EXPECT_EQ(WaveSeconds(named(dir.path(), "sound\\route\\melody_a.wav")).seconds, 8);
  for (const std::string& train : kTrains)
    for (const std::string& line : section(lines_of(dir / train), "[DriveSound]"))
      EXPECT_TRUE(fs::exists(named(dir.path(), line))) << train << " names " << line;

  std::map<std::string, int> expected;  // film base name -> frames
  for (const std::string& file : kRuns) {
    auto lines = lines_of(dir / file);
    std::string film;
    for (size_t i = 0; i + 1 < lines.size(); ++i)
      if (lines[i] == "[DataName]") film = lines[i + 1];
    auto speed = section(lines, "[SpeedUnit]");
    ASSERT_FALSE(speed.empty()) << file;
    int last = std::stoi(fields(speed.back())[1]);
    // Segments join frame to frame, so positions follow the film without gaps.
    for (size_t k = 1; k < speed.size(); ++k)
      EXPECT_EQ(fields(speed[k])[0], fields(speed[k - 1])[1]) << file << " segment " << k;
    EXPECT_TRUE(!expected.count(film) || expected[film] == last + 1) << file;
    expected[film] = last + 1;
    for (const std::string& row : section(lines, "[MovieSwitch]")) {
      auto f = fields(row);
      // A position-driven insert runs to its length and 60 frames beyond; a
      // time-driven one to its length.
      int need = std::stoi(f[4]) + (f[0] == "2" ? 1 : 61);
      EXPECT_GE(film_frames(named(dir.path(), "movie\\" + f[3] + ".avi")), need) << f[3];
    }
  }
  ASSERT_EQ(expected.size(), 2u);
  for (const auto& [film, frames] : expected)
    EXPECT_EQ(film_frames(named(dir.path(), "movie\\" + film + ".avi")), frames) << film;
}

TEST(DemoLine, EachTrainPowersAwayWithoutWheelSlipAndBrakesToAStand) {
  // Brakes off and full power from 12 s (the doors close by then), the
  // brake from 40 s. The motor cars' mass must carry the traction: a train
  // whose motor-car mass is too small slips at once and crawls away.
  test::TempDir dir;
  generate(dir.path());
  const fs::path script = dir / "drive.txt";
  {
    std::ofstream out(script);
    out << "0 start\n";
    for (int i = 0; i < 20; ++i) out << 12000 + i * 200 << " char 8\n";
    for (int i = 0; i < 20; ++i) out << 40000 + i * 200 << " char 2\n";
  }
  for (const std::string& train : kTrains) {
    auto r = test::run_tool({"simulate", "--data", dir.path().string(), "--route",
                             "line_up_827M.dat", "--train", train, "--script", script.string(),
                             "--until-ms", "70000", "--every-ms", "100", "--fields",
                             "speed,effective_power_notch,adhesion_state_text"});
    ASSERT_EQ(r.exit_code, 0) << train;
    std::istringstream rows(r.out);
    std::string row;
    std::getline(rows, row);  // the header
    double top = 0, last = -1;
    int slipping = 0;
    while (std::getline(rows, row)) {
      const auto f = fields(row);
      ASSERT_GE(f.size(), 3u) << row;  // an empty last field is not split off
      const double speed = std::stod(f[1]);
      top = std::max(top, speed);
      last = speed;
      slipping += std::stoi(f[2]) > 0 && f.size() > 3 && f[3] == "空転";
    }
    EXPECT_EQ(slipping, 0) << train;
    EXPECT_GT(top, 20.0) << train;  // well over 1 km/h/s from the stand
    EXPECT_EQ(last, 0.0) << train;
  }
}

TEST(DemoLine, SimulateHoldsTheTrainAtTheEndOfTheFilmAndNamesAMissingFilm) {
  // Pushed past the last frame of the main film at speed, the train is held
  // at the film's end, as in the program; without the film the message is
  // named and the run goes on along the route.
  test::TempDir dir;
  generate(dir.path());
  const fs::path script = dir / "jump.txt";
  {
    std::ofstream out(script);
    // Brakes released, 50 km/h, then the film's end is far behind the frame.
    out << "0 start\n100 char 5\n";
    for (int i = 0; i < 5; ++i) out << 3000 + i * 10 << " key shift+F12\n";
    for (int i = 0; i < 40; ++i) out << 3100 + i * 10 << " key shift+F8\n";
  }
  const std::vector<std::string> args = {"simulate",
                                         "--data",
                                         dir.path().string(),
                                         "--route",
                                         "line_up_free.dat",
                                         "--script",
                                         script.string(),
                                         "--until-ms",
                                         "5000",
                                         "--every-ms",
                                         "100",
                                         "--fields",
                                         "current_frame,film_frame_count,speed"};
  auto with_film = test::run_tool(args);
  ASSERT_EQ(with_film.exit_code, 0) << with_film.err;
  EXPECT_EQ(with_film.err, "");
  auto last = fields(with_film.out.substr(with_film.out.rfind('\n', with_film.out.size() - 2) + 1));
  ASSERT_EQ(last.size(), 4u);
  const int frames = std::stoi(last[2]);
  EXPECT_GT(frames, 1000);
  // Held at the film's end, or at the turn-back frame just before it.
  EXPECT_LE(std::stoi(last[1]), frames);
  EXPECT_GT(std::stoi(last[1]), frames - 500);
  EXPECT_LT(std::stod(last[3]), 1.0);

  fs::rename(dir / "movie" / "demo_up.avi", dir / "movie" / "elsewhere.avi");
  auto without = test::run_tool(args);
  ASSERT_EQ(without.exit_code, 0);
  EXPECT_NE(without.err.find("映像ファイルを開けません"), std::string::npos) << without.err;
  EXPECT_NE(without.err.find("demo_up.avi"), std::string::npos) << without.err;
  last = fields(without.out.substr(without.out.rfind('\n', without.out.size() - 2) + 1));
  ASSERT_EQ(last.size(), 4u);
  EXPECT_EQ(std::stoi(last[2]), 0);
  EXPECT_GT(std::stoi(last[1]), 40000);  // nothing holds it
}

/// A seeded random drive of `minutes` simulated minutes: every key a driver
/// uses, the wheel and the pause, at random moments. Keys of rules not built
/// yet and the debug keys that jump the frame, the clock or the speed are left
/// out.
std::string random_drive(uint32_t seed, int minutes) {
  std::mt19937 random(seed);
  const std::vector<std::string> often = {"char 8", "char 2",   "char 8",    "char 2",
                                          "char 5", "wheel up", "wheel down"};
  const std::vector<std::string> rare = {
      "char 0",    "char f",         "char n",        "char b",       "char z",       "char a",
      "char ,",    "char .",         "char /",        "char 3",       "char 6",       "char 4",
      "char d",    "char 7",         "char 9",        "char w",       "char t",       "char s",
      "char x",    "char q",         "key PageUp",    "key PageDown", "key F1",       "key Left",
      "key Right", "key ScrollLock", "key Backspace", "key shift+F1", "key shift+F2", "start"};
  std::string script = "0 start\n";
  const int64_t end = int64_t{minutes} * 60000;
  for (int64_t t = 1000; t < end; t += 100 + random() % 4000) {
    const bool is_rare = random() % 8 == 0;
    const auto& pool = is_rare ? rare : often;
    std::string command = pool[random() % pool.size()];
    if (command == "start" && random() % 2 == 0) {
      // A pause, resumed a moment later.
      script += std::to_string(t) + " start\n";
      t += 500 + random() % 5000;
    }
    script += std::to_string(t) + " " + command + "\n";
  }
  return script;
}

TEST(DemoLine, RandomDrivesOfEveryRunKeepTheTrainOnItsFilmWithSanePressures) {
  // Half an hour of random driving on every run with every train: speeds
  // finite and bounded, the frame held within the film while the film follows
  // the position, every pressure between 0 and 1000 kPa, handles within their
  // range, the run clock never going back, no failure in any handler.
  test::TempDir dir;
  generate(dir.path());
  const std::string fields_asked =
      "speed,position,current_frame,film_frame_count,film_mode,clock,power_handle,brake_handle,"
      "trailer_brake_cylinder,motor_brake_cylinder,brake_pipe,main_reservoir,straight_air_pipe,"
      "equalising_reservoir,next_station";
  uint32_t seed = 1;
  for (const std::string& run : kRuns)
    for (const std::string& train : kTrains) {
      const fs::path script = dir / "soak.txt";
      {
        std::ofstream out(script);
        out << random_drive(seed++, 30);
      }
      auto r = test::run_tool({"simulate", "--data", dir.path().string(), "--route", run, "--train",
                               train, "--script", script.string(), "--until-ms", "1800000",
                               "--every-ms", "500", "--fields", fields_asked});
      const std::string what = run + " " + train + " seed " + std::to_string(seed - 1);
      ASSERT_EQ(r.exit_code, 0) << what << "\n" << r.err;
      EXPECT_EQ(r.err, "") << what;
      std::istringstream rows(r.out);
      std::string row;
      std::getline(rows, row);  // the header
      long double last_clock = -1e18L;
      bool was_off_film = false;
      int checked = 0;
      while (std::getline(rows, row)) {
        const auto f = fields(row);
        ASSERT_EQ(f.size(), 16u) << what << ": " << row;
        std::vector<long double> v;
        for (size_t i = 1; i < f.size(); ++i) {
          const long double x = std::strtold(f[i].c_str(), nullptr);
          ASSERT_TRUE(std::isfinite(x)) << what << ": " << row;
          v.push_back(x);
        }
        const long double speed = v[0], frame = v[2], frames = v[3], film_mode = v[4], clock = v[5],
                          power = v[6], brake = v[7];
        ASSERT_LT(std::fabs(speed), 400) << what << ": " << row;
        ASSERT_GT(frames, 0) << what;
        // The frame may run past the film's end between two ticks (the
        // film-end rule is a step of the tick), never for longer.
        const bool off_film = film_mode == 0 && (frame < 0 || frame > frames);
        ASSERT_FALSE(off_film && was_off_film) << what << ": " << row;
        was_off_film = off_film;
        ASSERT_GE(clock, last_clock) << what << ": " << row;
        last_clock = clock;
        ASSERT_GE(power, 0) << what << ": " << row;
        ASSERT_LE(power, 20) << what << ": " << row;
        ASSERT_GE(brake, -20) << what << ": " << row;
        ASSERT_LE(brake, 1) << what << ": " << row;
        for (size_t p = 8; p <= 13; ++p) {
          ASSERT_GE(v[p], 0) << what << ": " << row;
          ASSERT_LE(v[p], 1000) << what << ": " << row;
        }
        ++checked;
      }
      EXPECT_EQ(checked, 3601) << what;
    }
}

}  // namespace
}  // namespace cabsim
