// The title form: the opening and its limit, the title picture, the run menu
// building up, the choice of a run and a train (the file dialog injected),
// the driving form shown modally and the title coming back after it.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "platform/program_folder.h"
#include "platform/qt_app.h"
#include "platform/run_record_file.h"
#include "platform/settings_store_qt.h"
#include "shell/driving_form.h"
#include "shell/help_form.h"
#include "shell/run_folder.h"
#include "shell/run_record_form.h"
#include "shell/title_form.h"

namespace cabsim {
namespace {

void save_picture(const std::filesystem::path& file, QSize size, QColor colour) {
  std::filesystem::create_directories(file.parent_path());
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(colour);
  ASSERT_TRUE(picture.save(QString::fromStdString(file.string()), "BMP"));
}

/// A run folder laid out as a program folder with a catalogue: the test
/// route under two of the catalogue's names, a few title pictures, and a
/// second train in a folder of its own (five power notches instead of four).
struct TitleFolder {
  TitleFolder() {
    const std::string route = test::test_route_text("[Staf]\ncard.bmp\nstill.bmp\n");
    run.dir.write_sjis("line_up_827M.dat", route);
    run.dir.write_sjis("line_down_838M.dat", route);
    const auto title = run.dir / "image" / "title";
    save_picture(title / "line01.bmp", {300, 50}, QColor(200, 220, 250));
    save_picture(title / "line05.bmp", {300, 50}, QColor(250, 220, 200));
    save_picture(title / "line01_map.bmp", {460, 120}, QColor(240, 240, 230));
    save_picture(title / "line05_map.bmp", {400, 100}, QColor(230, 240, 240));
    save_picture(title / "train1.bmp", {150, 80}, QColor(240, 244, 248));
    QImage menu(800, 600, QImage::Format_RGB32);
    menu.fill(QColor(90, 150, 230));
    menu.save(QString::fromStdString((title / "title2.jpg").string()), "JPG");
    run.dir.write_sjis(
        "other/train_other.dat",
        test::TrainFileText{}.set("[DriveSound]", "run.wav\n#").set("[Power]", "5").text());
    run.dir.write_bytes("other/run.wav", test::wave_file(1));
  }
  test::RunFolder run{/*film=*/false};  // the runs go on without their film
};

/// The title form over a folder, with the failures and messages kept.
struct Title {
  explicit Title(const std::filesystem::path& dir)
      : store(SettingsFiles::in_folder(dir / "settings")),
        form(dir, store,
             {{},
              [this](const QString& t) { messages.push_back(t); },
              [this](const QString& t) { failures.push_back(t); }}) {}
  /// From the opening to the menu with every element shown.
  void to_full_menu() {
    ASSERT_TRUE(form.FormCreate());
    form.Timer1Timer();  // no film: the title
    form.Imageclick();
    for (int i = 0; i < 12; ++i) form.Timer1Timer();
    ASSERT_EQ(form.state(), TForm5::kMenu);
  }
  QtSettingsStore store;
  std::vector<QString> messages, failures;
  TForm5 form;
};

void press(QWidget& form, Qt::Key key, Qt::KeyboardModifiers mods) {
  QKeyEvent event(QEvent::KeyPress, key, mods);
  QApplication::sendEvent(&form, &event);
}
void release(QWidget& form, Qt::Key key, Qt::KeyboardModifiers mods) {
  QKeyEvent event(QEvent::KeyRelease, key, mods);
  QApplication::sendEvent(&form, &event);
}

/// The mouse `button` pressed at `at` on `picture` and let go at `up`.
void click(QWidget* picture, Qt::MouseButton button, QPoint at = {5, 5}, QPoint up = {5, 5}) {
  QMouseEvent down(QEvent::MouseButtonPress, at, picture->mapToGlobal(at), button, button,
                   Qt::NoModifier);
  QApplication::sendEvent(picture, &down);
  QMouseEvent let_go(QEvent::MouseButtonRelease, up, picture->mapToGlobal(up), button, Qt::NoButton,
                     Qt::NoModifier);
  QApplication::sendEvent(picture, &let_go);
}

TEST(TitleForm, TheOpeningEndsAfterItsTickLimitAndTheMenuBuildsUpOneElementATick) {
  test::ensure_qt_app();
  TitleFolder folder;
  std::filesystem::create_directories(folder.run.dir / "move");
  ASSERT_EQ(test::make_numbered_film(folder.run.dir / "move" / "opening.avi", 64, 36, 10,
                                     "-c:v mjpeg -q:v 5"),
            "");
  Title t(folder.run.dir.path());
  ASSERT_TRUE(t.form.FormCreate());
  EXPECT_EQ(t.form.state(), TForm5::kOpening);
  EXPECT_EQ(t.form.size(), TForm5::kFilmSize);
  EXPECT_TRUE(t.form.timer_enabled());
  EXPECT_EQ(t.form.media_player().file_name().filename(), "opening.avi");
  EXPECT_TRUE(t.messages.empty());
  // The film is watched to its limit: tick 1600 brings the title.
  for (int i = 0; i < TForm5::kOpeningTickLimit; ++i) t.form.Timer1Timer();
  EXPECT_EQ(t.form.state(), TForm5::kOpening);
  EXPECT_FALSE(t.form.film_area()->isHidden());
  t.form.Timer1Timer();
  EXPECT_EQ(t.form.state(), TForm5::kTitle);
  EXPECT_TRUE(t.form.film_area()->isHidden());
  EXPECT_EQ(t.form.size(), TForm5::kTitleSize);
  EXPECT_FALSE(t.form.component("cts")->isHidden());
  EXPECT_TRUE(t.form.component("quit")->isHidden());  // quit only after going back

  t.form.Imageclick();
  EXPECT_EQ(t.form.state(), TForm5::kMenu);
  EXPECT_TRUE(t.form.component("cts")->isHidden());
  // Shown after tick k: line1 at 3, ... line8 at 10, HELP at 11, back at 12.
  const QStringList order{"line1", "line2", "line3", "line4", "line5",
                          "line6", "line7", "line8", "HELP",  "back"};
  for (int tick = 1; tick <= 12; ++tick) {
    t.form.Timer1Timer();
    for (int k = 0; k < order.size(); ++k)
      EXPECT_EQ(!t.form.component(order[k])->isHidden(), tick > k + 2)
          << order[k].toStdString() << " after tick " << tick;
    EXPECT_FALSE(t.form.component("map01")->isHidden());
    EXPECT_EQ(t.form.timer_enabled(), tick < 12) << tick;
  }
  EXPECT_EQ(t.form.menu_counter(), 12);
  EXPECT_TRUE(t.form.component("line3")->pixmap().isNull());  // empty, not choosable
  // Back to the title, and the second time the menu comes at once.
  t.form.backclick();
  EXPECT_EQ(t.form.state(), TForm5::kTitle);
  for (const QString& name : order) EXPECT_TRUE(t.form.component(name)->isHidden());
  EXPECT_FALSE(t.form.component("quit")->isHidden());
  EXPECT_FALSE(t.form.component("cts")->isHidden());
  t.form.Imageclick();
  t.form.Timer1Timer();
  for (const QString& name : order) EXPECT_FALSE(t.form.component(name)->isHidden());
  EXPECT_FALSE(t.form.timer_enabled());
}

TEST(TitleForm, WithoutAnOpeningFilmTheTitleComesOnTheFirstTickWithItsMusic) {
  test::ensure_qt_app();
  {
    TitleFolder folder;
    folder.run.dir.write_bytes("sound/40248.wav", test::wave_file(2));
    Title t(folder.run.dir.path());
    ASSERT_TRUE(t.form.FormCreate());
    EXPECT_TRUE(t.form.media_player().file_name().empty());
    t.form.Timer1Timer();
    EXPECT_EQ(t.form.state(), TForm5::kTitle);
    EXPECT_EQ(t.form.media_player().file_name().filename(), "40248.wav");
    EXPECT_TRUE(t.form.media_player().is_playing());
  }
  {
    // Neither film nor music: the title still comes, silent.
    TitleFolder folder;
    Title t(folder.run.dir.path());
    ASSERT_TRUE(t.form.FormCreate());
    t.form.Timer1Timer();
    EXPECT_EQ(t.form.state(), TForm5::kTitle);
    EXPECT_TRUE(t.messages.empty());
  }
  {
    // A film that cannot be played is named once; the title goes on.
    TitleFolder folder;
    folder.run.dir.write_bytes("move/opening.avi", "RIFF\x10\0\0\0AVI LIST no film");
    Title t(folder.run.dir.path());
    ASSERT_TRUE(t.form.FormCreate());
    EXPECT_EQ(t.messages, std::vector<QString>{QString::fromUtf8(kOpeningCannotOpen)});
    t.form.Timer1Timer();
    EXPECT_EQ(t.form.state(), TForm5::kTitle);
  }
}

TEST(TitleForm, AProgramFolderWithoutCabworksDatEndsTheProgramWithItsMessage) {
  test::ensure_qt_app();
  TitleFolder folder;
  std::filesystem::remove(folder.run.dir / "cabworks.dat");
  Title t(folder.run.dir.path());
  EXPECT_FALSE(t.form.FormCreate());
  EXPECT_EQ(t.failures, std::vector<QString>{QString::fromUtf8(kNotInPlace)});
  EXPECT_FALSE(t.form.timer_enabled());
}

TEST(TitleForm, ShiftHeldWhileChoosingARunKeepsTheMap) {
  test::ensure_qt_app();
  TitleFolder folder;
  Title t(folder.run.dir.path());
  t.to_full_menu();
  QLabel* map = t.form.component("map01");
  t.form.lineclick(t.form.entry(0));
  EXPECT_EQ(t.form.route_file(), "line_up_827M.dat");
  EXPECT_EQ(map->size(), QSize(460, 120));
  EXPECT_FALSE(t.form.component("train1")->isHidden());
  EXPECT_EQ(t.form.component("cursor")->pos(), t.form.entry(0)->pos() + TForm5::kCursorOffset);

  press(t.form, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_TRUE(t.form.shift_flag());
  t.form.lineclick(t.form.entry(4));
  EXPECT_EQ(t.form.route_file(), "line_down_838M.dat");
  EXPECT_EQ(map->size(), QSize(460, 120));  // still the first run's map
  EXPECT_EQ(t.form.component("cursor")->pos(), t.form.entry(4)->pos() + TForm5::kCursorOffset);
  release(t.form, Qt::Key_Shift, Qt::NoModifier);
  EXPECT_FALSE(t.form.shift_flag());
  // Shift with another modifier is not Shift alone.
  press(t.form, Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_FALSE(t.form.shift_flag());
  t.form.lineclick(t.form.entry(4));
  EXPECT_EQ(map->size(), QSize(400, 100));  // the down run's own map
}

TEST(TitleForm, ClicksReachTheirHandlersAndTheEmptyEntryTakesNone) {
  test::ensure_qt_app();
  TitleFolder folder;
  Title t(folder.run.dir.path());
  ASSERT_TRUE(t.form.FormCreate());
  t.form.Timer1Timer();
  click(t.form.component("cts"), Qt::LeftButton);
  EXPECT_EQ(t.form.state(), TForm5::kMenu);
  for (int i = 0; i < 12; ++i) t.form.Timer1Timer();
  int asked = 0;
  t.form.choose_train_file = [&] {
    ++asked;
    return QString::fromStdString((folder.run.dir / "other" / "train_other.dat").string());
  };
  // The third entry answers neither button.
  click(t.form.entry(2), Qt::LeftButton);
  click(t.form.entry(2), Qt::RightButton);
  EXPECT_EQ(t.form.route_file(), "");
  EXPECT_EQ(asked, 0);
  EXPECT_TRUE(t.form.component("cursor")->isHidden());
  // A press let go outside the picture is no click.
  click(t.form.entry(0), Qt::LeftButton, {5, 5}, {-20, 5});
  EXPECT_EQ(t.form.route_file(), "");
  click(t.form.entry(0), Qt::LeftButton);
  EXPECT_EQ(t.form.route_file(), "line_up_827M.dat");
  EXPECT_EQ(asked, 0);
  // A right-click on the train button chooses a train for the chosen run;
  // the arrow moves beside the button.
  QLabel* train = t.form.component("train1");
  click(train, Qt::RightButton);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(t.form.chosen_train_file(), "train_other.dat");
  EXPECT_EQ(t.form.route_file(), "line_up_827M.dat");
  EXPECT_EQ(t.form.component("cursor")->pos(), train->pos() + TForm5::kCursorOffset);
  click(t.form.component("back"), Qt::LeftButton);
  EXPECT_EQ(t.form.state(), TForm5::kTitle);
  std::filesystem::path opened;
  t.form.open_help = [&](const std::filesystem::path& p) {
    opened = p;
    return true;
  };
  t.form.Imageclick();
  t.form.Timer1Timer();
  click(t.form.component("HELP"), Qt::LeftButton);
  EXPECT_EQ(opened.filename(), "readme.html");
}

TEST(TitleForm, ATrainChosenByRightClickIsDrivenOnThatRunAndTheTitleComesBack) {
  test::ensure_qt_app();
  TitleFolder folder;
  Title t(folder.run.dir.path());
  t.to_full_menu();
  t.form.show();
  const QString other =
      QString::fromStdString((folder.run.dir / "other" / "train_other.dat").string());
  t.form.choose_train_file = [&] { return other; };
  struct Seen {
    int power = -1;
    bool title_hidden = false;
    int title_height = 0;
    QString status;
  };
  std::vector<Seen> seen;
  t.form.driving_form_shown = [&](TForm1& driving) {
    seen.push_back({driving.run()->train.Power, t.form.isHidden(), t.form.height(),
                    t.form.status_line()->text()});
    driving.close();
  };
  // Clicking the empty map before any run is chosen starts nothing.
  t.form.Trainclick(t.form.component("map01"));
  EXPECT_TRUE(seen.empty());

  // A left button on an entry opens no dialog; the right one does.
  t.form.Menumousedown(t.form.entry(4), Qt::LeftButton);
  EXPECT_TRUE(t.form.chosen_train_file().empty());
  t.form.Menumousedown(t.form.entry(4), Qt::RightButton);
  EXPECT_EQ(t.form.chosen_train_file(), "train_other.dat");
  EXPECT_EQ(t.form.chosen_train_dir(), (folder.run.dir / "other").string() + "/");
  EXPECT_EQ(t.form.route_file(), "line_down_838M.dat");
  t.form.Trainclick(t.form.component("map01"));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].power, 5);
  EXPECT_TRUE(seen[0].title_hidden);
  EXPECT_EQ(seen[0].title_height, TForm5::kHeightWithStatus);
  EXPECT_EQ(seen[0].status,
            QString::fromUtf8("環境をセットアップしています"));  // the set-up's last report
  EXPECT_EQ(t.form.last_selection().route_file, "line_down_838M.dat");
  EXPECT_EQ(t.form.last_selection().start_station, 0);
  // The title is back at its height with the run menu; the choice is used up.
  EXPECT_FALSE(t.form.isHidden());
  EXPECT_EQ(t.form.height(), TForm5::kTitleSize.height());
  EXPECT_EQ(t.form.state(), TForm5::kMenu);
  EXPECT_EQ(t.form.driving_form(), nullptr);
  EXPECT_TRUE(t.form.chosen_train_file().empty());

  // The map without a chosen train hands over no train name: the standard
  // train is driven. The train button names the standard train itself.
  t.form.Trainclick(t.form.component("map01"));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(t.form.last_selection().train_file, "");
  EXPECT_EQ(seen[1].power, 4);
  t.form.Trainclick(t.form.component("train1"));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(t.form.last_selection().train_file, "train_tz100.dat");
  EXPECT_EQ(seen[2].power, 4);
  // A cancelled dialog changes nothing.
  t.form.choose_train_file = [] { return QString(); };
  t.form.Menumousedown(t.form.entry(0), Qt::RightButton);
  EXPECT_EQ(t.form.route_file(), "line_down_838M.dat");
  EXPECT_TRUE(t.failures.empty());
  t.form.close();
}

TEST(TitleForm, ARunThatCannotBeSetUpBringsTheTitleBack) {
  test::ensure_qt_app();
  TitleFolder folder;
  std::filesystem::remove(folder.run.dir / "line_up_827M.dat");
  Title t(folder.run.dir.path());
  t.to_full_menu();
  t.form.show();
  press(t.form, Qt::Key_Shift, Qt::ShiftModifier);
  t.form.lineclick(t.form.entry(0));
  bool shown = false;
  t.form.driving_form_shown = [&](TForm1&) { shown = true; };
  t.form.Trainclick(t.form.component("train1"));
  EXPECT_FALSE(shown);
  EXPECT_EQ(t.failures.size(), 1u);  // the route's own message; the program ends there
  EXPECT_FALSE(t.form.isHidden());
  EXPECT_EQ(t.form.height(), TForm5::kTitleSize.height());
  EXPECT_FALSE(t.form.shift_flag());
  EXPECT_EQ(t.form.driving_form(), nullptr);
  t.form.close();
}

TEST(TitleForm, TheFolderButtonChangesTheRouteFolderOnlyToAProgramFolderAndRemembersIt) {
  test::ensure_qt_app();
  TitleFolder first;
  TitleFolder second;
  // The second folder's mark written in capitals, as folders from elsewhere
  // may have it; its notes and title picture tell it apart.
  std::filesystem::rename(second.run.dir / "cabworks.dat", second.run.dir / "CABWORKS.DAT");
  second.run.dir.write_sjis("operation.dat", "二番目の説明\n");
  QImage title(800, 600, QImage::Format_RGB32);
  title.fill(QColor(200, 40, 40));
  for (const char* name : kTitlePictures) {
    std::string file = name;
    std::replace(file.begin(), file.end(), '\\', '/');
    title.save(QString::fromStdString((second.run.dir / file).string()), "JPG");
  }
  test::TempDir settings_dir;
  QtSettingsStore store(SettingsFiles::in_folder(settings_dir.path()));
  std::vector<QString> messages;
  TForm5 form(first.run.dir.path(), store,
              {{}, [&](const QString& t) { messages.push_back(t); }, [](const QString&) {}});
  TForm4 help(first.run.dir.path());
  form.set_help_form(&help);
  ASSERT_TRUE(form.FormCreate());
  form.Timer1Timer();  // no film: the title picture
  ASSERT_EQ(form.state(), TForm5::kTitle);
  QLabel* button = form.component("folder");
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(button->isHidden());
  EXPECT_GE(button->x(), 0);
  EXPECT_LE(button->geometry().bottom(), TForm5::kTitleSize.height());

  // Cancelled, an empty folder, a file, a folder that is not there: the
  // title stays where it was, with the program's message for each refusal.
  const std::filesystem::path empty = first.run.dir / "empty";
  std::filesystem::create_directories(empty);
  std::vector<QString> answers{"", QString::fromStdString(empty.string()),
                               QString::fromStdString((first.run.dir / "run.wav").string()),
                               QString::fromStdString((first.run.dir / "nowhere").string())};
  size_t asked = 0;
  form.choose_route_folder = [&] { return answers[asked++]; };
  for (size_t i = 0; i < answers.size(); ++i) click(button, Qt::LeftButton);
  EXPECT_EQ(asked, answers.size());
  EXPECT_EQ(messages, std::vector<QString>(3, QString::fromUtf8(kNotInPlace)));
  EXPECT_EQ(form.program_dir(), first.run.dir.path());
  EXPECT_FALSE(store.read_text(kRouteFolderSetting));
  EXPECT_EQ(help.windowTitle(), QString::fromUtf8("操作説明"));

  // A program folder: the title, the notes and the runs come from it, and it
  // is remembered for the next start.
  form.choose_route_folder = [&] { return QString::fromStdString(second.run.dir.path().string()); };
  click(button, Qt::LeftButton);
  EXPECT_EQ(messages.size(), 3u);
  EXPECT_EQ(form.program_dir(), second.run.dir.path());
  EXPECT_EQ(store.read_text(kRouteFolderSetting), second.run.dir.path().string());
  EXPECT_EQ(help.windowTitle(), QString::fromUtf8("二番目の説明"));
  const QImage shown = form.component("Image1")->pixmap().toImage();
  ASSERT_FALSE(shown.isNull());
  EXPECT_GT(qRed(shown.pixel(400, 300)), 150);

  form.Imageclick();
  EXPECT_TRUE(button->isHidden());  // the menu has no folder button
  for (int i = 0; i < 12; ++i) form.Timer1Timer();
  form.lineclick(form.entry(0));
  std::filesystem::path driven;
  form.driving_form_shown = [&](TForm1& driving) {
    driven = form.last_selection().program_dir;
    driving.close();
  };
  form.Trainclick(form.component("train1"));
  EXPECT_EQ(driven, second.run.dir.path());
  form.backclick();
  EXPECT_FALSE(button->isHidden());  // back on the title picture
  form.close();
}

TEST(TitleForm, ARunFromTheTitleIsRecordedAndItsRecordShownAfterIt) {
  test::ensure_qt_app();
  TitleFolder folder;
  Title t(folder.run.dir.path());
  const std::filesystem::path runs = folder.run.dir / "runs";
  t.form.set_record_folder(runs);
  ASSERT_TRUE(t.form.FormCreate());
  t.form.Timer1Timer();  // no film: the title
  EXPECT_FALSE(t.form.records_button()->isHidden());
  t.form.Imageclick();
  EXPECT_TRUE(t.form.records_button()->isHidden());  // not over the run menu
  for (int i = 0; i < 12; ++i) t.form.Timer1Timer();
  t.form.lineclick(t.form.entry(0));
  int32_t ticks = 0;
  t.form.driving_form_shown = [&](TForm1& driving) {
    driving.start1Click();
    test::process_events_until([&] { return driving.run()->state.tick_count >= 5; }, 5000);
    ticks = driving.run()->state.tick_count;
    driving.close();
  };
  t.form.Trainclick(t.form.component("train1"));
  ASSERT_GE(ticks, 5);
  ASSERT_EQ(list_run_records(runs).size(), 1u);
  ASSERT_NE(t.form.record_form(), nullptr);
  EXPECT_TRUE(t.form.record_form()->isVisible());
  EXPECT_GE(t.form.record_form()->record().samples.size(), 5u);
  std::string error;
  const auto saved = load_run_record(list_run_records(runs)[0], error);
  ASSERT_TRUE(saved) << error;
  EXPECT_EQ(saved->data.samples.size(), t.form.record_form()->record().samples.size());
  EXPECT_TRUE(t.failures.empty());
  t.form.record_form()->close();
  t.form.close();
}

}  // namespace
}  // namespace cabsim
