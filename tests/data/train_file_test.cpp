// Reading complete train files, their messages, checks and capacities.
#include "data/train_file.h"

#include <gtest/gtest.h>

#include "data/definition_error.h"
#include "data/shift_jis.h"
#include "support/test_files.h"
#include "train_samples.h"

namespace cabsim {
namespace {

using test::lines;

TrainParams read_utf8(const std::string& text, std::string_view prefix = "") {
  return read_train_bytes(test::sjis_file_text(text), utf8_to_sjis(prefix));
}

/// The message reading `text` ends with, or "" when it reads.
std::string message_of(const std::string& text) {
  try {
    read_utf8(text);
  } catch (const DefinitionError& e) {
    return e.what();
  }
  return "";
}

const std::string kBad = "車両ファイルに誤りがあります";

TEST(TrainFile, ReadsASuburbanElectricTrain) {
  test::TempDir dir;
  dir.write_sjis("trains/emu/train_emu.dat", test::suburban_emu_train());
  TrainParams t = read_train_file(dir / "trains/emu/train_emu.dat", "trains\\emu\\");

  EXPECT_EQ(t.Handle, 1);
  EXPECT_EQ(t.BrakeType, 1);
  EXPECT_EQ(t.Brake, 8);
  EXPECT_EQ(t.Power, 4);
  EXPECT_EQ(t.BrakeRate[0].count(), 45000);
  EXPECT_EQ(t.BrakeRate[2].count(), 50000);
  EXPECT_DOUBLE_EQ(static_cast<double>(t.BrakeRate2), 1.05);
  EXPECT_EQ(t.EBrakeDelay, 7);
  EXPECT_EQ(t.LowAirPress, 780);
  EXPECT_EQ(t.Tct.count(), 301250);
  EXPECT_EQ(t.Tons.count(), 1275000);
  EXPECT_EQ(t.ATS_Cnt, 1);

  // Counted blocks follow [Brake] and [Power].
  EXPECT_EQ(t.Sound_BK_count, 8);
  EXPECT_EQ(t.Sound_BR_count, 8);
  EXPECT_EQ(t.Sound_BA_count, 9);
  EXPECT_EQ(t.Sound_BA[8], 13);
  EXPECT_EQ(t.Sound_PA_count, 4);
  EXPECT_EQ(t.Sound_PR[3], 15);
  EXPECT_EQ(t.Sound_squeak, 27);
  EXPECT_EQ(t.Buzzer[1], 33);
  EXPECT_EQ(t.ATS_Warn, 35);

  ASSERT_EQ(t.SwitchSound_count, 3);
  EXPECT_EQ(t.SwitchSound[2].sound, 38);
  EXPECT_EQ(t.SwitchSound[2].speed, 200);
  EXPECT_EQ(t.SwitchSound[2].kind, 1);

  ASSERT_EQ(t.Notch_count, 4);
  EXPECT_DOUBLE_EQ(static_cast<double>(t.Notch[3].a1), 0.03);
  EXPECT_EQ(t.Notch[3].V2, 90);
  EXPECT_EQ(t.notch_group_count, 0);
  EXPECT_EQ(t.BrakeCurr_filled, 9);
  EXPECT_EQ(t.BrakeCurr[8], 400);
  ASSERT_EQ(t.CurrentB_count, 2);
  EXPECT_DOUBLE_EQ(static_cast<double>(t.CurrentB[0].r1), 10.0);  // " 10" converts
  EXPECT_EQ(t.CurrentB[1].r2, 1);
  ASSERT_EQ(t.PowerMode_count, 1);
  EXPECT_EQ(sjis_to_utf8(t.PowerMode[0].second), "並列");

  // Every file named inside the train file carries the train directory prefix.
  EXPECT_EQ(sjis_to_utf8(t.StopLine[1]), "trains\\emu\\停止位置表示.bmp");
  ASSERT_EQ(t.EngineSound1_count, 2);
  EXPECT_EQ(t.EngineSound1[1].file, "trains\\emu\\sound\\motor_brake.wav");
  EXPECT_EQ(t.EngineSound1[1].mode, 1);
  EXPECT_DOUBLE_EQ(static_cast<double>(t.EngineSound1[1].q2), 0.5);
  ASSERT_EQ(t.DriveSound_count, 3);
  EXPECT_EQ(t.DriveSound[0], "trains\\emu\\sound\\run0.wav");
  EXPECT_EQ(t.DriveSound[1], "");  // an empty line keeps its sound number, with no sound
  EXPECT_EQ(sjis_to_utf8(t.DriveSound[2]), "trains\\emu\\sound\\走行音.wav");

  const CabPanelDefinition& p = t.panel;
  EXPECT_EQ(p.Clock.x, 600);
  EXPECT_EQ(p.Clock.hand_length, 20);
  EXPECT_EQ(p.Panel.file, "trains\\emu\\panel.bmp");
  EXPECT_EQ(p.Panel.y, 384);
  EXPECT_EQ(p.Lamp_G.file, "trains\\emu\\lamp_g.bmp");
  EXPECT_EQ(p.Lamp_Back.file, "");
  EXPECT_EQ(p.Needle_Speed.zero_angle, -135);
  EXPECT_DOUBLE_EQ(static_cast<double>(p.Needle_Speed.scale), 2.25);
  EXPECT_DOUBLE_EQ(static_cast<double>(p.Needle_Speed.low_speed_scale), 3.5);
  EXPECT_EQ(p.Needle_BC_L.x, 310);
  EXPECT_EQ(p.Needle_BC_L.zero_angle, 600);  // the bar's base y
  EXPECT_EQ(p.Needle_I.mode, 1);
  EXPECT_EQ(p.Lamp_signal.pattern_width, 40);
  ASSERT_EQ(p.Lamp_signal_count, 3);
  EXPECT_EQ(p.Lamp_signal_speeds[1], 25);
  EXPECT_EQ(p.NotchImageB.file, "trains\\emu\\notch_b.bmp");
  EXPECT_EQ(p.Digi_Speed.file, "");  // no picture
  EXPECT_EQ(p.Digi_Speed.pattern_height, 24);
  ASSERT_EQ(p.Others_count, 2);
  EXPECT_EQ(p.Others[1].y, 610);
  EXPECT_EQ(sjis_to_utf8(p.Others[1].file), "trains\\emu\\号車.bmp");
}

TEST(TrainFile, ReadsADieselRailcar) {
  TrainParams t = read_utf8(test::diesel_railcar_train());
  EXPECT_EQ(t.Engine_Type, 0);
  EXPECT_EQ(t.Gear_Type, 1);
  ASSERT_EQ(t.Engine_count, 5);
  EXPECT_EQ(t.Engine[2].e1, 40);
  EXPECT_DOUBLE_EQ(static_cast<double>(t.Engine[4].e5), 0.2);
  EXPECT_EQ(t.EngineRate_filled, 5);
  EXPECT_EQ(t.EngineRate[1].offset, 650);
  EXPECT_DOUBLE_EQ(static_cast<double>(t.EngineRate[2].factor), 27.25);
  EXPECT_EQ(t.EngineSound2, (std::array<int32_t, 4>{3, 4, 5, 6}));
  ASSERT_EQ(t.EngineSound3_count, 2);
  EXPECT_EQ(t.EngineSound3[1].kind, 2);
  EXPECT_DOUBLE_EQ(static_cast<double>(t.EngineSound3[1].q1), 0.6);
  EXPECT_EQ(t.DriveSound_count, 6);
  // Fixed-point kept as a real: 1.23456 is stored to four decimals.
  EXPECT_DOUBLE_EQ(static_cast<double>(t.BrakeRate2), 1.2346);
  EXPECT_EQ(t.Tct.count(), 0);  // 0.5 of a count rounds to even
  EXPECT_EQ(t.panel.GearImageList2.pattern_height, 60);

  // The automatic air brake runs with its fixed 4-step handle.
  EXPECT_EQ(t.Brake, 2);
  check_brake_steps(t);
  EXPECT_EQ(t.Brake, 4);
}

TEST(TrainFile, MissingFileGetsTheTrainFileMessage) {
  test::TempDir dir;
  try {
    read_train_file(dir / "train_tz100.dat", "");
    FAIL() << "no error";
  } catch (const DefinitionError& e) {
    EXPECT_EQ(std::string(e.what()), kBad);
  }
  try {
    read_train_file(dir.path(), "");  // a folder is no train file
    FAIL() << "no error";
  } catch (const DefinitionError& e) {
    EXPECT_EQ(std::string(e.what()), kBad);
  }
}

TEST(TrainFile, FailuresNameTheSectionLabelLastSet) {
  struct Case {
    std::string file;
    std::string label;
  };
  const Case cases[] = {
      {lines({"[Handle]", "x"}), "- 列車の基本設定"},
      {lines({"[Brake]", "3 "}), "- 列車の基本設定"},
      {lines({"[Engine_Type]", "1", "[Notch]", "#", "[Handle]", "x"}), "- 列車の基本設定"},
      {lines({"[Mt]"}), "- 列車の基本設定"},  // value past the end of the file
      {lines({"[SwitchSound]", "1,2", "#"}), "- 列車の基本設定"},
      {lines({"[EngineRate]", "1,x", "#"}), "- 列車の基本設定"},
      {lines({"[Engine_Type]", "1", "[Notch]", "1", "2", "3", "4", "5"}), "[Notch]"},
      {lines({"[Engine_Type]", "1", "[Notch]", "1", "2", "3", "4", "5", "6"}), "[Notch]"},
      {lines({"[CurrentP]", "100", "2.5", "x", "#"}), "[CurrentP]"},
      {lines({"[CurrentP]", "100", "2.5", "40", "1,2,3", "#"}), "[CurrentP]"},
      {lines({"[BrakeCurr]", "1.5", "#"}), "[BrakeCurr]"},
      {lines({"[CurrentB]", "1,2", "#"}), "[CurrentB]"},
      {lines({"[Engine]", "0", "0", "0", "0", "0", "x", "#"}), "[Engine]"},
      {lines({"[PowerMode]", "a,b"}), "[PowerMode]"},
      {lines({"[EngineSound1]", "m.wav", "x"}), "[EngineSound1]"},
      {lines({"[EngineSound2]", "1", "2", "3", "x"}), "[EngineSound1]"},
      {lines({"[EngineSound3]", "g.wav", "1", "1", "0", "x"}), "[EngineSound3]"},
      {lines({"[DriveSound]", "a.wav"}), "[DriveSound]"},
      {lines({"[Clock]", "1", "x"}), "- アナログ時計"},
      {lines({"[Panel2]", "p.bmp", "0", "y"}), "- 運転台パネル"},
      {lines({"[Lamp_ATSP2]", "l.bmp", "0", "y"}), "- 運転台パネル2"},
      {lines({"[Lamp_Stop]", "l.bmp", "0", "y"}), "- 運転台パネル3"},
      {lines({"[Needle_Speed]", "n.bmp", "1", "2", "0", "0", "0", "1", "x"}), "- 速度計"},
      {lines({"[Needle_BC_L]", "b.bmp", "1", "2", "x"}), "- BC圧力計（リニア）"},
      {lines({"[Needle_MR]", "n.bmp", "1", "2", "0", "0", "x"}), "- MR圧力計"},
      {lines({"[Needle_MR_L]", "b.bmp", "1", "2.5", "1"}), "- MR圧力計（リニア）"},
      {lines({"[Needle_I]", "n.bmp", "1", "2", "0", "0", "0", "1", "1.5"}), "- 電流計"},
      {lines({"[Lamp_signal]", "1", "2", "3", "4", "s.bmp", "x", "#"}), "[Lamp_signal]"},
      {lines({"[NotchImageB2]", "1", "2", "3", "x"}), "[NotchImageB2]"},
      {lines({"[Digi_Speed]", "1"}), "[Digi_Speed]"},
      {lines({"[Others]", "o.bmp", "1", "2"}), "[Others]"},
  };
  for (const Case& c : cases) EXPECT_EQ(message_of(c.file), kBad + c.label) << c.file;
}

TEST(TrainFile, PowerTypeChecksHaveTheirOwnMessages) {
  const std::string diesel = "動力が気動車なのにNotch指定があります";
  const std::string electric = "動力が電車なのにEngine指定があります";
  EXPECT_EQ(message_of(lines({"[Engine_Type]", "0", "[Notch]", "#"})), diesel);
  // [Notch] before [Engine_Type]: the type is still 0 when the list closes.
  EXPECT_EQ(
      message_of(lines({"[Notch]", "1", "0", "30", "60", "0.1", "0", "#", "[Engine_Type]", "1"})),
      diesel);
  EXPECT_EQ(message_of(lines({"[Engine_Type]", "1", "[Engine]", "#"})), electric);
  EXPECT_EQ(message_of(lines({"[Engine_Type]", "2", "[Notch]", "1", "0", "30", "60", "0.1", "0",
                              "#", "[Engine]", "0", "20", "25", "1", "1", "1", "#"})),
            "");
}

TEST(TrainFile, BrakeStepCheckAtSetUp) {
  TrainParams automatic = read_utf8(lines({"[BrakeType]", "0", "[Brake]", "2"}));
  check_brake_steps(automatic);
  EXPECT_EQ(automatic.Brake, 4);

  TrainParams straight = read_utf8(lines({"[BrakeType]", "1", "[Brake]", "2"}));
  try {
    check_brake_steps(straight);
    FAIL() << "no error";
  } catch (const DefinitionError& e) {
    EXPECT_EQ(std::string(e.what()), "ブレーキの段数を3段以上に設定してください");
  }
  TrainParams three = read_utf8(lines({"[BrakeType]", "2", "[Brake]", "3"}));
  EXPECT_NO_THROW(check_brake_steps(three));
  EXPECT_EQ(three.Brake, 3);
}

TEST(TrainFile, CountedBlocksReadAsManyLinesAsTheCountSaid) {
  std::string nine =
      lines({"[BrakeType]", "1", "[Brake]", "8", "[Sound_BK]", "1",        "2", "3", "4",
             "5",           "6", "7",       "8", "[Sound_BA]", "1",        "2", "3", "4",
             "5",           "6", "7",       "8", "9",          "[Handle]", "1"});
  TrainParams t = read_utf8(nine);
  EXPECT_EQ(t.Sound_BK_count, 8);
  EXPECT_EQ(t.Sound_BK[7], 8);
  EXPECT_EQ(t.Sound_BA_count, 9);
  EXPECT_EQ(t.Sound_BA[8], 9);
  EXPECT_EQ(t.Handle, 1);

  // Before [Brake] the count is 0: the block reads nothing and its lines are
  // skipped as unknown lines.
  TrainParams early = read_utf8(lines({"[Sound_BK]", "5", "[Brake]", "3"}));
  EXPECT_EQ(early.Sound_BK_count, 0);
  EXPECT_EQ(early.Brake, 3);
  EXPECT_EQ(read_utf8(lines({"[Power]", "-3", "[Sound_PA]", "[Hold]", "1"})).Hold, 1);

  // A count beyond the block's capacity is refused, not read past the table.
  EXPECT_EQ(message_of(lines({"[Brake]", "64", "[Sound_BA]"})), kBad + "- 列車の基本設定");
  EXPECT_EQ(message_of(lines({"[Power]", "2147483647", "[Sound_PR]"})), kBad + "- 列車の基本設定");
}

TEST(TrainFile, NotchGroupStartsAreRecordedWhereTheModeChanges) {
  auto notch_rows = [](std::initializer_list<int> groups) {
    std::string s = lines({"[Engine_Type]", "1", "[Notch]"});
    for (int g : groups) s += "1\n0\n30\n60\n0.1\n" + std::to_string(g) + "\n";
    return s + "#\n";
  };
  TrainParams t = read_utf8(notch_rows({0, 0, 1, 2, 2}));
  EXPECT_EQ(t.Notch_count, 5);
  ASSERT_EQ(t.notch_group_count, 2);
  EXPECT_EQ(t.notch_group_starts[0], 2);
  EXPECT_EQ(t.notch_group_starts[1], 3);

  // A list read again starts its groups afresh.
  TrainParams again = read_utf8(notch_rows({0, 1}) + notch_rows({0, 0, 0}));
  EXPECT_EQ(again.Notch_count, 3);
  EXPECT_EQ(again.notch_group_count, 0);

  // Eleven rows fit; a twelfth, or a tenth group start, does not.
  EXPECT_EQ(read_utf8(notch_rows({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})).Notch_count, 11);
  EXPECT_EQ(message_of(notch_rows({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})), kBad + "[Notch]");
  EXPECT_EQ(read_utf8(notch_rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9})).notch_group_count, 9);
  EXPECT_EQ(message_of(notch_rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10})), kBad + "[Notch]");
}

TEST(TrainFile, ListsBeyondTheirCapacityAreRefused) {
  auto list = [](const char* key, const std::string& entry, int n) {
    std::string s = std::string(key) + "\n";
    for (int i = 0; i < n; ++i) s += entry;
    return s + "#\n";
  };
  EXPECT_EQ(read_utf8(list("[SwitchSound]", "1,2,3\n", 501)).SwitchSound_count, 501);
  EXPECT_EQ(message_of(list("[SwitchSound]", "1,2,3\n", 502)), kBad + "- 列車の基本設定");
  EXPECT_EQ(read_utf8(list("[DriveSound]", "a.wav\n", 100)).DriveSound_count, 100);
  EXPECT_EQ(message_of(list("[DriveSound]", "a.wav\n", 101)), kBad + "[DriveSound]");
  EXPECT_EQ(message_of(list("[BrakeCurr]", "1\n", 11)), kBad + "[BrakeCurr]");
  EXPECT_EQ(message_of(list("[EngineRate]", "1,1\n", 11)), kBad + "- 列車の基本設定");
  EXPECT_EQ(message_of(list("[PowerMode]", "a,b\n", 11)), kBad + "[PowerMode]");
  EXPECT_EQ(message_of(list("[CurrentB]", "1,2,3\n", 101)), kBad + "[CurrentB]");
  EXPECT_EQ(read_utf8(list("[Others]", "o.bmp\n1\n2\n", 11)).panel.Others_count, 11);
  EXPECT_EQ(message_of(list("[Others]", "o.bmp\n1\n2\n", 12)), kBad + "[Others]");
  std::string signal = "[Lamp_signal]\n1\n2\n3\n4\ns.bmp\n";
  EXPECT_EQ(message_of(list("", "1\n", 11).replace(0, 1, signal)), kBad + "[Lamp_signal]");
}

TEST(TrainFile, KeyEdgeCases) {
  // Gear type: exact upper-case words only.
  EXPECT_EQ(read_utf8(lines({"[Gear_Type]", "mt"})).Gear_Type, 0);
  EXPECT_EQ(read_utf8(lines({"[Gear_Type]", "MT"})).Gear_Type, 1);
  EXPECT_EQ(read_utf8(lines({"[Gear_Type]", "MT", "[Gear_Type]", "AT"})).Gear_Type, 0);
  EXPECT_EQ(read_utf8(lines({"[Gear_Type]", "MT", "[Gear_Type]", "CVT"})).Gear_Type, 1);

  // A key with a remark after it is recognised; one after a blank is not.
  EXPECT_EQ(read_utf8(lines({"[Cars] 両数", "6"})).Cars, 6);
  EXPECT_EQ(read_utf8(lines({"[Brake]", "5", " [Cars]", "6"})).Cars, 0);
  // A file with no key at all is no train file: empty, noise, a picture
  // under the train's name.
  for (const std::string bytes :
       {std::string(), std::string("BM\x36\0\0\0 [Cars\n6\n", 16), std::string(" [Cars]\n6\n")}) {
    try {
      read_train_bytes(bytes, "");
      ADD_FAILURE() << "read as a train: " << bytes;
    } catch (const DefinitionError& e) {
      EXPECT_STREQ(e.what(), "車両ファイルに誤りがあります");
    }
  }
  // [Brake] does not take [BrakeType]'s line, nor [Panel] [Panel2]'s.
  TrainParams t = read_utf8(lines({"[BrakeType]", "2", "[Panel2]", "p2.bmp", "1", "2"}));
  EXPECT_EQ(t.Brake, 0);
  EXPECT_EQ(t.panel.Panel.file, "");
  EXPECT_EQ(t.panel.Panel2.file, "p2.bmp");

  // An empty cab-signal line takes its pattern and keeps the speed it had.
  TrainParams signal =
      read_utf8(lines({"[Lamp_signal]", "1", "2", "3", "4", "s.bmp", "0", "25", "45", "#",
                       "[Lamp_signal]", "1", "2", "3", "4", "s.bmp", "10", "", "#"}));
  EXPECT_EQ(signal.panel.Lamp_signal_count, 2);
  EXPECT_EQ(signal.panel.Lamp_signal_speeds[0], 10);
  EXPECT_EQ(signal.panel.Lamp_signal_speeds[1], 25);
  EXPECT_EQ(signal.panel.Lamp_signal_speeds[2], 45);

  // A [PowerMode] line without a comma names its second mode "Error", as read.
  EXPECT_EQ(read_utf8(lines({"[PowerMode]", "single", "#"})).PowerMode[0].second, "Error");
  // A [Panel] with an empty image line records no file, even with a prefix.
  EXPECT_EQ(read_utf8(lines({"[Panel]", "", "0", "0"}), "dir\\").panel.Panel.file, "");
}

TEST(TrainFile, StrangeBytesNeverCrashTheReader) {
  const std::string inputs[] = {
      std::string("[Handle]\0\n1\n", 12),
      std::string("[DriveSound]\n\x81\n\xFF\xFE\n#\n"),
      std::string("[Notch]\r\r\n#\n"),
      std::string("\n\n\n[Brake]\r\n"),
      std::string(1000, '['),
      std::string("[Others]\n#"),
  };
  for (const std::string& bytes : inputs) {
    try {
      read_train_bytes(bytes, "");
    } catch (const DefinitionError&) {
    }
  }
  SUCCEED();
}

}  // namespace
}  // namespace cabsim
