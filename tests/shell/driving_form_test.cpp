// The driving form as a person meets it: a run assembled with its status
// texts, the still picture, the start click, driving with the keys while the
// film advances and the texts stand at their places, the help form, and the
// closing that writes the settings.
#include "shell/driving_form.h"

#include <gtest/gtest.h>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSettings>

#include "platform/artefacts.h"
#include "platform/qt_app.h"
#include "platform/settings_store_qt.h"
#include "run/run_assembly.h"
#include "shell/cab_panel.h"
#include "shell/help_form.h"
#include "shell/run_folder.h"

namespace cabsim {
namespace {

struct Recorded {
  std::vector<QString> statuses, messages, failures;
  ShellServices services() {
    return {[this](const QString& t) { statuses.push_back(t); },
            [this](const QString& t) { messages.push_back(t); },
            [this](const QString& t) { failures.push_back(t); }};
  }
};

void press(QWidget* target, int key, const QString& text = {}) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &event);
}

void click(QWidget* target, QPoint at) {
  QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), target->mapToGlobal(QPointF(at)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

/// How many pixels of `image` inside `box` have the colour `rgb`.
int pixels_of(const QImage& image, const QRect& box, uint32_t rgb) {
  int n = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) n += test::rgb_at(image, x, y) == rgb;
  return n;
}

void wait_ms(int ms) {
  test::process_events_until([] { return false; }, ms);
}

TEST(DrivingForm, AssemblesARunDrivesItWithTheKeysAndWritesTheSettingsOnClosing) {
  test::ensure_qt_app();
  test::RunFolder folder;
  QtSettingsStore store(SettingsFiles::in_folder(folder.dir / "settings"));
  Recorded recorded;
  TForm1 form(store, recorded.services());
  ASSERT_TRUE(form.FormCreate(folder.selection()));
  EXPECT_TRUE(recorded.failures.empty());
  EXPECT_TRUE(recorded.messages.empty());
  const std::vector<QString> statuses = {QString::fromUtf8(kStatusReadingFiles.data()),
                                         QString::fromUtf8(kStatusDrawingPanel.data()),
                                         QString::fromUtf8(kStatusRunningSounds.data()),
                                         QString::fromUtf8(kStatusEnvironmentSounds.data()),
                                         QString::fromUtf8(kStatusCallSounds.data()),
                                         QString::fromUtf8(kStatusBindingSounds.data()),
                                         QString::fromUtf8(kStatusEnvironment.data())};
  EXPECT_EQ(recorded.statuses, statuses);
  EXPECT_EQ(form.menu_item("start1")->text(), QString("運転開始(&S)"));
  EXPECT_TRUE(form.menu_item("D1")->isChecked());   // commentary on by default
  EXPECT_EQ(form.run()->state.film_frame_count, test::kFilmFrames);
  EXPECT_FALSE(form.debug_label(0)->isVisibleTo(&form));

  form.show();
  wait_ms(200);
  const QImage still = form.untendai()->shown();
  test::save_artefact(still, "driving_form_still");
  EXPECT_EQ(test::rgb_at(still, 300, 200), 0x285AA0u);  // the route's still picture
  EXPECT_FALSE(form.run()->timers.operation_tick_enabled());

  click(form.untendai(), {300, 200});  // the first click starts the run
  EXPECT_TRUE(form.run()->timers.operation_tick_enabled());
  EXPECT_EQ(form.menu_item("start1")->text(), QString("一時停止(&S)"));
  for (int i = 0; i < 13; ++i) press(&form, Qt::Key_8, "8");  // brake off, then power
  EXPECT_GT(form.run()->state.power_handle, 0);
  const int32_t first_frame = form.run()->state.current_frame;
  // The brake pipe recharges from the emergency brake first (about 10 s),
  // then the train moves off.
  const RunState& s = form.run()->state;
  test::process_events_until([&s] { return s.speed > 8; }, 30000);
  wait_ms(500);
  EXPECT_GT(s.speed, 5) << "power " << s.power_handle << " eff " << s.effective_power_notch
                        << " brake " << s.brake_handle << " effb " << s.effective_brake_notch
                        << " tf " << s.tractive_force.real() << " bc "
                        << s.trailer_brake_cylinder.real() << " ticks " << s.tick_count << " cyc "
                        << s.clock << " doors " << int(s.doors_open);
  EXPECT_GT(s.current_frame, first_frame);
  // The display keeps up with the film: the tick may have moved the film on
  // since the last pass, but the next passes catch up with it.
  EXPECT_TRUE(test::process_events_until(
      [&] { return form.last_fetched_frame() == s.current_frame; }, 3000))
      << "fetched " << form.last_fetched_frame() << " current " << s.current_frame;
  const QImage driving = form.untendai()->shown();
  test::save_artefact(driving, "driving_form_driving");
  // The speed text in the light foreground, the notch texts beneath it.
  EXPECT_GT(pixels_of(driving, QRect(547, 315, 120, 24), 0xC8C8C8), 20);
  EXPECT_GT(pixels_of(driving, QRect(547, 349, 130, 20), 0xC8C8C8), 10);
  EXPECT_GT(pixels_of(driving, QRect(7, 323, 120, 20), 0xC8C8C8), 10);  // next station
  EXPECT_EQ(test::rgb_at(driving, 300, 600), 0u);  // the panel below is black without sprites
  EXPECT_GT(form.frames_per_second(), 0);

  form.menu_d1Click();  // the help form passes its keys on
  ASSERT_NE(form.help_form(), nullptr);
  EXPECT_EQ(form.help_form()->windowTitle(), QString("操作説明"));
  EXPECT_TRUE(form.help_form()->memo()->toPlainText().contains("ノッチを戻す"));
  const int32_t power = s.power_handle;
  press(form.help_form()->memo(), Qt::Key_2, "2");
  EXPECT_EQ(form.run()->state.power_handle, power - 1);

  form.menu_item("OFF1")->setChecked(true);
  form.menu_item("D1")->setChecked(false);
  form.close();
  EXPECT_TRUE(form.closed());
  EXPECT_EQ(form.run(), nullptr);
  QSettings written(QString::fromStdString((folder.dir / "settings" / "hanabira.ini").string()),
                    QSettings::IniFormat);
  EXPECT_EQ(written.value("Kanko").toInt(), 1);
  EXPECT_EQ(written.value("Information").toInt(), 0);
  EXPECT_EQ(written.value("ATS").toInt(), 0);
  EXPECT_EQ(written.value("Tunnel").toInt(), 0);
}

TEST(DrivingForm, DebugModeShowsTheLabelsAndTheMessageBand) {
  test::ensure_qt_app();
  test::RunFolder folder;
  QtSettingsStore store(SettingsFiles::in_folder(folder.dir / "settings"));
  Recorded recorded;
  TForm1 form(store, recorded.services());
  ASSERT_TRUE(form.FormCreate(folder.selection(true)));
  form.show();
  EXPECT_TRUE(form.debug_label(0)->isVisible());
  form.start1Click();
  form.run()->view.top_message = "debug";
  wait_ms(400);
  EXPECT_EQ(form.debug_label(0)->text(), QString("前"));
  const QImage shown = form.untendai()->shown();
  test::save_artefact(shown, "driving_form_debug");
  // The band is lighter than the film above it; no driving texts are drawn.
  EXPECT_EQ(pixels_of(shown, QRect(547, 315, 120, 24), 0xC8C8C8), 0);
  const QColor band(shown.pixel(650, 325));
  EXPECT_GE(band.red(), 100);
  form.close();
}

TEST(DrivingForm, ShowsTheTrainsCabPanelBelowTheCabView) {
  test::ensure_qt_app();
  test::RunFolder folder;
  QImage panel(684, 320, QImage::Format_RGB32);
  panel.fill(QColor(200, 30, 30));
  panel.save(QString::fromStdString((folder.dir / "panel.bmp").string()), "BMP");
  folder.dir.write_sjis("train_tz100.dat", test::TrainFileText{}
                                               .set("[DriveSound]", "run.wav\n#")
                                               .set("[Panel]", "panel.bmp\n0\n384")
                                               .text());
  QtSettingsStore store(SettingsFiles::in_folder(folder.dir / "settings"));
  Recorded recorded;
  TForm1 form(store, recorded.services(), std::make_unique<CabPanel>());
  ASSERT_TRUE(form.FormCreate(folder.selection()));
  EXPECT_TRUE(recorded.failures.empty());
  EXPECT_EQ(form.run()->view.panel[PanelElement::kPanel].present, 1);
  form.show();
  form.start1Click();
  wait_ms(400);
  const QImage shown = form.untendai()->shown();
  test::save_artefact(shown, "driving_form_cab_panel");
  EXPECT_EQ(test::rgb_at(shown, 300, 600), 0xC81E1Eu);
  form.close();
}

}  // namespace
}  // namespace cabsim
