// Drawing the sprites in depth order.
#include "platform/sprite_engine.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace cabsim {
namespace {

Sprite& make(std::vector<std::unique_ptr<Sprite>>& sprites, const Picture* picture, bool rotating) {
  auto sprite = std::make_unique<Sprite>();
  sprite->picture = picture;
  sprite->rotating = rotating;
  if (picture) {
    sprite->width = picture->pattern_width();
    sprite->height = picture->pattern_height();
  }
  sprites.push_back(std::move(sprite));
  return *sprites.back();
}

/// Integer pixel position of a sprite edge (the fraction is dropped).
int pixel_of(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int>(std::clamp(std::trunc(v), -1.0e6, 1.0e6));
}

void draw_one(QPainter& painter, const Sprite& s) {
  const Picture& picture = *s.picture;
  QRect cell = picture.pattern_rect(s.pattern);
  if (cell.isEmpty() || s.width <= 0 || s.height <= 0) return;
  const QImage& image = picture.drawn_image();
  int x = pixel_of(s.x), y = pixel_of(s.y);
  int turn = ((s.angle % Sprite::kAngleUnitsPerTurn) + Sprite::kAngleUnitsPerTurn) %
             Sprite::kAngleUnitsPerTurn;
  int alpha = s.rotating ? std::clamp(s.alpha, 0, 255) : 255;
  if (alpha == 0) return;
  if (!s.rotating) {  // a plain sprite shows its pattern at its own size
    painter.drawImage(QPoint(x, y), image, cell);
    return;
  }
  if (turn == 0 && alpha == 255) {
    painter.drawImage(QRect(x, y, s.width, s.height), image, cell);
    return;
  }
  painter.save();
  painter.setOpacity(alpha / 255.0);
  if (turn != 0) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.translate(x + s.width / 2.0, y + s.height / 2.0);
    painter.rotate(turn * 360.0 / Sprite::kAngleUnitsPerTurn);
    painter.drawImage(QRectF(-s.width / 2.0, -s.height / 2.0, s.width, s.height), image, cell);
  } else {
    painter.drawImage(QRect(x, y, s.width, s.height), image, cell);
  }
  painter.restore();
}

}  // namespace

Sprite& SpriteEngine::add_sprite(const Picture* picture) {
  return make(sprites_, picture, false);
}

Sprite& SpriteEngine::add_rotating_sprite(const Picture* picture) {
  return make(sprites_, picture, true);
}

void SpriteEngine::draw(QImage& target) const {
  if (target.isNull()) return;
  QPainter painter(&target);
  draw(painter);
}

void SpriteEngine::draw(QPainter& painter) const {
  order_.clear();
  for (const auto& s : sprites_)
    if (s->visible && s->picture) order_.push_back(s.get());
  // Insertion keeps equal depths in making order without the buffer a
  // stable sort takes; the panel has a few dozen sprites.
  for (size_t i = 1; i < order_.size(); ++i)
    for (size_t j = i; j > 0 && order_[j - 1]->depth > order_[j]->depth; --j)
      std::swap(order_[j - 1], order_[j]);
  for (const Sprite* s : order_) draw_one(painter, *s);
}

QRect SpriteEngine::drawn_rect(const Sprite& s) {
  if (!s.visible || !s.picture) return {};
  const QRect cell = s.picture->pattern_rect(s.pattern);
  if (cell.isEmpty() || s.width <= 0 || s.height <= 0) return {};
  const int x = pixel_of(s.x), y = pixel_of(s.y);
  if (!s.rotating) return {x, y, cell.width(), cell.height()};
  if (std::clamp(s.alpha, 0, 255) == 0) return {};
  if (s.angle % Sprite::kAngleUnitsPerTurn == 0) return {x, y, s.width, s.height};
  // Turned about its centre: the circle through its corners, and a pixel
  // more for the smoothed edge.
  const double cx = x + s.width / 2.0, cy = y + s.height / 2.0;
  const int r = static_cast<int>(std::ceil(std::hypot(s.width, s.height) / 2.0)) + 2;
  return {static_cast<int>(std::floor(cx)) - r, static_cast<int>(std::floor(cy)) - r, 2 * r + 2,
          2 * r + 2};
}

}  // namespace cabsim
