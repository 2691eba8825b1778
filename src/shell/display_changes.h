// What the display pass drew last, so that a pass draws only what changed
// since: the panel sprites as they were drawn, and what the cab window's
// picture was made of (the film picture, the stop marker, the driving texts
// and the sizes their boxes had).
#pragma once

#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sprite_engine.h"
#include "presentation/overlay_texts.h"
#include "state/run_view.h"

namespace cabsim {

/// What the cab window's picture is made of, besides the texts.
struct SceneSources {
  const void* film_picture = nullptr;  ///< the film frame bitmap in use
  int32_t film_frame = -1;             ///< the frame it was fetched for
  uint32_t film_refresh = 0;
  std::array<int32_t, 4> stop_marker{};
  int32_t debug_mode = 0;
  bool operator==(const SceneSources&) const = default;
};

/// The driving texts as last seen, each turned into the text drawn once,
/// when it changed.
class SlotTexts {
 public:
  SlotTexts();
  /// Takes the texts of `v`; true when any of them changed.
  bool follow(const RunView& v);
  /// The text of `slot` as drawn.
  const QString& shown(OverlaySlot slot) const { return shown_[static_cast<size_t>(slot)]; }

 private:
  std::array<std::string, kOverlaySlots> taken_;
  std::array<QString, kOverlaySlots> shown_;
};

/// The parts of the drawing area a pass draws again: a few rectangles, each
/// taking in those it overlaps, so that no pixel is drawn twice and a
/// needle's change does not draw the cab window with it.
class ChangedRects {
 public:
  /// More changes than this are drawn as one rectangle around them all.
  static constexpr size_t kCapacity = 8;

  /// Adds `r`, cut to the drawing area.
  void add(const QRect& r);
  void clear() { count_ = 0; }
  bool empty() const { return count_ == 0; }
  const QRect* begin() const { return rects_.data(); }
  const QRect* end() const { return rects_.data() + count_; }
  /// The rectangle around all of them.
  QRect bounds() const;

 private:
  std::array<QRect, kCapacity> rects_{};
  size_t count_ = 0;
};

class DisplayChanges {
 public:
  /// The next pass draws everything (a new drawing area, a picture drawn
  /// around the pass).
  void forget() { everything_ = true; }
  bool everything() const { return everything_; }

  /// The part of the drawing area where sprites were or are now drawn
  /// differently since the last call (the old and the new place of each);
  /// the whole area when sprites were added or taken away.
  QRect sprites(const SpriteEngine& engine);
  /// True when the cab window's picture must be made again: a new film
  /// picture, stop marker, text or box size, or everything is drawn.
  bool scene(const SceneSources& sources, const RunView& v, const OverlaySizes& sizes);
  /// The pass has drawn what it was told.
  void drawn() { everything_ = false; }

  const SlotTexts& texts() const { return texts_; }

 private:
  bool everything_ = true;
  std::vector<Sprite> sprites_;  // as drawn, in the engine's order of making
  SceneSources scene_;
  OverlaySizes sizes_{};
  SlotTexts texts_;
};

}  // namespace cabsim
