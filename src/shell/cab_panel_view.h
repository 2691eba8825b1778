// The cab panel on screen: makes the pictures and sprites of a train's panel
// in the collection and the sprite engine, and shows on them what the tick
// decided in the panel state.
#pragma once

#include <array>
#include <filesystem>

#include "data/cab_panel.h"
#include "platform/picture_list.h"
#include "platform/sprite_engine.h"
#include "state/panel_state.h"

namespace cabsim {

class CabPanelView {
 public:
  /// The view adds to `pictures` and `engine`, which outlive it.
  CabPanelView(PictureList& pictures, SpriteEngine& engine);

  /// The indicator strips and the cab signal display, made while the train
  /// file is read. Files are found relative to `base` (the program directory;
  /// the train directory prefix is already part of each name). Marks in
  /// `state` what was made and how many patterns each picture has. A picture
  /// that cannot be loaded raises DefinitionError: its file name followed by
  /// "の生成エラー".
  void make_indicators(const CabPanelDefinition& panel, const std::filesystem::path& base,
                       PanelState& state);
  /// The panel, lamps, needles, bars and the `[Others]` pictures, made when
  /// the cab panel is drawn at set-up, in that order.
  void make_panel(const CabPanelDefinition& panel, const std::filesystem::path& base,
                  PanelState& state);

  /// Copies visibility, pattern, angle, bar position and alpha of every made
  /// sprite from `state`.
  void apply(const PanelState& state);

  /// The sprite of `e`, or nullptr when the panel has none.
  Sprite* sprite(PanelElement e) const { return sprites_[static_cast<size_t>(e)]; }

 private:
  void make(PanelElement e, const CabPanelDefinition& panel, const std::filesystem::path& base,
            PanelState& state);

  PictureList& pictures_;
  SpriteEngine& engine_;
  std::array<Sprite*, kPanelElementCount> sprites_{};
};

}  // namespace cabsim
