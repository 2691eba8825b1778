// The drawing area: back buffer, drawing operations and presenting.
#include "platform/drawing_area.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace cabsim {

DrawingArea::DrawingArea(QWidget* parent) : QWidget(parent) {
  setFixedSize(kWidth, kHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

DrawingArea::~DrawingArea() {
  finalize();
}

void DrawingArea::initialize() {
  if (can_draw()) return;
  // On a scaled screen the picture has the screen's pixels, so that text,
  // needles and lines are drawn at its resolution; everything is still drawn
  // in the area's own 684 x 704 coordinates.
  const qreal ratio = std::max<qreal>(1.0, devicePixelRatioF());
  back_ = QImage(QSize(kWidth, kHeight) * ratio, QImage::Format_RGB32);
  back_.setDevicePixelRatio(ratio);
  back_.fill(Qt::black);
  if (on_initialize) on_initialize();
}

void DrawingArea::finalize() {
  if (!can_draw()) return;
  if (on_finalize) on_finalize();
  back_ = QImage();
}

void DrawingArea::fill(const QColor& colour) {
  if (can_draw()) back_.fill(colour.rgb());
}

void DrawingArea::draw(const Surface& surface, int x, int y, bool transparent) {
  if (!can_draw() || surface.empty()) return;
  QPainter painter(&back_);
  if (transparent) {
    painter.drawImage(x, y, surface.keyed_image());
  } else {
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(x, y, surface.image());
  }
}

void DrawingArea::alpha_fill(const QRect& box, const QColor& colour, int level) {
  if (!can_draw()) return;
  level = std::clamp(level, 0, 255);
  if (level == 0) return;
  QColor laid = colour;
  laid.setAlpha(level);
  QPainter painter(&back_);
  painter.fillRect(box.normalized(), laid);
}

void DrawingArea::present() {
  if (can_draw()) update();
}

void DrawingArea::present(const QRect& changed) {
  // The paint comes with the next refresh of the window; nothing is copied
  // until then.
  if (can_draw() && !changed.isEmpty()) update(changed);
}

double DrawingArea::refresh_interval_ms() const {
  const QScreen* on = screen();
  double hz = on ? on->refreshRate() : 0.0;
  return 1000.0 / (hz >= 1.0 && hz <= 1000.0 ? hz : 60.0);
}

void DrawingArea::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (back_.isNull())
    painter.fillRect(event->rect(), Qt::black);
  else
    painter.drawImage(event->rect(), back_,
                      QRectF(QPointF(event->rect().topLeft()) * back_.devicePixelRatio(),
                             QSizeF(event->rect().size()) * back_.devicePixelRatio()));
}

void DrawingArea::showEvent(QShowEvent* event) {
  initialize();
  QWidget::showEvent(event);
}

}  // namespace cabsim
