// The pictures whose failure ends a run's assembly: the train's cab panel
// (loaded, named and keyed as each panel element asks) and the route's
// timetable card. The driving form shows them; cabsim-tool loads them the same
// way, so both refuse the same pictures with the same words.
#pragma once

#include <filesystem>

#include "data/cab_panel.h"
#include "platform/bitmap.h"
#include "platform/picture_list.h"
#include "state/panel_layout.h"
#include "state/run.h"

namespace cabsim {

/// Loads the picture `source` names for element `e` (below `base`) into a
/// new entry of `pictures`: named, made transparent or opaque and cut into
/// patterns as the element asks. A picture that cannot be loaded or has no
/// pixels raises DefinitionError with its name + "の生成エラー".
Picture& load_panel_picture(PictureList& pictures, PanelElement e, const PanelElementSource& source,
                            const std::filesystem::path& base);

/// Loads every picture of `panel` into `pictures` and marks each element
/// that has one present with its pattern count in `state`: what the driving
/// form's panel does, without sprites.
void load_panel_pictures(PictureList& pictures, const CabPanelDefinition& panel,
                         const std::filesystem::path& base, PanelState& state);

/// The timetable card `name` names ([Staf] line 1), found by `find`; empty
/// for no name. A card that cannot be loaded raises DefinitionError with its
/// name + "が見つかりません".
Bitmap load_timetable_card(const std::string& name, const FileFinder& find);

}  // namespace cabsim
