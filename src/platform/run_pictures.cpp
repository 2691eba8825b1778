// Loading the pictures a run cannot go without.
#include "platform/run_pictures.h"

#include "data/definition_error.h"
#include "data/shift_jis.h"
#include "platform/file_paths.h"

namespace cabsim {
namespace {

constexpr size_t kFirstOther = static_cast<size_t>(PanelElement::kOther0);

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

Picture& load_panel_picture(PictureList& pictures, PanelElement e, const PanelElementSource& source,
                            const std::filesystem::path& base) {
  const PanelElementInfo& info = panel_element_info(e);
  const size_t index = static_cast<size_t>(e);
  Picture& picture = pictures.add();
  if (!picture.load(resolve_file(base, source.file)) || picture.width() <= 0 ||
      picture.height() <= 0)
    throw DefinitionError(sjis_to_utf8(source.file) + "の生成エラー");
  picture.set_name(index >= kFirstOther ? other_picture_name(index - kFirstOther)
                                        : std::string(info.picture_name));
  set_transparency(picture, info.transparency);
  if (info.patterns) picture.set_pattern_size(source.pattern_width, source.pattern_height);
  return picture;
}

void load_panel_pictures(PictureList& pictures, const CabPanelDefinition& panel,
                         const std::filesystem::path& base, PanelState& state) {
  for (size_t i = 0; i < kPanelElementCount; ++i) {
    const auto e = static_cast<PanelElement>(i);
    const PanelElementSource source = panel_element_source(panel, e);
    if (source.file.empty()) continue;  // the train has no such picture
    const Picture& picture = load_panel_picture(pictures, e, source, base);
    state[e].present = 1;
    state[e].pattern_count = picture.pattern_count();
  }
}

Bitmap load_timetable_card(const std::string& name, const FileFinder& find) {
  Bitmap card;
  if (!name.empty() && !card.load(find(name)))
    throw DefinitionError(sjis_to_utf8(name) + "が見つかりません");
  return card;
}

}  // namespace cabsim
