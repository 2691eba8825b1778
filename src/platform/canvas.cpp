// The canvas: lines, boxes and text on an image.
#include "platform/canvas.h"

namespace cabsim {

Canvas::Canvas(QImage& image, std::function<void()> on_release)
    : painter_(&image),
      font_(make_font(font_spec_)),
      metrics_(font_),
      on_release_(std::move(on_release)) {
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setFont(font_);
}

Canvas::~Canvas() {
  painter_.end();
  if (on_release_) on_release_();
}

void Canvas::set_font(const FontSpec& font) {
  if (font == font_spec_) return;
  font_spec_ = font;
  font_ = make_font(font_spec_);
  metrics_ = QFontMetrics(font_);
  painter_.setFont(font_);
}

void Canvas::set_brush(BrushStyle style, const QColor& colour) {
  brush_style_ = style;
  brush_colour_ = colour;
}

void Canvas::set_pen(const QColor& colour, int width) {
  pen_colour_ = colour;
  pen_width_ = std::max(1, width);
}

void Canvas::fill_rect(const QRect& box) {
  if (brush_style_ == BrushStyle::kClear) return;
  painter_.fillRect(box.normalized(), brush_colour_);
}

void Canvas::line(QPoint from, QPoint to) {
  painter_.setPen(QPen(pen_colour_, pen_width_));
  if (from == to)
    painter_.drawPoint(from);
  else
    painter_.drawLine(from, to);
  pen_at_ = to;
}

void Canvas::line_to(QPoint to) {
  line(pen_at_, to);
}

void Canvas::text_out(int x, int y, const QString& text) {
  if (text.isEmpty()) return;
  if (brush_style_ == BrushStyle::kSolid)
    painter_.fillRect(QRect(x, y, metrics_.horizontalAdvance(text), metrics_.height()),
                      brush_colour_);
  painter_.setPen(font_colour_);
  painter_.drawText(QPoint(x, y + metrics_.ascent()), text);
}

int Canvas::text_width(const QString& text) const {
  return metrics_.horizontalAdvance(text);
}

int Canvas::text_height(const QString& text) const {
  (void)text;  // every line of a font has the same cell height
  return metrics_.height();
}

void Canvas::text_centred(const QRect& box, const QString& text) {
  if (text.isEmpty()) return;
  QString line = text;
  line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
  int x = box.x() + (box.width() - text_width(line)) / 2;
  int y = box.y() + (box.height() - metrics_.height()) / 2;
  painter_.save();
  painter_.setClipRect(box);
  text_out(x, y, line);
  painter_.restore();
}

}  // namespace cabsim
