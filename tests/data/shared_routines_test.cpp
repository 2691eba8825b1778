// The small routines beside the reader: path splitting, needle geometry, the
// release-rate curve, wave lengths and Shift-JIS conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "data/panel_geometry.h"
#include "data/shift_jis.h"
#include "data/sound_curve.h"
#include "data/split_path.h"
#include "data/wave_seconds.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

TEST(SplitPath, SplitsAtTheLastBackslash) {
  EXPECT_EQ(SplitPath("trains\\tz100\\train_tz100.dat", 0), "trains\\tz100\\");
  EXPECT_EQ(SplitPath("trains\\tz100\\train_tz100.dat", 1), "train_tz100.dat");
  EXPECT_EQ(SplitPath("train.dat", 0), "");
  EXPECT_EQ(SplitPath("train.dat", 1), "train.dat");
  EXPECT_EQ(SplitPath("dir\\", 0), "dir\\");
  EXPECT_EQ(SplitPath("dir\\", 1), "");
  EXPECT_EQ(SplitPath("", 1), "");
}

TEST(SplitPath, NeverTakesTheSecondByteOfAJapaneseCharacterForABackslash) {
  // 表 is 0x95 0x5C and ソ is 0x83 0x5C in Shift-JIS.
  std::string dir = utf8_to_sjis("車両\\表示ソ\\");
  std::string name = utf8_to_sjis("能力表.dat");
  ASSERT_EQ(name[1], '\\');
  EXPECT_EQ(SplitPath(dir + name, 0), dir);
  EXPECT_EQ(SplitPath(dir + name, 1), name);
  EXPECT_EQ(SplitPath(name, 0), "");
  EXPECT_EQ(SplitPath(name, 1), name);
}

TEST(SplitPath, KeepsAtMost256BytesOfTheNameWithoutCuttingACharacter) {
  std::string long_name(300, 'a');
  EXPECT_EQ(SplitPath("d\\" + long_name, 1).size(), 256u);
  std::string japanese = "a";
  for (int i = 0; i < 150; ++i) japanese += utf8_to_sjis("駅");
  std::string cut = SplitPath(japanese, 1);
  EXPECT_EQ(cut.size(), 255u);  // 'a' + 127 double-byte characters
  EXPECT_EQ(sjis_to_utf8(cut).find("\xEF\xBF\xBD"), std::string::npos);
}

TEST(Needle, EndPointsRoundHalvesToEven) {
  EXPECT_EQ(NeedleX(20, 25, 0), 25);
  EXPECT_EQ(NeedleY(20, 25, 0), 5);
  EXPECT_EQ(NeedleX(20, 25, std::numbers::pi_v<long double> / 2), 45);
  EXPECT_EQ(NeedleY(20, 25, std::numbers::pi_v<long double> / 2), 25);
  EXPECT_EQ(NeedleX(20, 25, std::numbers::pi_v<long double>), 25);
  EXPECT_EQ(NeedleY(20, 25, std::numbers::pi_v<long double>), 45);
  // sin(30 deg) x 5 = 2.5 rounds to 2; x 3 = 1.5 rounds to 2.
  long double thirty = std::numbers::pi_v<long double> / 6;
  EXPECT_EQ(NeedleX(5, 0, thirty), 2);
  EXPECT_EQ(NeedleX(3, 0, thirty), 2);
  EXPECT_EQ(NeedleX(5, 0, -thirty), -2);
}

TEST(SoundCurve, FallsFromThirteenThroughElevenTowardsOne) {
  EXPECT_NEAR(static_cast<double>(SoundCurve(0)), 11.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(SoundCurve(-10)), 13.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(SoundCurve(10)), 10.0 / 1.2 + 1.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(SoundCurve(20)), 7.944444444444, 1e-9);
  EXPECT_NEAR(static_cast<double>(SoundCurve(1000)), 1.0, 1e-6);
}

/// A wave file with the given chunks between its header and its data.
std::string wave(uint32_t bytes_per_second, uint32_t data_size, const std::string& before_data,
                 uint32_t present_data) {
  auto le32 = [](uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  };
  std::string fmt = std::string("fmt ") + le32(16) + std::string("\x01\x00\x01\x00", 4) +
                    le32(bytes_per_second / 2) + le32(bytes_per_second) +
                    std::string("\x02\x00\x10\x00", 4);
  std::string body =
      "WAVE" + fmt + before_data + "data" + le32(data_size) + std::string(present_data, '\0');
  return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

TEST(WaveSeconds, MeasuresCanonicalAndChunkedFiles) {
  test::TempDir dir;
  auto canonical = dir.write_bytes("a.wav", wave(88200, 441000, "", 441000));
  EXPECT_EQ(std::filesystem::file_size(canonical), 44u + 441000u);
  auto a = WaveSeconds(canonical);
  EXPECT_EQ(a.seconds, 5);
  EXPECT_TRUE(a.error.empty());

  // A LIST chunk before the data moves the data size away from offset 40.
  std::string list = std::string("LIST") + std::string("\x05\x00\x00\x00", 4) + "INFOx" + '\0';
  auto b = WaveSeconds(dir.write_bytes("b.wav", wave(88200, 264600, list, 264600)));
  EXPECT_EQ(b.seconds, 3);
  EXPECT_TRUE(b.error.empty());

  // 2.9 s truncates to 2; a data chunk claiming more than the file holds counts what is there.
  EXPECT_EQ(WaveSeconds(dir.write_bytes("c.wav", wave(1000, 2900, "", 2900))).seconds, 2);
  EXPECT_EQ(WaveSeconds(dir.write_bytes("d.wav", wave(1000, 0xFFFFFFFF, "", 4500))).seconds, 4);
}

TEST(WaveSeconds, PlainSamplesPlayAtTheirSampleRateAndTooSlowWavesAreRefused) {
  // 8000 samples of 16-bit mono a second, whatever the header's byte rate says.
  std::string lying = wave(16000, 32000, "", 32000);
  lying.replace(28, 4, std::string("\x01\x00\x00\x00", 4));  // byte rate 1
  EXPECT_EQ(wave_seconds_of_bytes(lying, "melody.wav").seconds, 2);
  // A compressed format has only the header's rate: below 1000 bytes a second
  // it is no sound at all.
  std::string adpcm = wave(999, 32000, "", 32000);
  adpcm[20] = '\x02';  // format tag 2
  auto slow = wave_seconds_of_bytes(adpcm, "melody.wav");
  EXPECT_EQ(slow.seconds, 0);
  EXPECT_FALSE(slow.error.empty());
  adpcm.replace(28, 4, std::string("\xE8\x03\x00\x00", 4));  // 1000 bytes a second
  EXPECT_EQ(wave_seconds_of_bytes(adpcm, "melody.wav").seconds, 32);
}

TEST(WaveSeconds, GivesZeroAndATextForFilesItCannotMeasure) {
  test::TempDir dir;
  auto missing = WaveSeconds(dir / "missing.wav");
  EXPECT_EQ(missing.seconds, 0);
  EXPECT_FALSE(missing.error.empty());
  for (const std::string& bytes :
       {std::string(), std::string("RIFF"), std::string(44, '\0'), wave(0, 1000, "", 1000),
        std::string("RIFF\x04\x00\x00\x00WAVE", 12)}) {
    auto r = wave_seconds_of_bytes(bytes, "x.wav");
    EXPECT_EQ(r.seconds, 0);
    EXPECT_FALSE(r.error.empty());
  }
}

TEST(ShiftJis, ConvertsBothWaysAndSurvivesBrokenBytes) {
  std::string sjis = utf8_to_sjis("車両ファイル～①ⅰ\\~");
  EXPECT_EQ(sjis_to_utf8(sjis), "車両ファイル～①ⅰ\\~");
  EXPECT_EQ(sjis.substr(sjis.size() - 2), "\\~");  // ASCII stays ASCII
  EXPECT_EQ(sjis_to_utf8("abc"), "abc");
  // A lone lead byte at the end and an invalid byte become U+FFFD.
  EXPECT_EQ(sjis_to_utf8("a\x81"), "a\xEF\xBF\xBD");
  EXPECT_EQ(sjis_to_utf8("\xFF"
                         "b"),
            "\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(sjis_to_utf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(utf8_to_sjis("\xF0\x9F\x9A\x83"), "?");  // no steam locomotive in code page 932
}

}  // namespace
}  // namespace cabsim
