// Reading cabworks.dat: its texts, the menu captions kept when absent, the
// information lines and the one message of a bad file.
#include "data/cabworks_file.h"

#include <gtest/gtest.h>

#include "data/definition_error.h"
#include "data/shift_jis.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

std::string sjis(std::string_view utf8) {
  return utf8_to_sjis(utf8);
}

std::string failure(std::string_view utf8_text) {
  try {
    read_cabworks_bytes(test::sjis_file_text(utf8_text));
  } catch (const DefinitionError& e) {
    return e.what();
  }
  return "";
}

TEST(CabworksFile, ReadsEveryText) {
  test::TempDir dir;
  auto path = dir.write_sjis("cabworks.dat",
                             "- 文字列の設定\n[Path]\nmovie\\\n[Forward]\n前進\n[Neutral]\n中立\n"
                             "[Reverse]\n後退\n[Stop]\n停車\n[Pass]\n通過\n[Stop2]\n運転停車\n"
                             "[Neut]\n切\n[Neut2]\n切2\n[Apply]\n込め\n[Maintain]\n保ち\n"
                             "[Hold]\n抑速\n[Hold2]\n抑速2\n[EB]\n非常\n[Const]\n定速\n"
                             "[Cars]\n両編成\n[TC]\n踏切信号\n[Stops]\n停止まで\nあと\n"
                             "[Doors]\n左\n右\n[Gears]\nN\n1速\n2速\n3速\n4速\n直結\n"
                             "[InfoLabel]\n乗降終了\n速度制限\n停車駅接近\n#\n"
                             "[Start]\n開始(&S)\n[Move]\n移動\n[Display]\n表示\n"
                             "[Control]\n運転台(&C)\n[Save]\n保存(&S)\n");
  CabworksText t = read_cabworks_file(path);
  EXPECT_EQ(t.Path, "movie\\");
  EXPECT_EQ(t.Forward, sjis("前進"));
  EXPECT_EQ(t.Neutral, sjis("中立"));
  EXPECT_EQ(t.Reverse, sjis("後退"));
  EXPECT_EQ(t.Stop, sjis("停車"));
  EXPECT_EQ(t.Pass, sjis("通過"));
  EXPECT_EQ(t.Stop2, sjis("運転停車"));
  EXPECT_EQ(t.Neut, sjis("切"));
  EXPECT_EQ(t.Neut2, sjis("切2"));
  EXPECT_EQ(t.Maintain, sjis("保ち"));
  EXPECT_EQ(t.Hold2, sjis("抑速2"));
  EXPECT_EQ(t.EB, sjis("非常"));
  EXPECT_EQ(t.Const, sjis("定速"));
  EXPECT_EQ(t.Cars, sjis("両編成"));
  EXPECT_EQ(t.TC, sjis("踏切信号"));
  EXPECT_EQ(t.Stops[1], sjis("あと"));
  EXPECT_EQ(t.Doors[0], sjis("左"));
  EXPECT_EQ(t.Gears[1], sjis("1速"));
  EXPECT_EQ(t.Gears[5], sjis("直結"));
  EXPECT_EQ(t.InfoLabel_filled, 3);
  EXPECT_EQ(t.InfoLabel[2], sjis("停車駅接近"));
  EXPECT_EQ(t.Start, sjis("開始(&S)"));
  EXPECT_EQ(t.Control, sjis("運転台(&C)"));
  EXPECT_EQ(t.Save, sjis("保存(&S)"));
}

TEST(CabworksFile, AbsentMenuKeysKeepTheirDesignCaptions) {
  CabworksText t = read_cabworks_bytes(test::sjis_file_text("[Path]\nfilm\\\n[Save]\n保存\n"));
  EXPECT_EQ(t.Path, "film\\");
  EXPECT_EQ(t.Save, sjis("保存"));
  EXPECT_EQ(t.Start, "Start");
  EXPECT_EQ(t.Move, "Move");
  EXPECT_EQ(t.Display, "Display");
  EXPECT_EQ(t.Control, "Controller(&C)");
  EXPECT_EQ(t.Forward, "");
  EXPECT_EQ(t.Gears[0], "");
  EXPECT_EQ(t.InfoLabel_filled, 0);
  // An empty caption line is a caption too.
  EXPECT_EQ(read_cabworks_bytes("[Move]\r\n\r\n").Move, "");
}

TEST(CabworksFile, InfoLabelHoldsAHundredLines) {
  std::string lines;
  for (int i = 0; i < 100; ++i) lines += "line" + std::to_string(i) + "\n";
  CabworksText t = read_cabworks_bytes(test::sjis_file_text("[InfoLabel]\n" + lines + "#\n"));
  EXPECT_EQ(t.InfoLabel_filled, 100);
  EXPECT_EQ(t.InfoLabel[99], "line99");
  EXPECT_EQ(failure("[InfoLabel]\n" + lines + "one too many\n#\n"),
            "stringファイルに誤りがあります");
  // A second list writes from line 0 again and keeps what lies beyond it.
  t = read_cabworks_bytes("[InfoLabel]\na\nb\n#\n[InfoLabel]\nc\n#\n");
  EXPECT_EQ(t.InfoLabel[0], "c");
  EXPECT_EQ(t.InfoLabel[1], "b");
  EXPECT_EQ(t.InfoLabel_filled, 2);
}

TEST(CabworksFile, EveryFailureGivesTheOneMessage) {
  const std::string message = "stringファイルに誤りがあります";
  EXPECT_EQ(failure("[InfoLabel]\n停車\n"), message);   // list not closed
  EXPECT_EQ(failure("[Gears]\nN\n1\n2\n"), message);    // six lines are wanted
  EXPECT_EQ(failure("[Gears]\nN\n1\n2\n3\n4\n5"), "");  // the last line needs no break
  EXPECT_EQ(failure("[Path]\nfilm\\\n[Save]\n"), message);
  EXPECT_EQ(failure(""), message);  // not one key: not the text file
  EXPECT_EQ(failure("RIFF\x24\0\0\0WAVEfmt "), message);
  test::TempDir dir;
  try {
    read_cabworks_file(dir / "cabworks.dat");
    FAIL() << "a missing cabworks.dat was read";
  } catch (const DefinitionError& e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
}

}  // namespace
}  // namespace cabsim
