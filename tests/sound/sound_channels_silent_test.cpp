// The silent channel set: sounds bound from wave files, statuses, levels and
// frequencies kept, a sound played once ending after its length.
#include "sound/sound_channels_silent.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/test_files.h"

namespace cabsim {
namespace {

TEST(SilentSoundChannels, WaveLengthEndsAPlayOnce) {
  test::TempDir dir;
  auto file = dir.write_bytes("horn.wav", test::wave_file_bytes(22050, 22050));  // 500 ms
  SilentSoundChannels sounds;
  EXPECT_EQ(sounds.load(7, file), "");
  EXPECT_TRUE(sounds.has_sound(7));
  EXPECT_EQ(sounds.length(7), 500);
  sounds.play_once(7);
  for (int i = 0; i < 15; ++i) {  // 15 cycles of 33 ms = 495 ms
    EXPECT_EQ(sounds.status(7), ChannelStatus::kPlayingOnce) << i;
    sounds.advance(33);
  }
  EXPECT_EQ(sounds.status(7), ChannelStatus::kPlayingOnce);
  sounds.advance(5);
  EXPECT_EQ(sounds.status(7), ChannelStatus::kStopped);
  // Played again, it starts from the beginning.
  sounds.play_once(7);
  sounds.advance(499);
  EXPECT_EQ(sounds.status(7), ChannelStatus::kPlayingOnce);
  // A looped sound plays on until stopped.
  sounds.play_looped(7);
  for (int i = 0; i < 100; ++i) sounds.advance(33);
  EXPECT_EQ(sounds.status(7), ChannelStatus::kLooping);
  sounds.stop(7);
  EXPECT_EQ(sounds.status(7), ChannelStatus::kStopped);
}

TEST(SilentSoundChannels, KeepsLevelsAndFrequenciesAndIgnoresBadNumbers) {
  SilentSoundChannels sounds;
  sounds.set_length(3, SilentSoundChannels::kUnknownLength);
  EXPECT_EQ(sounds.volume(3), 0);
  EXPECT_EQ(sounds.frequency_factor(3), 1.0);
  sounds.set_volume(3, -602);
  sounds.set_frequency_factor(3, 1.088);
  EXPECT_EQ(sounds.volume(3), -602);
  EXPECT_EQ(sounds.frequency_factor(3), 1.088);
  sounds.play_once(3);
  sounds.advance(3600 * 1000);  // length unknown: plays until stopped
  EXPECT_EQ(sounds.status(3), ChannelStatus::kPlayingOnce);
  // Channels without a sound, and numbers outside the set, do nothing.
  for (int n : {4, -1, 320, 100000}) {
    sounds.play_looped(n);
    sounds.set_volume(n, -100);
    EXPECT_EQ(sounds.status(n), ChannelStatus::kStopped) << n;
    EXPECT_EQ(sounds.volume(n), 0) << n;
    EXPECT_FALSE(sounds.has_sound(n)) << n;
  }
  sounds.set_length(-5, 100);
  EXPECT_EQ(sounds.load(320, "/nowhere.wav"), "");
  sounds.unload_all();
  EXPECT_FALSE(sounds.has_sound(3));
  EXPECT_EQ(sounds.status(3), ChannelStatus::kStopped);
  EXPECT_EQ(sounds.volume(3), 0);
}

TEST(SilentSoundChannels, UnusableFilesAreReportedAndLeaveTheChannelFree) {
  test::TempDir dir;
  SilentSoundChannels sounds;
  EXPECT_NE(sounds.load(1, dir / "missing.wav"), "");
  EXPECT_FALSE(sounds.has_sound(1));
  auto text = dir.write_bytes("text.wav", "this is not a wave file at all, not even RIFF");
  EXPECT_EQ(sounds.load(1, text), text.string() + " は正しいWAVEファイルではありません");
  EXPECT_FALSE(sounds.has_sound(1));
  // A data chunk that claims more than the file holds counts what is there.
  std::string cut = test::wave_file_bytes(8000, 16000).substr(0, 44 + 12 + 8000);
  auto short_file = dir.write_bytes("cut.wav", cut);
  EXPECT_EQ(sounds.load(1, short_file), "");
  EXPECT_EQ(sounds.length(1), 500);
}

TEST(SilentSoundChannels, APreloadedSoundBindsWithoutItsFile) {
  test::TempDir dir;
  auto file = dir.write_bytes("call.wav", test::wave_file_bytes(22050, 44100));  // 1 s
  SilentSoundChannels sounds;
  EXPECT_EQ(sounds.preload(file), "");
  EXPECT_FALSE(sounds.has_sound(3));  // kept, not bound
  std::filesystem::remove(file);
  EXPECT_EQ(sounds.load(3, file), "");
  EXPECT_EQ(sounds.length(3), 1000);
  EXPECT_NE(sounds.preload(dir / "missing.wav"), "");
  // Unloading forgets the kept sounds too.
  sounds.unload_all();
  EXPECT_NE(sounds.load(3, file), "");
}

}  // namespace
}  // namespace cabsim
