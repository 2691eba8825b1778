// The user-interface timers, the millisecond clock and shell open.
#include <gtest/gtest.h>

#include <QThread>
#include <cstdlib>
#include <fstream>

#include "platform/qt_app.h"
#include "platform/shell_open.h"
#include "platform/steady_clock.h"
#include "platform/ui_timer.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

TEST(UiTimer, TicksRunOnTheUserInterfaceThreadUntilStopped) {
  test::ensure_qt_app();
  auto motion = UiTimer::motion_timer();
  auto form = UiTimer::form_timer();
  EXPECT_EQ(motion->interval_ms(), 33);
  EXPECT_EQ(form->interval_ms(), 100);
  int motion_ticks = 0, form_ticks = 0;
  bool on_ui_thread = true;
  motion->on_tick = [&] {
    ++motion_ticks;
    on_ui_thread &= QThread::currentThread() == QCoreApplication::instance()->thread();
  };
  form->on_tick = [&] { ++form_ticks; };
  EXPECT_FALSE(motion->active());
  motion->start();
  form->start();
  EXPECT_TRUE(motion->active());
  ASSERT_TRUE(test::process_events_until([&] { return form_ticks >= 2; }, 5000));
  EXPECT_GE(motion_ticks, 3);
  EXPECT_TRUE(on_ui_thread);
  EXPECT_GT(motion->last_interval_ms(), 0);  // measured between two ticks

  motion->stop();
  form->stop();
  int stopped_at = motion_ticks;
  test::process_events_until([] { return false; }, 150);
  EXPECT_EQ(motion_ticks, stopped_at);
}

TEST(SteadyClock, NeverGoesBackAndSleepsAtLeastTheTimeAsked) {
  SteadyClock clock;
  int64_t before = clock.milliseconds();
  for (int i = 0; i < 5; ++i) clock.sleep(1);
  int64_t after = clock.milliseconds();
  EXPECT_GE(after - before, 5);
  clock.sleep(0);
  clock.sleep(-3);  // nothing to wait for
  EXPECT_GE(clock.milliseconds(), after);
}

TEST(ShellOpen, HandsAnExistingDocumentToTheDesktopHandler) {
  test::ensure_qt_app();
  test::TempDir dir;
  // A desktop handler of our own, found first on the search path.
  std::filesystem::path log = dir / "opened.txt";
  dir.write_bytes("bin/xdg-open", "#!/bin/sh\necho \"$1\" > '" + log.string() + "'\n");
  std::filesystem::permissions(dir / "bin/xdg-open", std::filesystem::perms::owner_all);
  std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", ((dir / "bin").string() + ":" + old_path).c_str(), 1);
  qunsetenv("BROWSER");
  qunsetenv("DEFAULT_BROWSER");

  EXPECT_FALSE(open_document(dir / "missing.html"));
  EXPECT_FALSE(open_document(dir.path()));  // a folder is no document
  dir.write_bytes("readme.html", "<html></html>");
  bool opened = open_document(dir / "readme.html");
  setenv("PATH", old_path.c_str(), 1);
  ASSERT_TRUE(opened);
  ASSERT_TRUE(test::process_events_until([&] { return std::filesystem::exists(log); }));
  test::process_events_until([&] { return std::filesystem::file_size(log) > 0; });
  std::ifstream in(log);
  std::string line;
  std::getline(in, line);
  EXPECT_NE(line.find("readme.html"), std::string::npos) << line;
}

}  // namespace
}  // namespace cabsim
