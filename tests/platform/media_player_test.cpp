// The title screen's media player with films and sounds made by the ffmpeg
// command: pictures shown in the window area, sound played, stop and close,
// and broken files refused without harm.
#include "platform/media_player.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <fstream>

#include "platform/artefacts.h"
#include "platform/qt_app.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

/// Runs the ffmpeg command with `args`; true when it made the file.
bool ffmpeg(const QStringList& args) {
  QProcess process;
  process.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-y"} + args);
  return process.waitForFinished(60000) && process.exitCode() == 0;
}

std::string path_of(const test::TempDir& dir, const char* name) {
  return (dir / name).string();
}

TEST(MediaPlayer, PlaysAFilmWithItsSoundInTheWindowArea) {
  test::ensure_qt_app();
  test::TempDir dir;
  // One second of a red picture turning blue halfway, with a 440 Hz tone.
  ASSERT_TRUE(ffmpeg({"-f",
                      "lavfi",
                      "-i",
                      "color=c=red:size=320x180:rate=30:duration=0.5",
                      "-f",
                      "lavfi",
                      "-i",
                      "color=c=blue:size=320x180:rate=30:duration=0.5",
                      "-f",
                      "lavfi",
                      "-i",
                      "sine=frequency=440:sample_rate=22050:duration=1",
                      "-filter_complex",
                      "[0:v][1:v]concat=n=2:v=1:a=0[v]",
                      "-map",
                      "[v]",
                      "-map",
                      "2:a",
                      "-c:v",
                      "mjpeg",
                      "-q:v",
                      "3",
                      "-c:a",
                      "pcm_s16le",
                      QString::fromStdString(path_of(dir, "opening.avi"))}));
  QWidget window;
  window.resize(640, 360);
  MediaPlayer player;
  player.set_display(&window, QRect(0, 0, 640, 360));
  ASSERT_EQ(player.open(dir / "opening.avi"), "");
  EXPECT_TRUE(player.has_video());
  EXPECT_TRUE(player.has_audio());
  EXPECT_FALSE(player.is_playing());

  player.play();
  EXPECT_TRUE(player.is_playing());
  QImage first;
  ASSERT_TRUE(test::process_events_until(
      [&] {
        if (first.isNull() && player.display() && !player.display()->frame().isNull())
          first = player.display()->frame();
        return !player.is_playing();
      },
      10000));
  ASSERT_FALSE(first.isNull());
  EXPECT_GT(qRed(first.pixel(160, 90)), 200);  // red first
  QImage last = player.display()->frame();
  EXPECT_GT(qBlue(last.pixel(160, 90)), 200);  // blue at the end
  EXPECT_LT(qRed(last.pixel(160, 90)), 60);
  EXPECT_EQ(player.frames_shown(), 30);
  // With OpenAL's null output the sound went through a real OpenAL source.
  if (qgetenv("ALSOFT_DRIVERS") == "null") {
    EXPECT_TRUE(player.audible());
  }
  // Every sample of the second of sound went out, within one buffer's length.
  EXPECT_NEAR(static_cast<double>(player.audio_frames_played()), 22050.0, 1200.0);
  EXPECT_EQ(player.display()->geometry(), QRect(0, 0, 640, 360));
  test::save_artefact(window.grab().toImage(), "media_player_last_frame");

  // Played again from its start.
  player.play();
  EXPECT_TRUE(player.is_playing());
  player.stop();
  EXPECT_FALSE(player.is_playing());
  player.close();
  EXPECT_TRUE(player.file_name().empty());
  player.play();  // nothing open: nothing happens
  EXPECT_FALSE(player.is_playing());
}

TEST(MediaPlayer, PlaysAWaveFileForAsLongAsItSounds) {
  test::ensure_qt_app();
  test::TempDir dir;
  ASSERT_TRUE(
      ffmpeg({"-f", "lavfi", "-i", "sine=frequency=880:sample_rate=11025:duration=0.4", "-ac", "2",
              "-c:a", "pcm_u8", QString::fromStdString(path_of(dir, "start.wav"))}));
  MediaPlayer player;  // no display: sound only
  ASSERT_EQ(player.open(dir / "start.wav"), "");
  EXPECT_FALSE(player.has_video());
  player.play();
  ASSERT_TRUE(test::process_events_until([&] { return !player.is_playing(); }, 10000));
  EXPECT_NEAR(static_cast<double>(player.audio_frames_played()), 0.4 * 11025, 600.0);
  EXPECT_EQ(player.frames_shown(), 0);
}

TEST(MediaPlayer, StopsAtOnceInTheMiddleOfALongFilm) {
  test::ensure_qt_app();
  test::TempDir dir;
  ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=30:duration=20", "-c:v",
                      "libx264", "-g", "250", "-preset", "ultrafast",
                      QString::fromStdString(path_of(dir, "long.avi"))}));
  QWidget window;
  MediaPlayer player;
  player.set_display(&window, QRect(10, 20, 320, 240));
  ASSERT_EQ(player.open(dir / "long.avi"), "");
  EXPECT_FALSE(player.has_audio());
  player.play();
  test::process_events_until([&] { return player.frames_shown() >= 5; }, 5000);
  EXPECT_TRUE(player.is_playing());
  player.stop();
  EXPECT_FALSE(player.is_playing());
  EXPECT_LT(player.frames_shown(), 300);
}

TEST(MediaPlayer, RefusesMissingTruncatedAndGarbageFiles) {
  test::ensure_qt_app();
  test::TempDir dir;
  ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=30:duration=1", "-c:v",
                      "mjpeg", QString::fromStdString(path_of(dir, "whole.avi"))}));
  std::ifstream in(dir / "whole.avi", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  dir.write_bytes("header_only.avi", bytes.substr(0, 200));
  dir.write_bytes("garbage.avi", std::string(4096, '\x5A'));
  dir.write_bytes("empty.wav", "");
  // A pipe or a folder in the film's place is refused without waiting.
  ASSERT_EQ(::mkfifo((dir / "pipe.avi").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder.avi");
  MediaPlayer player;
  for (const char* name :
       {"missing.avi", "header_only.avi", "garbage.avi", "empty.wav", "pipe.avi", "folder.avi"}) {
    std::string failure = player.open(dir / name);
    EXPECT_NE(failure, "") << name;
    EXPECT_NE(failure.find(name), std::string::npos) << failure;
    player.play();
    EXPECT_FALSE(player.is_playing()) << name;
  }
  // A playlist posing as a film may only name local files.
  dir.write_bytes("playlist.avi",
                  "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\n"
                  "http://127.0.0.1:9/segment.ts\n#EXT-X-ENDLIST\n");
  EXPECT_NE(player.open(dir / "playlist.avi"), "");
  // Cut off halfway: it opens, shows what there is and ends.
  dir.write_bytes("half.avi", bytes.substr(0, bytes.size() / 2));
  QWidget window;
  player.set_display(&window, QRect(0, 0, 160, 120));
  ASSERT_EQ(player.open(dir / "half.avi"), "");
  player.play();
  ASSERT_TRUE(test::process_events_until([&] { return !player.is_playing(); }, 10000));
  EXPECT_GT(player.frames_shown(), 3);
  EXPECT_LT(player.frames_shown(), 30);
}

TEST(MediaPlayer, DamagedFilmsPlayWhatTheyCanWithoutHarm) {
  test::ensure_qt_app();
  test::TempDir dir;
  ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=30:duration=1", "-f", "lavfi",
                      "-i", "sine=sample_rate=8000:duration=1", "-c:v", "libx264", "-c:a",
                      "pcm_s16le", QString::fromStdString(path_of(dir, "h264.avi"))}));
  ASSERT_TRUE(ffmpeg({"-f", "lavfi", "-i", "testsrc=size=160x120:rate=30:duration=1", "-c:v",
                      "mjpeg", QString::fromStdString(path_of(dir, "mjpeg.avi"))}));
  QWidget window;
  MediaPlayer player;
  player.set_display(&window, QRect(0, 0, 160, 120));
  for (const char* name : {"h264.avi", "mjpeg.avi"}) {
    std::ifstream in(dir / name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    for (size_t step : {97u, 1009u}) {
      std::string damaged = bytes;
      for (size_t i = 300; i < damaged.size(); i += step)
        damaged[i] = static_cast<char>(~damaged[i]);
      dir.write_bytes("damaged.avi", damaged);
      if (!player.open(dir / "damaged.avi").empty()) continue;  // refused: fine
      player.play();
      EXPECT_TRUE(test::process_events_until([&] { return !player.is_playing(); }, 20000))
          << name << " " << step;
      player.close();
    }
  }
}

}  // namespace
}  // namespace cabsim
