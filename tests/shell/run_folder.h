// A complete small run folder for the form tests: key map, train, route,
// cabworks.dat, the timetable card and still picture, a sound and a film
// made by the ffmpeg command, and the help text.
#pragma once

#include <gtest/gtest.h>
#include <QImage>

#include <string>

#include "state/run.h"
#include "support/test_files.h"
#include "support/test_films.h"
#include "support/test_run.h"
#include "support/train_builder.h"

namespace cabsim::test {

inline std::string le32(uint32_t v) {
  return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

/// A mono 8-bit PCM wave file of `seconds` at 8000 samples per second.
inline std::string wave_file(uint32_t seconds) {
  std::string fmt = std::string{1, 0, 1, 0} + le32(8000) + le32(8000) + std::string{1, 0, 8, 0};
  uint32_t data = 8000 * seconds;
  std::string body =
      "WAVE" + std::string("fmt ") + le32(16) + fmt + "data" + le32(data) + std::string(data, 0x80);
  return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

inline constexpr const char* kRouteFile = "line_up_test.dat";
inline constexpr int kFilmFrames = 400;

struct RunFolder {
  /// `film`: false leaves the film out.
  explicit RunFolder(bool film = true) {
    dir.write_bytes("mascon.dat", "P1\r\n#\r\n");
    dir.write_sjis("train_tz100.dat", TrainFileText{}.set("[DriveSound]", "run.wav\n#").text());
    dir.write_sjis(kRouteFile, test_route_text("[Staf]\ncard.bmp\nstill.bmp\n"));
    dir.write_sjis("cabworks.dat",
                   "[Path]\nmove\\\n[Forward]\n前\n[Cars]\n両\n[Gears]\nN\n1速\n2\n3\n4\n5\n"
                   "[Doors]\n左\n右\n[Start]\n運転開始(&S)\n");
    dir.write_sjis("operation.dat", "操作説明\n8 ノッチを進める\n2 ノッチを戻す\n");
    dir.write_bytes("run.wav", wave_file(1));
    QImage card(180, 400, QImage::Format_RGB32);
    card.fill(QColor(240, 240, 200));
    card.save(QString::fromStdString((dir / "card.bmp").string()), "BMP");
    QImage still(684, 384, QImage::Format_RGB32);
    still.fill(QColor(40, 90, 160));
    still.save(QString::fromStdString((dir / "still.bmp").string()), "BMP");
    std::filesystem::create_directories(dir / "move");
    if (film) {
      const std::string failure =
          make_numbered_film(dir / "move" / "test.avi", 684, 384, kFilmFrames, "-c:v mjpeg -q:v 5");
      EXPECT_EQ(failure, "");
    }
  }

  RunSelection selection(bool debug = false) const {
    RunSelection sel;
    sel.program_dir = dir.path();
    sel.route_file = kRouteFile;
    sel.debug_mode = debug;
    return sel;
  }

  TempDir dir;
};

}  // namespace cabsim::test
