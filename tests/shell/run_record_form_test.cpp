// The run record window: the chart drawn offscreen and probed where its
// lines must be, the tables and the PNG, and the title opening saved records,
// a damaged one with its message.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/qt_app.h"
#include "platform/run_record_file.h"
#include "platform/settings_store_qt.h"
#include "shell/run_chart.h"
#include "shell/run_record_form.h"
#include "shell/title_form.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

/// Speed of the made-up run at `cm`: up to 60 km/h over the first 400 m,
/// level to 700 m, down to a stand at 1000 m.
double speed_at(double cm) {
  if (cm < 40000) return 60 * cm / 40000;
  if (cm < 70000) return 60;
  return 60 * (100000 - cm) / 30000;
}

/// A run of 1 km to a stop at 1000 m: limit 80 then 45 from 600 m, an
/// ATS-P pattern over the last 300 m, power to 400 m, brake 4 from 700 m.
RunRecordData made_up_run() {
  RunRecordData r;
  r.route_file = "line_up_827M.dat";
  r.brake_steps = 8;
  StopRecord s;
  s.station = 1;
  s.name = "stop";
  s.stop_position = 100000;
  s.stop_error_cm = 12;
  s.half_zone = 300;
  s.doors_opened = s.in_zone = true;
  s.arrival_clock = 30 * 3600 * 8;
  s.scheduled_departure = s.arrival_clock + 30 * 20;
  s.departure_clock = s.scheduled_departure + 45;
  r.stops.push_back(s);
  RunEvent e;
  e.kind = RunEventKind::kLimitExceeded;
  e.clock = s.arrival_clock - 600;
  e.position = 65000;
  e.speed = 60;
  e.limit = 45;
  e.excess = 15;
  e.ticks = 55;
  r.events.push_back(e);
  for (int i = 0; i <= 1000; ++i) {
    RunSample x;
    x.tick = i + 1;
    x.position = i * 100.0;
    x.speed = static_cast<float>(speed_at(x.position));
    x.limit = x.position < 60000 ? 80 : 45;
    x.pattern = x.position >= 70000 ? static_cast<int16_t>(45 * (100000 - x.position) / 30000 + 5)
                                    : kNoRecordValue;
    x.power_notch = x.position < 40000 ? 4 : 0;
    x.brake_notch = x.position >= 70000 ? 4 : 0;
    r.samples.push_back(x);
  }
  return r;
}

/// True when a pixel within `reach` of (x, y) has `colour` exactly.
bool colour_near(const QImage& image, int x, int y, const QColor& colour, int reach = 2) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx) {
      const QPoint p(x + dx, y + dy);
      if (image.rect().contains(p) && image.pixelColor(p) == colour) return true;
    }
  return false;
}

TEST(RunChart, EachLineIsDrawnWhereItsValuesAre) {
  test::ensure_qt_app();
  const RunRecordData r = made_up_run();
  const QSize size = RunRecordForm::kChartSize;
  const QImage image = run_chart_image(r, size);
  const RunChartScale sc = run_chart_scale(r, QRect(QPoint(0, 0), size));
  EXPECT_EQ(sc.top_kmh, 90);  // the highest value (the limit 80) and a margin, rounded up
  EXPECT_EQ(sc.x_of(0), sc.speed_area.left());
  EXPECT_EQ(sc.x_of(100000), sc.speed_area.left() + sc.speed_area.width());

  // The speed on its ramp, at its level and on the way down.
  for (double cm : {20000.0, 55000.0, 85000.0})
    EXPECT_TRUE(colour_near(image, sc.x_of(cm), sc.y_of(speed_at(cm)), kChartSpeed)) << cm;
  // The limit, before and after it comes down, and its step at 600 m.
  EXPECT_TRUE(colour_near(image, sc.x_of(30000), sc.y_of(80), kChartLimit));
  EXPECT_TRUE(colour_near(image, sc.x_of(80000), sc.y_of(45), kChartLimit));
  EXPECT_TRUE(colour_near(image, sc.x_of(60000), sc.y_of(62), kChartLimit));
  // The pattern only where there was one.
  EXPECT_TRUE(colour_near(image, sc.x_of(90000), sc.y_of(20), kChartPattern));
  for (int y = sc.speed_area.top(); y <= sc.speed_area.bottom(); ++y)
    ASSERT_NE(image.pixelColor(sc.x_of(30000), y), kChartPattern) << y;
  // The station's line through the plot at its stop position.
  int green = 0;
  for (int y = sc.speed_area.top(); y <= sc.speed_area.bottom(); ++y)
    green += image.pixelColor(sc.x_of(100000), y) == kChartStation;
  EXPECT_GT(green, sc.speed_area.height() / 4);
  // The notches beneath: power above the middle to 400 m, brake below from
  // 700 m, nothing between.
  const int mid = sc.notch_y(0);
  EXPECT_EQ(image.pixelColor(sc.x_of(20000), (mid + sc.notch_y(4)) / 2), kChartPower);
  EXPECT_EQ(image.pixelColor(sc.x_of(85000), (mid + sc.notch_y(-4)) / 2), kChartBrake);
  EXPECT_EQ(image.pixelColor(sc.x_of(55000), (mid + sc.notch_y(4)) / 2), kChartBackground);
  EXPECT_EQ(image.pixelColor(sc.x_of(55000), (mid + sc.notch_y(-4)) / 2), kChartBackground);
  // Nothing is drawn above the speed where no line runs.
  EXPECT_FALSE(colour_near(image, sc.x_of(20000), sc.y_of(55), kChartSpeed, 3));
}

TEST(RunChart, AnEmptyOrOddRecordDrawsWithoutFault) {
  test::ensure_qt_app();
  RunRecordData empty;
  EXPECT_FALSE(run_chart_image(empty, {400, 200}).isNull());
  RunRecordData one = made_up_run();
  one.samples.resize(1);  // one point: no span to spread over
  one.samples[0].position = -5e9;
  EXPECT_FALSE(run_chart_image(one, {400, 200}).isNull());
}

TEST(RunRecordForm, TablesShowTheFiguresAndTheChartSavesAsPng) {
  test::ensure_qt_app();
  test::TempDir dir;
  RunRecordForm form(made_up_run(), "2026-12-09 10:10:10");
  ASSERT_EQ(form.stop_table()->rowCount(), 1);
  EXPECT_EQ(form.stop_table()->item(0, 1)->text(), QString::fromUtf8("12 cm 行き過ぎ"));
  EXPECT_EQ(form.stop_table()->item(0, 3)->text(), "08:00:00");
  EXPECT_EQ(form.stop_table()->item(0, 6)->text(), "+1.5");  // left 45/30 s late
  EXPECT_EQ(form.stop_table()->item(0, 7)->text(), "20.0");  // arrived 20 s before
  ASSERT_EQ(form.event_table()->rowCount(), 1);
  EXPECT_EQ(form.event_table()->item(0, 0)->text(), QString::fromUtf8("制限速度超過"));
  EXPECT_EQ(form.event_table()->item(0, 5)->text(), "15.0");
  EXPECT_EQ(form.event_table()->item(0, 6)->text(), "5.5");
  EXPECT_TRUE(form.windowTitle().contains("2026-12-09"));

  ASSERT_TRUE(form.save_chart(dir / "chart.png"));
  const QImage saved(QString::fromStdString((dir / "chart.png").string()));
  EXPECT_EQ(saved.size(), RunRecordForm::kChartSize);
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
            run_chart_image(form.record(), RunRecordForm::kChartSize));
  EXPECT_FALSE(form.save_chart(dir / "missing" / "folder" / "chart.png"));
}

TEST(RunRecordForm, TheTitleOpensSavedRecordsAndNamesADamagedOne) {
  test::ensure_qt_app();
  test::TempDir dir;
  std::vector<QString> messages;
  QtSettingsStore store(SettingsFiles::in_folder(dir / "settings"));
  TForm5 title(dir.path(), store,
               {{}, [&](const QString& t) { messages.push_back(t); }, [](const QString&) {}});
  const auto folder = dir / "runs";
  title.set_record_folder(folder);
  std::string error;
  const auto good = save_run_record(made_up_run(), folder, "20261209-101010-000", error);
  const auto bad = save_run_record(made_up_run(), folder, "20261209-111010-000", error);
  ASSERT_TRUE(good && bad) << error;
  dir.write_bytes("runs/20261209-111010-000.csv", "tick,clock\n1,2\n");

  EXPECT_FALSE(title.open_run_record(*bad));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].startsWith(QString::fromUtf8(kRecordDamaged)));
  EXPECT_EQ(title.record_form(), nullptr);
  EXPECT_TRUE(title.open_run_record(*good));
  ASSERT_NE(title.record_form(), nullptr);
  EXPECT_TRUE(title.record_form()->isVisible());
  EXPECT_EQ(title.record_form()->record().stops.size(), 1u);
  // Both stay listed: the damaged one is named when opened, never removed.
  EXPECT_EQ(list_run_records(folder).size(), 2u);
  title.record_form()->close();
}

}  // namespace
}  // namespace cabsim
