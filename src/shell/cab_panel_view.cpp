// Making the panel's pictures and sprites, and showing the panel state.
#include "shell/cab_panel_view.h"

#include "data/definition_error.h"
#include "data/shift_jis.h"
#include "platform/file_paths.h"
#include "state/panel_layout.h"

namespace cabsim {
namespace {

using E = PanelElement;

constexpr size_t kFirstPanelElement = static_cast<size_t>(E::kPanel);
constexpr size_t kFirstOther = static_cast<size_t>(E::kOther0);

void set_transparency(Picture& picture, PanelTransparency transparency) {
  switch (transparency) {
    case PanelTransparency::kKeyBottomLeft:
      picture.set_transparent(true);
      picture.set_transparent_colour(picture.bottom_left_colour());
      break;
    case PanelTransparency::kOpaque:
      picture.set_transparent(false);
      break;
    case PanelTransparency::kOpaqueKeyed:
      picture.set_transparent(false);
      picture.set_transparent_colour(picture.bottom_left_colour());
      break;
    case PanelTransparency::kCollectionDefault:
      break;
  }
}

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

  Picture& picture = pictures_.add();
  if (!picture.load(resolve_file(base, source.file)) || picture.width() <= 0 ||
      picture.height() <= 0)
    throw DefinitionError(sjis_to_utf8(source.file) + "の生成エラー");
  picture.set_name(other ? other_picture_name(other_index) : std::string(info.picture_name));
  set_transparency(picture, info.transparency);
  if (info.patterns) picture.set_pattern_size(source.pattern_width, source.pattern_height);

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
