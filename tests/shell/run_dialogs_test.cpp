// The Move and Save menus of the driving form, the train settings dialog
// and the crew-change question, as a person uses them.
#include "shell/run_dialogs.h"

#include <gtest/gtest.h>
#include <QMenu>

#include "platform/qt_app.h"
#include "platform/settings_store_qt.h"
#include "run/station_move.h"
#include "shell/driving_form.h"
#include "shell/run_folder.h"

namespace cabsim {
namespace {

struct Messages {
  std::vector<QString> said;
  ShellServices services() {
    return {nullptr, [this](const QString& t) { said.push_back(t); },
            [](const QString&) { FAIL() << "fatal"; }};
  }
};

TEST(RunMenus, MoveSaveAndLoadFromTheMenus) {
  test::ensure_qt_app();
  test::RunFolder folder;
  QtSettingsStore store(SettingsFiles::in_folder(folder.dir / "settings"));
  Messages messages;
  TForm1 form(store, messages.services());
  ASSERT_TRUE(form.FormCreate(folder.selection()));
  cabsim::Run& run = *form.run();

  // The only stop before the last has its item, and it moves the train.
  QAction* sta0 = form.menu_item("Sta0");
  ASSERT_NE(sta0, nullptr);
  EXPECT_TRUE(sta0->isEnabled());
  run.state.position = 50000;
  run.state.speed = 30;
  sta0->trigger();
  EXPECT_EQ(run.state.position, run.route->Station[0].stop_position);
  EXPECT_EQ(run.state.speed, 0);

  // Opening the Save menu shows the slots; a saved slot gets its title.
  form.Saveloadclick();
  EXPECT_EQ(form.menu_item("Load1")->text(), kNoData);
  EXPECT_FALSE(form.menu_item("Load1")->isEnabled());
  EXPECT_TRUE(form.menu_item("Save1")->isEnabled());
  form.menu_item("Save1")->trigger();
  ASSERT_EQ(messages.said.size(), 1u);
  EXPECT_EQ(messages.said[0], QString::fromUtf8(kStateSaved));
  form.Saveloadclick();
  EXPECT_EQ(form.menu_item("Load1")->text(), QString::fromUtf8("（東駅～西駅）"));
  EXPECT_TRUE(form.menu_item("Load1")->isEnabled());
  EXPECT_EQ(form.menu_item("Save1")->text(), QString::fromUtf8("（東駅～西駅）"));

  run.state.position = 99999;
  form.menu_item("Load1")->trigger();
  EXPECT_EQ(run.state.position, run.route->Station[0].stop_position);
  EXPECT_EQ(messages.said.size(), 1u);  // a restore that worked says nothing
  form.menu_item("Load2")->setEnabled(true);
  form.menu_item("Load2")->trigger();
  ASSERT_EQ(messages.said.size(), 2u);
  EXPECT_EQ(messages.said[1], QString::fromUtf8(kNoStateSaved));
  form.FormCloseQuery();
}

TEST(RunMenus, TheTrainSettingsDialogAndTheCrewChangeQuestion) {
  test::ensure_qt_app();
  test::RunFolder folder;
  QtSettingsStore store(SettingsFiles::in_folder(folder.dir / "settings"));
  Messages messages;
  TForm1 form(store, messages.services());
  ASSERT_TRUE(form.FormCreate(folder.selection()));
  cabsim::Run& run = *form.run();
  form.show();

  // N2 is in the Display menu; P1 stays hidden.
  EXPECT_FALSE(form.menu_item("P1")->isVisible());
  ASSERT_TRUE(form.menu_item("N2")->isVisible());
  form.menu_item("OFF2")->setChecked(true);  // beginner mode: the protection off
  EXPECT_EQ(run.state.ats_on, 0);
  form.menu_item("N2")->trigger();
  Tjumpdlg* dialog = form.train_settings_dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->ats_off_button->isChecked());
  dialog->ats_on_button->click();
  EXPECT_EQ(run.state.ats_on, 1);
  EXPECT_EQ(run.state.beginner_mode, 0);
  EXPECT_FALSE(form.menu_item("OFF2")->isChecked());
  dialog->ats_off_button->click();
  EXPECT_EQ(run.state.ats_on, 0);
  // The engine: stopped, then started again; the dialog shows it running.
  dialog->engine_off_button->click();
  EXPECT_EQ(run.state.engine_running, 0);
  dialog->engine_start_button->click();
  EXPECT_EQ(run.state.engine_running, 1);
  EXPECT_TRUE(dialog->engine_run_button->isChecked());
  dialog->Button1->click();
  EXPECT_FALSE(dialog->isVisible());

  // The station rules ask: "運転継続" goes on, "運転終了" ends the run.
  form.movieclick();
  run.state.crew_change_requested = 1;
  test::process_events_until([&] { return form.crew_change_dialog() != nullptr; }, 2000);
  ASSERT_NE(form.crew_change_dialog(), nullptr);
  EXPECT_TRUE(form.crew_change_dialog()->isVisible());
  EXPECT_EQ(run.state.crew_change_requested, 0);
  form.crew_change_dialog()->OKBtn->click();
  EXPECT_EQ(run.state.fade_level, 0);
  run.state.crew_change_requested = 1;
  test::process_events_until([&] { return form.crew_change_dialog()->isVisible(); }, 2000);
  form.crew_change_dialog()->CancelBtn->click();
  EXPECT_EQ(run.state.fade_level, 1);
  form.FormCloseQuery();
}

}  // namespace
}  // namespace cabsim
