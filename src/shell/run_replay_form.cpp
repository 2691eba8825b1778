// The replay window of a run record.
#include "shell/run_replay_form.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "data/shift_jis.h"
#include "platform/film_source_ffmpeg.h"
#include "shell/run_record_form.h"

namespace cabsim {
namespace {

/// The virtual keys' names, in the order of VirtualKey.
constexpr const char* kVirtualKeyNames[] = {
    "BackSpace", "ScrollLock", "Enter", "F1",  "F2",  "F3",     "F4",       "F5",   "F6",   "F7",
    "F8",        "F9",         "F10",   "F11", "F12", "PageUp", "PageDown", "Left", "Right"};
constexpr int32_t kVirtualKeyCount = static_cast<int32_t>(std::size(kVirtualKeyNames));

constexpr const char* kMenuSwitchNames[kRunMenuSwitches] = {"解説あり", "喚呼なし", "入門モード",
                                                            "視覚効果OFF", "デバッグオプション"};
constexpr const char* kTrainSettingNames[] = {"ATS 入", "ATS 切", "エンジン始動", "エンジン停止"};
constexpr const char* kControllerNames[] = {"標準/TSマスコン", "電車でGO! Windows版",
                                            "電車でGO! PlayStation版", "OHC-PC01"};

QString u(const char* text) {
  return QString::fromUtf8(text);
}

/// `names[code]`, or the number itself for a code outside the table.
template <size_t N>
QString named(const char* const (&names)[N], int32_t code) {
  if (code >= 0 && static_cast<size_t>(code) < N) return u(names[code]);
  return QString::number(code);
}

QString character_text(int32_t code) {
  if (code == ' ') return u("Space");
  if (code > ' ' && code < 0x7F) return QString(QChar(code));
  return QString::asprintf("0x%02X", static_cast<unsigned>(code) & 0xFFu);
}

/// The film time of `ms` as "m:ss.s".
QString play_time(int64_t ms) {
  const int64_t tenths = ms / 100;
  return QString::asprintf("%lld:%02lld.%lld", static_cast<long long>(tenths / 600),
                           static_cast<long long>(tenths / 10 % 60),
                           static_cast<long long>(tenths % 10));
}

}  // namespace

QString input_text(const RecordedInput& x) {
  const RunInput& in = x.input;
  switch (in.kind) {
    case RunInputKind::kCharacter:
      return u("キー ") + character_text(in.code);
    case RunInputKind::kVirtualKey: {
      const QString key = in.code >= 0 && in.code < kVirtualKeyCount ? u(kVirtualKeyNames[in.code])
                                                                     : QString::number(in.code);
      return u("キー ") + (in.value ? u("Shift+") : QString()) + key;
    }
    case RunInputKind::kWheel:
      return u(in.value ? "ホイール 上" : "ホイール 下");
    case RunInputKind::kSerialLine: {
      const std::string_view line = in.line();
      return u("シリアル ") + QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    }
    case RunInputKind::kJoystick:
      return u("パッド ボタン ") + QString::asprintf("%04X", static_cast<unsigned>(in.code)) +
             u(" 軸の和 ") + QString::number(in.value);
    case RunInputKind::kMove:
      return u("移動 駅 ") + QString::number(in.code);
    case RunInputKind::kSave:
      return u("状態の保存 ") + QString::number(in.code);
    case RunInputKind::kRestore:
      return u("状態の復元 ") + QString::number(in.code);
    case RunInputKind::kTrainSetting:
      return u("列車設定 ") + named(kTrainSettingNames, in.code);
    case RunInputKind::kMenuSwitch:
      return u("メニュー ") + named(kMenuSwitchNames, in.code) + u(in.value ? " 入" : " 切");
    case RunInputKind::kController:
      return u("コントローラ ") + named(kControllerNames, in.code);
    case RunInputKind::kStart:
      return u("運転開始・一時停止");
  }
  return QString::number(static_cast<int>(in.kind));
}

RunReplayForm::RunReplayForm(RunRecordData record, QWidget* parent)
    : QWidget(parent, Qt::Window),
      record_(std::move(record)),
      film_(std::make_unique<FilmSourceFfmpeg>()) {
  setObjectName("RunReplayForm");
  setWindowTitle(u(kReplayWindowTitle) + " - " +
                 QString::fromStdString(sjis_to_utf8(record_.route_file)));
  build_widgets();
  pass_.setTimerType(Qt::PreciseTimer);
  connect(&pass_, &QTimer::timeout, this, [this] { on_pass(); });
  pass_.start(kPassMs);
  seek_ms(0);
}

RunReplayForm::~RunReplayForm() {
  pass_.stop();
  film_->close();
}

void RunReplayForm::build_widgets() {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  picture_ = new QLabel(this);
  picture_->setObjectName("picture");
  picture_->setFixedSize(kPictureSize);
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setStyleSheet("background: black; color: white;");
  top->addWidget(picture_);
  auto* side = new QVBoxLayout;
  values_ = new QLabel(this);
  values_->setObjectName("values");
  values_->setMinimumWidth(260);
  values_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont big = values_->font();
  big.setPointSize(big.pointSize() + 3);
  values_->setFont(big);
  side->addWidget(values_);
  side->addWidget(new QLabel(u(kReplayInputs), this));
  inputs_ = new QListWidget(this);
  inputs_->setObjectName("inputs");
  side->addWidget(inputs_, 1);
  top->addLayout(side, 1);
  layout->addLayout(top);

  note_ = new QLabel(this);
  note_->setObjectName("note");
  layout->addWidget(note_);
  auto* controls = new QHBoxLayout;
  play_ = new QPushButton(u(kReplayPlay), this);
  play_->setObjectName("play");
  rate_button_ = new QPushButton(u("1倍"), this);
  rate_button_->setObjectName("rate");
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName("position");
  slider_->setRange(0, std::max<int>(0, static_cast<int>(record_.samples.size()) - 1));
  time_ = new QLabel(this);
  time_->setObjectName("time");
  close_ = new QPushButton(u(kRecordClose), this);
  controls->addWidget(play_);
  controls->addWidget(rate_button_);
  controls->addWidget(slider_, 1);
  controls->addWidget(time_);
  controls->addWidget(close_);
  layout->addLayout(controls);

  connect(play_, &QPushButton::clicked, this, [this] { playing_ ? pause() : play(); });
  connect(rate_button_, &QPushButton::clicked, this,
          [this] { set_rate(rate_ == 1 ? kFastRate : 1); });
  connect(slider_, &QSlider::valueChanged, this,
          [this](int index) { seek_ms(int64_t{index} * kSampleMs); });
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  if (record_.samples.empty()) {
    play_->setEnabled(false);
    note_->setText(u(kReplayNoSamples));
  }
}

int64_t RunReplayForm::length_ms() const {
  return std::max<int64_t>(0, static_cast<int64_t>(record_.samples.size()) - 1) * kSampleMs;
}

void RunReplayForm::play() {
  if (record_.samples.empty()) return;
  // At the end, playing starts again from the beginning.
  if (position_ms_ >= length_ms()) seek_ms(0);
  playing_ = true;
  since_pass_.start();
  play_->setText(u(kReplayPause));
}

void RunReplayForm::pause() {
  playing_ = false;
  play_->setText(u(kReplayPlay));
}

void RunReplayForm::set_rate(int rate) {
  rate_ = rate == kFastRate ? kFastRate : 1;
  rate_button_->setText(QString::number(rate_) + u("倍"));
}

void RunReplayForm::on_pass() {
  if (playing_) {
    const int64_t elapsed = since_pass_.restart();
    position_ms_ = std::min(length_ms(), position_ms_ + elapsed * rate_);
    show_sample(static_cast<int32_t>(position_ms_ / kSampleMs));
    if (position_ms_ >= length_ms()) pause();
  }
  // A frame still being decoded is asked for again.
  if (!frame_exact_) fetch_frame(std::chrono::milliseconds(0));
}

void RunReplayForm::seek_ms(int64_t ms, std::chrono::milliseconds wait) {
  position_ms_ = std::clamp<int64_t>(ms, 0, length_ms());
  show_sample(static_cast<int32_t>(position_ms_ / kSampleMs));
  if (!frame_exact_) fetch_frame(wait);
}

void RunReplayForm::show_sample(int32_t index) {
  if (record_.samples.empty()) {
    shown_sample_ = kNoRecordValue;
    values_->clear();
    return;
  }
  index = std::clamp<int32_t>(index, 0, static_cast<int32_t>(record_.samples.size()) - 1);
  time_->setText(play_time(position_ms_) + " / " + play_time(length_ms()));
  if (index == shown_sample_) return;
  shown_sample_ = index;
  const RunSample& x = record_.samples[static_cast<size_t>(index)];
  {
    QSignalBlocker quiet(slider_);  // the slider follows; it does not seek
    slider_->setValue(index);
  }
  show_values(x);
  follow_inputs(index);
  open_film(x.film);
  frame_exact_ = false;
  fetch_frame(std::chrono::milliseconds(0));
}

void RunReplayForm::show_values(const RunSample& x) {
  const int brake = x.brake_notch;
  QString brake_text = brake == 0 ? u("切") : QString("B%1").arg(brake);
  if (record_.brake_steps > 0 && brake >= record_.brake_steps) brake_text = u("非常");
  QString text = u("時刻　") + clock_text(x.clock) + "\n";
  text += u("速度　") + QString::number(std::lround(std::fabs(x.speed))) + " km/h\n";
  text += u("力行　") + (x.power_notch == 0 ? u("切") : QString("P%1").arg(x.power_notch)) + "\n";
  text += u("制動　") + brake_text + "\n";
  text += u("制限　") +
          (x.limit == kNoRecordValue ? u("なし") : QString::number(x.limit) + " km/h") + "\n";
  if (x.pattern != kNoRecordValue) text += u("パターン　") + QString::number(x.pattern) + " km/h\n";
  text += u("位置　") + QString::number(x.position / 100, 'f', 1) + " m";
  values_->setText(text);
}

void RunReplayForm::follow_inputs(int32_t index) {
  // An input shows from the first sample after it; going back takes the
  // later ones off the list again.
  const auto passed = [&](size_t i) { return record_.inputs[i].sample <= index; };
  if (inputs_shown_ > 0 && !passed(inputs_shown_ - 1)) {
    while (inputs_shown_ > 0 && !passed(inputs_shown_ - 1)) --inputs_shown_;
    while (inputs_->count() > static_cast<int>(inputs_shown_))
      delete inputs_->takeItem(inputs_->count() - 1);
  }
  const size_t before = inputs_shown_;
  while (inputs_shown_ < record_.inputs.size() && passed(inputs_shown_)) {
    const RecordedInput& x = record_.inputs[inputs_shown_];
    inputs_->addItem(clock_text(x.clock) + "  " + input_text(x));
    ++inputs_shown_;
  }
  if (inputs_shown_ != before) inputs_->scrollToBottom();
}

void RunReplayForm::open_film(int32_t film) {
  if (film == open_film_) return;
  open_film_ = film;
  film_->close();
  shown_frame_ = kNoRecordValue;
  if (film >= 0 && static_cast<size_t>(film) < record_.films.size())
    film_failed_ = !film_->open(record_.films[static_cast<size_t>(film)]).empty();
  else
    film_failed_ = true;
  if (film_failed_) {
    frame_ = Bitmap(kPictureSize.width(), kPictureSize.height());  // black
    shown_frame_ = kNoRecordValue;
    picture_->setPixmap(QPixmap::fromImage(frame_.image()));
  }
  if (!record_.samples.empty()) note_->setText(film_failed_ ? u(kReplayNoFilm) : QString());
}

void RunReplayForm::fetch_frame(std::chrono::milliseconds wait) {
  if (shown_sample_ < 0) return;
  const RunSample& x = record_.samples[static_cast<size_t>(shown_sample_)];
  // No film, or no frame on show at that tick: the last picture stays.
  if (film_failed_ || x.frame < 0 || !film_->is_open()) {
    frame_exact_ = true;
    return;
  }
  const FilmFrame got = film_->frame(x.frame, wait);
  if (!got.picture) return;
  if (got.number != shown_frame_ || frame_.empty()) {
    frame_.copy_from(*got.picture);
    shown_frame_ = got.number;
    picture_->setPixmap(QPixmap::fromImage(
        frame_.image().scaled(kPictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  }
  frame_exact_ = got.exact || got.number == x.frame;
}

QImage RunReplayForm::picture() const {
  return frame_.image();
}

}  // namespace cabsim
