// The layout of the cab panel: for every picture its name, depth, sprite kind,
// transparency, start visibility and the definition record it is made from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/cab_panel.h"
#include "state/panel_state.h"

namespace cabsim {

enum class SpriteKind : uint8_t { kPicture, kRotating };

/// How a panel picture treats its colours.
enum class PanelTransparency : uint8_t {
  kKeyBottomLeft,     ///< transparent, the key is the bottom-left pixel's colour
  kOpaque,            ///< drawn opaque, no key set (the base panel)
  kOpaqueKeyed,       ///< drawn opaque although its key is set (main reservoir bar)
  kCollectionDefault  ///< the collection's default flag and key (brake cylinder bar)
};

/// The fixed facts of one element.
struct PanelElementInfo {
  PanelElement element;
  std::string_view picture_name;
  int32_t depth;
  SpriteKind kind;
  PanelTransparency transparency;
  bool visible_at_start;
  bool patterns;  ///< indicator strip: the pattern size comes from the definition
  bool bar;       ///< moved vertically; made at (x, 0)
};

/// The facts of `e`; every element has them (the `[Others]` entries share
/// one row, their name and depth are made by other_picture_name/depth).
const PanelElementInfo& panel_element_info(PanelElement e);

/// "img_other" followed by the entry number.
std::string other_picture_name(size_t index);
int32_t other_picture_depth(size_t index);

/// Where and from what file an element is made, as the train file says.
struct PanelElementSource {
  std::string file;  ///< empty: the element has no picture and no sprite
  int32_t x = 0;
  int32_t y = 0;
  int32_t pattern_width = 0;  ///< indicator strips only
  int32_t pattern_height = 0;
};

/// The source of `e` in `panel`; an `[Others]` entry beyond the list's count
/// has no file.
PanelElementSource panel_element_source(const CabPanelDefinition& panel, PanelElement e);

/// The state before the first tick: every element absent (the view marks what
/// it made), visible as its row says, the tunnel shade see-through, the bars
/// at the top.
PanelState initial_panel_state();

/// Set-up of the run: once the sound channels are bound the vigilance lamp is
/// hidden; the ATS lamp 1 shows only while train protection is on.
void panel_run_start(PanelState& panel, bool ats_on);

}  // namespace cabsim
