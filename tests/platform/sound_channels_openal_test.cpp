// The OpenAL sound channels, heard through OpenAL Soft's loopback device:
// what was loaded is played, at the level and pitch set, on 320 channels.
#include "platform/sound_channels_openal.h"

#include <gtest/gtest.h>

#include <sndfile.h>
#include <chrono>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/test_files.h"

namespace cabsim {
namespace {

namespace fs = std::filesystem;

// The null backend stands in for a sound card; OpenAL reads this once, before
// its first use.
const bool kNullBackend = (setenv("ALSOFT_DRIVERS", "null", 0), true);

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

/// Writes a wave file of `seconds` of a `hz` sine at half scale. `format` is
/// the libsndfile subtype; with two channels the right one carries `right`
/// times the left.
fs::path write_tone(const test::TempDir& dir, const std::string& name, int file_rate, double hz,
                    double seconds, int format = SF_FORMAT_PCM_16, int channels = 1,
                    double right = 1.0) {
  const fs::path path = dir / name;
  SF_INFO info{};
  info.samplerate = file_rate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  EXPECT_NE(f, nullptr) << sf_strerror(nullptr);
  const int frames = static_cast<int>(seconds * file_rate);
  std::vector<double> data;
  for (int i = 0; i < frames; ++i) {
    const double v = 0.5 * std::sin(2 * kPi * hz * i / file_rate);
    data.push_back(v);
    if (channels == 2) data.push_back(v * right);
  }
  sf_writef_double(f, data.data(), frames);
  sf_close(f);
  return path;
}

struct Heard {
  double rms;
  double hz;
};

/// Renders `seconds` and measures the level and the frequency (from the
/// upward zero crossings).
Heard listen(OpenAlSoundChannels& sound, double seconds) {
  std::vector<int16_t> out(static_cast<size_t>(seconds * kRate));
  EXPECT_TRUE(sound.render(out.data(), static_cast<int>(out.size())));
  double sum = 0;
  int crossings = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    sum += static_cast<double>(out[i]) * out[i];
    if (i > 0 && out[i - 1] < 0 && out[i] >= 0) ++crossings;
  }
  return {std::sqrt(sum / out.size()) / 32768.0, crossings / seconds};
}

std::unique_ptr<OpenAlSoundChannels> loopback() {
  std::string failure;
  auto sound = OpenAlSoundChannels::open_loopback(kRate, &failure);
  EXPECT_TRUE(sound) << failure;
  return sound;
}

TEST(OpenAlSoundChannels, PlaysTheLoadedSoundAtTheSetLevelAndPitch) {
  test::TempDir dir;
  auto sound = loopback();
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->channel_count(), 320);
  EXPECT_EQ(sound->output_frequency(), kRate);
  ASSERT_EQ(sound->load(7, write_tone(dir, "tone.wav", 11025, 500, 2.0)), "");
  EXPECT_TRUE(sound->has_sound(7));

  EXPECT_LT(listen(*sound, 0.1).rms, 1e-4) << "nothing plays before it is started";
  sound->play_looped(7);
  listen(*sound, 0.05);
  const Heard full = listen(*sound, 0.5);
  EXPECT_NEAR(full.hz, 500, 10);
  EXPECT_GT(full.rms, 0.2);

  sound->set_volume(7, -600);  // -6 dB: half the amplitude
  EXPECT_EQ(sound->volume(7), -600);
  listen(*sound, 0.05);
  EXPECT_NEAR(listen(*sound, 0.5).rms / full.rms, std::pow(10.0, -600 / 2000.0), 0.02);
  sound->set_volume(7, -2000);
  listen(*sound, 0.05);
  EXPECT_NEAR(listen(*sound, 0.5).rms / full.rms, 0.1, 0.01);

  sound->set_volume(7, 0);
  sound->set_frequency_factor(7, 1.5);
  EXPECT_DOUBLE_EQ(sound->frequency_factor(7), 1.5);
  listen(*sound, 0.05);
  EXPECT_NEAR(listen(*sound, 0.5).hz, 750, 12);
  // No playable frequency: the channel keeps the one it had.
  sound->set_frequency_factor(7, -0.8);
  listen(*sound, 0.05);
  EXPECT_NEAR(listen(*sound, 0.5).hz, 750, 12);

  // Loading anew resets level and frequency.
  ASSERT_EQ(sound->load(7, write_tone(dir, "tone2.wav", 44100, 1000, 1.0)), "");
  EXPECT_EQ(sound->volume(7), 0);
  EXPECT_DOUBLE_EQ(sound->frequency_factor(7), 1.0);
  EXPECT_EQ(sound->status(7), ChannelStatus::kStopped);
}

TEST(OpenAlSoundChannels, APreloadedSoundIsBoundFromMemory) {
  test::TempDir dir;
  auto sound = loopback();
  ASSERT_TRUE(sound);
  const fs::path call = write_tone(dir, "call.wav", 22050, 800, 0.5);
  ASSERT_EQ(sound->preload(call), "");
  EXPECT_FALSE(sound->has_sound(3));
  fs::remove(call);
  // The calls take turns on one channel: each binds from the kept samples.
  ASSERT_EQ(sound->load(3, call), "");
  sound->play_once(3);
  listen(*sound, 0.05);
  const Heard heard = listen(*sound, 0.3);
  EXPECT_NEAR(heard.hz, 800, 15);
  EXPECT_GT(heard.rms, 0.2);
  EXPECT_NE(sound->preload(dir / "missing.wav"), "");
  sound->unload_all();
  EXPECT_NE(sound->load(3, call), "");  // forgotten with the rest
}

TEST(OpenAlSoundChannels, ReadsEightBitAndStereoFilesMixedToMono) {
  test::TempDir dir;
  auto sound = loopback();
  ASSERT_TRUE(sound);
  ASSERT_EQ(sound->load(0, write_tone(dir, "u8.wav", 8000, 400, 1.0, SF_FORMAT_PCM_U8)), "");
  sound->play_looped(0);
  listen(*sound, 0.05);
  const Heard eight = listen(*sound, 0.5);
  EXPECT_NEAR(eight.hz, 400, 10);
  EXPECT_GT(eight.rms, 0.2);
  sound->stop(0);

  ASSERT_EQ(sound->load(1, write_tone(dir, "same.wav", 22050, 400, 1.0, SF_FORMAT_PCM_16, 2)), "");
  sound->play_looped(1);
  listen(*sound, 0.05);
  EXPECT_NEAR(listen(*sound, 0.5).rms, eight.rms, 0.02) << "both sides alike: as loud as mono";
  sound->stop(1);

  // Opposite sides cancel out in the mix-down.
  ASSERT_EQ(
      sound->load(2, write_tone(dir, "opposite.wav", 22050, 400, 1.0, SF_FORMAT_PCM_16, 2, -1.0)),
      "");
  sound->play_looped(2);
  listen(*sound, 0.05);
  EXPECT_LT(listen(*sound, 0.5).rms, 1e-3);
}

TEST(OpenAlSoundChannels, StatusFollowsPlayingOnceLoopingAndStopping) {
  test::TempDir dir;
  auto sound = loopback();
  ASSERT_TRUE(sound);
  ASSERT_EQ(sound->load(3, write_tone(dir, "short.wav", 22050, 300, 0.1)), "");
  EXPECT_EQ(sound->status(3), ChannelStatus::kStopped);
  sound->play_once(3);
  EXPECT_EQ(sound->status(3), ChannelStatus::kPlayingOnce);
  listen(*sound, 0.2);
  EXPECT_EQ(sound->status(3), ChannelStatus::kStopped) << "a single play ends by itself";

  sound->play_looped(3);
  EXPECT_EQ(sound->status(3), ChannelStatus::kLooping);
  listen(*sound, 0.35);
  EXPECT_EQ(sound->status(3), ChannelStatus::kLooping);
  sound->stop(3);
  EXPECT_EQ(sound->status(3), ChannelStatus::kStopped);
  listen(*sound, 0.02);
  EXPECT_LT(listen(*sound, 0.1).rms, 1e-4);
  sound->play_once(3);  // from the start again, not from where it stopped
  const Heard again = listen(*sound, 0.09);
  EXPECT_GT(again.rms, 0.2);
  EXPECT_EQ(sound->status(3), ChannelStatus::kPlayingOnce);

  // Every channel plays at once.
  for (int c = 0; c < sound->channel_count(); ++c) {
    ASSERT_EQ(sound->load(c, dir / "short.wav"), "");
    sound->set_volume(c, -4000);
    sound->play_looped(c);
  }
  listen(*sound, 0.05);
  for (int c = 0; c < sound->channel_count(); ++c)
    ASSERT_EQ(sound->status(c), ChannelStatus::kLooping) << c;
  sound->unload_all();
  EXPECT_FALSE(sound->has_sound(0));
  EXPECT_EQ(sound->status(0), ChannelStatus::kStopped);
  listen(*sound, 0.02);  // a stop takes effect at the mixer's next update
  EXPECT_LT(listen(*sound, 0.1).rms, 1e-4);
}

TEST(OpenAlSoundChannels, ChannelNumbersOutsideTheSetAndEmptyChannelsDoNothing) {
  test::TempDir dir;
  auto sound = loopback();
  ASSERT_TRUE(sound);
  const fs::path tone = write_tone(dir, "tone.wav", 22050, 300, 0.2);
  for (int channel : {-1, 320, 100000}) {
    EXPECT_NE(sound->load(channel, tone), "") << channel;
    sound->play_looped(channel);
    sound->set_volume(channel, -100);
    sound->set_frequency_factor(channel, 2.0);
    sound->stop(channel);
    EXPECT_EQ(sound->status(channel), ChannelStatus::kStopped);
    EXPECT_EQ(sound->volume(channel), 0);
    EXPECT_FALSE(sound->has_sound(channel));
  }
  sound->play_once(10);  // nothing bound
  EXPECT_EQ(sound->status(10), ChannelStatus::kStopped);
  EXPECT_EQ(sound->volume(10), 0);
}

TEST(OpenAlSoundChannels, BrokenWaveFilesGiveAClearFailure) {
  test::TempDir dir;
  auto sound = loopback();
  ASSERT_TRUE(sound);
  const std::string missing = sound->load(0, dir / "nowhere.wav");
  EXPECT_NE(missing.find("nowhere.wav"), std::string::npos) << missing;
  EXPECT_NE(missing.find("見つかりません"), std::string::npos) << missing;

  const std::string garbage = sound->load(0, dir.write_bytes("garbage.wav", "RIFF....WAVEjunk"));
  EXPECT_NE(garbage.find("garbage.wav は正しいWAVEファイルではありません"), std::string::npos)
      << garbage;
  EXPECT_FALSE(sound->has_sound(0));

  // A data chunk that claims more than the file holds plays what is there.
  const fs::path tone = write_tone(dir, "tone.wav", 22050, 300, 0.5);
  std::string bytes;
  {
    std::ifstream in(tone, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  EXPECT_EQ(sound->load(1, dir.write_bytes("cut.wav", bytes.substr(0, bytes.size() / 2))), "");
  EXPECT_TRUE(sound->has_sound(1));
  // A list chunk whose entry claims four gigabytes once kept the decoder
  // busy for good: only the format and the data reach it. This one has 44
  // channels at 14 MHz, which are too many; with one at 8 kHz it reads.
  std::string listed(
      "RIFF\xd6\x01\0\0WAVEfmt \x10\0\0\0\x01\0\x2c\0\x01\x05\xdc\0"
      "\x40\x1f\0\0\x01\0\x08\0LIST\x0e\0\0\0Lavf\xf7\xff\xff\xff"
      "7.100\0data\x81\x7b\x7a\x71\x72\x75\x7a",
      69);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_NE(sound->load(3, dir.write_bytes("listed.wav", listed))
                .find("listed.wav は正しいWAVEファイルではありません"),
            std::string::npos);
  listed.replace(22, 6, std::string("\x01\0\x40\x1f\0\0", 6));
  EXPECT_EQ(sound->load(3, dir.write_bytes("listed1.wav", listed)), "");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
  // An empty recording binds and plays as nothing.
  EXPECT_EQ(sound->load(2, write_tone(dir, "empty.wav", 22050, 300, 0.0)), "");
  sound->play_once(2);
  listen(*sound, 0.01);
  EXPECT_EQ(sound->status(2), ChannelStatus::kStopped);
}

TEST(OpenAlSoundChannels, RunsOnTheDefaultDeviceOrFallsBackToTheSilentSet) {
  ASSERT_TRUE(kNullBackend);
  bool fallback_made = false;
  auto fallback = [&]() -> std::unique_ptr<SoundChannels> {
    fallback_made = true;
    return OpenAlSoundChannels::open_loopback(kRate, nullptr);
  };
  testing::internal::CaptureStderr();
  auto none = open_sound_channels(fallback, "no such sound device");
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(fallback_made);
  EXPECT_TRUE(none);
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find("without sound"), std::string::npos) << said;

  // With the null backend the default device opens, at 22050 Hz.
  std::string failure;
  auto device = OpenAlSoundChannels::open_device(nullptr, &failure);
  ASSERT_TRUE(device) << failure;
  EXPECT_EQ(device->channel_count(), 320);
  EXPECT_EQ(device->output_frequency(), 22050);
  EXPECT_FALSE(device->render(nullptr, 0));
}

}  // namespace
}  // namespace cabsim
