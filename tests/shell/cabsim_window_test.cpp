// Real windows: cabsim started under Xvfb on a small run, the cab view
// clicked, a screenshot taken, the run ended with the back picture; and the
// program started at its title screen, a run chosen, driven and closed, and
// the title found again.
#include <gtest/gtest.h>
#include <QImage>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/artefacts.h"
#include "platform/qt_app.h"
#include "shell/run_folder.h"

namespace cabsim {
namespace {

TEST(CabsimWindow, StartsClicksShowsTheCabViewAndCloses) {
  if (std::system("command -v Xvfb xdotool > /dev/null") != 0)
    GTEST_SKIP() << "Xvfb and xdotool are needed";
  test::ensure_qt_app();
  test::RunFolder folder;
  const auto shot = folder.dir / "window.png";
  const auto script = folder.dir / "drive.sh";
  std::ofstream(script)
      << "set -e\n"
         // The server picks a free display itself and names it once it
         // accepts clients (a display number guessed from lock files may be
         // taken or left behind by a server that died). It must not reset
         // when its last client leaves: the window search below connects and
         // leaves while cabsim is still connecting, and a connection made
         // during the reset is refused.
         "Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>\"$2/display\" "
         "2>\"$2/xvfb.log\" &\n"
         "xpid=$!\n"
         "trap 'kill $xpid 2>/dev/null || true' EXIT\n"
         "for i in $(seq 120); do [ -s \"$2/display\" ] && break; sleep 0.25; done\n"
         "[ -s \"$2/display\" ] || { echo 'Xvfb did not start' >&2; cat \"$2/xvfb.log\" >&2; exit "
         "1; }\n"
         "export DISPLAY=:$(cat \"$2/display\")\n"
         "LSAN_OPTIONS=suppressions=" CABSIM_SOURCE_DIR
         "/tests/lsan.supp "
         "QT_QPA_PLATFORM=xcb ALSOFT_DRIVERS=null HOME='"
      << folder.dir.path().string() << "' \"$1\" --data \"$2\" --route " << test::kRouteFile
      << " &\n"
         "pid=$!\n"
         // A run named on the command line skips the title; the driving
         // form is the one with the 704-line view.
         "w=; HEIGHT=0\n"
         "for i in $(seq 240); do\n"
         "  for c in $(xdotool search --onlyvisible --class cabsim 2>/dev/null || true); do\n"
         "    eval $(xdotool getwindowgeometry --shell $c 2>/dev/null || echo HEIGHT=0)\n"
         "    if [ \"$HEIGHT\" -ge 704 ]; then w=$c; break 2; fi\n"
         "  done\n"
         "  sleep 0.25\n"
         "done\n"
         "[ -n \"$w\" ] || { echo 'no driving form came up' >&2; kill $pid; exit 1; }\n"
         "sleep 0.5\n"
         "eval $(xdotool getwindowgeometry --shell $w)\n"
         "menu=$((HEIGHT - 704))\n"
         "xdotool mousemove --window $w 300 $((menu + 200)) click 1\n"
         "sleep 0.3\n"
         "xdotool key --window $w 8 8 8 8 8 8 8 8 8 8 8 8 8\n"
         "sleep 2\n"
         "ffmpeg -v error -y -f x11grab -video_size ${WIDTH}x${HEIGHT} -i \"$DISPLAY+$X,$Y\" "
         "-frames:v 1 \"$3\"\n"
         "xdotool mousemove --window $w 815 $((menu + 685)) click 1\n"
         // A click lost on a loaded machine is given again; a window that
         // does not close within a minute fails the test instead of hanging it.
         "for i in $(seq 30); do\n"
         "  kill -0 $pid 2>/dev/null || break\n"
         "  sleep 1\n"
         "  if [ $((i % 10)) = 0 ]; then\n"
         "    xdotool mousemove --window $w 815 $((menu + 685)) click 1 || true\n"
         "  fi\n"
         "done\n"
         "if kill -0 $pid 2>/dev/null; then\n"
         "  echo 'cabsim still open after the back click; closing its window' >&2\n"
         "  xdotool windowclose $w || true; sleep 10\n"
         "fi\n"
         "if kill -0 $pid 2>/dev/null; then\n"
         "  echo 'cabsim did not close after the back click' >&2; kill $pid; exit 1\n"
         "fi\n"
         "wait $pid\n";
  const std::string command = "sh '" + script.string() + "' '" CABSIM_PROGRAM_PATH "' '" +
                              folder.dir.path().string() + "' '" + shot.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  QImage image(QString::fromStdString(shot.string()));
  ASSERT_FALSE(image.isNull());
  test::save_artefact(image, "cabsim_window");
  const int menu = image.height() - 704;
  // The film is on show in the cab window, no longer the still picture.
  EXPECT_NE(test::rgb_at(image, 300, menu + 200), 0x285AA0u);
  EXPECT_NE(test::rgb_at(image, 300, menu + 200), 0u);
}

/// The part of the window scripts that starts a private X server.
constexpr const char* kStartXvfb =
    "set -e\n"
    "Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>\"$2/display\" "
    "2>\"$2/xvfb.log\" &\n"
    "xpid=$!\n"
    "trap 'kill $xpid 2>/dev/null || true' EXIT\n"
    "for i in $(seq 120); do [ -s \"$2/display\" ] && break; sleep 0.25; done\n"
    "[ -s \"$2/display\" ] || { echo 'Xvfb did not start' >&2; cat \"$2/xvfb.log\" >&2; exit 1; }\n"
    "export DISPLAY=:$(cat \"$2/display\")\n";

TEST(CabsimWindow, StartsAtTheTitleDrivesAChosenRunAndComesBackToTheTitle) {
  if (std::system("command -v Xvfb xdotool > /dev/null") != 0)
    GTEST_SKIP() << "Xvfb and xdotool are needed";
  test::ensure_qt_app();
  test::RunFolder folder;
  folder.dir.write_sjis("line_up_827M.dat", test::test_route_text("[Staf]\ncard.bmp\nstill.bmp\n"));
  std::filesystem::create_directories(folder.dir / "image" / "title");
  QImage title(800, 600, QImage::Format_RGB32);
  title.fill(QColor(200, 60, 60));
  for (int i = 1; i <= 6; ++i)
    title.save(
        QString::fromStdString(
            (folder.dir / "image" / "title" / ("title0" + std::to_string(i) + ".jpg")).string()),
        "JPG");
  title.fill(QColor(60, 200, 60));
  title.save(QString::fromStdString((folder.dir / "image" / "title" / "title2.jpg").string()),
             "JPG");
  const auto shots = folder.dir / "shots";
  std::filesystem::create_directories(shots);
  const auto script = folder.dir / "title.sh";
  std::ofstream(script)
      << kStartXvfb
      << "LSAN_OPTIONS=suppressions=" CABSIM_SOURCE_DIR
         "/tests/lsan.supp "
         "QT_QPA_PLATFORM=xcb ALSOFT_DRIVERS=null HOME='"
      << folder.dir.path().string()
      << "' \"$1\" --data \"$2\" &\n"
         "pid=$!\n"
         "shots=\"$3\"\n"
         // A visible cabsim window at least $1 wide and between $2 and $3 high.
         "find() {\n"
         "  for i in $(seq 240); do\n"
         "    for c in $(xdotool search --onlyvisible --class cabsim 2>/dev/null || true); do\n"
         "      eval $(xdotool getwindowgeometry --shell $c 2>/dev/null || echo HEIGHT=0 WIDTH=0)\n"
         "      if [ \"$WIDTH\" -ge $1 ] && [ \"$HEIGHT\" -ge $2 ] && [ \"$HEIGHT\" -le $3 ]; "
         "then\n"
         "        w=$c; return 0; fi\n"
         "    done\n"
         "    sleep 0.25\n"
         "  done\n"
         "  echo \"no window of $1 x $2..$3\" >&2; kill $pid; exit 1\n"
         "}\n"
         "shot() { ffmpeg -v error -y -f x11grab -video_size ${WIDTH}x${HEIGHT} "
         "-i \"$DISPLAY+$X,$Y\" -frames:v 1 \"$shots/$1.png\"; }\n"
         // Without an opening film the title picture comes at once.
         "find 800 600 600; sleep 0.5; shot title\n"
         "xdotool mousemove --window $w 400 300 click 1; sleep 2\n"
         // The first run of the menu, then the train button.
         "xdotool mousemove --window $w 150 215 click 1; sleep 0.5; shot menu\n"
         "xdotool mousemove --window $w 700 540 click 1\n"
         "find 800 704 2000; sleep 0.5\n"
         "menu=$((HEIGHT - 704))\n"
         "xdotool mousemove --window $w 300 $((menu + 200)) click 1; sleep 0.3\n"
         "xdotool key --window $w 8 8 8 8 8 8 8 8 8 8 8 8 8; sleep 2; shot drive\n"
         "xdotool mousemove --window $w 815 $((menu + 685)) click 1\n"
         // The run ends with its fade; the title comes back with the menu.
         "find 800 600 600; sleep 0.5; shot back\n"
         // Back to the title picture, then its quit picture in the same place.
         "xdotool mousemove --window $w 760 580 click 1; sleep 0.5\n"
         "xdotool mousemove --window $w 760 580 click 1\n"
         "for i in $(seq 30); do kill -0 $pid 2>/dev/null || break; sleep 1; done\n"
         "if kill -0 $pid 2>/dev/null; then echo 'cabsim did not quit' >&2; kill $pid; exit 1; fi\n"
         "wait $pid\n";
  const std::string command = "sh '" + script.string() + "' '" CABSIM_PROGRAM_PATH "' '" +
                              folder.dir.path().string() + "' '" + shots.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const auto load = [&](const char* name) {
    QImage image(QString::fromStdString((shots / (std::string(name) + ".png")).string()));
    if (!image.isNull()) test::save_artefact(image, std::string("cabsim_title_") + name);
    return image;
  };
  const QImage at_title = load("title"), menu = load("menu"), drive = load("drive"),
               back = load("back");
  ASSERT_FALSE(at_title.isNull() || menu.isNull() || drive.isNull() || back.isNull());
  const auto red = [](const QImage& i, int x, int y) { return qRed(i.pixel(x, y)); };
  const auto green = [](const QImage& i, int x, int y) { return qGreen(i.pixel(x, y)); };
  EXPECT_GT(red(at_title, 50, 50), 150);  // the title picture
  EXPECT_GT(green(menu, 50, 50), 150);    // the menu picture
  EXPECT_GT(green(back, 50, 50), 150);    // the menu again after the run
  const int bar = drive.height() - 704;
  EXPECT_NE(test::rgb_at(drive, 300, bar + 200), 0x285AA0u);  // the film, not the still picture
}

}  // namespace
}  // namespace cabsim
