// cabsim-tool check and dump-train on train files in a program folder.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/test_files.h"
#include "tool_runner.h"

namespace cabsim {
namespace {

using test::run_tool;

const char* kMinimalEmu =
    "[Handle]\n1\n[BrakeType]\n1\n[Brake]\n8\n[Engine_Type]\n1\n[Power]\n2\n"
    "[Notch]\n3\n0\n30\n60\n0.1\n0\n3\n0.01\n40\n70\n0.12\n1\n#\n"
    "[Mt]\n34.5678\n[StopLine]\nstop.bmp\n停止.bmp\n[PowerMode]\n直列,並列\n#\n"
    "[DriveSound]\nrun.wav\n#\n[Lamp_signal]\n1\n2\n3\n4\nsig.bmp\n0\n25\n#\n"
    "[CurrentP]\n300\n2.5\n40\n1,2.5,3,4\n#\n";

TEST(CabsimToolCheck, PrintsNothingForAGoodTrainAndTheMessageForABadOne) {
  test::TempDir dir;
  dir.write_sjis("train_tz100.dat", kMinimalEmu);
  auto ok = run_tool({"check", "--data", dir.path().string()});
  EXPECT_EQ(ok.exit_code, 0);
  EXPECT_EQ(ok.out, "");

  dir.write_sjis("train_bad.dat", "[Engine_Type]\n1\n[Needle_BC_L]\nb.bmp\n1\nx\n");
  auto bad = run_tool({"check", "--data", dir.path().string(), "--train", "train_bad.dat"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.out, "車両ファイルに誤りがあります- BC圧力計（リニア）\n");

  auto missing = run_tool({"check", "--data", dir.path().string(), "--train", "none.dat"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.out, "車両ファイルに誤りがあります\n");

  // The brake step check of the run set-up is part of the check.
  dir.write_sjis("train_few.dat", "[BrakeType]\n2\n[Brake]\n2\n");
  auto few = run_tool({"check", "--data", dir.path().string(), "--train", "train_few.dat"});
  EXPECT_EQ(few.exit_code, 1);
  EXPECT_EQ(few.out, "ブレーキの段数を3段以上に設定してください\n");

  auto usage = run_tool({"check", "--bogus"});
  EXPECT_EQ(usage.exit_code, 2);
}

TEST(CabsimToolCheck, FindsTrainsInFoldersWrittenOnACaseInsensitiveSystem) {
  test::TempDir dir;
  dir.write_sjis("Trains/EMU/Train_EMU.DAT", kMinimalEmu);
  auto r = run_tool({"check", "--data", dir.path().string(), "--train-dir", "trains\\emu\\",
                     "--train", "train_emu.dat"});
  EXPECT_EQ(r.exit_code, 0) << r.out;
}

TEST(CabsimToolDumpTrain, GivesEveryKeyWithFileOrderValues) {
  test::TempDir dir;
  dir.write_sjis("emu/train_tz100.dat", kMinimalEmu);
  auto r = run_tool({"dump-train", "--data", dir.path().string(), "--train-dir", "emu\\"});
  ASSERT_EQ(r.exit_code, 0);
  nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["Handle"], 1);
  EXPECT_EQ(j["Brake"], 8);
  EXPECT_DOUBLE_EQ(j["Mt"].get<double>(), 34.5678);
  EXPECT_EQ(j["StopLine"], nlohmann::json({"emu\\stop.bmp", "emu\\停止.bmp"}));
  EXPECT_EQ(j["Notch"].size(), 2u);
  EXPECT_EQ(j["Notch"][1], nlohmann::json({3.0, 0.01, 40, 70, 0.12, 1}));
  EXPECT_EQ(j["PowerMode"], nlohmann::json::parse(R"([["直列","並列"]])"));
  EXPECT_EQ(j["DriveSound"], nlohmann::json::parse(R"([["emu\\run.wav"]])"));
  EXPECT_EQ(j["CurrentPHeader"], nlohmann::json({300, 2.5, 40.0}));
  EXPECT_EQ(j["CurrentP"], nlohmann::json::parse("[[1,2.5,3.0,4]]"));
  EXPECT_EQ(j["Lamp_signalHeader"], nlohmann::json({1, 2, 3, 4, "emu\\sig.bmp"}));
  EXPECT_EQ(j["Lamp_signal"], nlohmann::json::parse("[[0],[25]]"));
  EXPECT_EQ(j["derived"]["notch_group_starts"], nlohmann::json::array({1}));
  // Absent keys appear with their initial values.
  EXPECT_EQ(j["Sound_BK"], nlohmann::json::array());
  EXPECT_EQ(j["EngineSound2"], nlohmann::json({0, 0, 0, 0}));
  EXPECT_EQ(j["Clock"], nlohmann::json({0, 0, 0}));
  EXPECT_EQ(j["Tons"], 0.0);
  EXPECT_EQ(j["Needle_I"].size(), 8u);
  EXPECT_EQ(j["Others"], nlohmann::json::array());
}

}  // namespace
}  // namespace cabsim
