// The two effects the display works on the scene picture's 24-bit scan lines
// with: the darkened box behind a driving text (bgblack) and the light band
// behind the debug-mode message (untenLine).
#pragma once

#include <cstddef>
#include <cstdint>

namespace cabsim {

/// Rows of the cab window; a darkened box reaching this row is not drawn.
constexpr int32_t kCabWindowRows = 384;
/// Width of the soft edge around a darkened box, pixels.
constexpr int32_t kBoxEdge = 5;
/// Darkening strength at the middle of a box and its loss per edge pixel.
constexpr int32_t kBoxStrength = 150;
constexpr int32_t kBoxEdgeFalloff = 30;
/// The message band of debug mode: its rows and how much lighter it gets.
constexpr int32_t kBandFirstRow = 312;
constexpr int32_t kBandLastRow = 339;
constexpr int32_t kBandLift = 100;

/// A picture of three colour bytes a pixel (red, green and blue in either
/// order), rows `stride` bytes apart; with four bytes a pixel the fourth is
/// not a colour and is left as it is. The view does not own the pixels.
struct RgbRows {
  uint8_t* data = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  ptrdiff_t stride = 0;
  int32_t bytes_per_pixel = 3;

  uint8_t* row(int32_t y) const { return data + static_cast<ptrdiff_t>(y) * stride; }
};

/// bgblack: darkens the box at (x, y) of `w` x `h` with a 5-pixel soft edge,
/// bright pixels more than dark ones. A box whose edge reaches row 384 leaves
/// the picture unchanged; pixels outside the picture are left out.
void bgblack(const RgbRows& picture, int32_t x, int32_t y, int32_t w, int32_t h);

/// The band of untenLine: rows 312 to 339 made lighter by 100 in every
/// colour (the text is drawn on it by the view).
void lighten_message_band(const RgbRows& picture);

}  // namespace cabsim
