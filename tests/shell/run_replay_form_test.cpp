// The driver's inputs in the run record and the replay window: a form run's
// keys, wheel and menu commands in the saved summary at their ticks, the
// replay showing each sample's film frame and the inputs as it passes them,
// and a record whose film is gone still played.
#include "shell/run_replay_form.h"

#include <gtest/gtest.h>
#include <QKeyEvent>
#include <QWheelEvent>

#include "platform/qt_app.h"
#include "platform/run_record_file.h"
#include "platform/settings_store_qt.h"
#include "run/keyboard.h"
#include "shell/driving_form.h"
#include "shell/run_folder.h"
#include "shell/run_record_form.h"

namespace cabsim {
namespace {

void press(QWidget* target, int key, const QString& text = {}) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &event);
}

void wheel(QWidget* target, bool up) {
  QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, up ? 120 : -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &event);
}

/// The frame number the replay window's picture carries.
int frame_number_of(const QImage& image) {
  FrameBitmap bitmap(image.width(), image.height());
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) bitmap.row(y)[x] = rgb.pixel(x, y);
  return test::read_frame_number(bitmap);
}

TEST(RunInputs, AFormRunsKeysWheelAndMenusAreSavedAtTheirTicks) {
  test::ensure_qt_app();
  test::RunFolder folder;
  QtSettingsStore store(SettingsFiles::in_folder(folder.dir / "settings"));
  TForm1 form(store, ShellServices{});
  form.record_folder = folder.dir / "runs";
  ASSERT_TRUE(form.FormCreate(folder.selection()));
  form.show();
  form.start1Click();
  const RunState& s = form.run()->state;
  for (int i = 0; i < 3; ++i) press(&form, Qt::Key_8, "8");
  test::process_events_until([&] { return s.tick_count >= 5; }, 5000);
  press(&form, Qt::Key_F1);
  wheel(&form, false);  // a wheel step posts "8": one input, the wheel
  form.menu_item("OFF1")->setChecked(true);
  test::process_events_until([&] { return s.tick_count >= 10; }, 5000);
  form.close();
  ASSERT_FALSE(form.saved_record().empty());

  std::string error;
  const auto saved = load_run_record(form.saved_record(), error);
  ASSERT_TRUE(saved) << error;
  const RunRecordData& r = saved->data;
  ASSERT_EQ(r.inputs.size(), 7u);
  const std::vector<RunInputKind> kinds = {RunInputKind::kStart,      RunInputKind::kCharacter,
                                           RunInputKind::kCharacter,  RunInputKind::kCharacter,
                                           RunInputKind::kVirtualKey, RunInputKind::kWheel,
                                           RunInputKind::kMenuSwitch};
  for (size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(r.inputs[i].input.kind, kinds[i]) << i;
  EXPECT_EQ(r.inputs[1].input.code, '8');
  EXPECT_EQ(r.inputs[4].input.code, static_cast<int32_t>(VirtualKey::kF1));
  EXPECT_EQ(r.inputs[5].input.value, 0);
  EXPECT_EQ(r.inputs[6].input.code, static_cast<int32_t>(RunMenuSwitch::kCallsOff));
  EXPECT_EQ(r.inputs[6].input.value, 1);
  // Each input lies between the samples around it, by tick and by clock.
  ASSERT_GE(r.samples.size(), 10u);
  EXPECT_GE(r.inputs[4].sample, 5);
  for (const RecordedInput& x : r.inputs) {
    ASSERT_LE(static_cast<size_t>(x.sample), r.samples.size());
    if (x.sample > 0) {
      EXPECT_GE(x.tick, r.samples[static_cast<size_t>(x.sample - 1)].tick);
      EXPECT_GE(x.clock, r.samples[static_cast<size_t>(x.sample - 1)].clock);
    }
    if (static_cast<size_t>(x.sample) < r.samples.size()) {
      EXPECT_LT(x.tick, r.samples[static_cast<size_t>(x.sample)].tick);
      EXPECT_LE(x.clock, r.samples[static_cast<size_t>(x.sample)].clock);
    }
  }
  // The film is found again: its path, and each sample's frame in it.
  ASSERT_EQ(r.films.size(), 1u);
  EXPECT_EQ(std::filesystem::path(r.films[0]), folder.dir / "move" / "test.avi");
  EXPECT_EQ(std::filesystem::path(r.program_dir), folder.dir.path());
  for (const RunSample& x : r.samples) {
    EXPECT_EQ(x.film, 0);
    EXPECT_GE(x.frame, 0);
    EXPECT_LT(x.frame, test::kFilmFrames);
  }
}

/// A record of `samples` ticks on `film` (frame 3 × i at sample i) with
/// inputs at samples 0, 10 and 30.
RunRecordData replay_record(const std::string& film, int samples) {
  RunRecordData r;
  r.route_file = "line.dat";
  r.brake_steps = 8;
  if (!film.empty()) r.films.push_back(film);
  for (int i = 0; i < samples; ++i) {
    RunSample x;
    x.tick = i + 1;
    x.clock = 36000 * 30 + 3 * i;
    x.speed = static_cast<float>(i);
    x.position = 100.0 * i;
    x.power_notch = static_cast<int16_t>(i < 25 ? 3 : 0);
    x.brake_notch = static_cast<int16_t>(i < 25 ? 0 : 8);
    x.limit = 60;
    x.film = static_cast<int16_t>(film.empty() ? kNoRecordValue : 0);
    x.frame = film.empty() ? kNoRecordValue : 3 * i;
    r.samples.push_back(x);
  }
  for (int at : {0, 10, 30}) {
    RecordedInput in;
    in.input = run_input(RunInputKind::kCharacter, '8');
    in.sample = at;
    in.tick = at;
    in.clock = 36000 * 30 + 3 * at;
    r.inputs.push_back(in);
  }
  return r;
}

TEST(RunReplayForm, ShowsTheFrameOfEachSampleAndTheInputsAsPlaybackPassesThem) {
  test::ensure_qt_app();
  test::TempDir dir;
  const auto film = dir / "numbered.avi";
  ASSERT_EQ(test::make_numbered_film(film, 320, 192, 200, "-c:v mjpeg -q:v 3"), "");
  RunReplayForm form(replay_record(film.string(), 50));
  form.show();
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("走行再生 - line.dat"));

  form.seek_ms(2050, std::chrono::milliseconds(2000));  // sample 20
  EXPECT_EQ(form.sample_index(), 20);
  ASSERT_TRUE(test::process_events_until([&] { return form.frame_exact(); }, 3000));
  EXPECT_EQ(frame_number_of(form.picture()), 60);
  EXPECT_EQ(form.input_list()->count(), 2);
  EXPECT_TRUE(form.values()->text().contains("20 km/h"));
  EXPECT_TRUE(form.values()->text().contains("P3"));
  EXPECT_EQ(form.slider()->value(), 20);

  form.slider()->setValue(5);  // back: the later input leaves the list
  EXPECT_EQ(form.sample_index(), 5);
  EXPECT_EQ(form.input_list()->count(), 1);
  ASSERT_TRUE(test::process_events_until([&] { return form.frame_exact(); }, 3000));
  EXPECT_EQ(frame_number_of(form.picture()), 15);

  // Four times the pace: the 4.4 s to the end take about 1.1 s.
  form.set_rate(RunReplayForm::kFastRate);
  form.play();
  ASSERT_TRUE(test::process_events_until([&] { return form.sample_index() >= 30; }, 5000));
  EXPECT_EQ(form.input_list()->count(), 3);
  ASSERT_TRUE(test::process_events_until([&] { return !form.playing(); }, 5000));
  EXPECT_EQ(form.sample_index(), 49);
  EXPECT_TRUE(form.values()->text().contains(QString::fromUtf8("非常")));
  ASSERT_TRUE(test::process_events_until([&] { return form.frame_exact(); }, 3000));
  EXPECT_EQ(frame_number_of(form.picture()), 147);
  EXPECT_EQ(form.input_list()->item(2)->text(), QString::fromUtf8("10:00:03  キー 8"));
}

TEST(RunReplayForm, ARecordWithoutItsFilmOrSamplesStillOpensAndPlays) {
  test::ensure_qt_app();
  RunRecordForm records(replay_record("/no/such/film.avi", 12));
  records.findChild<QPushButton*>("replay")->click();
  RunReplayForm* form = records.replay_form();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->note()->text(), QString::fromUtf8(kReplayNoFilm));
  EXPECT_EQ(form->picture().pixel(100, 100), qRgb(0, 0, 0));
  form->play();
  ASSERT_TRUE(test::process_events_until([&] { return !form->playing(); }, 5000));
  EXPECT_EQ(form->sample_index(), 11);
  EXPECT_EQ(form->input_list()->count(), 2);

  // A version 1 record has no films at all; one without samples has nothing to play.
  RunReplayForm no_films(replay_record("", 12));
  no_films.seek_ms(500);
  EXPECT_EQ(no_films.note()->text(), QString::fromUtf8(kReplayNoFilm));
  RunReplayForm empty(RunRecordData{});
  empty.play();
  EXPECT_FALSE(empty.playing());
  EXPECT_EQ(empty.sample_index(), -1);
  EXPECT_EQ(empty.note()->text(), QString::fromUtf8(kReplayNoSamples));
}

}  // namespace
}  // namespace cabsim
