// One real window: cabsim started under Xvfb on a small run, the cab view
// clicked, a screenshot taken, the run ended with the back picture.
#include <gtest/gtest.h>
#include <QImage>

#include <cstdlib>
#include <fstream>

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
         "Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>\"$2/display\" 2>\"$2/xvfb.log\" &\n"
         "xpid=$!\n"
         "trap 'kill $xpid 2>/dev/null || true' EXIT\n"
         "for i in $(seq 120); do [ -s \"$2/display\" ] && break; sleep 0.25; done\n"
         "[ -s \"$2/display\" ] || { echo 'Xvfb did not start' >&2; cat \"$2/xvfb.log\" >&2; exit 1; }\n"
         "export DISPLAY=:$(cat \"$2/display\")\n"
         "LSAN_OPTIONS=suppressions=" CABSIM_SOURCE_DIR "/tests/lsan.supp "
         "QT_QPA_PLATFORM=xcb ALSOFT_DRIVERS=null HOME='"
      << folder.dir.path().string() << "' \"$1\" --data \"$2\" --route " << test::kRouteFile
      << " &\n"
         "pid=$!\n"
         // The start window shows first and carries the status line while the
         // run is read; the driving form is the one with the 704-line view.
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
  const std::string command = "sh '" + script.string() +
                              "' '" CABSIM_PROGRAM_PATH "' '" + folder.dir.path().string() + "' '" +
                              shot.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  QImage image(QString::fromStdString(shot.string()));
  ASSERT_FALSE(image.isNull());
  test::save_artefact(image, "cabsim_window");
  const int menu = image.height() - 704;
  // The film is on show in the cab window, no longer the still picture.
  EXPECT_NE(test::rgb_at(image, 300, menu + 200), 0x285AA0u);
  EXPECT_NE(test::rgb_at(image, 300, menu + 200), 0u);
}

}  // namespace
}  // namespace cabsim
