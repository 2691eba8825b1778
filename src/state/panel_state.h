// What each picture of the cab panel shows: the plain record the tick fills
// (pattern, rotation, vertical position, visibility, opacity) and the view
// copies onto its sprites.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "data/cab_panel.h"

namespace cabsim {

/// The panel's pictures, one sprite each, in the order the set-up makes them.
enum class PanelElement : uint8_t {
  // Indicator pictures, made while the train file is read.
  kCabSignal,
  kNotchP,
  kNotchB,
  kNotchP2,
  kNotchB2,
  kGear,
  kGearLever,
  kDigitalSpeed,
  // The panel proper, made when the cab panel is drawn.
  kPanel,
  kPanel2,
  kLampDoor,
  kLampPower,
  kLampEB,
  kLampGen,
  kLampAir,
  kLampFin,
  kLampEle,
  kLampAts1,
  kLampAts2,
  kLampAtsp1,
  kLampAtsp2,
  kLampFwd,
  kLampBack,
  kLampConst,
  kLampStop,
  kNeedleSpeed,
  kNeedleBC,
  kBarBC,
  kNeedleSAP,
  kNeedleER,
  kNeedleBP,
  kNeedleMR,
  kBarMR,
  kNeedleV,
  kNeedleI,
  kOther0,  ///< `[Others]` entry 0; entry i is kOther0 + i
  kOtherLast = kOther0 + kMaxOtherPictures - 1,
};

constexpr size_t kPanelElementCount = static_cast<size_t>(PanelElement::kOtherLast) + 1;

/// The `[Others]` picture of entry `index` (0 .. kMaxOtherPictures - 1).
constexpr PanelElement other_picture(size_t index) {
  return static_cast<PanelElement>(static_cast<size_t>(PanelElement::kOther0) + index);
}

/// What one panel sprite shows. `present` and `pattern_count` are set by the
/// view when it makes the sprite; a sprite that is not present is never shown.
struct PanelSprite {
  uint8_t present = 0;
  int32_t pattern_count = 0;  ///< patterns of its picture (1 for a plain one)
  uint8_t visible = 0;
  int32_t pattern = 0;
  int32_t angle = 0;  ///< rotating sprites: 256 units to a turn, clockwise
  int32_t y = 0;      ///< the bars: vertical position in panel pixels
  int32_t alpha = 255;

  /// Shows pattern `index` when the picture has it; an index it does not have
  /// leaves the pattern as it was. Returns whether it was taken.
  bool set_pattern(int64_t index) {
    if (index < 0 || index >= pattern_count) return false;
    pattern = static_cast<int32_t>(index);
    return true;
  }
};

/// The whole panel, one entry per element.
struct PanelState {
  std::array<PanelSprite, kPanelElementCount> sprites{};

  PanelSprite& operator[](PanelElement e) { return sprites[static_cast<size_t>(e)]; }
  const PanelSprite& operator[](PanelElement e) const { return sprites[static_cast<size_t>(e)]; }

  /// Sets the visible flag of a present sprite; an absent one is left alone.
  void show(PanelElement e, bool on) {
    PanelSprite& s = (*this)[e];
    if (s.present) s.visible = on ? 1 : 0;
  }
};

}  // namespace cabsim
