// The value display's widgets and how they follow the run.
#include "shell/value_display_form.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace cabsim {
namespace {

constexpr int kGridSide = 10;
constexpr int kCellWidth = 44;
constexpr int kCellHeight = 18;
/// Bars: brake cylinders up to 1000 kPa, the electric brake up to 1000 A.
constexpr int kBarTop = 1000;

QProgressBar* make_bar(const char* name, QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(name);
  bar->setRange(0, kBarTop);
  bar->setTextVisible(false);
  bar->setFixedHeight(4);
  return bar;
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Form3");
  setWindowTitle(kCaption);
  // Two columns of rows, small type: the form fits beside the driving form
  // on a 1366 x 768 screen.
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(4);
  auto* rows = new QGridLayout;
  rows->setHorizontalSpacing(8);
  rows->setVerticalSpacing(1);
  constexpr size_t kRowsPerColumn = (kValueRows + 1) / 2;
  for (size_t i = 0; i < kValueRows; ++i) {
    const int r = static_cast<int>(i % kRowsPerColumn);
    const int c = static_cast<int>(i / kRowsPerColumn) * 2;
    auto* caption = new QLabel(
        QString::fromUtf8(kValueCaptions[i].data(), static_cast<int>(kValueCaptions[i].size())),
        this);
    values_[i] = new QLabel(this);
    values_[i]->setObjectName(QString("value%1").arg(i));
    values_[i]->setMinimumWidth(110);
    values_[i]->setWordWrap(true);  // a long value takes a second line
    rows->addWidget(caption, r, c, Qt::AlignTop);
    // A bar or the second line of a row goes under its value.
    auto* cell = new QVBoxLayout;
    cell->setSpacing(0);
    cell->addWidget(values_[i]);
    const auto row = static_cast<ValueRow>(i);
    if (row == ValueRow::kBrakeM) cell->addWidget(bar_motor_ = make_bar("Bar_Press0", this));
    if (row == ValueRow::kBrakeT) cell->addWidget(bar_trailer_ = make_bar("Bar_Press1", this));
    if (row == ValueRow::kBrakeE) cell->addWidget(bar_electric_ = make_bar("Bar_Press6", this));
    if (row == ValueRow::kAhead) cell->addWidget(ahead_between_ = new QLabel(this));
    rows->addLayout(cell, r, c + 1);
  }
  layout->addLayout(rows);
  signal_ = new QLabel(this);
  signal_->setObjectName("Signal");
  layout->addWidget(signal_);
  auto* ahead = new QGridLayout;
  ahead->setVerticalSpacing(0);
  for (size_t k = 0; k < kSignalsAhead; ++k) {
    signals_ahead_[k] = new QLabel(this);
    signals_ahead_[k]->setObjectName(QString("signal%1").arg(k + 1));
    ahead->addWidget(new QLabel(QString("signal%1").arg(k + 1), this), 0, static_cast<int>(k));
    ahead->addWidget(signals_ahead_[k], 1, static_cast<int>(k));
  }
  layout->addLayout(ahead);

  grid_ = new QTableWidget(kGridSide, kGridSide, this);
  grid_->setObjectName("StringGrid1");
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QFont tiny = small;
  tiny.setPointSize(7);
  grid_->setFont(tiny);  // "-10000" fits a cell
  grid_->setStyleSheet("QTableWidget::item { padding: 0px; }");
  for (int c = 0; c < kGridSide; ++c) grid_->setColumnWidth(c, kCellWidth);
  for (int row = 0; row < kGridSide; ++row) grid_->setRowHeight(row, kCellHeight);
  for (int row = 0; row < kGridSide; ++row)
    for (int c = 0; c < kGridSide; ++c) grid_->setItem(row, c, new QTableWidgetItem);
  grid_->setFixedSize(kGridSide * kCellWidth + 4, kGridSide * kCellHeight + 4);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int column) {
    if (channel_selected) channel_selected(row * kGridSide + column);
  });
  layout->addWidget(grid_);

  auto* tools = new QHBoxLayout;
  const char* captions[] = {"SU再読込", "jump", "抵抗解除"};
  for (int i = 0; i < 3; ++i) {
    buttons_[static_cast<size_t>(i)] = new QPushButton(QString::fromUtf8(captions[i]), this);
    buttons_[static_cast<size_t>(i)]->setObjectName(QString("Button%1").arg(i + 1));
    buttons_[static_cast<size_t>(i)]->setFocusPolicy(Qt::NoFocus);
  }
  edit_ = new QLineEdit(this);
  edit_->setObjectName("Edit1");
  tools->addWidget(buttons_[0]);
  tools->addWidget(edit_);
  tools->addWidget(buttons_[1]);
  tools->addWidget(buttons_[2]);
  layout->addLayout(tools);
  connect(buttons_[0], &QPushButton::clicked, this, [this] {
    if (reload_speed_units) reload_speed_units();
  });
  connect(buttons_[1], &QPushButton::clicked, this, [this] {
    if (jump) jump(edit_->text());
  });
  connect(buttons_[2], &QPushButton::clicked, this, [this] {
    if (toggle_resistance) toggle_resistance();
  });
  grid_->installEventFilter(this);
}

QProgressBar* TForm3::bar(int n) const {
  return n == 0 ? bar_motor_ : n == 1 ? bar_trailer_ : n == 6 ? bar_electric_ : nullptr;
}

QPushButton* TForm3::button(int number) const {
  return number >= 1 && number <= 3 ? buttons_[static_cast<size_t>(number - 1)] : nullptr;
}

void TForm3::show_values(const ValueDisplay& v) {
  auto set = [](QLabel* label, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (label->text() != shown) label->setText(shown);
  };
  for (size_t i = 0; i < kValueRows; ++i) set(values_[i], v.values[i]);
  set(signal_, v.signal);
  set(ahead_between_, v.ahead_between);
  for (size_t k = 0; k < kSignalsAhead; ++k) set(signals_ahead_[k], v.signals_ahead[k]);
  bar_motor_->setValue(std::clamp(v.bar_motor, 0, kBarTop));
  bar_trailer_->setValue(std::clamp(v.bar_trailer, 0, kBarTop));
  bar_electric_->setValue(std::clamp(v.bar_electric, 0, kBarTop));
}

void TForm3::show_sounds(const SoundChannels& sounds) {
  const QColor playing(0, 255, 255);
  const QBrush window = palette().brush(QPalette::Base);
  for (int channel = 0; channel < kGridChannels; ++channel) {
    QTableWidgetItem* cell = grid_->item(channel / kGridSide, channel % kGridSide);
    const bool on = sounds.status(channel) != ChannelStatus::kStopped;
    const QString text = on ? QString::number(sounds.volume(channel)) : QString();
    if (cell->text() != text) cell->setText(text);
    const QBrush fill = on ? QBrush(playing) : window;
    if (cell->background() != fill) cell->setBackground(fill);
  }
}

void TForm3::show_resistance_off(bool off) {
  QFont font = buttons_[2]->font();
  if (font.bold() == off) return;
  font.setBold(off);
  buttons_[2]->setFont(font);
}

void TForm3::keyPressEvent(QKeyEvent* event) {
  if (forward_key) forward_key(event);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
  // The grid takes the arrow keys for itself otherwise; they drive the train.
  if (watched == grid_ && event->type() == QEvent::KeyPress) {
    if (forward_key) forward_key(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace cabsim
