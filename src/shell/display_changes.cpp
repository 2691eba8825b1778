// Telling what the display pass must draw again.
#include "shell/display_changes.h"

#include "data/shift_jis.h"
#include "platform/drawing_area.h"

namespace cabsim {
namespace {

/// Texts longer than this still work; a longer one costs an allocation once.
constexpr size_t kTextRoom = 256;

}  // namespace

SlotTexts::SlotTexts() {
  for (std::string& taken : taken_) taken.reserve(kTextRoom);
}

bool SlotTexts::follow(const RunView& v) {
  bool changed = false;
  for (size_t i = 0; i < kOverlaySlots; ++i) {
    const auto slot = static_cast<OverlaySlot>(i);
    const std::string& text = overlay_text(v, slot);
    if (text == taken_[i]) continue;
    taken_[i] = text;
    // The top message is the program's own UTF-8; the others come from the
    // route's Shift-JIS files.
    shown_[i] = slot == OverlaySlot::kTopMessage ? QString::fromStdString(text)
                                                 : QString::fromStdString(sjis_to_utf8(text));
    changed = true;
  }
  return changed;
}

void ChangedRects::add(const QRect& r) {
  QRect adding = r.intersected(QRect(0, 0, DrawingArea::kWidth, DrawingArea::kHeight));
  if (adding.isEmpty()) return;
  // Take in every rectangle the new one overlaps; the grown one may overlap
  // others, so look again from the start.
  for (size_t i = 0; i < count_;) {
    if (!rects_[i].intersects(adding)) {
      ++i;
      continue;
    }
    adding |= rects_[i];
    rects_[i] = rects_[--count_];
    i = 0;
  }
  if (count_ == kCapacity) {
    adding |= bounds();
    count_ = 0;
  }
  rects_[count_++] = adding;
}

QRect ChangedRects::bounds() const {
  QRect all;
  for (const QRect& r : *this) all |= r;
  return all;
}

QRect DisplayChanges::sprites(const SpriteEngine& engine) {
  const auto count = static_cast<size_t>(engine.count());
  if (sprites_.size() != count) {
    sprites_.resize(count);
    for (size_t i = 0; i < count; ++i) sprites_[i] = engine.sprite(static_cast<int>(i));
    return {0, 0, DrawingArea::kWidth, DrawingArea::kHeight};
  }
  QRect changed;
  for (size_t i = 0; i < count; ++i) {
    const Sprite& now = engine.sprite(static_cast<int>(i));
    Sprite& drawn = sprites_[i];
    if (now == drawn) continue;
    changed |= SpriteEngine::drawn_rect(drawn) | SpriteEngine::drawn_rect(now);
    drawn = now;
  }
  return changed;
}

bool DisplayChanges::scene(const SceneSources& sources, const RunView& v,
                           const OverlaySizes& sizes) {
  // The texts are always taken, so that each is turned once per change.
  bool changed = texts_.follow(v);
  changed = changed || everything_ || sources != scene_ || sizes != sizes_;
  scene_ = sources;
  sizes_ = sizes;
  return changed;
}

}  // namespace cabsim
