// cabsim-tool on a whole run: check in the order of run assembly, and the
// JSON of dump-route, dump-text and dump-keymap.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include <sys/wait.h>

#include "support/sample_route.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

struct ToolResult {
  int status = -1;
  std::string out;
};

ToolResult run_tool(const std::string& args) {
  std::string command = std::string("'") + CABSIM_TOOL_PATH + "' " + args + " 2>/dev/null";
  ToolResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

/// A program directory with every file of a run from the sample route.
class RunFolder {
 public:
  RunFolder() {
    dir_.write_bytes("mascon.dat", "P1\r\nP2\r\n#\r\n");
    dir_.write_sjis("train_tz100.dat", "[BrakeType]\n1\n[Brake]\n8\n");
    dir_.write_sjis("line_tozai.dat", test::sample_route_text());
    dir_.write_sjis("cabworks.dat",
                    "[Path]\nmovie\\\n[Gears]\nN\n1速\n2速\n3速\n4速\n5速\n"
                    "[InfoLabel]\n乗降終了\n#\n[Move]\n移動\n");
  }
  const test::TempDir& dir() const { return dir_; }
  std::string data() const { return "--data '" + dir_.path().string() + "'"; }
  ToolResult check(const std::string& more = "--route line_tozai.dat") const {
    return run_tool("check " + data() + " " + more);
  }

 private:
  test::TempDir dir_;
};

void expect_failure(const ToolResult& result, const std::string& message) {
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, message + "\n");
}

TEST(RouteTool, CheckReadsTheRunInAssemblyOrder) {
  RunFolder run;
  ToolResult ok = run.check();
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "");

  // cabworks.dat is read last of the files, the brake check comes after it.
  run.dir().write_sjis("train_tz100.dat", "[BrakeType]\n1\n[Brake]\n2\n");
  expect_failure(run.check(), "ブレーキの段数を3段以上に設定してください");
  run.dir().write_sjis("cabworks.dat", "[Gears]\nN\n");
  expect_failure(run.check(), "stringファイルに誤りがあります");
  run.dir().write_sjis("line_tozai.dat", "[Station]\n駅,0\n#\n");
  expect_failure(run.check(), "路線ファイルに誤りがあります。[Station]:駅,0");
  run.dir().write_sjis("train_tz100.dat", "[Cars]\nsix\n");
  expect_failure(run.check(), "車両ファイルに誤りがあります- 列車の基本設定");
  std::filesystem::remove(run.dir() / "mascon.dat");
  expect_failure(run.check(), "mascon.datを読み込めません");
  // Without a route only the train file is read.
  expect_failure(run.check(""), "車両ファイルに誤りがあります- 列車の基本設定");
  run.dir().write_sjis("train_tz100.dat", "[BrakeType]\n0\n");
  EXPECT_EQ(run.check("").status, 0);
}

TEST(RouteTool, CheckFindsTheRouteAndTheTrainItNames) {
  RunFolder run;
  expect_failure(run.check("--route line_none.dat"), "路線ファイルに誤りがあります。:");
  // The train directory prefix and another train file name.
  run.dir().write_sjis("trains/train_683.dat", "[BrakeType]\n1\n[Brake]\n5\n");
  EXPECT_EQ(run.check("--route LINE_TOZAI.DAT --train train_683.dat --train-dir 'trains\\'").status,
            0);
  expect_failure(run.check("--route line_tozai.dat --train train_683.dat"),
                 "車両ファイルに誤りがあります");
}

TEST(RouteTool, DumpRouteGivesTheTablesAndTheSetUp) {
  RunFolder run;
  ToolResult result = run_tool("dump-route " + run.data() + " --route line_tozai.dat");
  ASSERT_EQ(result.status, 0) << result.out;
  auto j = nlohmann::json::parse(result.out);
  EXPECT_EQ(j["LineName"], "東西線 上り 各駅停車");
  EXPECT_EQ(j["Friction"], 0.35);
  EXPECT_EQ(j["Staf"][0], "staf\\スタフ.bmp");
  EXPECT_EQ(j["Station"].size(), 3u);
  EXPECT_EQ(j["Station"][2][0], "西町");
  EXPECT_EQ(j["Station"][2][2], 2700);
  EXPECT_EQ(j["Station"][2].size(), 17u);
  EXPECT_EQ(j["Signal"][1].size(), 13u);
  EXPECT_EQ(j["TrafficSignal"][0].size(), 26u);
  EXPECT_EQ(j["TrafficSignal"][0][21], 1050);
  EXPECT_EQ(j["Slope"][0][0], -2.5);
  EXPECT_EQ(j["SpeedUnit"][1], nlohmann::json::parse("[900, 1800, 36.0, 72.0]"));
  EXPECT_EQ(j["Monitor"], nlohmann::json::parse("[10, 20, 30, 40, \"monitor.bmp\"]"));
  EXPECT_EQ(j["KankoSound1"].size(), 22u);
  EXPECT_EQ(j["Sound"].size(), 2u);
  EXPECT_EQ(j["OtherImageList"][0][1], "other\\limit45.wav");
  EXPECT_EQ(j["Pre_TrainHeader"], nlohmann::json::parse("[100, 2500]"));
  EXPECT_EQ(j["MovieSwitch"][0][3], "駅構内");

  const auto& d = j["derived"];
  EXPECT_EQ(d["speed_unit_end_distance"], nlohmann::json::parse("[30000, 75000, 105000]"));
  EXPECT_EQ(d["station_positions"][2], nlohmann::json::parse("[105000, 103500, 106500]"));
  EXPECT_EQ(d["events"], nlohmann::json::parse("[[7000, 10, 0, 0, 3], [13333, 0, 0, 0, 2],"
                                               " [13333, 45, 0, 0, 1], [104907, 0, 1, 0, 2],"
                                               " [107000, 10, 0, 2, 3]]"));
  EXPECT_EQ(d["move_menu"], nlohmann::json::parse("[[\"東西駅\", \"Sta0\"]]"));
  EXPECT_EQ(d["speed_check1_positions"], nlohmann::json::parse("[2000, 20000]"));
  EXPECT_EQ(d["speed_check1_passed"], nlohmann::json::parse("[true, false]"));
  EXPECT_EQ(d["speed_check2_positions"], nlohmann::json::parse("[104630]"));
  EXPECT_EQ(d["traffic_signal_positions"], nlohmann::json::parse("[[33519, 35417]]"));
  EXPECT_EQ(d["doppler_positions"], nlohmann::json::parse("[20000]"));
  EXPECT_EQ(d["tunnel_positions"], nlohmann::json::parse("[[41667, 56667]]"));
  EXPECT_EQ(d["speed_limit_positions"], nlohmann::json::parse("[13333]"));
  EXPECT_EQ(d["kanko_sound2_numbers"], nlohmann::json::parse("[22, 23, 24]"));

  // A bad file gives its message and no JSON.
  run.dir().write_sjis("line_tozai.dat", "[SpeedUnit]\n5,5,1,1\n#\n");
  expect_failure(run_tool("dump-route " + run.data() + " --route line_tozai.dat"),
                 "路線ファイルに誤りがあります。[SpeedUnit]:5,5,1,1");
}

TEST(RouteTool, DumpTextAndKeymap) {
  RunFolder run;
  ToolResult text = run_tool("dump-text " + run.data());
  ASSERT_EQ(text.status, 0);
  auto t = nlohmann::json::parse(text.out);
  EXPECT_EQ(t["Path"], "movie\\");
  EXPECT_EQ(t["Gears"][1], "1速");
  EXPECT_EQ(t["InfoLabel"], nlohmann::json::parse("[[\"乗降終了\"]]"));
  EXPECT_EQ(t["Move"], "移動");
  EXPECT_EQ(t["Start"], "Start");
  EXPECT_EQ(t["Control"], "Controller(&C)");

  ToolResult keymap = run_tool("dump-keymap " + run.data());
  ASSERT_EQ(keymap.status, 0);
  auto k = nlohmann::json::parse(keymap.out);
  EXPECT_EQ(k["codes"], nlohmann::json::parse("[[\"P1\"], [\"P2\"]]"));

  std::filesystem::remove(run.dir() / "cabworks.dat");
  expect_failure(run_tool("dump-text " + run.data()), "stringファイルに誤りがあります");
}

}  // namespace
}  // namespace cabsim
