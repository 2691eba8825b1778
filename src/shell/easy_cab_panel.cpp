// The easy cab panel's window, shapes, buttons and status bar.
#include "shell/easy_cab_panel.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "platform/colour.h"
#include "platform/fonts.h"

namespace cabsim {
namespace {

constexpr int kShapeX = 24;
constexpr int kShapeWidth = 30;
constexpr int kShapeHeight = 15;
constexpr int kFirstBrakeShapeY = 152;  ///< `KB1`; `KBn` is 16 pixels above `KB(n-1)`
constexpr int kNeutralShapeY = 176;
constexpr int kFirstPowerShapeY = 200;  ///< `KP1`; `KPn` is 16 pixels below `KP(n-1)`
constexpr int kShapeStep = 16;
constexpr int kButtonX = 144;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kTallButtonHeight = 49;
constexpr int kStatusBarHeight = 19;

/// Smallest caption font, pixels: a caption wider than its button shrinks to
/// fit, but not below this.
constexpr int kSmallestCaptionPixels = 9;
constexpr int kCaptionMargin = 8;

/// `font` made small enough for `text` to fit `width` pixels.
QFont fitted(QFont font, const QString& text, int width) {
  if (font.pixelSize() <= 0) font.setPixelSize(QFontMetrics(font).height());
  while (font.pixelSize() > kSmallestCaptionPixels &&
         QFontMetrics(font).horizontalAdvance(text) > width - kCaptionMargin)
    font.setPixelSize(font.pixelSize() - 1);
  return font;
}

}  // namespace

IndicatorShape::IndicatorShape(QWidget* parent) : QWidget(parent) {}

void IndicatorShape::set_colour(int32_t bgr) {
  if (bgr == colour_) return;
  colour_ = bgr;
  update();
}

void IndicatorShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setBrush(colour_from_windows(colour_));
  painter.drawRect(0, 0, width() - 1, height() - 1);
}

TForm6::TForm6(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QString::fromUtf8("かんたん運転台"));
  setFixedSize(kClientWidth, kClientHeight);
  install_font_substitutes();
  setFont(make_font(FontSpec{"ＭＳ Ｐゴシック", 12, false, false}));
  setFocusPolicy(Qt::StrongFocus);
  make_shapes();
  make_labels();
  make_buttons();
  status_bar_ = new QStatusBar(this);
  status_bar_->setSizeGripEnabled(false);
  status_bar_->setGeometry(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);
  status_ = new QLabel(status_bar_);  // the one simple panel
  status_->setIndent(2);
  status_bar_->addWidget(status_, 1);
}

void TForm6::make_shapes() {
  for (size_t i = 0; i < kEasyPanelBrakeShapes; ++i) {
    auto* shape = new IndicatorShape(this);
    shape->setObjectName(QStringLiteral("KB%1").arg(i + 1));
    shape->setGeometry(kShapeX, kFirstBrakeShapeY - static_cast<int>(i) * kShapeStep, kShapeWidth,
                       kShapeHeight);
    brake_[i] = shape;
  }
  brake_[kEasyPanelBrakeShapes - 1]->setVisible(false);  // `KB8` is kept but not shown
  neutral_ = new IndicatorShape(this);
  neutral_->setObjectName(QStringLiteral("KN"));
  neutral_->setGeometry(kShapeX, kNeutralShapeY, kShapeWidth, kShapeHeight);
  for (size_t i = 0; i < kEasyPanelPowerShapes; ++i) {
    auto* shape = new IndicatorShape(this);
    shape->setObjectName(QStringLiteral("KP%1").arg(i + 1));
    shape->setGeometry(kShapeX, kFirstPowerShapeY + static_cast<int>(i) * kShapeStep, kShapeWidth,
                       kShapeHeight);
    power_[i] = shape;
  }
}

void TForm6::make_labels() {
  auto label = [this](const char* text, int x, int y) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->move(x, y);
    l->adjustSize();
  };
  label("ブレーキ", 16, 16);
  label("↑", 64, 132);
  label("惰行", 64, 168);
  label("（ニュートラル）", 56, 184);
  label("↓", 64, 204);
  label("加速", 24, 284);
}

QPushButton* TForm6::add_button(int number, const char* caption, QRect place, char key) {
  auto* b = new QPushButton(QString::fromUtf8(caption), this);
  b->setObjectName(QStringLiteral("Button%1").arg(number));
  b->setGeometry(place);
  b->setFont(fitted(font(), b->text(), place.width()));
  b->installEventFilter(this);
  if (key) connect(b, &QPushButton::clicked, this, [this, key] { post(key); });
  buttons_[static_cast<size_t>(number - 1)] = b;
  return b;
}

void TForm6::make_buttons() {
  add_button(1, "減速", {kButtonX, 40, kButtonWidth, kTallButtonHeight}, '2');
  add_button(6, "ニュートラル", {kButtonX, 96, kButtonWidth, kButtonHeight}, '5');
  add_button(2, "加速", {kButtonX, 128, kButtonWidth, kTallButtonHeight}, '8');
  add_button(3, "ドア開閉", {kButtonX, 232, kButtonWidth, kButtonHeight}, '7');
  add_button(4, "案内放送", {kButtonX, 264, kButtonWidth, kButtonHeight}, '1')->setEnabled(false);
  add_button(5, "巻戻し", {168, 292, kButtonX + kButtonWidth - 168, kButtonHeight}, '-')
      ->setEnabled(false);
  QPushButton* reverser = add_button(7, "逆転器", {kButtonX, 324, kButtonWidth, kButtonHeight}, 0);
  connect(reverser, &QPushButton::clicked, this, [this] {
    RunState now;
    now.reverser = current_reverser ? current_reverser() : shown_reverser_;
    if (char key = reverser_button_key(now)) post(key);  // neutral: nothing
  });
}

void TForm6::post(char key) {
  // Handled after the click, as a posted character message is.
  QTimer::singleShot(0, this, [this, key] {
    if (post_character) post_character(key);
  });
}

void TForm6::show_state(const RunState& s, bool doors_not_closed) {
  EasyPanelIndicators lit = easy_panel_indicators(s, doors_not_closed);
  for (size_t i = 0; i < kEasyPanelBrakeShapes; ++i) brake_[i]->set_colour(lit.brake[i]);
  neutral_->set_colour(lit.neutral);
  for (size_t i = 0; i < kEasyPanelPowerShapes; ++i) power_[i]->set_colour(lit.power[i]);
  QString status = QString::fromStdString(lit.status);
  if (status_->text() != status) status_->setText(status);
  shown_reverser_ = s.reverser;
}

IndicatorShape* TForm6::brake_shape(size_t step) const {
  return step >= 1 && step <= kEasyPanelBrakeShapes ? brake_[step - 1] : nullptr;
}

IndicatorShape* TForm6::power_shape(size_t notch) const {
  return notch >= 1 && notch <= kEasyPanelPowerShapes ? power_[notch - 1] : nullptr;
}

QPushButton* TForm6::button(int number) const {
  return number >= 1 && number <= 7 ? buttons_[static_cast<size_t>(number - 1)] : nullptr;
}

QString TForm6::status_text() const {
  return status_->text();
}

void TForm6::keyPressEvent(QKeyEvent* event) {
  if (forward_key) forward_key(*event);
}

bool TForm6::eventFilter(QObject* watched, QEvent* event) {
  // A button with the focus passes its keys on. It keeps only its own keys
  // (space clicks it, tab moves the focus); any other key would otherwise
  // reach the window as well and be passed on twice.
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (forward_key) forward_key(*key);
  int k = key->key();
  return !(k == Qt::Key_Space || k == Qt::Key_Tab || k == Qt::Key_Backtab);
}

}  // namespace cabsim
