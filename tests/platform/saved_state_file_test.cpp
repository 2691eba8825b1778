// The saved running states in the settings file: the simulation's move,
// save and load, a settings file that cannot be parsed, and a save killed
// at any moment.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "platform/settings_store_qt.h"
#include "run/station_move.h"
#include "shared_demo.h"
#include "support/test_files.h"
#include "tool_runner.h"

extern char** environ;

namespace cabsim {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(SavedStateFile, TheSimulationMovesSavesAndLoadsThroughTheSettingsFile) {
  const fs::path demo = test::shared_demo();
  test::TempDir work;
  const fs::path script = work / "moves.txt";
  std::ofstream(script) << "0 start\n1000 move 3\n2000 save 2\n3000 move 1\n4000 load 2\n"
                           "5000 load 1\n6000 move 2\n";
  const fs::path settings = work / "hanabira.ini";
  auto r = test::run_tool({"simulate", "--data", demo.string(), "--route", "line_up_827M.dat",
                           "--script", script.string(), "--until-ms", "5000", "--every-ms", "1000",
                           "--settings", settings.string(), "--fields",
                           "current_frame,current_station,brake_handle"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto rows = lines(r.out);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[2].substr(0, 10), "1000,6017,");  // at 桜川, station 3
  EXPECT_EQ(rows[4].substr(0, 10), "3000,2570,");  // at 青葉台
  EXPECT_EQ(rows[5].substr(0, 12), "4000,6017,3,");
  EXPECT_NE(r.err.find("2000 ms: 運転状態を保存しました"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("5000 ms: 運転状態が保存されていません"), std::string::npos) << r.err;
  QtSettingsStore store(SettingsFiles{settings, work / "padcontroller.ini"});
  EXPECT_EQ(store.read_text("Save2Title"), "花見台ゆき（緑町～桜川）");
  // 緑町 (station 2) is passed, not stopped at: the Move menu has no item.
  r = test::run_tool({"simulate", "--data", demo.string(), "--route", "line_up_827M.dat",
                      "--script", script.string(), "--until-ms", "6000", "--every-ms", "6000",
                      "--settings", settings.string()});
  EXPECT_NE(r.err.find("6000 ms: no stop 2 to move to"), std::string::npos) << r.err;
}

TEST(SavedStateFile, ASettingsFileThatCannotBeParsedIsSetAsideAndTheDefaultsUsed) {
  test::TempDir dir;
  const std::string damaged = "[General\nKanko=1\nSave1=keep me\n";
  dir.write_bytes("hanabira.ini", damaged);
  QtSettingsStore store(SettingsFiles::in_folder(dir.path()));
  testing::internal::CaptureStderr();
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find("hanabira.ini.damaged"), std::string::npos) << said;
  std::ifstream kept(dir / "hanabira.ini.damaged", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), damaged);
  // From then on the store works on a fresh file; a second damaged file is
  // kept beside the first.
  ASSERT_TRUE(store.write_switches({1, 1, 1, 1}));
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{1, 1, 1, 1}));
  dir.write_bytes("hanabira.ini", damaged);
  testing::internal::CaptureStderr();
  EXPECT_EQ(store.read_text("Save1"), std::nullopt);
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(fs::exists(dir / "hanabira.ini.damaged2"));

  // A file far larger than any the program writes is not read into memory.
  dir.write_bytes("hanabira.ini", "[General]\nKanko=1\n" + std::string(2 << 20, '#'));
  testing::internal::CaptureStderr();
  EXPECT_EQ(store.read_switches(), (DrivingSwitches{0, 1, 0, 0}));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(fs::exists(dir / "hanabira.ini.damaged3"));
}

/// Starts cabsim-tool with `args`, its output thrown away; the child's pid.
pid_t spawn_tool(const std::vector<std::string>& args) {
  std::vector<std::string> all = {CABSIM_TOOL_PATH};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

TEST(SavedStateFile, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewState) {
  const fs::path demo = test::shared_demo();
  test::TempDir work;
  const fs::path script = work / "saves.txt";
  {
    std::ofstream out(script);
    // Away from the first stop at full power, saving every 20 ms.
    out << "0 start\n1000 char 5\n";
    for (int t = 2000; t < 600000; t += 20) {
      if (t >= 14000 && t < 15200 && t % 100 == 0) out << t << " char 8\n";
      out << t << " save 1\n";
    }
  }
  const fs::path settings = work / "hanabira.ini";
  std::mt19937 random(20261209);
  int killed_while_saving = 0;
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    const auto size_before = fs::exists(settings) ? fs::file_size(settings) : 0;
    const pid_t child =
        spawn_tool({"simulate", "--data", demo.string(), "--route", "line_up_827M.dat", "--script",
                    script.string(), "--until-ms", "600000", "--every-ms", "600000", "--settings",
                    settings.string()});
    ASSERT_GT(child, 0);
    // Once it saves, kill it at a random moment among its saves.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < deadline &&
           (!fs::exists(settings) || fs::file_size(settings) == size_before))
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    killed_while_saving += WIFSIGNALED(status);

    QtSettingsStore store(SettingsFiles{settings, work / "padcontroller.ini"});
    const std::optional<std::string> value = store.read_text("Save1");
    ASSERT_TRUE(value.has_value());
    const std::optional<SavedState> state = parse_saved_state(*value);
    ASSERT_TRUE(state.has_value()) << *value;
    EXPECT_EQ(state->route_file, "line_up_827M.dat");
    EXPECT_FALSE(fs::exists(work / "hanabira.ini.damaged"));
  }
  EXPECT_GT(killed_while_saving, 6);
}

}  // namespace
}  // namespace cabsim
