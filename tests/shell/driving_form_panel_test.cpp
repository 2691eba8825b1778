// The driving form's cab panel as a driver sees it: the easy cab panel driving
// the train and following it, the analogue clock, the stop-line marker in the
// cab view, the stop-position gauge and the stop picture beside it.
#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <chrono>

#include "platform/artefacts.h"
#include "platform/colour.h"
#include "platform/qt_app.h"
#include "platform/settings_store_qt.h"
#include "shell/cab_panel.h"
#include "shell/driving_form.h"
#include "shell/run_folder.h"

namespace cabsim {
namespace {

constexpr uint32_t kPanelRed = 0xC81E1E;
constexpr uint32_t kYellow = 0xFFFF00;
constexpr uint32_t kMagenta = 0xFF00FF;
constexpr uint32_t kBlue = 0x0000FF;

void wait_ms(int ms) {
  test::process_events_until([] { return false; }, ms);
}

/// Runs the event loop until `n` more operation ticks and then `n` more
/// display passes have run (a slow sanitizer build may take long for them).
void wait_ticks_and_passes(TForm1& form, int n = 2) {
  const int32_t tick = form.run()->state.tick_count;
  ASSERT_TRUE(
      test::process_events_until([&] { return form.run()->state.tick_count >= tick + n; }, 10000));
  int passes = 0;
  form.on_display_pass = [&passes](std::chrono::nanoseconds) { ++passes; };
  const bool drawn = test::process_events_until([&] { return passes >= n; }, 10000);
  form.on_display_pass = {};
  ASSERT_TRUE(drawn);
}

void save_bmp(const std::filesystem::path& file, const QImage& image) {
  image.save(QString::fromStdString(file.string()), "BMP");
}

/// A run folder whose train has a red panel, an analogue clock at (100, 450)
/// with hands of 20 pixels, and the two stop-line pictures: a yellow marker
/// with a magenta (transparent) bottom row, and a blue gauge mark whose
/// bottom-left pixel (white) is its transparent colour.
struct PanelRun {
  explicit PanelRun(const std::string& clock = "100\n450\n20") {
    QImage panel(684, 320, QImage::Format_RGB32);
    panel.fill(QColor(200, 30, 30));
    save_bmp(folder.dir / "panel.bmp", panel);
    QImage marker(10, 10, QImage::Format_RGB32);
    marker.fill(QColor(255, 255, 0));
    for (int x = 0; x < 10; ++x) marker.setPixel(x, 9, qRgb(255, 0, 255));
    save_bmp(folder.dir / "marker.bmp", marker);
    QImage gauge(6, 6, QImage::Format_RGB32);
    gauge.fill(QColor(0, 0, 255));
    gauge.setPixel(0, 5, qRgb(255, 255, 255));
    save_bmp(folder.dir / "gauge.bmp", gauge);
    folder.dir.write_sjis("train_tz100.dat", test::TrainFileText{}
                                                 .set("[DriveSound]", "run.wav\n#")
                                                 .set("[StopLine]", "marker.bmp\ngauge.bmp")
                                                 .set("[Clock]", clock)
                                                 .set("[Panel]", "panel.bmp\n0\n384")
                                                 .text());
  }

  std::unique_ptr<TForm1> form() {
    test::ensure_qt_app();
    auto panel = std::make_unique<CabPanel>();
    cab_panel = panel.get();
    auto f = std::make_unique<TForm1>(
        store, ShellServices{{}, {}, [this](const QString& t) { failures.push_back(t); }},
        std::move(panel));
    EXPECT_TRUE(f->FormCreate(folder.selection()));
    EXPECT_TRUE(failures.empty());
    return f;
  }

  test::RunFolder folder;
  QtSettingsStore store{SettingsFiles::in_folder(folder.dir / "settings")};
  std::vector<QString> failures;
  CabPanel* cab_panel = nullptr;
};

TEST(DrivingFormEasyCabPanel, DrivesTheTrainLikeTheKeyboardFollowsTheTickAndClosesWithTheRun) {
  PanelRun run;
  auto form = run.form();
  QAction* n3 = form->menu_item("N3");
  ASSERT_NE(n3, nullptr);
  EXPECT_EQ(n3->text(), QString("かんたん運転台(&E)"));
  EXPECT_TRUE(n3->isEnabled());
  form->show();
  form->start1Click();  // keys count only in a running run
  n3->trigger();
  TForm6* easy = run.cab_panel->easy_cab_panel();
  ASSERT_NE(easy, nullptr);
  EXPECT_TRUE(easy->isVisible());
  EXPECT_EQ(easy->windowTitle(), QString("かんたん運転台"));
  RunState& s = form->run()->state;
  // At once it shows the full service brake of the start.
  ASSERT_EQ(s.brake_handle, -8);
  EXPECT_EQ(easy->brake_shape(7)->colour(), kEasyPanelRed);
  EXPECT_EQ(easy->neutral_shape()->colour(), kEasyPanelWhite);

  // A click posts "8" after the click itself, as the key would: one brake
  // step off.
  easy->button(2)->click();
  EXPECT_EQ(s.brake_handle, -8);
  wait_ms(50);
  EXPECT_EQ(s.brake_handle, -7);
  // A key pressed while the panel has the focus reaches the driving form.
  QKeyEvent key(QEvent::KeyPress, Qt::Key_8, Qt::NoModifier, "8");
  QApplication::sendEvent(easy, &key);
  EXPECT_EQ(s.brake_handle, -6);
  // Neutral, then the reverser button from forward goes backward (standing).
  easy->button(6)->click();
  easy->button(7)->click();
  wait_ms(50);
  EXPECT_EQ(s.brake_handle, 0);
  EXPECT_EQ(s.power_handle, 0);
  EXPECT_EQ(s.reverser, -1);

  // After each tick the shapes and the status bar follow the run; the door
  // states are held against the door rules of the tick.
  uint8_t doors_open = 1, doors_not_closed = 0;
  form->after_operation_tick = [&](cabsim::Run& r) {
    r.state.doors_open = doors_open;
    r.state.doors_not_closed = doors_not_closed;
  };
  wait_ticks_and_passes(*form);
  EXPECT_EQ(easy->neutral_shape()->colour(), kEasyPanelGreen);
  EXPECT_EQ(easy->brake_shape(1)->colour(), kEasyPanelWhite);
  EXPECT_EQ(easy->status_text(), QString("ドアが開いています"));
  doors_open = 0;
  doors_not_closed = 1;
  easy->button(1)->click();
  wait_ticks_and_passes(*form);
  EXPECT_EQ(easy->brake_shape(1)->colour(), kEasyPanelRed);
  EXPECT_EQ(easy->neutral_shape()->colour(), kEasyPanelWhite);
  EXPECT_EQ(easy->status_text(), QString("ドアを閉めています"));
  doors_not_closed = 0;
  wait_ticks_and_passes(*form);
  EXPECT_EQ(easy->status_text(), QString());
  form->after_operation_tick = {};
  test::save_artefact(easy->grab().toImage(), "easy_cab_panel_in_run");

  // The panel closes with the run; a click afterwards reaches nothing.
  form->close();
  EXPECT_FALSE(easy->isVisible());
  easy->button(2)->click();
  wait_ms(50);
  EXPECT_EQ(form->run(), nullptr);
  n3->trigger();  // no run, no panel
  EXPECT_FALSE(easy->isVisible());
}

TEST(DrivingFormClock, PaintsTheHandsWhenTheDrawnTimeChangesAndLeavesTheFaceTransparent) {
  PanelRun run;
  auto form = run.form();
  EXPECT_EQ(run.cab_panel->clock_bitmap(), nullptr);  // nothing drawn before the clock rule
  EXPECT_EQ(run.cab_panel->clock_position(), QPoint(100, 450));
  form->show();
  form->start1Click();
  int32_t drawn = 3 * 108000;  // 3:00:00: hour hand right, the others up
  form->after_operation_tick = [&drawn](cabsim::Run& r) { r.view.clock_drawn_time = drawn; };
  wait_ticks_and_passes(*form);
  const Bitmap* clock = run.cab_panel->clock_bitmap();
  ASSERT_NE(clock, nullptr);
  ASSERT_EQ(clock->width(), 50);
  ASSERT_EQ(clock->height(), 50);
  const uint32_t face = colour_from_windows(kColourButtonFace).rgb() & 0xFFFFFF;
  EXPECT_EQ(clock->pixel(0, 0), face);
  EXPECT_EQ(clock->pixel(37, 25), 0u);  // hour hand end: round(0.6 * 20) = 12
  EXPECT_EQ(clock->pixel(38, 25), face);
  EXPECT_EQ(clock->pixel(25, 5), 0u);  // minute and second hands
  QImage shown = form->untendai()->shown();
  test::save_artefact(shown, "driving_form_clock_3h");
  EXPECT_EQ(test::rgb_at(shown, 100 + 31, 450 + 25), 0u);
  EXPECT_EQ(test::rgb_at(shown, 100 + 25, 450 + 10), 0u);
  EXPECT_EQ(test::rgb_at(shown, 100 + 10, 450 + 40), kPanelRed);  // the face is not drawn
  EXPECT_EQ(test::rgb_at(shown, 100 + 31, 450 + 31), kPanelRed);

  drawn = 6 * 108000 + 30 * 60 * 30;  // 6:30:00: hour and minute hands down
  wait_ticks_and_passes(*form);
  shown = form->untendai()->shown();
  test::save_artefact(shown, "driving_form_clock_6h30");
  EXPECT_EQ(test::rgb_at(shown, 100 + 31, 450 + 25), kPanelRed);  // the old hour hand is gone
  EXPECT_EQ(test::rgb_at(shown, 100 + 25, 450 + 40), 0u);
  EXPECT_EQ(test::rgb_at(shown, 100 + 25, 450 + 10), 0u);  // the second hand stays at 12
  form->close();
}

TEST(DrivingFormClock, ATrainWithoutAnAnalogueClockDrawsNone) {
  PanelRun run("0\n450\n20");
  auto form = run.form();
  form->show();
  form->start1Click();
  form->after_operation_tick = [](cabsim::Run& r) { r.view.clock_drawn_time = 3 * 108000; };
  wait_ticks_and_passes(*form);
  EXPECT_EQ(run.cab_panel->clock_bitmap(), nullptr);
  EXPECT_EQ(test::rgb_at(form->untendai()->shown(), 100 + 31, 450 + 25), kPanelRed);
  form->close();
}

TEST(DrivingFormStopLine, DrawsTheMarkerIntoTheCabViewAndShowsTheGaugeAndTheStopPicture) {
  PanelRun run;
  auto form = run.form();
  form->show();
  form->start1Click();
  wait_ticks_and_passes(*form);
  // The marker is stretched into its square, its bottom row left out.
  std::array<int32_t, 4> marker = {100, 100, 140, 140};
  int32_t top = 100;
  std::string remain = "12";
  uint8_t stop = 1;
  form->after_operation_tick = [&](cabsim::Run& r) {  // held against the station rules of the tick
    r.view.stop_marker = marker;
    r.view.stopline_top = top;
    r.view.remain_text = remain;
    r.view.stop_picture_shown = stop;
  };
  wait_ticks_and_passes(*form);
  const QImage shown = form->untendai()->shown();
  test::save_artefact(shown, "driving_form_stop_marker");
  EXPECT_EQ(test::rgb_at(shown, 100, 100), kYellow);
  EXPECT_EQ(test::rgb_at(shown, 139, 134), kYellow);
  EXPECT_NE(test::rgb_at(shown, 120, 138), kMagenta);
  EXPECT_NE(test::rgb_at(shown, 120, 138), kYellow);
  EXPECT_NE(test::rgb_at(shown, 141, 120), kYellow);
  EXPECT_NE(test::rgb_at(shown, 98, 120), kYellow);

  // Beside the cab view: the gauge mark at its top, the metres 18 below it,
  // the stop picture in the sign column.
  const QImage side = form->centralWidget()->grab().toImage();
  test::save_artefact(side, "driving_form_stop_gauge");
  EXPECT_EQ(form->stopline()->geometry(), QRect(684, 100, 15, 15));
  EXPECT_EQ(test::rgb_at(side, 684 + 7, 100 + 5), kBlue);
  EXPECT_EQ(form->remain()->text(), QString("12"));
  EXPECT_EQ(form->remain()->pos(), QPoint(684, 118));
  int light = 0;
  for (int y = 118; y < 118 + form->remain()->height(); ++y)
    for (int x = 684; x < 684 + form->remain()->width(); ++x)
      light += qGray(side.pixel(x, y)) > 128;
  EXPECT_GT(light, 5);
  EXPECT_EQ(test::rgb_at(side, 780 + 5, 175 + 5), kYellow);
  EXPECT_EQ(test::rgb_at(side, 780 + 5, 175 + 9), 0u);  // transparent row over black

  // Gone again: no rectangle, the mark out of sight, no stop picture.
  marker = {0, 0, 0, 0};
  top = -30;
  remain.clear();
  stop = 0;
  wait_ticks_and_passes(*form);
  EXPECT_NE(test::rgb_at(form->untendai()->shown(), 120, 120), kYellow);
  EXPECT_EQ(form->stopline()->y(), -30);
  EXPECT_EQ(form->remain()->text(), QString());
  EXPECT_EQ(test::rgb_at(form->centralWidget()->grab().toImage(), 785, 180), 0u);
  form->close();
}

TEST(DrivingFormStopLine, AMarkerRectangleOutOfAllProportionDrawsNothing) {
  PanelRun run;
  auto form = run.form();
  form->show();
  form->start1Click();
  std::array<int32_t, 4> marker = {-2000000000, -2000000000, 2000000000, 2000000000};
  form->after_operation_tick = [&marker](cabsim::Run& r) { r.view.stop_marker = marker; };
  wait_ticks_and_passes(*form);
  EXPECT_NE(test::rgb_at(form->untendai()->shown(), 300, 200), kYellow);
  marker = {140, 100, 100, 140};  // right of its left edge
  wait_ticks_and_passes(*form);
  EXPECT_NE(test::rgb_at(form->untendai()->shown(), 120, 120), kYellow);
  form->close();
}

}  // namespace
}  // namespace cabsim
