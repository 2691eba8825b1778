// Making the panel's pictures and sprites, and showing the panel state.
#include "shell/cab_panel_view.h"

#include "platform/run_pictures.h"
#include "state/panel_layout.h"

namespace cabsim {
namespace {

using E = PanelElement;

constexpr size_t kFirstPanelElement = static_cast<size_t>(E::kPanel);
constexpr size_t kFirstOther = static_cast<size_t>(E::kOther0);

}  // namespace

CabPanelView::CabPanelView(PictureList& pictures, SpriteEngine& engine)
    : pictures_(pictures), engine_(engine) {}

void CabPanelView::make(E e, const CabPanelDefinition& panel, const std::filesystem::path& base,
                        PanelState& state) {
  PanelElementSource source = panel_element_source(panel, e);
  if (source.file.empty()) return;  // the train has no such picture
  const PanelElementInfo& info = panel_element_info(e);
  size_t index = static_cast<size_t>(e);
  bool other = index >= kFirstOther;
  size_t other_index = index - kFirstOther;

  Picture& picture = load_panel_picture(pictures_, e, source, base);
  Sprite& sprite = info.kind == SpriteKind::kRotating ? engine_.add_rotating_sprite(&picture)
                                                      : engine_.add_sprite(&picture);
  sprite.x = source.x;
  sprite.y = source.y;
  sprite.depth = other ? other_picture_depth(other_index) : info.depth;
  sprites_[index] = &sprite;

  PanelSprite& shown = state[e];
  shown.present = 1;
  shown.pattern_count = picture.pattern_count();
  shown.y = source.y;
  sprite.visible = shown.visible != 0;
  sprite.alpha = shown.alpha;
}

void CabPanelView::make_indicators(const CabPanelDefinition& panel,
                                   const std::filesystem::path& base, PanelState& state) {
  for (size_t i = 0; i < kFirstPanelElement; ++i) make(static_cast<E>(i), panel, base, state);
}

void CabPanelView::make_panel(const CabPanelDefinition& panel, const std::filesystem::path& base,
                              PanelState& state) {
  for (size_t i = kFirstPanelElement; i < kPanelElementCount; ++i)
    make(static_cast<E>(i), panel, base, state);
}

void CabPanelView::apply(const PanelState& state) {
  for (size_t i = 0; i < kPanelElementCount; ++i) {
    Sprite* sprite = sprites_[i];
    if (!sprite) continue;
    const PanelSprite& shown = state.sprites[i];
    sprite->visible = shown.visible != 0;
    sprite->pattern = shown.pattern;
    if (!sprite->rotating) continue;
    sprite->angle = shown.angle;
    sprite->alpha = shown.alpha;
    if (panel_element_info(static_cast<E>(i)).bar) sprite->y = shown.y;
  }
}

}  // namespace cabsim
