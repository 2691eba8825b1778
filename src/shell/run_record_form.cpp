// The run record window.
#include "shell/run_record_form.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QVBoxLayout>
#include <cmath>

#include "data/shift_jis.h"
#include "shell/run_chart.h"
#include "shell/run_replay_form.h"

namespace cabsim {
namespace {

/// Run clock units per second.
constexpr int kClockPerSecond = 30;
constexpr int kTicksPerSecond = 10;
/// Height of each table: a few rows in view, the rest scrolled.
constexpr int kTableHeight = 130;

QString from_sjis(const std::string& text) {
  return QString::fromStdString(sjis_to_utf8(text));
}

QTableWidget* make_table(QWidget* parent, const QStringList& headers) {
  auto* t = new QTableWidget(parent);
  t->setColumnCount(static_cast<int>(headers.size()));
  t->setHorizontalHeaderLabels(headers);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->verticalHeader()->setVisible(false);
  t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  return t;
}

void put(QTableWidget* t, int row, int column, const QString& text) {
  auto* item = new QTableWidgetItem(text);
  if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  t->setItem(row, column, item);
}

/// The stop error in words: how far past or short of the stop position.
QString stop_error_text(const StopRecord& s) {
  if (s.stop_error_cm == 0) return QString::fromUtf8("0 cm");
  return QString::fromUtf8("%1 cm %2")
      .arg(std::llabs(s.stop_error_cm))
      .arg(QString::fromUtf8(s.stop_error_cm > 0 ? "行き過ぎ" : "手前"));
}

QString stop_judgement(const StopRecord& s) {
  if (s.start) return QString::fromUtf8("始発");
  if (s.moved) return QString::fromUtf8("移動");
  if (s.doors_opened) return QString::fromUtf8("停止位置の範囲内");
  return QString::fromUtf8(s.in_zone ? "範囲内 (扉開かず)" : "停止位置の範囲外");
}

/// Seconds from `scheduled` to `clock`, signed; "-" without a clock.
QString seconds_after(int32_t clock, int32_t scheduled) {
  if (clock == kNoRecordValue) return QString::fromUtf8("-");
  const double s = static_cast<double>(clock - scheduled) / kClockPerSecond;
  return QString::asprintf("%+.1f", s);
}

}  // namespace

QString clock_text(int32_t clock) {
  if (clock == kNoRecordValue || clock < 0) return QString::fromUtf8("-");
  const int seconds = clock / kClockPerSecond;
  return QString::asprintf("%02d:%02d:%02d", seconds / 3600 % 100, seconds / 60 % 60, seconds % 60);
}

QString event_text(RunEventKind kind) {
  switch (kind) {
    case RunEventKind::kAtsAlarm:
      return QString::fromUtf8("ATS警報");
    case RunEventKind::kProtectionEmergency:
      return QString::fromUtf8("保安装置の非常ブレーキ");
    case RunEventKind::kEmergencyHandle:
      return QString::fromUtf8("非常ブレーキ操作");
    case RunEventKind::kSignalOverrun:
      return QString::fromUtf8("停止信号の冒進");
    case RunEventKind::kLimitExceeded:
      return QString::fromUtf8("制限速度超過");
  }
  return QString();
}

RunRecordForm::RunRecordForm(RunRecordData record, const QString& when, QWidget* parent)
    : QWidget(parent, Qt::Window), record_(std::move(record)) {
  setObjectName("RunRecordForm");
  QString caption = QString::fromUtf8(kRecordWindowTitle) + " - " + from_sjis(record_.route_file);
  if (!when.isEmpty()) caption += " (" + when + ")";
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);

  stops_ =
      make_table(this, {QString::fromUtf8("駅"), QString::fromUtf8("停止位置との差"),
                        QString::fromUtf8("停止"), QString::fromUtf8("到着"),
                        QString::fromUtf8("定刻発車"), QString::fromUtf8("発車"),
                        QString::fromUtf8("発車の遅れ(秒)"), QString::fromUtf8("発車まで余裕(秒)"),
                        QString::fromUtf8("最高速度"), QString::fromUtf8("最大ブレーキ")});
  stops_->setObjectName("stops");
  events_ = make_table(
      this, {QString::fromUtf8("できごと"), QString::fromUtf8("時刻"), QString::fromUtf8("位置(m)"),
             QString::fromUtf8("速度(km/h)"), QString::fromUtf8("制限・照査(km/h)"),
             QString::fromUtf8("超過(km/h)"), QString::fromUtf8("継続(秒)")});
  events_->setObjectName("events");
  fill_stops();
  fill_events();

  chart_ = new QLabel(this);
  chart_->setObjectName("chart");
  chart_->setFixedSize(kChartSize);
  chart_->setPixmap(QPixmap::fromImage(run_chart_image(record_, kChartSize)));

  stops_->setMinimumHeight(kTableHeight);
  events_->setMinimumHeight(kTableHeight);
  layout->addWidget(stops_, 3);
  layout->addWidget(events_, 2);
  layout->addWidget(chart_);
  auto* buttons = new QHBoxLayout;
  save_ = new QPushButton(QString::fromUtf8(kRecordSaveChart), this);
  close_ = new QPushButton(QString::fromUtf8(kRecordClose), this);
  replay_button_ = new QPushButton(QString::fromUtf8(kRecordReplay), this);
  replay_button_->setObjectName("replay");
  buttons->addStretch();
  buttons->addWidget(replay_button_);
  buttons->addWidget(save_);
  buttons->addWidget(close_);
  layout->addLayout(buttons);
  connect(save_, &QPushButton::clicked, this, [this] { ask_and_save_chart(); });
  connect(replay_button_, &QPushButton::clicked, this, [this] { open_replay(); });
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  resize(kChartSize.width() + 24, kChartSize.height() + 2 * kTableHeight + 140);
}

RunRecordForm::~RunRecordForm() = default;

void RunRecordForm::open_replay() {
  if (!replay_) replay_ = std::make_unique<RunReplayForm>(record_);
  replay_->show();
  replay_->raise();
  replay_->activateWindow();
}

void RunRecordForm::fill_stops() {
  stops_->setRowCount(static_cast<int>(record_.stops.size()));
  int row = 0;
  for (const StopRecord& s : record_.stops) {
    put(stops_, row, 0, from_sjis(s.name));
    put(stops_, row, 1, s.start || s.moved ? QString::fromUtf8("-") : stop_error_text(s));
    put(stops_, row, 2, stop_judgement(s));
    put(stops_, row, 3, clock_text(s.arrival_clock));
    put(stops_, row, 4, clock_text(s.scheduled_departure));
    put(stops_, row, 5, clock_text(s.departure_clock));
    put(stops_, row, 6, seconds_after(s.departure_clock, s.scheduled_departure));
    const QString margin =
        s.arrival_clock == kNoRecordValue
            ? QString::fromUtf8("-")
            : QString::asprintf(
                  "%.1f",
                  static_cast<double>(s.scheduled_departure - s.arrival_clock) / kClockPerSecond);
    put(stops_, row, 7, margin);
    // A run that starts or is moved here has no running before it.
    const bool driven = !s.start && !s.moved;
    const QString none = QString::fromUtf8("-");
    put(stops_, row, 8, driven ? QString::asprintf("%.1f km/h", s.top_speed) : none);
    put(stops_, row, 9,
        !driven ? none
        : s.hardest_brake >= s.emergency_brake && s.emergency_brake > 0
            ? QString::fromUtf8("非常")
            : QString::fromUtf8("B%1").arg(s.hardest_brake));
    ++row;
  }
}

void RunRecordForm::fill_events() {
  events_->setRowCount(static_cast<int>(record_.events.size()));
  int row = 0;
  for (const RunEvent& e : record_.events) {
    put(events_, row, 0, event_text(e.kind));
    put(events_, row, 1, clock_text(e.clock));
    put(events_, row, 2, QString::asprintf("%.1f", e.position / 100));
    put(events_, row, 3, QString::asprintf("%.1f", std::fabs(e.speed)));
    put(events_, row, 4,
        e.limit == kNoRecordValue ? QString::fromUtf8("-") : QString::number(e.limit));
    const bool limit = e.kind == RunEventKind::kLimitExceeded;
    put(events_, row, 5, limit ? QString::asprintf("%.1f", e.excess) : QString::fromUtf8("-"));
    put(events_, row, 6,
        limit ? QString::asprintf("%.1f", static_cast<double>(e.ticks) / kTicksPerSecond)
              : QString::fromUtf8("-"));
    ++row;
  }
}

bool RunRecordForm::save_chart(const std::filesystem::path& file) const {
  return run_chart_image(record_, kChartSize).save(QString::fromStdString(file.string()), "PNG");
}

void RunRecordForm::ask_and_save_chart() {
  const QString file = QFileDialog::getSaveFileName(this, QString::fromUtf8(kRecordSaveChart),
                                                    QString::fromUtf8("run.png"), "PNG (*.png)");
  if (file.isEmpty()) return;
  if (!save_chart(file.toStdString()))
    QMessageBox::warning(this, windowTitle(), QString::fromUtf8(kRecordChartNotSaved));
}

}  // namespace cabsim
