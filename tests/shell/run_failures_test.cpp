// The failures of a run's set-up as the driver sees them: a film that cannot
// be opened is reported and the run goes on without it; a missing or broken
// definition file, picture or sound ends the program with its message.
#include <gtest/gtest.h>

#include <QKeyEvent>

#include "platform/artefacts.h"
#include "platform/qt_app.h"
#include "platform/settings_store_qt.h"
#include "shell/driving_form.h"
#include "shell/run_folder.h"

namespace cabsim {
namespace {

struct Attempt {
  explicit Attempt(test::RunFolder& folder)
      : store(SettingsFiles::in_folder(folder.dir / "settings")),
        form(store, {[](const QString&) {}, [this](const QString& t) { messages.push_back(t); },
                     [this](const QString& t) { failures.push_back(t); }}) {
    created = form.FormCreate(folder.selection());
  }
  QtSettingsStore store;
  std::vector<QString> messages, failures;
  TForm1 form;
  bool created = false;
};

const QString kFilmMessage = QString("映像ファイルを開けません") + "move\\test.avi";

TEST(RunFailures, AMissingOrBrokenFilmIsReportedAndTheRunGoesOnWithoutIt) {
  test::ensure_qt_app();
  {
    test::RunFolder folder(/*film=*/false);
    Attempt a(folder);
    ASSERT_TRUE(a.created);
    EXPECT_EQ(a.messages, std::vector<QString>{kFilmMessage});
    a.form.show();
    a.form.movieclick();
    EXPECT_TRUE(a.form.run()->timers.operation_tick_enabled());
    test::process_events_until([] { return false; }, 300);
    EXPECT_EQ(test::rgb_at(a.form.untendai()->shown(), 300, 200), 0x285AA0u);  // still picture
    a.form.close();
  }
  {
    test::RunFolder folder(/*film=*/false);
    folder.dir.write_bytes("move/test.avi", "RIFF\x10\0\0\0AVI LIST garbage that is no film");
    Attempt a(folder);
    ASSERT_TRUE(a.created);
    EXPECT_EQ(a.messages, std::vector<QString>{kFilmMessage});
  }
}

TEST(RunFailures, AFailureOfTheCyclesIsShownOnceAndTheRunGoesOn) {
  // A first departure at the clock's largest value: every 33 ms cycle
  // overflows the run clock. The driver sees one message, the form stays up
  // and keeps answering the keys.
  test::ensure_qt_app();
  test::RunFolder folder;
  std::string route = test::test_route_text("[Staf]\ncard.bmp\nstill.bmp\n");
  route.replace(route.find("972000"), 6, "2147483647");
  folder.dir.write_sjis(test::kRouteFile, route);
  Attempt a(folder);
  ASSERT_TRUE(a.created);
  a.form.show();
  a.form.movieclick();
  test::process_events_until([] { return false; }, 500);
  EXPECT_EQ(a.messages, std::vector<QString>{QString("integer overflow")});
  EXPECT_EQ(a.form.run()->state.clock, INT32_MAX);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_8, Qt::NoModifier, "8");
  a.form.key_pressed(&press);  // the brake comes off one step
  EXPECT_EQ(a.form.run()->state.brake_handle, 1 - a.form.run()->train.Brake);
  a.form.close();
}

TEST(RunFailures, MissingFilesEndTheProgramWithTheirMessage) {
  test::ensure_qt_app();
  {
    test::RunFolder folder;
    std::filesystem::remove(folder.dir / "train_tz100.dat");
    Attempt a(folder);
    EXPECT_FALSE(a.created);
    ASSERT_EQ(a.failures.size(), 1u);
    EXPECT_FALSE(a.failures[0].isEmpty());
  }
  {
    test::RunFolder folder;
    std::filesystem::remove(folder.dir / "card.bmp");
    Attempt a(folder);
    EXPECT_FALSE(a.created);
    EXPECT_EQ(a.failures, std::vector<QString>{QString("card.bmpが見つかりません")});
  }
  {
    test::RunFolder folder;
    folder.dir.write_bytes("run.wav", "not a wave");
    Attempt a(folder);
    EXPECT_FALSE(a.created);
    ASSERT_EQ(a.failures.size(), 1u);
    EXPECT_FALSE(a.failures[0].isEmpty());
  }
  {
    test::RunFolder folder;
    std::filesystem::remove(folder.dir / "cabworks.dat");
    Attempt a(folder);
    EXPECT_FALSE(a.created);
    EXPECT_EQ(a.failures.size(), 1u);
  }
}

}  // namespace
}  // namespace cabsim
