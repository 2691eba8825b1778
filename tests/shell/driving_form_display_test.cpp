// The display pass on the demo line: a pass after a tick that changed nothing
// on show draws nothing, and the picture built by many passes that each drew
// only what changed is the picture drawn whole, pixel for pixel.
#include <gtest/gtest.h>
#include <QKeyEvent>
#include <chrono>
#include <thread>

#include "platform/artefacts.h"
#include "platform/qt_app.h"
#include "platform/shared_demo.h"
#include "shell/cab_panel.h"
#include "shell/driving_form.h"
#include "state/settings_store.h"

namespace cabsim {
namespace {

constexpr QRect kWholeArea(0, 0, DrawingArea::kWidth, DrawingArea::kHeight);

struct DemoRun {
  DemoRun() {
    test::ensure_qt_app();
    form = std::make_unique<TForm1>(
        settings, ShellServices{{}, {}, [this](const QString& t) { failures.push_back(t); }},
        std::make_unique<CabPanel>());
    RunSelection selection;
    selection.program_dir = test::shared_demo();
    selection.route_file = "line_up_827M.dat";
    EXPECT_TRUE(form->FormCreate(selection));
    EXPECT_TRUE(failures.empty());
    form->show();
    form->start1Click();
  }

  void press(char c) {
    QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
    form->key_pressed(&event);
  }

  /// Runs the event loop for `ms`, counting the passes and those that drew
  /// only a part of the area.
  void run_for(int ms) {
    form->on_display_pass = [this](std::chrono::nanoseconds) {
      ++passes;
      if (form->last_pass_drew()) ++drew;
      if (form->last_pass_drew() && form->last_drawn_area() != kWholeArea) ++drew_part;
    };
    test::process_events_until([] { return false; }, ms);
    form->on_display_pass = {};
  }

  MemorySettingsStore settings;
  std::vector<QString> failures;
  std::unique_ptr<TForm1> form;
  int passes = 0, drew = 0, drew_part = 0;
};

TEST(DisplayPass, APassAfterATickThatChangedNothingShownDrawsNothing) {
  DemoRun demo;
  demo.run_for(300);  // standing at the start with the brakes on
  // From here each tick leaves the view as it was: the clock texts and hands,
  // the needles and lamps stand still.
  const RunView held = demo.form->run()->view;
  demo.form->after_operation_tick = [&held](cabsim::Run& r) { r.view = held; };
  demo.run_for(300);
  const QImage before = demo.form->untendai()->shown().copy();
  const int32_t tick = demo.form->run()->state.tick_count;
  demo.passes = demo.drew = 0;
  demo.run_for(500);
  EXPECT_GE(demo.form->run()->state.tick_count, tick + 3);
  EXPECT_GE(demo.passes, 5);
  EXPECT_EQ(demo.drew, 0);
  EXPECT_EQ(demo.form->untendai()->shown(), before);

  // A text changed by the tick is drawn in the next pass, in the cab window
  // alone; the pass after it draws the boxes of its new size, then nothing.
  RunView changed = held;
  changed.speed_text = "123.4 km/h";
  demo.form->after_operation_tick = [&changed](cabsim::Run& r) { r.view = changed; };
  demo.passes = demo.drew = 0;
  demo.run_for(300);
  EXPECT_GE(demo.drew, 1);
  EXPECT_LE(demo.drew, 2);
  EXPECT_NE(demo.form->untendai()->shown(), before);
  demo.form->after_operation_tick = {};
  demo.form->close();
}

TEST(DisplayPass, PicturesDrawnInPartsEqualThePictureDrawnWhole) {
  DemoRun demo;
  RunState& s = demo.form->run()->state;
  demo.form->after_operation_tick = [](cabsim::Run& r) {
    r.state.doors_open = 0;  // the start station's rules would hold the train
    r.state.doors_not_closed = 0;
  };
  // Brakes off and power on: the film runs, the speed text, the needles and
  // the lamps change, the clock ticks on.
  for (int i = 0; i < 40 && (s.brake_handle < 0 || s.power_handle < 3); ++i) {
    demo.press('8');
    demo.run_for(100);
  }
  demo.run_for(5000);
  EXPECT_GT(s.speed, 3);
  EXPECT_GT(demo.drew_part, 10);  // most passes drew a part only
  EXPECT_LT(demo.drew, demo.passes);

  for (int coast = 0; coast < 5; ++coast) {
    if (coast == 1) demo.press('2');  // power off: lamps and the ammeter move
    if (coast == 3) demo.press('8');  // and on again
    demo.run_for(700);
    // No event runs between these passes: the state stays as it is. The
    // second pass draws the boxes at the sizes of the first one's texts.
    // The decoder works on its own thread meanwhile: the pass takes the
    // exact frame of the position once it is ready.
    for (int i = 0; i < 400 && demo.form->last_fetched_frame() != s.current_frame; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      demo.form->AppIdle();
    }
    ASSERT_EQ(demo.form->last_fetched_frame(), s.current_frame);
    demo.form->AppIdle();
    demo.form->AppIdle();
    const QImage in_parts = demo.form->untendai()->shown().copy();
    demo.form->AppIdle();
    EXPECT_FALSE(demo.form->last_pass_drew());
    // A new drawing area: the next pass draws everything.
    demo.form->untendai()->finalize();
    demo.form->untendai()->initialize();
    demo.form->AppIdle();
    EXPECT_EQ(demo.form->last_drawn_area(), kWholeArea);
    const QImage whole = demo.form->untendai()->shown();
    int differing = 0;
    QRect where;
    for (int y = 0; y < whole.height(); ++y)
      for (int x = 0; x < whole.width(); ++x)
        if (in_parts.pixel(x, y) != whole.pixel(x, y)) {
          ++differing;
          where |= QRect(x, y, 1, 1);
        }
    EXPECT_EQ(differing, 0) << "after " << coast + 1 << " stretches of driving, within "
                            << where.x() << "," << where.y() << " " << where.width() << "x"
                            << where.height();
    if (differing != 0) {
      test::save_artefact(in_parts, "display_pass_in_parts");
      test::save_artefact(whole, "display_pass_whole");
    }
  }
  demo.form->close();
}

}  // namespace
}  // namespace cabsim
