// The sprite engine of the cab panel: picture sprites and rotating sprites,
// drawn by ascending depth (equal depths in the order they were made).
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <memory>
#include <vector>

#include "platform/picture_list.h"

namespace cabsim {

/// One sprite. The simulation changes only these fields; the engine draws.
struct Sprite {
  /// Rotation units in one full turn.
  static constexpr int kAngleUnitsPerTurn = 256;

  const Picture* picture = nullptr;  ///< nothing is drawn without one
  double x = 0;                      ///< left edge, pixels of the drawing area
  double y = 0;                      ///< top edge
  int depth = 0;                     ///< higher depths are drawn over lower ones
  bool visible = true;
  int pattern = 0;  ///< pattern of the picture; one outside it draws nothing
  /// From the picture's pattern size when made; a rotating sprite is drawn
  /// stretched to it, a plain one always at the pattern's own size.
  int width = 0;
  int height = 0;

  /// Rotating sprites only: the turn about the centre (clockwise, 256 units
  /// to a turn) and the opacity (0 invisible .. 255 opaque).
  bool rotating = false;
  int angle = 0;
  int alpha = 255;

  bool operator==(const Sprite&) const = default;
};

class SpriteEngine {
 public:
  /// A picture sprite showing `picture`, sized to its pattern.
  Sprite& add_sprite(const Picture* picture);
  /// A rotating sprite showing `picture`, sized to its pattern.
  Sprite& add_rotating_sprite(const Picture* picture);
  int count() const { return static_cast<int>(sprites_.size()); }
  /// Sprite `i` in the order of making (0 <= i < count()).
  const Sprite& sprite(int i) const { return *sprites_[static_cast<size_t>(i)]; }
  void clear() { sprites_.clear(); }

  /// Draws every visible sprite into `target` by ascending depth.
  void draw(QImage& target) const;
  /// The same with a painter already open (its clip holds).
  void draw(QPainter& painter) const;

  /// The pixels of the drawing area `s` may change when drawn as it is now;
  /// empty when it draws nothing.
  static QRect drawn_rect(const Sprite& s);

 private:
  std::vector<std::unique_ptr<Sprite>> sprites_;  // in order of making
  mutable std::vector<const Sprite*> order_;      // kept between draws
};

}  // namespace cabsim
