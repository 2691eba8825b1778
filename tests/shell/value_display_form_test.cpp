// The value display as a window: its captions, the values after each tick,
// the sound grid's colours and the stop on selection, its buttons, F3 from
// the cab and its place kept between runs.
#include "shell/value_display_form.h"

#include <gtest/gtest.h>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include "platform/qt_app.h"
#include "platform/settings_store_qt.h"
#include "shell/driving_form.h"
#include "shell/run_folder.h"
#include "sound/sound_channels_silent.h"

namespace cabsim {
namespace {

void press(QWidget* target, int key, const QString& text = {}) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &event);
}

TEST(ValueDisplayForm, ShowsTheValuesTheSoundGridAndCallsItsButtons) {
  test::ensure_qt_app();
  TForm3 form;
  EXPECT_EQ(form.windowTitle(), QString("Value Display"));
  QStringList captions;
  for (QLabel* label : form.findChildren<QLabel*>()) captions << label->text();
  for (std::string_view caption : kValueCaptions)
    EXPECT_TRUE(captions.contains(QString::fromUtf8(caption.data(), int(caption.size()))))
        << caption;

  ValueDisplay values;
  values.values[static_cast<size_t>(ValueRow::kSpeed)] = "63.2 km/h";
  values.signal = "Signal now:4 now2:4 lim_now:45";
  values.signals_ahead[0] = "2 12";
  values.bar_motor = 250;
  values.bar_trailer = 5000;  // beyond the bar: full
  form.show_values(values);
  EXPECT_EQ(form.value_label(ValueRow::kSpeed)->text(), QString("63.2 km/h"));
  EXPECT_EQ(form.signal_label()->text(), QString("Signal now:4 now2:4 lim_now:45"));
  EXPECT_EQ(form.signal_ahead_label(0)->text(), QString("2 12"));
  EXPECT_EQ(form.bar(0)->value(), 250);
  EXPECT_EQ(form.bar(1)->value(), 1000);
  EXPECT_EQ(form.bar(0)->objectName(), QString("Bar_Press0"));
  EXPECT_EQ(form.bar(6)->objectName(), QString("Bar_Press6"));

  // Channel 23 plays at -600: row 2, column 3 is cyan with its level; the
  // others are blank on the window colour.
  SilentSoundChannels sounds;
  sounds.set_length(23, 10000);
  sounds.set_volume(23, -600);
  sounds.play_looped(23);
  form.show_sounds(sounds);
  QTableWidgetItem* cell = form.grid()->item(2, 3);
  EXPECT_EQ(cell->text(), QString("-600"));
  EXPECT_EQ(cell->background().color(), QColor(0, 255, 255));
  EXPECT_EQ(form.grid()->item(2, 4)->text(), QString());
  EXPECT_NE(form.grid()->item(2, 4)->background().color(), QColor(0, 255, 255));
  sounds.stop(23);
  form.show_sounds(sounds);
  EXPECT_EQ(cell->text(), QString());

  int selected = -1, reloads = 0, toggles = 0;
  QString jumped;
  form.channel_selected = [&](int channel) { selected = channel; };
  form.reload_speed_units = [&] { ++reloads; };
  form.jump = [&](const QString& text) { jumped = text; };
  form.toggle_resistance = [&] { ++toggles; };
  emit form.grid()->cellClicked(7, 9);
  EXPECT_EQ(selected, 79);
  form.button(1)->click();
  form.edit()->setText("1200");
  form.button(2)->click();
  form.button(3)->click();
  EXPECT_EQ(reloads, 1);
  EXPECT_EQ(jumped, QString("1200"));
  EXPECT_EQ(toggles, 1);
  EXPECT_EQ(form.button(1)->text(), QString("SU再読込"));
  EXPECT_EQ(form.button(3)->text(), QString("抵抗解除"));
  form.show_resistance_off(true);
  EXPECT_TRUE(form.button(3)->font().bold());
  form.show_resistance_off(false);
  EXPECT_FALSE(form.button(3)->font().bold());

  // Keys in the form and its grid go to the cab; the edit box keeps its own.
  std::vector<int> keys;
  form.forward_key = [&](QKeyEvent* event) { keys.push_back(event->key()); };
  press(&form, Qt::Key_8, "8");
  press(form.grid(), Qt::Key_Up);
  press(form.edit(), Qt::Key_5, "5");
  EXPECT_EQ(keys, (std::vector<int>{Qt::Key_8, Qt::Key_Up}));
}

TEST(ValueDisplayForm, F3FromTheCabShowsItFollowingTheRunAndItKeepsItsPlace) {
  test::ensure_qt_app();
  test::RunFolder folder;
  QtSettingsStore store(SettingsFiles::in_folder(folder.dir / "settings"));
  std::vector<QString> messages;
  TForm1 form(store, ShellServices{{}, [&](const QString& t) { messages.push_back(t); }, {}});
  ASSERT_TRUE(form.FormCreate(folder.selection()));
  form.show();
  EXPECT_EQ(form.value_display_form(), nullptr);  // made when first asked for
  form.start1Click();
  press(&form, Qt::Key_F3);
  TForm3* values = form.value_display_form();
  ASSERT_NE(values, nullptr);
  EXPECT_TRUE(values->isVisible());
  test::process_events_until([&] { return form.run()->state.tick_count > 3; }, 3000);
  EXPECT_EQ(values->value_label(ValueRow::kFrame)->text(),
            QString::number(form.run()->state.current_frame));
  EXPECT_EQ(values->value_label(ValueRow::kBrakeT)->text().right(1), QString("k"));

  // Its buttons act on the run: a jump refused with its message, one made.
  values->edit()->setText("abc");
  values->button(2)->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], QString("'abc' is not a valid integer value"));
  values->edit()->setText("15");
  values->button(2)->click();
  EXPECT_EQ(form.run()->state.current_frame, 15);
  values->button(3)->click();
  EXPECT_EQ(form.run()->state.resistance_off, 1);
  EXPECT_TRUE(values->button(3)->font().bold());
  int32_t ticks = form.run()->state.tick_count;
  test::process_events_until([&] { return form.run()->state.tick_count > ticks + 1; }, 3000);
  EXPECT_EQ(values->value_label(ValueRow::kFrame)->text(), QString("15"));

  // F3 again hides it, and its place is kept for the next run.
  values->move(40, 60);
  press(&form, Qt::Key_F3);
  EXPECT_FALSE(values->isVisible());
  EXPECT_EQ(store.read_text("ValueDisplayPlace"), std::optional<std::string>("40,60"));
  form.run()->state.current_frame = 17;
  ticks = form.run()->state.tick_count;
  test::process_events_until([&] { return form.run()->state.tick_count > ticks + 3; }, 3000);
  EXPECT_EQ(values->value_label(ValueRow::kFrame)->text(), QString("15"));  // hidden: as it was
  form.close();
}

}  // namespace
}  // namespace cabsim
