// The demo line generator: the same bytes on every run, every catalogue run
// reads with each train, the films have the frames the route files count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include "data/shift_jis.h"
#include "data/wave_seconds.h"
#include "shared_demo.h"
#include "shell/title_catalogue.h"
#include "support/test_files.h"
#include "tool_runner.h"

namespace cabsim {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kTrains = {"train_tz100.dat", "train_kiha10.dat", "train_tx300.dat",
                                          "train_tz100_atc.dat"};
const std::vector<std::string> kRuns = {
    "line_up_827M.dat",    "line_up_837M.dat",   "line_up_3821M.dat",
    "line_up_free.dat",    "line_down_838M.dat", "line_down_832M.dat",
    "line_down_3834M.dat", "line_down_free.dat", "line_down_atc.dat"};

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
  const fs::path first = test::shared_demo();
  test::TempDir second;
  test::generate_demo(second.path());
  auto a = tree(first), b = tree(second.path());
  ASSERT_GT(a.size(), 300u);
  ASSERT_EQ(a.size(), b.size());
  for (const auto& [name, bytes] : a) {
    ASSERT_TRUE(b.count(name)) << name;
    EXPECT_TRUE(bytes == b[name]) << name << " differs between two runs";
  }
}

/// The streams of the film at `path`: whether it has pictures and sound.
std::pair<bool, bool> film_streams(const fs::path& path) {
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return {false, false};
  avformat_find_stream_info(format, nullptr);
  const bool video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0) >= 0;
  const bool audio = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
  avformat_close_input(&format);
  return {video, audio};
}

TEST(DemoLine, TheTitleScreenFindsEveryFileItNames) {
  const fs::path dir = test::shared_demo();
  std::vector<std::string> files{kMenuPicture, kTrainPicture,      kTitleMusic,    kStartSound,
                                 kReadme,      kProgramFolderMark, "operation.dat"};
  files.insert(files.end(), kTitlePictures.begin(), kTitlePictures.end());
  for (const CatalogueEntry& e : kRunCatalogue) {
    if (*e.picture) files.push_back(e.picture);
    files.push_back(e.map_picture);
    files.push_back(e.route_file);
  }
  for (const std::string& f : files) EXPECT_TRUE(fs::is_regular_file(named(dir, f))) << f;
  EXPECT_EQ(film_streams(named(dir, kOpeningFilm)), std::make_pair(true, true));
  EXPECT_EQ(film_frames(named(dir, kOpeningFilm)), 180);
}

// One generation serves the checks of the readers, the named files and the
// film lengths.
TEST(DemoLine, EveryRunReadsWithEachTrainNamesExistingFilesAndFilmsOfItsLength) {
  const fs::path dir = test::shared_demo();
  test::TempDir work;
  for (const std::string& run : kRuns)
    for (const std::string& train : kTrains) {
      auto r = test::run_tool({"check", "--data", dir.string(), "--route", run, "--train", train});
      EXPECT_EQ(r.exit_code, 0) << run << " with " << train << ": " << r.out;
    }
  // Every picture and sound a definition file names is there; the sounds are
  // canonical wave files whose length the route set-up can read.
  for (const std::string& file : kRuns)
    for (const std::string& line : lines_of(dir / file)) {
      if (line.rfind("image\\", 0) != 0 && line.rfind("sound\\", 0) != 0) continue;
      fs::path p = named(dir, line);
      EXPECT_TRUE(fs::exists(p)) << file << " names " << line;
      if (line.rfind("sound\\", 0) == 0 && fs::exists(p)) {
        std::string wave = read_all(p);
        ASSERT_GE(wave.size(), 44u) << line;
        EXPECT_EQ(wave.substr(0, 4), "RIFF");
        EXPECT_EQ(wave.substr(36, 4), "data") << line << " has no canonical header";
      }
    }
  EXPECT_EQ(WaveSeconds(named(dir, "sound\\route\\melody_a.wav")).seconds, 8);
  for (const std::string& train : kTrains)
    for (const std::string& line : section(lines_of(dir / train), "[DriveSound]"))
      EXPECT_TRUE(fs::exists(named(dir, line))) << train << " names " << line;

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
      EXPECT_GE(film_frames(named(dir, "movie\\" + f[3] + ".avi")), need) << f[3];
    }
  }
  ASSERT_EQ(expected.size(), 2u);
  for (const auto& [film, frames] : expected)
    EXPECT_EQ(film_frames(named(dir, "movie\\" + film + ".avi")), frames) << film;
}

TEST(DemoLine, EachTrainPowersAwayWithoutWheelSlipAndBrakesToAStand) {
  // Brakes off and full power from 12 s (the doors close by then), the
  // brake from 40 s. The motor cars' mass must carry the traction: a train
  // whose motor-car mass is too small slips at once and crawls away.
  const fs::path dir = test::shared_demo();
  test::TempDir work;
  const fs::path script = work / "drive.txt";
  {
    std::ofstream out(script);
    out << "0 start\n";
    for (int i = 0; i < 20; ++i) out << 12000 + i * 200 << " char 8\n";
    for (int i = 0; i < 20; ++i) out << 40000 + i * 200 << " char 2\n";
  }
  for (const std::string& train : kTrains) {
    auto r = test::run_tool({"simulate", "--data", dir.string(), "--route", "line_up_827M.dat",
                             "--train", train, "--script", script.string(), "--until-ms", "70000",
                             "--every-ms", "100", "--fields",
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
  // named and the run goes on along the route. The film is taken away from a
  // copy of the line.
  test::TempDir work;
  const fs::path dir = work / "demo";
  fs::copy(test::shared_demo(), dir, fs::copy_options::recursive);
  const fs::path script = work / "jump.txt";
  {
    std::ofstream out(script);
    // Brakes released, 50 km/h, then the film's end is far behind the frame.
    out << "0 start\n100 char 5\n";
    for (int i = 0; i < 5; ++i) out << 3000 + i * 10 << " key shift+F12\n";
    for (int i = 0; i < 40; ++i) out << 3100 + i * 10 << " key shift+F8\n";
  }
  const std::vector<std::string> args = {"simulate",
                                         "--data",
                                         dir.string(),
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

std::vector<std::vector<std::string>> rows_of(const std::vector<std::string>& lines,
                                              const std::string& key) {
  std::vector<std::vector<std::string>> out;
  for (const std::string& line : section(lines, key)) out.push_back(fields(line));
  return out;
}

int field_int(const std::vector<std::string>& row, size_t i) {
  return std::stoi(row.at(i));
}

/// Width and height of a BMP file.
std::pair<int, int> bmp_size(const fs::path& p) {
  const std::string b = read_all(p);
  if (b.size() < 26 || b.substr(0, 2) != "BM") return {-1, -1};
  auto le32 = [&](size_t at) {
    return int(uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
               uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24);
  };
  return {le32(18), std::abs(le32(22))};
}

// [Signal] fields: kind, sub, third, type, view from, view to, transponder,
// frame, fixed aspect, control value.
TEST(DemoLine, EveryRunIsSignalledFromItsEntryWithAStartingSignalAtEachStop) {
  const fs::path dir = test::shared_demo();
  test::TempDir work;
  for (const std::string& run : kRuns) {
    SCOPED_TRACE(run);
    const auto lines = lines_of(dir / run);
    const auto signals = rows_of(lines, "[Signal]");
    const auto stations = rows_of(lines, "[Station]");
    const bool cab = run.find("atc") != std::string::npos;
    ASSERT_GT(signals.size(), 8u);
    // Row 0 is the entry of the line: never in view, never held.
    EXPECT_EQ(field_int(signals[0], 0), 0);
    EXPECT_EQ(field_int(signals[0], 4), field_int(signals[0], 5));
    std::map<int, int> types;
    int last_view_end = field_int(signals[0], 5);
    for (size_t i = 1; i < signals.size(); ++i) {
      const auto& g = signals[i];
      ++types[field_int(g, 3)];
      // Views one after another, each ending at its signal.
      EXPECT_LT(field_int(g, 4), field_int(g, 5)) << "signal " << i;
      EXPECT_GE(field_int(g, 4), last_view_end) << "signal " << i;
      EXPECT_EQ(field_int(g, 5), field_int(g, 7)) << "signal " << i;
      last_view_end = field_int(g, 5);
    }
    if (cab) {
      EXPECT_EQ(types.size(), 1u);
      EXPECT_EQ(types.begin()->first, 8);
    } else {
      for (int type : {0, 2, 4, 5}) EXPECT_GT(types[type], 0) << "type " << type;
    }
    // Every station the run stops at but the last has its starting signal,
    // held until the departure melody; its transponder lies beyond the stop.
    for (size_t k = 0; k + 1 < stations.size(); ++k) {
      const bool stops = field_int(stations[k], 1) == 0;
      const int stop_frame = field_int(stations[k], 2);
      int starting = 0;
      for (const auto& g : signals) {
        if (field_int(g, 0) != 3 || field_int(g, 9) != int(k)) continue;
        ++starting;
        EXPECT_GT(field_int(g, 6), stop_frame) << "station " << k;
        EXPECT_LT(field_int(g, 6), field_int(g, 7)) << "station " << k;
        EXPECT_EQ(field_int(g, 8), 0) << "station " << k;  // at stop until then
        // In the cab, a train standing at the platform is not in its section.
        if (cab) EXPECT_GT(field_int(g, 4), stop_frame) << "station " << k;
      }
      EXPECT_EQ(starting, stops ? 1 : 0) << "station " << k;
    }
    // The train ahead: two minutes ahead at every station, standing as long
    // as the run does, gone once past the last signal.
    const auto pre = rows_of(lines, "[Pre_Train]");
    const bool timetabled_with_train_ahead =
        run == "line_up_827M.dat" || run == "line_down_838M.dat";
    ASSERT_EQ(pre.empty(), !timetabled_with_train_ahead);
    if (pre.empty()) continue;
    EXPECT_EQ(field_int(pre[0], 1), field_int(signals.back(), 7));
    ASSERT_EQ(pre.size(), stations.size() + 1);
    for (size_t k = 0; k < stations.size(); ++k) {
      const auto& row = pre[k + 1];
      EXPECT_EQ(field_int(row, 1), int(k));
      const int leaves = field_int(row, 0) + 30 * field_int(row, 2);
      EXPECT_EQ(leaves, field_int(stations[k], 7) - 120 * 30) << "station " << k;
      if (k > 0) EXPECT_GT(field_int(row, 0), field_int(pre[k], 0));
    }
  }
  // Pictures fit the cells of the sign column that show them.
  for (int n = 0; n <= 42; ++n) {
    char name[40];
    std::snprintf(name, sizeof name, "image/signal/signal%02d.bmp", n);
    EXPECT_EQ(bmp_size(dir / name), std::make_pair(50, 100)) << name;
  }
  for (const char* name : {"image/sign/uphill.bmp", "image/sign/downhill.bmp"})
    EXPECT_EQ(bmp_size(dir / name), std::make_pair(50, 50)) << name;
  for (const char* name :
       {"image/cross/cross0.bmp", "image/cross/cross1.bmp", "image/anim/crossing_lamp00.bmp",
        "image/traffic/traffic3.bmp", "image/traffic/traffic4.bmp"})
    EXPECT_EQ(bmp_size(dir / name), std::make_pair(15, 15)) << name;
  // The cab-signal train: its cab signal has a pattern for each aspect.
  const auto train = lines_of(dir / "train_tz100_atc.dat");
  auto after = [&](const std::string& key) {
    auto it = std::find(train.begin(), train.end(), key);
    return it == train.end() || it + 1 == train.end() ? std::string() : *(it + 1);
  };
  EXPECT_EQ(after("[ATS_Type]"), "2");
  const auto drive = section(train, "[DriveSound]");
  const int atc_sound = std::stoi(after("[Sound_Atc]"));
  ASSERT_LT(size_t(atc_sound), drive.size());
  EXPECT_NE(drive[size_t(atc_sound)].find("cab_signal_bell"), std::string::npos);
  const auto lamp = section(train, "[Lamp_signal]");
  ASSERT_EQ(lamp.size(), 5u + 6u);  // x, y, pattern width and height, picture, six speeds
  EXPECT_EQ(bmp_size(named(dir, lamp[4])),
            std::make_pair(std::stoi(lamp[2]), 6 * std::stoi(lamp[3])));
}

/// Drives `run` at the filmed speed (the debug keys), leaving each stop
/// `late_s` seconds after its departure time; the trace of `fields` every 100 ms.
std::vector<std::vector<std::string>> film_speed_drive(const fs::path& dir, const std::string& run,
                                                       const std::string& train, int late_s,
                                                       const std::string& fields_asked) {
  const auto stations = rows_of(lines_of(dir / run), "[Station]");
  const int start_clock = field_int(stations[0], 7) - 8 * 30;  // the melody before the departure
  test::TempDir work;
  const fs::path script = work / "film_speed.txt";
  {
    std::ofstream out(script);
    out << "0 start\n";
    for (size_t k = 0; k + 1 < stations.size(); ++k) {
      if (field_int(stations[k], 1) != 0) continue;
      // A clock unit is one 33 ms cycle.
      const int64_t t =
          int64_t{field_int(stations[k], 7) - start_clock} * 33 + late_s * 1000 + 1500;
      out << t << " key shift+F2\n"
          << t + 100 << " key shift+F12\n"
          << t + 400 << " key shift+F1\n";
    }
  }
  auto r = test::run_tool({"simulate", "--data", dir.string(), "--route", run, "--train", train,
                           "--script", script.string(), "--until-ms", "480000", "--every-ms", "100",
                           "--fields", fields_asked});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(r.out);
  std::string row;
  std::getline(in, row);  // the header
  while (std::getline(in, row)) rows.push_back(fields(row));
  return rows;
}

TEST(DemoLine, TheTrainAheadHoldsATimetabledRunAtCautionUntilItMovesOn) {
  const fs::path dir = test::shared_demo();
  test::TempDir work;
  // Pictures of the types the line uses: caution aspects of the starting
  // (3-lamp Y), home (YY, Y) and block signals (YY, Y, YG).
  const std::set<int> caution = {7, 14, 15, 18, 19, 20};
  const std::set<int> clear = {8, 16, 21};
  for (const char* run : {"line_up_827M.dat", "line_down_838M.dat"}) {
    SCOPED_TRACE(run);
    // About on time: the filmed run is 20 s faster than the timetable.
    auto rows = film_speed_drive(dir, run, "train_tz100.dat", 20,
                                 "pre_train_frame,current_signal_index,current_signal_picture");
    ASSERT_GT(rows.size(), 1000u);
    int cleared_in_view = 0, cautions = 0;
    std::optional<int> caution_at;  // the signal in view that showed caution
    for (const auto& f : rows) {
      const int index = std::stoi(f[2]), picture = std::stoi(f[3]);
      if (index == 999) {
        caution_at.reset();
        continue;
      }
      if (caution.count(picture)) {
        if (caution_at != index) ++cautions;
        caution_at = index;
      } else if (clear.count(picture) && caution_at == index) {
        ++cleared_in_view;
        caution_at.reset();
      }
    }
    EXPECT_GE(cautions, 2);
    EXPECT_GE(cleared_in_view, 1);
  }
  // Every signal but the line's entry goes to stop behind the train ahead and
  // clears again as it moves on.
  std::string asked = "pre_train_frame";
  const int signals =
      static_cast<int>(rows_of(lines_of(dir / "line_up_827M.dat"), "[Signal]").size());
  for (int i = 1; i < signals; ++i) asked += ",aspect:" + std::to_string(i);
  auto aspects = film_speed_drive(dir, "line_up_827M.dat", "train_tz100.dat", 20, asked);
  for (int i = 1; i < signals; ++i) {
    bool stopped = false, cleared = false;
    for (const auto& f : aspects) {
      const int aspect = std::stoi(f[static_cast<size_t>(i) + 1]);
      if (aspect == 0) stopped = true;
      if (stopped && aspect > 0) cleared = true;
    }
    EXPECT_TRUE(stopped && cleared) << "signal " << i;
  }

  // Without a train ahead the same drive meets no caution aspect.
  auto rows =
      film_speed_drive(dir, "line_up_837M.dat", "train_tz100.dat", 20, "current_signal_picture");
  for (const auto& f : rows) EXPECT_FALSE(caution.count(std::stoi(f[1]))) << f[0];
}

TEST(DemoLine, TheAtcRunIsSignalledInTheCabOfTheAtcTrain) {
  const fs::path dir = test::shared_demo();
  test::TempDir work;
  auto rows =
      film_speed_drive(dir, "line_down_atc.dat", "train_tz100_atc.dat", 0,
                       "current_signal_picture,shown:SignalImage,protection_emergency_flag");
  ASSERT_GT(rows.size(), 1000u);
  std::set<int> shown;
  for (const auto& f : rows) {
    EXPECT_EQ(f[3], "0") << f[0];
    // The cab signal keeps its aspect between sections; the column shows it
    // while a section's signal is in view.
    const int picture = std::stoi(f[1]), column = std::stoi(f[2]);
    if (picture == 999) continue;
    ASSERT_GE(picture, 37) << f[0];
    ASSERT_LE(picture, 42) << f[0];
    if (column != 999) EXPECT_EQ(column, picture) << f[0];
    shown.insert(picture);
  }
  // 100 km/h on the open line, 45 km/h into the platforms.
  EXPECT_TRUE(shown.count(41));
  EXPECT_TRUE(shown.count(39));
}

/// A seeded random drive of `minutes` simulated minutes: every key a driver
/// uses, the wheel, the pause, moves to a stop, saves and restores, the
/// train settings and the menu switches, at random moments. The debug keys
/// that jump the frame, the clock or the speed are left out.
std::string random_drive(uint32_t seed, int minutes) {
  std::mt19937 random(seed);
  const std::vector<std::string> often = {"char 8", "char 2",   "char 8",    "char 2",
                                          "char 5", "wheel up", "wheel down"};
  const std::vector<std::string> rare = {
      "char 0",         "char f",        "char n",       "char b",           "char z",
      "char a",         "char ,",        "char .",       "char /",           "char 3",
      "char 6",         "char 4",        "char d",       "char 7",           "char 9",
      "char w",         "char t",        "char s",       "char x",           "char q",
      "key PageUp",     "key PageDown",  "key F1",       "key Left",         "key Right",
      "key ScrollLock", "key Backspace", "key shift+F1", "key shift+F2",     "start",
      "move 1",         "move 2",        "move 3",       "save 1",           "save 2",
      "load 1",         "load 2",        "load 3",       "settings ats off", "settings ats on",
      "menu D1 off",    "menu D1 on",    "menu OFF1 on", "menu OFF1 off"};
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

/// Column `name` of a trace with a header row.
size_t column(const std::vector<std::string>& header, const std::string& name) {
  return size_t(std::find(header.begin(), header.end(), name) - header.begin());
}

TEST(DemoLine, AtsStopsATrainRunningAtAStartingSignalAtStop) {
  // Away from 星ヶ丘 at full power, then coasting through 青葉台 where the
  // starting signal is held at stop until the melody: the ATS-S train gets
  // the bell at its transponder and, unacknowledged, the emergency brake;
  // the reset releases it once standing. The ATS-P train is braked by its
  // pattern to a stand before the signal.
  const fs::path dir = test::shared_demo();
  test::TempDir work;
  const fs::path script = work / "overrun.txt";
  {
    std::ofstream out(script);
    out << "0 start\n12000 char 5\n";
    for (int i = 0; i < 5; ++i) out << 38000 + i * 200 << " char 8\n";
    out << "69000 char 5\n125000 char 0\n130000 char r\n";
  }
  const std::string asked =
      "current_frame,speed,alarm_flag,protection_emergency_flag,pattern_state,"
      "pattern_brake_flag,lamp:Lamp_Ats1,lamp:Lamp_Ats2,lamp:Lamp_Atsp2,limit_notice";
  std::map<std::string, std::vector<std::vector<std::string>>> traces;
  for (const char* train : {"train_tz100.dat", "train_tx300.dat"}) {
    auto r = test::run_tool({"simulate", "--data", dir.string(), "--route", "line_up_827M.dat",
                             "--train", train, "--script", script.string(), "--until-ms", "135000",
                             "--every-ms", "100", "--fields", asked});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::istringstream in(r.out);
    for (std::string row; std::getline(in, row);) traces[train].push_back(fields(row));
  }
  // 青葉台's starting signal, signal 4 of the up runs.
  const auto signals = rows_of(lines_of(dir / "line_up_827M.dat"), "[Signal]");
  ASSERT_GT(signals.size(), 4u);
  const int signal_frame = field_int(signals[4], 7);
  {
    const auto& t = traces["train_tz100.dat"];
    const auto& h = t[0];
    size_t bell = 0, emergency = 0;
    for (size_t i = 1; i < t.size(); ++i) {
      if (!bell && t[i][column(h, "alarm_flag")] == "1") bell = i;
      if (!emergency && t[i][column(h, "protection_emergency_flag")] == "1") emergency = i;
    }
    ASSERT_GT(bell, 0u);
    EXPECT_EQ(t[bell][column(h, "lamp:Lamp_Ats2")], "1");
    EXPECT_EQ(t[bell][column(h, "lamp:Lamp_Ats1")], "0");
    EXPECT_LT(std::stoi(t[bell][column(h, "current_frame")]), signal_frame);
    ASSERT_GT(emergency, bell);
    EXPECT_NEAR(double(emergency - bell), 51.0, 2.0);  // [ATS_Time] 5 s, unacknowledged
    const auto& before_reset = t[t.size() - 60];       // 129 s: standing, held
    EXPECT_EQ(before_reset[column(h, "speed")], "0");
    EXPECT_EQ(before_reset[column(h, "protection_emergency_flag")], "1");
    const auto& after = t.back();
    EXPECT_EQ(after[column(h, "protection_emergency_flag")], "0");
    EXPECT_EQ(after[column(h, "alarm_flag")], "0");
    EXPECT_EQ(after[column(h, "lamp:Lamp_Ats1")], "1");
  }
  {
    const auto& t = traces["train_tx300.dat"];
    const auto& h = t[0];
    bool braked = false, notice = false;
    for (size_t i = 1; i < t.size(); ++i) {
      EXPECT_EQ(t[i][column(h, "protection_emergency_flag")], "0") << t[i][0];
      if (t[i][column(h, "pattern_state")] == "3" && t[i][column(h, "pattern_brake_flag")] == "1" &&
          t[i][column(h, "lamp:Lamp_Atsp2")] == "1")
        braked = true;
      notice |= !t[i][column(h, "limit_notice")].empty();
    }
    EXPECT_TRUE(braked);
    EXPECT_TRUE(notice);
    EXPECT_EQ(t.back()[column(h, "speed")], "0");
    EXPECT_LT(std::stoi(t.back()[column(h, "current_frame")]), signal_frame);
  }
}

TEST(DemoLine, TheDriverCallsTheDoorsTheTimeTheStartingSignalAndTheCrossing) {
  // 838M from 花見台: the doors close on time ("とじめ よし", "ていじ"); the
  // first notch gives "はっしゃ" and the starting signal as if Enter were
  // pressed ("しゅっぱつ", "ちゅうい": the train ahead holds it at caution);
  // Enter before the level crossing calls it ("ふみきり よし") and takes it
  // out of the crossing queue. Each call follows the last without a gap.
  const fs::path dir = test::shared_demo();
  test::TempDir work;
  const fs::path script = work / "calls.txt";
  {
    std::ofstream out(script);
    out << "0 start\n30000 char 5\n";
    for (int i = 0; i < 4; ++i) out << 38000 + i * 200 << " char 8\n";
    out << "52000 key Enter\n54000 key Enter\n";
  }
  auto r = test::run_tool({"simulate", "--data", dir.string(), "--route", "line_down_838M.dat",
                           "--script", script.string(), "--until-ms", "60000", "--every-ms", "100",
                           "--fields", "call_channel_sound,call_queue,crossing_queue"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::istringstream in(r.out);
  std::vector<std::vector<std::string>> t;
  for (std::string row; std::getline(in, row);) t.push_back(fields(row));
  std::vector<int> spoken;
  bool crossing_queued = false;
  for (size_t i = 1; i < t.size(); ++i) {
    const int call = std::stoi(t[i][1]);
    if (call != -1 && (spoken.empty() || spoken.back() != call)) spoken.push_back(call);
    crossing_queued |= t[i][3].rfind("0 ", 0) == 0;
  }
  EXPECT_EQ(spoken, (std::vector<int>{19, 17, 20, 22, 2, 26}));
  EXPECT_TRUE(crossing_queued);
  EXPECT_EQ(t.back()[3].rfind("-1 ", 0), 0u);  // called, and out of the queue
  EXPECT_EQ(t.back()[2].rfind("-1 ", 0), 0u);  // the second Enter had nothing to call
}

TEST(DemoLine, TheLineIsHeardAsTheTrainRuns) {
  // Away from the start of a down run, past the level crossing, coasting and
  // then the emergency brake: the bell rings from 300 m before the crossing
  // to 300 m beyond it, loudest at the crossing; the running sounds follow
  // the speed band by band; the motors sound while powering; the diesel
  // idles; the blocks squeal under the emergency brake.
  const fs::path dir = test::shared_demo();
  test::TempDir work;
  const fs::path script = work / "heard.txt";
  {
    std::ofstream out(script);
    out << "0 start\n12000 char 5\n";
    for (int i = 0; i < 5; ++i) out << 38000 + i * 200 << " char 8\n";
    out << "69000 char 5\n100000 char 0\n";
  }
  const auto route = lines_of(dir / "line_down_838M.dat");
  std::vector<std::vector<std::string>> points;
  for (const std::string& line : section(route, "[Sound]"))
    if (line.rfind(';', 0) != 0) points.push_back(fields(line));
  ASSERT_EQ(points.size(), 2u);
  ASSERT_EQ(field_int(points[0], 3), 1);  // the crossing bell
  const int bell_sound = field_int(points[0], 0);
  const int crossing = field_int(points[0], 1);
  const int reach = field_int(points[0], 6);
  for (const char* train : {"train_tz100.dat", "train_kiha10.dat"}) {
    const auto lines = lines_of(dir / train);
    const int drive = static_cast<int>(section(lines, "[DriveSound]").size());
    const int squeal = std::stoi(section(lines, "[Sound_squeak]").at(0));
    const bool diesel = std::string(train) == "train_kiha10.dat";
    const int idle = diesel ? std::stoi(section(lines, "[EngineSound2]").at(0)) : squeal;
    const int bell = drive + bell_sound;
    std::string asked = "current_frame,speed,effective_power_notch,row_gate:0,doors_open";
    for (int c : {bell, squeal, idle})
      asked += ",channel_status:" + std::to_string(c) + ",channel_volume:" + std::to_string(c);
    for (int band = 0; band <= 12; ++band)
      asked +=
          ",channel_status:" + std::to_string(band) + ",channel_volume:" + std::to_string(band);
    auto r = test::run_tool({"simulate", "--data", dir.string(), "--route", "line_down_838M.dat",
                             "--train", train, "--script", script.string(), "--until-ms", "120000",
                             "--every-ms", "100", "--fields", asked});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::istringstream in(r.out);
    std::vector<std::vector<std::string>> t;
    for (std::string row; std::getline(in, row);) t.push_back(fields(row));
    const auto& h = t[0];
    auto at = [&](size_t i, const std::string& name) { return std::stoi(t[i][column(h, name)]); };
    auto status = [&](size_t i, int c) { return at(i, "channel_status:" + std::to_string(c)); };
    auto volume = [&](size_t i, int c) { return at(i, "channel_volume:" + std::to_string(c)); };
    int loudest_frame = 0, loudest = -10001, rang = 0, squealed = 0, bands = 0;
    for (size_t i = 1; i < t.size(); ++i) {
      const int frame = at(i, "current_frame");
      // A row may lie up to three 33 ms cycles after the tick that set the sounds.
      if (std::abs(frame - crossing) < reach - 20) {
        EXPECT_EQ(status(i, bell), 4) << train << " frame " << frame;
        ++rang;
        if (volume(i, bell) > loudest) loudest = volume(i, bell), loudest_frame = frame;
      }
      if (std::abs(frame - crossing) > reach + 20) {
        EXPECT_EQ(status(i, bell), 0) << frame;
      }
      const long double speed = std::fabs(std::strtold(t[i][column(h, "speed")].c_str(), nullptr));
      const int r_kmh = static_cast<int>(std::nearbyint(speed));
      if (r_kmh >= 20 && r_kmh < 110 && i > 1) {
        const int z = r_kmh / 10, w2 = std::max(10 * (r_kmh % 10), 1);
        EXPECT_EQ(status(i, z), 4) << train << " " << speed;
        EXPECT_EQ(status(i, z + 1), 4) << train << " " << speed;
        EXPECT_EQ(status(i, z - 1), 0) << train << " " << speed;
        EXPECT_EQ(volume(i, z + 1), std::lround(2000 * std::log10(w2 / 100.0))) << speed;
        ++bands;
      }
      if (!diesel && at(i, "effective_power_notch") >= 1) {
        EXPECT_EQ(at(i, "row_gate:0"), 100) << t[i][0];
      }
      if (diesel && i > 1 && at(i, "doors_open") == 0) {
        EXPECT_EQ(status(i, idle), 4) << t[i][0];
      }
      squealed += status(i, squeal) == 4 && volume(i, squeal) > -10000;
    }
    EXPECT_GT(rang, 100) << train;
    EXPECT_NEAR(loudest_frame, crossing, 60) << train;
    EXPECT_GE(loudest, -100) << train;
    EXPECT_GT(bands, 100) << train;
    EXPECT_GT(squealed, 10) << train;
  }
}

TEST(DemoLine, RandomDrivesOfEveryRunKeepTheTrainOnItsFilmWithSanePressures) {
  // Half an hour of random driving on every run with every train: speeds
  // finite and bounded, the frame held within the film while the film follows
  // the position, every pressure between 0 and 1000 kPa, handles within their
  // range, the run clock never going back but for a move or a restore, no
  // failure in any handler, and no memory kept after the first five minutes.
  // CABSIM_SOAK_MINUTES makes the drives longer (scripts/soak: four hours).
  const char* asked_minutes = std::getenv("CABSIM_SOAK_MINUTES");
  const int minutes = asked_minutes ? std::max(6, std::atoi(asked_minutes)) : 30;
  const fs::path dir = test::shared_demo();
  test::TempDir work;
  const std::string fields_asked =
      "speed,position,current_frame,film_frame_count,film_mode,clock,power_handle,brake_handle,"
      "trailer_brake_cylinder,motor_brake_cylinder,brake_pipe,main_reservoir,straight_air_pipe,"
      "equalising_reservoir,next_station,motor_sound_ramp,zone_level_factor,heap_bytes";
  uint32_t seed = 1;
  for (const std::string& run : kRuns)
    for (const std::string& train : kTrains) {
      const fs::path script = work / "soak.txt";
      {
        std::ofstream out(script);
        out << random_drive(seed++, minutes);
      }
      auto r = test::run_tool({"simulate", "--data", dir.string(), "--route", run, "--train", train,
                               "--script", script.string(), "--until-ms", std::to_string(minutes * 60000), "--every-ms",
                               "500", "--fields", fields_asked});
      const std::string what = run + " " + train + " seed " + std::to_string(seed - 1);
      ASSERT_EQ(r.exit_code, 0) << what << "\n" << r.err;
      // What the run says to the driver (a move to no stop, a save, an empty
      // slot) is fine; a failure of a handler is not.
      std::istringstream said(r.err);
      for (std::string line; std::getline(said, line);)
        EXPECT_TRUE(line.find("運転状態") != std::string::npos ||
                    line.find("no stop") != std::string::npos)
            << what << ": " << line;
      // Moves and restores set the clock: it may go back at the next row.
      std::set<int64_t> clock_set;
      {
        std::istringstream script_lines(random_drive(seed - 1, minutes));
        for (std::string line; std::getline(script_lines, line);)
          if (line.find(" move ") != std::string::npos || line.find(" load ") != std::string::npos)
            clock_set.insert((std::stoll(line) + 499) / 500 * 500);
      }
      std::istringstream rows(r.out);
      std::string row;
      std::getline(rows, row);  // the header
      long double last_clock = -1e18L;
      bool was_off_film = false;
      int checked = 0;
      long double heap_at_5_minutes = 0, heap_at_end = 0;
      while (std::getline(rows, row)) {
        const auto f = fields(row);
        ASSERT_EQ(f.size(), 19u) << what << ": " << row;
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
        if (!clock_set.contains(std::stoll(f[0])))
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
        ASSERT_GE(v[15], 0) << what << ": " << row;  // the motor sound ramp
        ASSERT_LE(v[15], 100) << what << ": " << row;
        ASSERT_GT(v[16], 0) << what << ": " << row;  // the zone level factor
        if (f[0] == "300000") heap_at_5_minutes = v[17];
        heap_at_end = v[17];
        ++checked;
      }
      EXPECT_EQ(checked, minutes * 120 + 1) << what;
      // Memory does not grow once the run is going: the tables are made at
      // the start, the tick allocates nothing that it keeps.
      EXPECT_LT(heap_at_end - heap_at_5_minutes, 256 * 1024) << what;
    }
}

}  // namespace
}  // namespace cabsim
