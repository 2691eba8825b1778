// The sign column right of the cab view as the driver sees it: signals and
// their neighbours moving and overlapping, signs cut to their components,
// the gradient figure, the crossing pictures, the monitor picture over the
// panel and the timetable card drawn without its bottom-left colour.
#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <limits>

#include "platform/artefacts.h"
#include "platform/qt_app.h"
#include "platform/settings_store_qt.h"
#include "shell/cab_panel.h"
#include "shell/driving_form.h"
#include "shell/run_folder.h"

namespace cabsim {
namespace {

using E = SignElement;

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kYellow = 0xFFFF00;
constexpr uint32_t kCyan = 0x00FFFF;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kOrange = 0xFF8000;
constexpr uint32_t kKey = 0xFF00FF;  // the bottom-left colour of the transparent pictures
constexpr uint32_t kPanelRed = 0xC81E1E;
constexpr uint32_t kCard = 0xF0F0C8;

QImage solid(int w, int h, uint32_t rgb) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(QColor::fromRgb(rgb));
  return image;
}

/// `image` with the rectangle `r` painted `rgb`.
QImage with(QImage image, QRect r, uint32_t rgb) {
  QPainter(&image).fillRect(r, QColor::fromRgb(rgb));
  return image;
}

void save_bmp(const std::filesystem::path& file, const QImage& image) {
  std::filesystem::create_directories(file.parent_path());
  ASSERT_TRUE(image.save(QString::fromStdString(file.string()), "BMP"));
}

/// Runs the event loop until `n` more operation ticks have run (the widgets
/// follow the view after each) and, with `passes`, as many display passes.
void wait_ticks(TForm1& form, int n = 2, bool passes = false) {
  const int32_t tick = form.run()->state.tick_count;
  ASSERT_TRUE(
      test::process_events_until([&] { return form.run()->state.tick_count >= tick + n; }, 10000));
  if (!passes) return;
  int drawn = 0;
  form.on_display_pass = [&drawn](std::chrono::nanoseconds) { ++drawn; };
  const bool done = test::process_events_until([&] { return drawn >= n; }, 10000);
  form.on_display_pass = {};
  ASSERT_TRUE(done);
}

/// A run folder without a film whose route names every image list of the
/// column, with pictures made here:
/// - signals: 0 red, 1 the left half the key colour and the right half green;
/// - signs: 0 the train's stop marker (10 x 10 orange), 1 blue;
/// - others: 0 the left 70 columns blue and the right 30 yellow, 1 a file that
///   is not there, 2 white;
/// - animation: 0 green 10 x 10, 1 not there, 2 blue 15 x 15;
/// - crossing: an orange 20 x 20 picture the list loses when the size changes,
///   then white and cyan (its left column the key colour), 15 x 15;
/// - the monitor at (300, 500): 20 x 10 patterns, yellow then blue, the
///   bottom-left pixel the key colour; the panel red at (0, 384);
/// - the timetable card: 180 x 400, its top 50 rows card colour, the rest the
///   key colour.
struct SignRun {
  explicit SignRun(const std::string& monitor_file = "monitor.bmp") {
    const test::TempDir& dir = folder.dir;
    save_bmp(dir / "signal" / "red.bmp", solid(50, 100, kRed));
    save_bmp(dir / "signal" / "half.bmp", with(solid(50, 100, kGreen), {0, 0, 25, 100}, kKey));
    save_bmp(dir / "sub.bmp", solid(50, 50, kCyan));
    save_bmp(dir / "marker.bmp", solid(10, 10, kOrange));
    save_bmp(dir / "signs" / "勾配.bmp", solid(50, 50, kBlue));
    save_bmp(dir / "limit.bmp", with(solid(100, 75, kBlue), {70, 0, 30, 75}, kYellow));
    save_bmp(dir / "white.bmp", solid(100, 75, kWhite));
    save_bmp(dir / "traffic.bmp", with(solid(100, 75, kGreen), {0, 0, 15, 15}, kRed));
    save_bmp(dir / "anim0.bmp", solid(10, 10, kGreen));
    save_bmp(dir / "anim2.bmp", solid(15, 15, kBlue));
    save_bmp(dir / "cross_big.bmp", solid(20, 20, kOrange));
    save_bmp(dir / "cross0.bmp", solid(15, 15, kWhite));
    save_bmp(dir / "cross1.bmp", with(solid(15, 15, kCyan), {0, 0, 1, 15}, kKey));
    save_bmp(dir / "monitor.bmp",
             with(with(solid(40, 10, kYellow), {20, 0, 20, 10}, kBlue), {0, 9, 1, 1}, kKey));
    save_bmp(dir / "panel.bmp", solid(684, 320, kPanelRed));
    save_bmp(dir / "card.bmp", with(solid(180, 400, kKey), {0, 0, 180, 50}, kCard));
    dir.write_sjis(
        test::kRouteFile,
        test::test_route_text(
            "[Staf]\ncard.bmp\nstill.bmp\n"
            "[SignalImageList]\nsignal\\RED.bmp\nsignal\\half.bmp\n#\n"
            "[SignalImageList2]\nsub.bmp\n#\n"
            "[SignImageList]\nsigns\\勾配.bmp\n#\n"
            "[OtherImageList]\nlimit.bmp\nlimit.wav\nmissing.bmp\nm.wav\nwhite.bmp\nw.wav\n#\n"
            "[TrafficSignalImageList]\ntraffic.bmp\n#\n"
            "[AnimImageList]\nanim0.bmp\nmissing.bmp\nanim2.bmp\n#\n"
            "[CrossImageList]\ncross_big.bmp\ncross0.bmp\ncross1.bmp\n#\n"
            "[Monitor]\ntrain_tz100.dat\n300\n500\n20\n10\n" +
            monitor_file + "\n"));
    // The other signs' sounds, read when the run is assembled.
    for (const char* name : {"limit.wav", "m.wav", "w.wav"})
      dir.write_bytes(name, test::wave_file_bytes(22050, 4410));
    dir.write_sjis("train_tz100.dat", test::TrainFileText{}
                                          .set("[DriveSound]", "run.wav\n#")
                                          .set("[StopLine]", "marker.bmp\nmarker.bmp")
                                          .set("[Panel]", "panel.bmp\n0\n384")
                                          .text());
  }

  /// A form on the run, shown and started; the hook holds `column`, `slope`
  /// and `monitor` against the rules of every tick.
  std::unique_ptr<TForm1> started_form() {
    test::ensure_qt_app();
    auto f = std::make_unique<TForm1>(
        store, ShellServices{{}, {}, [this](const QString& t) { failures.push_back(t); }},
        std::make_unique<CabPanel>());
    EXPECT_TRUE(f->FormCreate(folder.selection()));
    EXPECT_TRUE(failures.empty());
    f->show();
    f->start1Click();
    f->after_operation_tick = [this](Run& r) {
      r.view.signs = column;
      r.view.slope_text = slope;
      r.view.monitor_pattern = monitor;
      r.view.client_width = client_width;
      r.view.timetable_card_left = card_left;
    };
    return f;
  }

  test::RunFolder folder{false};
  QtSettingsStore store{SettingsFiles::in_folder(folder.dir / "settings")};
  std::vector<QString> failures;
  SignColumn column;
  std::string slope;
  int32_t monitor = -1;
  int32_t client_width = TForm1::kClientWidth;
  int32_t card_left = TForm1::kCardLeft;
};

QImage client_of(TForm1& form) {
  return form.centralWidget()->grab().toImage();
}

TEST(DrivingFormSignColumn, ASignalWithBothNeighboursOverlapsThemWhereTheirKeyColourIs) {
  SignRun run;
  auto form = run.started_form();
  EXPECT_EQ(form->sign_column().cell_count(SignList::kSignal), 2);
  run.column.draw(E::kSignalImage, 0);
  run.column.draw(E::kSignalImageL, 1);
  run.column.move(E::kSignalImageL, 688);
  run.column.draw(E::kSignalImageR, 1);
  run.column.move(E::kSignalImageR, 772);
  wait_ticks(*form);
  EXPECT_EQ(form->sign_picture(E::kSignalImageL)->objectName(), QString("SignalImageL"));
  EXPECT_EQ(form->sign_picture(E::kSignalImageL)->geometry(), QRect(688, 75, 50, 100));
  QImage side = client_of(*form);
  test::save_artefact(side, "sign_column_signal_with_neighbours");
  EXPECT_EQ(test::rgb_at(side, 700, 100), 0u);      // the left one's key half over black
  EXPECT_EQ(test::rgb_at(side, 720, 100), kGreen);  // its green half
  EXPECT_EQ(test::rgb_at(side, 735, 100), kGreen);  // over the signal ahead
  EXPECT_EQ(test::rgb_at(side, 750, 100), kRed);
  EXPECT_EQ(test::rgb_at(side, 775, 100), kRed);  // the right one's key half lets it through
  EXPECT_EQ(test::rgb_at(side, 790, 100), 0u);
  EXPECT_EQ(test::rgb_at(side, 800, 100), kGreen);

  // Only a change is drawn again.
  const qint64 drawn = form->sign_picture(E::kSignalImage)->pixmap().cacheKey();
  wait_ticks(*form);
  EXPECT_EQ(form->sign_picture(E::kSignalImage)->pixmap().cacheKey(), drawn);

  // The overlay over the signal: its key half shows the red one below.
  run.column.draw(E::kSignalImageT, 1);
  wait_ticks(*form);
  side = client_of(*form);
  EXPECT_EQ(test::rgb_at(side, 740, 100), kRed);
  EXPECT_EQ(test::rgb_at(side, 770, 100), kGreen);
  EXPECT_EQ(form->sign_picture(E::kSignalImage)->pixmap().cacheKey(), drawn);

  // Cleared, or a cell the list does not have: the black behind shows and
  // the overlay stays.
  for (int32_t cell : {kNoPicture, 2, -1, std::numeric_limits<int32_t>::min()}) {
    run.column.draw(E::kSignalImage, 0);
    wait_ticks(*form, 1);
    run.column.draw(E::kSignalImage, cell);
    wait_ticks(*form);
    side = client_of(*form);
    EXPECT_EQ(test::rgb_at(side, 745, 100), 0u) << cell;
    EXPECT_EQ(test::rgb_at(side, 770, 100), kGreen) << cell;
  }

  // Hidden and shown again; a place far off the form does no harm.
  run.column.draw(E::kSignalImage, 0);
  run.column.show(E::kSignalImage, false);
  wait_ticks(*form);
  EXPECT_EQ(test::rgb_at(client_of(*form), 745, 100), 0u);
  run.column.show(E::kSignalImage, true);
  run.column.move(E::kSignalImageR, std::numeric_limits<int32_t>::max());
  wait_ticks(*form);
  side = client_of(*form);
  EXPECT_EQ(test::rgb_at(side, 745, 100), kRed);
  EXPECT_EQ(test::rgb_at(side, 800, 100), 0u);
  form->close();
}

TEST(DrivingFormSignColumn, SignsAreCutToTheirComponentsAndKeepTheirNumbersPastAMissingPicture) {
  SignRun run;
  auto form = run.started_form();
  const SignColumnPictures& lists = form->sign_column();
  EXPECT_EQ(lists.cell_count(SignList::kSign), 2);  // the stop marker, then the route's
  EXPECT_EQ(lists.cell_count(SignList::kOther), 3);
  EXPECT_EQ(lists.cell(SignList::kOther, 1), nullptr);
  run.column.draw(E::kSpeedLimitImage, 0);
  run.column.draw(E::kOtherImage, 2);
  run.column.draw(E::kSlopeImage, 0);
  run.column.draw(E::kSignalSub, 0);
  run.column.draw(E::kTrafficSignalImage, 0);
  run.column.draw(E::kTrafficSignalImage2, 0);
  run.slope = "-2.5";
  wait_ticks(*form);
  QImage side = client_of(*form);
  test::save_artefact(side, "sign_column_signs");
  // The speed limit shows the left 70 of its 100 columns.
  EXPECT_EQ(test::rgb_at(side, 700, 250), kBlue);
  EXPECT_EQ(test::rgb_at(side, 769, 250), kBlue);
  EXPECT_EQ(test::rgb_at(side, 770, 250), 0u);
  EXPECT_EQ(test::rgb_at(side, 790, 350), kWhite);   // cell 2 after the missing one
  EXPECT_EQ(test::rgb_at(side, 775, 255), kOrange);  // the stop marker, 10 x 10
  EXPECT_EQ(test::rgb_at(side, 790, 270), 0u);
  EXPECT_EQ(test::rgb_at(side, 750, 200), kCyan);
  EXPECT_EQ(test::rgb_at(side, 705, 400), kRed);
  EXPECT_EQ(test::rgb_at(side, 750, 440), kGreen);
  EXPECT_EQ(test::rgb_at(side, 725, 30), kRed);  // the top-left 15 x 15 of the same cell

  // The gradient figure: white on black under the gradient sign.
  QLabel* figure = form->slope_text();
  EXPECT_TRUE(figure->isVisible());
  EXPECT_EQ(figure->text(), QString("-2.5"));
  EXPECT_EQ(figure->geometry(), QRect(772, 300, 50, 18));
  int light = 0;
  for (int y = 302; y < 318; ++y)
    for (int x = 772; x < 822; ++x) light += qGray(side.pixel(x, y)) > 128;
  EXPECT_GT(light, 5);

  run.column.draw(E::kOtherImage, 1);  // the missing picture
  run.column.draw(E::kSlopeImage, 1);
  run.slope.clear();
  wait_ticks(*form);
  side = client_of(*form);
  EXPECT_EQ(test::rgb_at(side, 790, 350), 0u);
  EXPECT_EQ(test::rgb_at(side, 790, 270), kBlue);  // a Shift-JIS name in a sub-folder
  EXPECT_FALSE(figure->isVisible());
  form->close();
}

TEST(DrivingFormSignColumn, CrossingAndAnimationCellsTakeTheSizeTheirListsKeep) {
  SignRun run;
  auto form = run.started_form();
  const SignColumnPictures& lists = form->sign_column();
  // The 20 x 20 picture went when the list changed to 15 x 15.
  EXPECT_EQ(lists.cell_count(SignList::kCross), 2);
  EXPECT_EQ(lists.kept_cell_size(SignList::kCross), QSize(15, 15));
  EXPECT_EQ(lists.kept_cell_size(SignList::kAnim), QSize(10, 10));
  run.column.draw(E::kCrossImage, 0);
  run.column.draw(E::kAnimImage, 2);
  wait_ticks(*form);
  QImage side = client_of(*form);
  EXPECT_EQ(test::rgb_at(side, 710, 50), kWhite);
  EXPECT_FALSE(form->sign_picture(E::kCrossImageSub)->isVisible());  // hidden at the start
  EXPECT_EQ(test::rgb_at(side, 728, 48), 0u);
  EXPECT_EQ(test::rgb_at(side, 742, 30), kBlue);
  EXPECT_EQ(test::rgb_at(side, 750, 38), 0u);  // cut to the first picture's 10 x 10

  run.column.show(E::kCrossImageSub, true);
  run.column.draw(E::kAnimImage, 1);  // not there
  wait_ticks(*form);
  side = client_of(*form);
  test::save_artefact(side, "sign_column_crossing");
  EXPECT_EQ(test::rgb_at(side, 728, 48), kCyan);  // cell 1, drawn at the start
  EXPECT_EQ(test::rgb_at(side, 722, 48), 0u);     // its key column
  EXPECT_EQ(test::rgb_at(side, 742, 30), 0u);
  run.column.show(E::kCrossImageSub, false);
  wait_ticks(*form);
  EXPECT_EQ(test::rgb_at(client_of(*form), 728, 48), 0u);
  form->close();
}

TEST(DrivingFormMonitor, ShowsThePatternTheViewPicksOverThePanel) {
  SignRun run;
  auto form = run.started_form();
  const Sprite* sprite = form->monitor_sprite();
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->depth, TForm1::kMonitorDepth);
  wait_ticks(*form, 2, true);
  EXPECT_FALSE(sprite->visible);
  EXPECT_EQ(test::rgb_at(form->untendai()->shown(), 310, 505), kPanelRed);
  run.monitor = 1;
  wait_ticks(*form, 2, true);
  QImage shown = form->untendai()->shown();
  test::save_artefact(shown, "monitor_pattern_1");
  EXPECT_EQ(test::rgb_at(shown, 310, 505), kBlue);
  EXPECT_EQ(test::rgb_at(shown, 325, 505), kPanelRed);  // one pattern wide
  run.monitor = 0;
  wait_ticks(*form, 2, true);
  shown = form->untendai()->shown();
  EXPECT_EQ(test::rgb_at(shown, 310, 505), kYellow);
  EXPECT_EQ(test::rgb_at(shown, 300, 509), kPanelRed);  // the key pixel
  run.monitor = 2;                                      // the picture has two patterns
  wait_ticks(*form, 2, true);
  EXPECT_EQ(test::rgb_at(form->untendai()->shown(), 310, 505), kPanelRed);
  run.monitor = -1;
  wait_ticks(*form, 2, true);
  EXPECT_EQ(test::rgb_at(form->untendai()->shown(), 310, 505), kPanelRed);
  form->close();
}

TEST(DrivingFormMonitor, AMonitorPictureThatCannotBeLoadedIsNotShown) {
  SignRun run("no_monitor.bmp");
  auto form = run.started_form();
  EXPECT_EQ(form->monitor_sprite(), nullptr);
  run.monitor = 1;
  wait_ticks(*form, 2, true);
  EXPECT_EQ(test::rgb_at(form->untendai()->shown(), 310, 505), kPanelRed);
  form->close();
}

TEST(DrivingFormTimetableCard, IsDrawnWithoutItsBottomLeftColour) {
  SignRun run;
  auto form = run.started_form();
  run.column.draw(E::kSignalImage, 0);
  run.client_width = TForm1::kClientWidth + 180;
  run.card_left = 700;  // moved over the column
  wait_ticks(*form);
  const QImage side = client_of(*form);
  test::save_artefact(side, "timetable_card_over_the_column");
  EXPECT_EQ(form->timetable_card()->geometry(), QRect(700, 0, 180, 400));
  EXPECT_EQ(test::rgb_at(side, 750, 20), kCard);
  EXPECT_EQ(test::rgb_at(side, 750, 100), kRed);  // the signal through the card
  EXPECT_EQ(test::rgb_at(side, 860, 300), 0u);
  form->close();
}

}  // namespace
}  // namespace cabsim
