// The run record of scripted drives on the demo line held against their own
// traces (stop errors, arrival and departure clocks, events), the replay of a
// recorded drive, and the record files: saved whole, read back, a damaged
// one named and the others kept.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/run_record_file.h"
#include "shared_demo.h"
#include "support/test_files.h"
#include "tool_runner.h"

namespace cabsim {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

/// The stop position of the first stop after the start of line_up_827M.
constexpr int64_t kFirstStopCm = 104979;

/// Power up from 12 s, the full service brake from `brake_ms`, and power
/// again from `again_ms` (0: not).
std::string drive(int64_t brake_ms, int64_t again_ms = 0) {
  std::ostringstream s;
  s << "0 start\n";
  for (int i = 0; i < 20; ++i) s << 12000 + i * 200 << " char 8\n";
  for (int i = 0; i < 20; ++i) s << brake_ms + i * 200 << " char 2\n";
  for (int i = 0; again_ms && i < 28; ++i) s << again_ms + i * 200 << " char 8\n";
  return s.str();
}

struct Trace {
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> rows;
  double at(size_t row, const std::string& name) const {
    for (size_t c = 0; c < names.size(); ++c)
      if (names[c] == name) return std::stod(rows[row][c]);
    ADD_FAILURE() << "no column " << name;
    return 0;
  }
};

Trace parse_trace(const std::string& text) {
  Trace t;
  std::istringstream in(text);
  std::string line;
  auto split = [](const std::string& l) {
    std::vector<std::string> f;
    std::stringstream ss(l);
    std::string cell;
    while (std::getline(ss, cell, ',')) f.push_back(cell);
    return f;
  };
  std::getline(in, line);
  t.names = split(line);
  while (std::getline(in, line)) t.rows.push_back(split(line));
  return t;
}

json read_json(const fs::path& file) {
  std::ifstream in(file);
  return json::parse(in);
}

class RecordedDrive : public ::testing::Test {
 protected:
  /// Runs `script` on line_up_827M to `until_ms`, a row every tick; the
  /// record goes to record.json.
  test::ToolResult run(const std::string& script, int64_t until_ms,
                       std::vector<std::string> more = {}) {
    dir_.write_bytes("drive.txt", script);
    std::vector<std::string> args = {
        "simulate",
        "--data",
        test::shared_demo().string(),
        "--route",
        "line_up_827M.dat",
        "--script",
        (dir_ / "drive.txt").string(),
        "--until-ms",
        std::to_string(until_ms),
        "--fields",
        "speed,position,clock,doors_open,target_stop_position,ats_check_speed",
        "--run-record",
        (dir_ / "record.json").string()};
    args.insert(args.end(), more.begin(), more.end());
    return test::run_tool(args);
  }
  json record() { return read_json(dir_ / "record.json"); }

  test::TempDir dir_;
};

TEST_F(RecordedDrive, StopsAndTimesAreThoseOfTheTrace) {
  // Braking at 59.392 s stops within centimetres of the stop position; the
  // doors open, close at the timetabled departure and the train leaves.
  auto r = run(drive(59392, 150000), 200000);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const Trace t = parse_trace(r.out);
  // From the trace: the row the train comes to a stand (the speedometer
  // shows 0), the row the doors open at the first stop, the row the train
  // first moves after they have closed again.
  size_t stood = 0, opened = 0, departed = 0;
  for (size_t i = 1; i < t.rows.size(); ++i) {
    if (!stood && t.at(i, "position") > 1000 && std::lround(t.at(i, "speed")) == 0 &&
        std::lround(t.at(i - 1, "speed")) != 0)
      stood = i;
    if (!opened && t.at(i, "position") > 1000 && t.at(i, "doors_open") == 1 &&
        t.at(i - 1, "doors_open") == 0)
      opened = i;
    if (opened && !departed && i > opened && t.at(i, "doors_open") == 0 &&
        std::lround(std::fabs(t.at(i, "speed"))) != 0)
      departed = i;
  }
  ASSERT_GT(opened, 0u);
  ASSERT_GT(departed, opened);
  const json rec = record();
  ASSERT_EQ(rec["stops"].size(), 2u);
  const json& start = rec["stops"][0];
  EXPECT_TRUE(start["start"].get<bool>());
  EXPECT_EQ(start["arrival_clock"], -1);
  const json& stop = rec["stops"][1];
  EXPECT_EQ(stop["station"], 1);
  EXPECT_EQ(stop["stop_position_cm"], kFirstStopCm);
  EXPECT_EQ(stop["stop_error_cm"].get<int64_t>(),
            std::llround(t.at(opened, "position")) - kFirstStopCm);
  EXPECT_LT(std::llabs(stop["stop_error_cm"].get<int64_t>()), 50);
  EXPECT_TRUE(stop["doors_opened"].get<bool>());
  EXPECT_TRUE(stop["in_zone"].get<bool>());
  EXPECT_EQ(stop["arrival_clock"].get<int64_t>(), std::llround(t.at(stood, "clock")));
  EXPECT_LE(stood, opened);
  EXPECT_EQ(stop["departure_clock"].get<int64_t>(), std::llround(t.at(departed, "clock")));
  // The doors close at the departure time, so the train cannot leave early.
  EXPECT_GE(stop["departure_clock"].get<int64_t>(), stop["scheduled_departure_clock"]);
  double top = 0;
  for (size_t i = 0; i < opened; ++i) top = std::max(top, t.at(i, "speed"));
  EXPECT_NEAR(stop["top_speed_kmh"].get<double>(), top, 1e-6);
  EXPECT_EQ(stop["hardest_brake"], 8);  // the service brake, not the start's emergency
  // A sample for every tick.
  EXPECT_EQ(rec["samples"].get<size_t>(), 2000u);
}

TEST_F(RecordedDrive, StandingShortOrPastTheZoneIsAStopWithoutDoors) {
  // Braking 0.2 s early stops metres short of the zone (3 m each side);
  // braking 0.2 s late stops metres past it. Neither opens the doors.
  for (int64_t brake : {59167, 59578}) {
    auto r = run(drive(brake), 100000);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const Trace t = parse_trace(r.out);
    double stood = 0;
    for (size_t i = 1; i < t.rows.size(); ++i)
      if (t.at(i, "position") > 1000 && std::lround(t.at(i, "speed")) == 0 &&
          std::lround(t.at(i - 1, "speed")) != 0) {
        stood = t.at(i, "position");
        break;
      }
    const json rec = record();
    ASSERT_EQ(rec["stops"].size(), 2u) << brake;
    const json& stop = rec["stops"][1];
    const int64_t error = stop["stop_error_cm"].get<int64_t>();
    EXPECT_EQ(error, std::llround(stood) - kFirstStopCm) << brake;
    EXPECT_GT(std::llabs(error), 300) << brake;
    EXPECT_EQ(error < 0, brake == 59167);
    EXPECT_FALSE(stop["doors_opened"].get<bool>()) << brake;
    EXPECT_FALSE(stop["in_zone"].get<bool>()) << brake;
    EXPECT_EQ(stop["departure_clock"], -1) << brake;
  }
}

TEST_F(RecordedDrive, AMoveIsNotAStopMadeAndStartsAfresh) {
  // The Move menu puts the train at a later stop: its doors open there, but
  // no stop was driven; running and stopping after it is measured as usual.
  auto r = run("0 start\n5000 move 3\n", 30000);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const json rec = record();
  ASSERT_EQ(rec["stops"].size(), 2u);
  EXPECT_TRUE(rec["stops"][0]["start"].get<bool>());
  const json& moved = rec["stops"][1];
  EXPECT_EQ(moved["station"], 3);
  EXPECT_TRUE(moved["moved"].get<bool>());
  EXPECT_FALSE(moved["start"].get<bool>());
  EXPECT_EQ(moved["arrival_clock"], -1);
  EXPECT_EQ(moved["top_speed_kmh"], 0);
}

TEST_F(RecordedDrive, RunningThroughAStopSignalIsRecordedWithTheLimits) {
  // Full power from the start without stopping: the first station's
  // starting signal is passed at stop, and limits are exceeded on the way.
  std::ostringstream script;
  script << "0 start\n";
  for (int i = 0; i < 20; ++i) script << 12000 + i * 200 << " char 8\n";
  auto r = run(script.str(), 120000);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const Trace t = parse_trace(r.out);
  size_t passed = 0;
  for (size_t i = 1; i < t.rows.size() && !passed; ++i)
    if (t.at(i, "ats_check_speed") == 998 && t.at(i - 1, "ats_check_speed") != 998) passed = i;
  ASSERT_GT(passed, 0u);
  const json rec = record();
  const json* overrun = nullptr;
  const json* limit = nullptr;
  for (const json& e : rec["events"]) {
    if (e["kind"] == static_cast<int>(RunEventKind::kSignalOverrun) && !overrun) overrun = &e;
    if (e["kind"] == static_cast<int>(RunEventKind::kLimitExceeded) && !limit) limit = &e;
  }
  ASSERT_NE(overrun, nullptr);
  EXPECT_NEAR(overrun->at("position_cm").get<double>(), t.at(passed, "position"), 0.01);
  ASSERT_NE(limit, nullptr);
  // The excess and how long: the trace's speeds from the event's tick on,
  // while over the limit the samples give for each tick.
  const Trace samples = parse_trace([&] {
    std::ifstream in(dir_ / "record.csv");
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }());
  const size_t first_row = limit->at("tick").get<size_t>();
  const int lim = limit->at("limit_kmh").get<int>();
  double excess = 0;
  int ticks = 0;
  for (size_t i = first_row; i < t.rows.size(); ++i) {
    const double v = std::fabs(t.at(i, "speed"));
    // Sample k - 1 is tick k.
    if (std::lround(v) <= lim || samples.at(i - 1, "limit_kmh") != lim) break;
    excess = std::max(excess, v - lim);
    ++ticks;
  }
  EXPECT_GT(ticks, 0);
  EXPECT_NEAR(limit->at("excess_kmh").get<double>(), excess, 1e-6);
  EXPECT_NEAR(limit->at("ticks").get<int>(), ticks, 1);
}

TEST_F(RecordedDrive, AReplayDrivesTheSameTraceAndBadOnesAreNamed) {
  // Keys, virtual keys, wheel, menu, serial lines and the pad on the way.
  std::string script = drive(59392, 150000);
  script +=
      "151000 key F1\n151500 wheel up\n152000 menu D1 off\n152500 serial \\s\\s\n"
      "153000 controller 1\n153100 pad 0 20000 0x3\n153600 pad none\n154000 controller 0\n";
  // Sort by time: the script's lines must not go back.
  std::istringstream in(script);
  std::vector<std::pair<long, std::string>> lines;
  for (std::string l; std::getline(in, l);) lines.emplace_back(std::stol(l), l);
  std::stable_sort(lines.begin(), lines.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string sorted;
  for (const auto& l : lines) sorted += l.second + "\n";
  const std::string replay = (dir_ / "drive.replay").string();
  auto first = run(sorted, 200000, {"--record-inputs", replay});
  ASSERT_EQ(first.exit_code, 0) << first.err;
  const std::string demo = test::shared_demo().string();
  auto again =
      test::run_tool({"simulate", "--data", demo, "--replay", replay, "--fields",
                      "speed,position,clock,doors_open,target_stop_position,ats_check_speed"});
  ASSERT_EQ(again.exit_code, 0) << again.err;
  EXPECT_TRUE(again.out == first.out) << "the replay's trace differs";

  // A replay cut short, from another route or train, or of another version.
  std::ifstream whole_in(replay, std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(whole_in)), {});
  const fs::path cut = dir_.write_bytes("cut.replay", whole.substr(0, whole.size() / 2));
  const fs::path older =
      dir_.write_bytes("old.replay", "#! cabsim-replay 0\n" + whole.substr(whole.find('\n') + 1));
  struct Bad {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Bad> bad = {
      {{"--replay", cut.string()}, "記録ファイルが壊れています"},
      {{"--replay", replay, "--route", "line_down_838M.dat"}, "別の路線の記録です"},
      {{"--replay", replay, "--train", "train_other.dat"}, "別の車両の記録です"},
      {{"--replay", older.string()}, "記録ファイルの版が違うため読めません"},
      {{"--replay", (dir_ / "none.replay").string()}, "記録ファイルを読めません"},
  };
  for (const Bad& b : bad) {
    std::vector<std::string> args = {"simulate", "--data", demo};
    args.insert(args.end(), b.args.begin(), b.args.end());
    auto result = test::run_tool(args);
    EXPECT_EQ(result.exit_code, 2) << b.message;
    EXPECT_NE(result.err.find(b.message), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty()) << b.message;
  }
}

RunRecordData small_record() {
  RunRecordData r;
  r.route_file = "line_up_827M.dat";
  r.train_file = "train_tz100.dat";
  r.brake_steps = 9;
  StopRecord s;
  s.station = 1;
  s.name = "\x90\xc2\x97\x74\x91\xe4";  // 青葉台 in Shift-JIS
  s.stop_position = 104979;
  s.stop_error_cm = -5;
  s.half_zone = 300;
  s.doors_opened = s.in_zone = true;
  s.arrival_clock = 914969;
  s.departure_clock = 917029;
  s.scheduled_departure = 916650;
  s.top_speed = 96.5;
  s.hardest_brake = 8;
  r.stops.push_back(s);
  RunEvent e;
  e.kind = RunEventKind::kLimitExceeded;
  e.limit = 65;
  e.excess = 10.25;
  e.ticks = 92;
  r.events.push_back(e);
  for (int i = 0; i < 50; ++i) {
    RunSample x;
    x.tick = i + 1;
    x.speed = static_cast<float>(i);
    x.position = i * 100.5;
    x.limit = 95;
    r.samples.push_back(x);
  }
  return r;
}

TEST(RunRecordFiles, ReadBackAsSavedAndADamagedOneIsNamedAndLeftAlone) {
  test::TempDir dir;
  const RunRecordData r = small_record();
  std::string error;
  const auto a = save_run_record(r, dir.path(), "20261209-101010-001", error);
  const auto b = save_run_record(r, dir.path(), "20261209-101010-002", error);
  ASSERT_TRUE(a && b) << error;
  auto back = load_run_record(*a, error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->data.stops.size(), 1u);
  EXPECT_EQ(back->data.stops[0].name, r.stops[0].name);
  EXPECT_EQ(back->data.stops[0].stop_error_cm, -5);
  EXPECT_EQ(back->data.stops[0].departure_clock, 917029);
  EXPECT_EQ(back->data.events[0].ticks, 92);
  ASSERT_EQ(back->data.samples.size(), 50u);
  EXPECT_DOUBLE_EQ(back->data.samples[49].position, 49 * 100.5);
  EXPECT_EQ(back->saved_at, "2026-12-09 10:10:10");

  // Damage one pair in each way; the other pair still reads.
  std::ifstream in(*a);
  const std::string summary((std::istreambuf_iterator<char>(in)), {});
  fs::path csv = *a;
  csv.replace_extension(".csv");
  std::ifstream csv_in(csv);
  const std::string samples((std::istreambuf_iterator<char>(csv_in)), {});
  const std::vector<std::pair<std::string, std::string>> damaged = {
      {summary.substr(0, summary.size() / 2), samples},   // summary cut short
      {summary, samples.substr(0, samples.size() - 40)},  // samples cut short
      {"[1,2,3]", samples},                               // not a record
      {std::string(summary).replace(summary.find("\"station\": 1"), 12, "\"station\": 99999"),
       samples},  // a station out of range
  };
  for (const auto& [bad_summary, bad_samples] : damaged) {
    dir.write_bytes("20261209-101010-001.json", bad_summary);
    dir.write_bytes("20261209-101010-001.csv", bad_samples);
    EXPECT_FALSE(load_run_record(*a, error));
    EXPECT_EQ(error, kRecordDamaged);
    EXPECT_TRUE(load_run_record(*b, error)) << error;
  }
  std::string other = summary;
  other.replace(other.find("\"version\": 2"), 12, "\"version\": 7");
  dir.write_bytes("20261209-101010-001.json", other);
  dir.write_bytes("20261209-101010-001.csv", samples);
  EXPECT_FALSE(load_run_record(*a, error));
  EXPECT_EQ(error, kRecordOtherVersion);
}

std::string read_text(const fs::path& file) {
  std::ifstream in(file);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(RunRecordFiles, InputsAndFilmsReadBackAndAnInputOutOfPlaceIsDamage) {
  test::TempDir dir;
  RunRecordData r = small_record();
  r.program_dir = "/opt/cabsim";
  r.films = {"/opt/cabsim/move/line_up.avi", "/opt/cabsim/move/insert.avi"};
  for (size_t i = 0; i < r.samples.size(); ++i) {
    r.samples[i].film = static_cast<int16_t>(i < 40 ? 0 : 1);
    r.samples[i].frame = static_cast<int32_t>(i * 3);
  }
  RecordedInput line;
  line.input = run_input(RunInputKind::kSerialLine, 0);
  line.input.set_line("P3\xB1" + std::string(40, 'x'));  // kept cut, its bytes as they came
  line.sample = 3;
  line.tick = 3;
  line.clock = 900001;
  RecordedInput pad;
  pad.input = run_input(RunInputKind::kJoystick, 0x0101, -254);
  pad.sample = 50;  // after the last tick
  r.inputs = {line, pad};
  std::string error;
  const auto a = save_run_record(r, dir.path(), "20261209-101010-001", error);
  ASSERT_TRUE(a) << error;
  const auto back = load_run_record(*a, error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->data.program_dir, r.program_dir);
  EXPECT_EQ(back->data.films, r.films);
  EXPECT_EQ(back->data.samples[45].film, 1);
  EXPECT_EQ(back->data.samples[45].frame, 135);
  ASSERT_EQ(back->data.inputs.size(), 2u);
  EXPECT_EQ(back->data.inputs[0].input.line(), "P3\xB1" + std::string(kRunInputTextBytes - 3, 'x'));
  EXPECT_EQ(back->data.inputs[0].clock, 900001);
  EXPECT_EQ(back->data.inputs[1].input.kind, RunInputKind::kJoystick);
  EXPECT_EQ(back->data.inputs[1].input.value, -254);
  const json summary = json::parse(read_text(*a));
  EXPECT_EQ(summary["inputs"][1]["kind"], "joystick");
  EXPECT_EQ(summary["inputs"][0]["sample"], 3);

  // Inputs that cannot be placed, or a sample of a film the record lacks.
  const auto damaged = [&](const std::function<void(json&)>& change, bool in_samples = false) {
    json bad = summary;
    change(bad);
    dir.write_bytes("20261209-101010-001.json", bad.dump());
    if (in_samples) {
      std::string csv = read_text(dir / "20261209-101010-002.csv");
      csv.replace(csv.rfind(",1,"), 3, ",2,");
      dir.write_bytes("20261209-101010-001.csv", csv);
    }
    const bool read = load_run_record(*a, error).has_value();
    return !read && error == kRecordDamaged;
  };
  ASSERT_TRUE(save_run_record(r, dir.path(), "20261209-101010-002", error));
  EXPECT_TRUE(damaged([](json& j) { j["inputs"][0]["kind"] = "teleport"; }));
  EXPECT_TRUE(damaged([](json& j) { j["inputs"][1]["sample"] = 51; }));
  EXPECT_TRUE(damaged([](json& j) {
    j["inputs"][0]["sample"] = 50;
    j["inputs"][1]["sample"] = 2;
  }));
  EXPECT_TRUE(damaged([](json& j) { j["inputs"][0]["text"] = std::string(30, 'x'); }));
  EXPECT_TRUE(damaged([](json& j) { j["inputs"][0]["text"] = "\u99c5"; }));
  EXPECT_TRUE(damaged([](json& j) { j.erase("films"); }));
  EXPECT_TRUE(damaged([](json&) {}, true));  // a sample of a third film
  EXPECT_TRUE(load_run_record(dir / "20261209-101010-002.json", error)) << error;

  // A record of the first version, without inputs, films or frames, still reads.
  json first = summary;
  first["version"] = 1;
  first.erase("inputs");
  first.erase("films");
  first.erase("program_dir");
  first.erase("inputs_dropped");
  std::string csv =
      "tick,clock,speed_kmh,position_cm,brake_cylinder_kpa,power_notch,brake_notch,limit_kmh,"
      "pattern_kmh\n";
  for (int i = 0; i < 50; ++i) csv += std::to_string(i + 1) + ",0,1.000,100.0,0.00,0,0,95,-1\n";
  dir.write_bytes("20261209-101010-001.json", first.dump());
  dir.write_bytes("20261209-101010-001.csv", csv);
  const auto old = load_run_record(*a, error);
  ASSERT_TRUE(old) << error;
  EXPECT_TRUE(old->data.inputs.empty());
  EXPECT_EQ(old->data.samples[10].frame, kNoRecordValue);
  EXPECT_EQ(old->data.samples[10].film, kNoRecordValue);
}

TEST(RunRecordFiles, OnlyTheNewestAreKeptAndOtherFilesAreNeverTouched) {
  test::TempDir dir;
  const RunRecordData r = small_record();
  dir.write_bytes("notes.json", "{}");
  std::string error;
  for (size_t i = 0; i < kMaxSavedRuns + 3; ++i) {
    char stem[32];
    std::snprintf(stem, sizeof stem, "20261209-1010%02zu-000", i);
    ASSERT_TRUE(save_run_record(r, dir.path(), stem, error)) << error;
  }
  const auto kept = list_run_records(dir.path());
  ASSERT_EQ(kept.size(), kMaxSavedRuns);
  EXPECT_EQ(kept.front().filename(), "20261209-101032-000.json");  // newest first
  EXPECT_FALSE(fs::exists(dir / "20261209-101000-000.json"));
  EXPECT_FALSE(fs::exists(dir / "20261209-101000-000.csv"));
  EXPECT_TRUE(fs::exists(dir / "notes.json"));
  // A folder that cannot be made is a message, not a crash.
  dir.write_bytes("plain", "x");
  EXPECT_FALSE(save_run_record(r, dir / "plain" / "runs", "20261209-101010-000", error));
  EXPECT_EQ(error.rfind(kRecordCannotSave, 0), 0u) << error;
}

}  // namespace
}  // namespace cabsim
