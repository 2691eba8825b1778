// The installed program: the tree in a temporary prefix, the desktop entry
// and AppStream data valid, the Debian package and its contents, the program
// started from its desktop entry finding the demo line, and its title and cab
// view drawn crisp on a screen scaled 2x (installed_program.sh does the work;
// the screenshots' pixels are probed here).
#include <gtest/gtest.h>
#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/shared_demo.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

namespace fs = std::filesystem;

int luminance(QRgb c) {
  return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

/// How a caption in `box` (device pixels) was drawn: the 2 x 2 blocks that
/// are not one colour (none when a picture drawn at 1x was doubled), and the
/// largest step between neighbouring pixels (small when it was smoothed).
struct Sharpness {
  int mixed_blocks = 0;
  int largest_step = 0;
};

Sharpness sharpness(const QImage& shot, const QRect& box) {
  Sharpness s;
  for (int y = box.top(); y + 1 <= box.bottom(); y += 2)
    for (int x = box.left(); x + 1 <= box.right(); x += 2) {
      const QRgb a = shot.pixel(x, y);
      if (a != shot.pixel(x + 1, y) || a != shot.pixel(x, y + 1) || a != shot.pixel(x + 1, y + 1))
        ++s.mixed_blocks;
    }
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x < box.right(); ++x)
      s.largest_step = std::max(
          s.largest_step, std::abs(luminance(shot.pixel(x, y)) - luminance(shot.pixel(x + 1, y))));
  return s;
}

TEST(InstalledProgram, InstallsPackagesAndStartsFromItsDesktopEntryCrispAtScaleTwo) {
  if (std::system("command -v desktop-file-validate appstreamcli cpack dpkg-deb > /dev/null") != 0)
    GTEST_SKIP() << "desktop-file-utils, appstream, cpack and dpkg-deb are needed";
  const fs::path demo = test::shared_demo();
  test::TempDir work;
  const fs::path build = fs::path(CABSIM_TOOL_PATH).parent_path();
  const std::string command = std::string("'") + CABSIM_SOURCE_DIR +
                              "/tests/shell/installed_program.sh' '" + build.string() + "' '" +
                              demo.string() + "' '" + work.path().string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  const QImage shot(QString::fromStdString((work / "title-x2.png").string()));
  if (shot.isNull()) GTEST_SKIP() << "no screenshot (no Xvfb)";
  ASSERT_EQ(shot.size(), QSize(1600, 1200));
  // The folder button's caption at (8, 571), 100 x 24 logical pixels: drawn
  // at the screen's own resolution, not a 1x picture doubled or smoothed.
  const Sharpness folder_caption = sharpness(shot, QRect(16, 1142, 200, 48));
  EXPECT_GT(folder_caption.mixed_blocks, 40);
  EXPECT_GT(folder_caption.largest_step, 140);

  // The speed text on the cab view (684 x 704 below the menu bar), drawn at
  // the screen's resolution over the film.
  const QImage cab(QString::fromStdString((work / "cab-x2.png").string()));
  ASSERT_FALSE(cab.isNull());
  const int menu = cab.height() / 2 - 704;
  ASSERT_GE(menu, 0);
  const Sharpness speed_text = sharpness(cab, QRect(2 * 540, 2 * (menu + 305), 2 * 140, 2 * 50));
  EXPECT_GT(speed_text.mixed_blocks, 40);
  EXPECT_GT(speed_text.largest_step, 140);
}

}  // namespace
}  // namespace cabsim
