// cabsim-tool simulate end to end: a small line and train written by the
// test, a scripted drive (start, release, notch up, coast, brake to a stop)
// and the trace it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "platform/tool_runner.h"
#include "shell/run_folder.h"
#include "support/test_files.h"
#include "support/test_run.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using test::run_tool;

class SimFolder {
 public:
  explicit SimFolder(const std::string& route = test::test_route_text()) {
    dir_.write_bytes("mascon.dat", "P1\r\n#\r\n");
    dir_.write_sjis("train_tz100.dat", test::TrainFileText{}.text());
    dir_.write_sjis("line_test.dat", route);
    dir_.write_sjis("cabworks.dat",
                    "[Path]\nmovie\\\n[Forward]\n前\n[Neut]\n緩め\n[Neut2]\n切\n[EB]\n非常\n"
                    "[Gears]\nN\n1速\n2速\n3速\n4速\n5速\n");
  }
  void write(std::string_view name, std::string_view bytes) const { dir_.write_bytes(name, bytes); }
  test::ToolResult simulate(const std::string& script, std::vector<std::string> more) const {
    dir_.write_bytes("script.txt", script);
    std::vector<std::string> args = {
        "simulate",      "--data",   dir_.path().string(),          "--route",
        "line_test.dat", "--script", (dir_ / "script.txt").string()};
    args.insert(args.end(), more.begin(), more.end());
    return run_tool(args);
  }

 private:
  test::TempDir dir_;
};

std::vector<std::vector<std::string>> rows_of(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(csv);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::istringstream cells_in(line);
    std::string cell;
    while (std::getline(cells_in, cell, ',')) cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

constexpr const char* kDrive =
    "# start, release the brake, notch up, coast, brake to a stop\n"
    "0 start\n"
    "500 char 8\n600 char 8\n700 char 8\n800 char 8\n"
    "900 char 8\n1000 char 8\n1100 char 8\n1200 char 8\n"
    "15000 char 8\n15100 char 8\n15200 char 8\n15300 key shift+F2\n"
    "40000 char 5\n"
    "60000 wheel up\n60100 char 2\n60200 char 2\n60300 char 2\n";

TEST(SimulateTool, ADriveFromStartToAStop) {
  SimFolder folder;
  auto result = folder.simulate(
      kDrive, {"--until-ms", "120000", "--every-ms", "1000", "--fields",
               "speed,position,current_frame,clock,tick_count,power_handle,brake_handle,"
               "tractive_force,brake_force,speed_text,brake_text"});
  ASSERT_EQ(result.exit_code, 0) << result.out;
  auto rows = rows_of(result.out);
  ASSERT_EQ(rows.size(), 122u);
  EXPECT_EQ(rows[0],
            (std::vector<std::string>{
                "t_ms", "speed", "position", "current_frame", "clock", "tick_count", "power_handle",
                "brake_handle", "tractive_force", "brake_force", "speed_text", "brake_text"}));
  // Before the start: emergency, at the first station's stop position.
  EXPECT_EQ(rows[1][0], "0");
  EXPECT_EQ(rows[1][1], "0");
  EXPECT_EQ(rows[1][3], "100");
  EXPECT_EQ(rows[1][4], "972000");
  EXPECT_EQ(rows[1][7], "-8");
  EXPECT_EQ(rows[1][11], "非常");
  // One second later: 30 cycles and 10 ticks have run.
  EXPECT_EQ(rows[2][4], "972030");
  EXPECT_EQ(rows[2][5], "10");
  // Powering away, then coasting, then braking.
  double at40 = std::stod(rows[41][1]);
  double at60 = std::stod(rows[61][1]);
  EXPECT_GT(at40, 50);
  EXPECT_LT(at60, at40);
  EXPECT_GT(at60, 40);
  EXPECT_EQ(rows[61][7], "-1");  // the wheel posts "2"
  EXPECT_EQ(rows[62][7], "-4");
  EXPECT_EQ(rows[62][11], "B4");
  // Standing at the end, at exactly 0, where it stopped.
  EXPECT_EQ(rows[121][1], "0");
  EXPECT_EQ(rows[121][10], "  0.0 km/h");
  EXPECT_EQ(rows[121][2], rows[110][2]);
  double stop = std::stod(rows[121][2]);
  EXPECT_GT(stop, 70000);
  EXPECT_LT(stop, 90000);
  for (size_t i = 1; i < rows.size(); ++i) ASSERT_GE(std::stod(rows[i][1]), 0) << i;

  // The same script gives the same trace.
  EXPECT_EQ(folder
                .simulate(kDrive, {"--until-ms", "120000", "--every-ms", "1000", "--fields",
                                   "speed,position,current_frame,clock,tick_count,"
                                   "power_handle,brake_handle,tractive_force,brake_force,"
                                   "speed_text,brake_text"})
                .out,
            result.out);
}

TEST(SimulateTool, FieldsScriptsAndCommandsNotBuiltYet) {
  SimFolder folder;
  auto list = run_tool({"simulate", "--list-fields"});
  EXPECT_EQ(list.exit_code, 0);
  for (const char* f : {"speed",
                        "position",
                        "current_frame",
                        "clock",
                        "tick_count",
                        "reverser",
                        "power_handle",
                        "brake_handle",
                        "effective_power_notch",
                        "effective_brake_notch",
                        "straight_air_notch",
                        "electric_brake_notch",
                        "tractive_force",
                        "resistance_force",
                        "brake_force",
                        "motor_current",
                        "trailer_brake_cylinder",
                        "motor_brake_cylinder",
                        "brake_pipe",
                        "main_reservoir",
                        "straight_air_pipe",
                        "equalising_reservoir",
                        "electric_brake_current",
                        "train_gradient",
                        "adhesion_state_text",
                        "protection_emergency_flag",
                        "pattern_brake_flag",
                        "gear",
                        "target_gear",
                        "engine_running",
                        "engine_speed",
                        "filmed_speed",
                        "speed_text",
                        "power_text",
                        "brake_text",
                        "reverser_text",
                        "gear_text",
                        "pre_train_frame",
                        "current_signal_picture",
                        "last_drawn_signal_picture",
                        "current_signal_third_value",
                        "current_signal_index",
                        "ats_check_speed",
                        "acknowledged_flag",
                        "cab_signal_brake_flag",
                        "shown:SignalImage",
                        "shown:SlopeImage",
                        "slope_text",
                        "shown:SpeedLimitImage",
                        "shown:OtherImage",
                        "shown:TrafficSignalImage",
                        "shown:crossimage",
                        "visible:crossimage_sub",
                        "aspect:N",
                        "display_number:N"})
    EXPECT_NE(("\n" + list.out).find(std::string("\n") + f + "\n"), std::string::npos) << f;

  // Default rows every 100 ms, right after the tick of that millisecond; the
  // main reservoir has leaked for the three cycles before each tick.
  auto trace = folder.simulate(
      "0 start\n", {"--until-ms", "300", "--fields", "tick_count,main_reservoir,reverser_text"});
  EXPECT_EQ(trace.exit_code, 0);
  EXPECT_EQ(trace.out,
            "t_ms,tick_count,main_reservoir,reverser_text\n"
            "0,0,880,前\n100,1,879.9799,前\n200,2,879.9598,前\n300,3,879.9397,前\n");

  for (const char* script :
       {"10 serial P\\q\n", "10 pad 1 2\n", "10 pad 40000 0 0\n", "10 controller 4\n",
        "10 joystick 1\n", "10 fly\n", "x start\n", "20 start\n10 start\n", "10 key F13\n",
        "10 char ab\n", "10 menu OFF1\n", "10 menu OFF3 on\n", "10 menu D1 on off\n"})
    EXPECT_EQ(folder.simulate(script, {"--until-ms", "100"}).exit_code, 2) << script;
  EXPECT_EQ(folder.simulate("", {"--until-ms", "100", "--fields", "nonsense"}).exit_code, 2);
  EXPECT_EQ(folder.simulate("", {}).exit_code, 2);  // no --until-ms
  auto bad =
      run_tool({"simulate", "--data", "/nonexistent", "--route", "x.dat", "--until-ms", "10"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.out, "mascon.datを読み込めません\n");
}

TEST(SimulateTool, ScriptsFeedTheSerialControllerAndThePad) {
  SimFolder folder;
  folder.write("mascon.dat", "P1\r\nP2\r\nP3\r\nP4\r\nP5\r\nP6\r\nN\r\nB1\r\n");
  auto r = folder.simulate(
      "0 start\n"
      "50 serial P3\n"
      "150 serial-part B\n"
      "160 serial 1\\rN\n"  // "B1", then "N" and the carriage return: B1, neutral
      "250 controller 1\n"
      "250 pad 20000 0 0\n"   // Windows pad: emergency at the tick of 300
      "350 pad none\n"        // pulled out: the brake stays
      "550 pad 0 -8000 4\n",  // notch 2 (after the dead zone), button 2 posts the horn
      {"--until-ms", "600", "--every-ms", "100", "--fields",
       "power_handle,brake_handle,serial_pending,last_state_sum,controller_kind"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out,
            "t_ms,power_handle,brake_handle,serial_pending,last_state_sum,controller_kind\n"
            "0,0,-8,,0,0\n"
            "100,3,0,,0,0\n"
            "200,0,0,,0,0\n"
            "300,0,-8,,19328,1\n"
            "400,0,-8,,19328,1\n"
            "500,0,-8,,19328,1\n"
            "600,2,0,,-6692,1\n");
}

TEST(SimulateTool, TracesTheSignalsClearingBehindTheTrainAhead) {
  // Four block signals at frames 1000 .. 4000; the train ahead leaves the
  // first station (frame 100) at 09:00:00 and runs to the second (frame
  // 5000) in 100 s, leaving the line at frame 4900. The driven train stands.
  SimFolder folder(
      test::test_route_text("[Pre_Train]\n1,4900\n972000,0,0\n975000,1,0\n#\n"
                            "[Signal]\n"
                            "0,0,0,5,700,1000,800,1000,0,0,0,0,0\n"
                            "0,0,0,5,1700,2000,1800,2000,0,0,0,0,0\n"
                            "0,0,0,5,2700,3000,2800,3000,0,0,0,0,0\n"
                            "0,0,0,5,3700,4000,3800,4000,0,0,0,0,0\n#\n"));
  auto r = folder.simulate(
      "0 start\n", {"--until-ms", "105000", "--every-ms", "5000", "--fields",
                    "pre_train_frame,aspect:0,aspect:1,aspect:2,aspect:3,display_number:1,"
                    "current_signal_index,ats_check_speed,shown:SignalImage,left:SignalImageL"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  auto rows = rows_of(r.out);
  ASSERT_EQ(rows.size(), 23u);
  EXPECT_EQ(rows[0][2], "aspect:0");
  auto row_at = [&rows](int seconds) -> const std::vector<std::string>& {
    return rows[static_cast<size_t>(seconds / 5 + 1)];
  };
  // 09:00:00 .. : the train ahead is in the first block (behind signal 1),
  // which the line's entry signal 0 never shows at stop.
  EXPECT_EQ(row_at(10), (std::vector<std::string>{"10000", row_at(10)[1], "4", "4", "4", "4", "1",
                                                  "999", "999", "999", "680"}));
  EXPECT_GT(std::stoi(row_at(10)[1]), 100);
  // Beyond signal 1: it shows stop, signal 0 one step above.
  EXPECT_EQ((std::vector<std::string>(row_at(45).begin() + 2, row_at(45).begin() + 7)),
            (std::vector<std::string>{"1", "0", "4", "4", "0"}));
  // Beyond signal 2: the stop moves on, the signals behind clear by steps.
  EXPECT_EQ((std::vector<std::string>(row_at(65).begin() + 2, row_at(65).begin() + 7)),
            (std::vector<std::string>{"2", "1", "0", "4", "1"}));
  // Beyond the last signal, then off the line: every signal clear again.
  EXPECT_GT(std::stoi(row_at(90)[1]), 4000);
  EXPECT_EQ(row_at(105)[1], "0");
  for (int t : {90, 105})
    EXPECT_EQ((std::vector<std::string>(row_at(t).begin() + 2, row_at(t).begin() + 6)),
              (std::vector<std::string>{"4", "4", "4", "4"}));

  // A signal the route does not have is named as such.
  auto missing = folder.simulate("", {"--until-ms", "100", "--fields", "aspect:4"});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_NE(missing.err.find("aspect:4: the route has no signal 4"), std::string::npos)
      << missing.err;
  EXPECT_EQ(folder.simulate("", {"--until-ms", "100", "--fields", "aspect:x"}).exit_code, 2);
}

/// A run from a stop with doors: the start sound, a melody of 5 s ending at
/// the departure at 09:00:00, door sounds of a second each.
class StationFolder {
 public:
  StationFolder() {
    dir_.write_bytes("mascon.dat", "P1\r\n#\r\n");
    dir_.write_sjis("train_tz100.dat",
                    test::TrainFileText{}
                        .set("[DriveSound]", "open.wav\nclose.wav\ndep.wav\nwarn.wav\n#")
                        .set("[Sound_DoorOpen]", "0")
                        .set("[Sound_DoorClose]", "1")
                        .set("[DepSign]", "2")
                        .set("[Stop]", "3")
                        .text());
    dir_.write_sjis("line_test.dat",
                    "[LineName]\n試験線\n[StartPos]\n100\n[Friction]\n0.35\n"
                    "[Speed_Signal]\n0\n25\n45\n75\n110\n#\n"
                    "[SoundData]\nstart.wav\nmelody.wav\n#\n"
                    "[Station]\n"
                    "一駅,0,100,1000,0,1,0,972000,60,1,0,0,0,300,5,0,100\n"
                    "二駅,0,5000,1000,0,1,0,990000,0,1,0,0,0,300,5,0,100\n#\n"
                    "[SpeedUnit]\n0,9000,60,60\n#\n");
    dir_.write_sjis("cabworks.dat", "[Forward]\n前\n[Stop]\n 停車\n");
    for (const char* name : {"open.wav", "close.wav", "dep.wav", "warn.wav", "start.wav"})
      dir_.write_bytes(name, test::wave_file(1));
    dir_.write_bytes("melody.wav", test::wave_file(5));
  }
  test::ToolResult simulate(const std::string& script, std::vector<std::string> more) const {
    dir_.write_bytes("script.txt", script);
    std::vector<std::string> args = {
        "simulate",      "--data",   dir_.path().string(),          "--route",
        "line_test.dat", "--script", (dir_ / "script.txt").string()};
    args.insert(args.end(), more.begin(), more.end());
    return run_tool(args);
  }

 private:
  test::TempDir dir_;
};

TEST(SimulateTool, AFailureOnEveryCycleIsReportedOnceAndTheRunGoesOn) {
  // The first departure at the clock's largest value: every 33 ms cycle's
  // clock step overflows. The program's handler shows it once; so does the
  // tool, with how often it failed in all, and the trace goes on.
  std::string route = test::test_route_text();
  route.replace(route.find("972000"), 6, "2147483647");
  SimFolder folder(route);
  auto r = folder.simulate("0 start\n",
                           {"--until-ms", "10000", "--every-ms", "1000", "--fields", "clock"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // (The test line has no film: that message comes first.)
  EXPECT_NE(r.err.find("\ncabsim-tool: 33 ms: MMTimer1Timer: integer overflow\n"
                       "cabsim-tool: 303 failures in all, only the first shown\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 3);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 12);  // the header and 11 rows
}

TEST(SimulateTool, ARunFromAStopDepartsWhenTheDoorsHaveClosed) {
  StationFolder folder;
  // Power is asked for at once; the doors hold the train until departure.
  auto result = folder.simulate(
      "0 start\n100 char 5\n200 char 8\n300 char 8\n400 char 8\n",
      {"--until-ms", "15000", "--every-ms", "500", "--fields",
       "clock,clock_text,doors_open,doors_not_closed,door_closed_lamp,departure_counter,speed,"
       "current_station,next_station,next_station_text"});
  ASSERT_EQ(result.exit_code, 0) << result.out;
  auto rows = rows_of(result.out);
  ASSERT_EQ(rows.size(), 32u);
  EXPECT_EQ(rows[1][1], "971850");  // 08:59:55: the melody ends at 09:00:00
  EXPECT_EQ(rows[1][3], "1");
  EXPECT_EQ(rows[2][2], "08:59:55");
  size_t closing = 0, closed = 0;
  for (size_t i = 1; i < rows.size(); ++i) {
    if (rows[i][3] == "1") {
      EXPECT_LT(std::fabs(std::stod(rows[i][7])), 0.1) << i;  // held
    }
    if (!closing && rows[i][3] == "0") closing = i;
    if (!closed && rows[i][5] == "1") closed = i;
  }
  ASSERT_GT(closing, 0u);
  EXPECT_GT(std::stoi(rows[closing][1]), 972000);
  EXPECT_LT(std::stoi(rows[closing][1]), 972000 + 30);
  ASSERT_GT(closed, closing);  // after the close sound
  EXPECT_EQ(rows[closed][4], "0");
  EXPECT_EQ(rows[closed][6], "1");
  EXPECT_EQ(rows.back()[6], "1");
  EXPECT_GT(std::stod(rows.back()[7]), 5);  // powering away
  EXPECT_EQ(rows.back()[8], "0");
  EXPECT_EQ(rows.back()[9], "1");
}

}  // namespace
}  // namespace cabsim
