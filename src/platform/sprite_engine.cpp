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
  std::vector<const Sprite*> order;
  order.reserve(sprites_.size());
  for (const auto& s : sprites_)
    if (s->visible && s->picture) order.push_back(s.get());
  std::stable_sort(order.begin(), order.end(),
                   [](const Sprite* a, const Sprite* b) { return a->depth < b->depth; });
  QPainter painter(&target);
  for (const Sprite* s : order) draw_one(painter, *s);
}

}  // namespace cabsim
