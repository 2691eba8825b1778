// Darkened text boxes and the light message band on 24-bit scan lines.
#include "presentation/scan_line_effects.h"

#include <algorithm>

namespace cabsim {
namespace {

/// How far (r, c) lies outside the box, as lost strength.
int32_t box_strength(int32_t r, int32_t c, int32_t x, int32_t y, int32_t w, int32_t h) {
  int64_t strength = kBoxStrength;
  if (r < y) strength -= int64_t{y - r} * kBoxEdgeFalloff;
  if (r > y + h) strength -= int64_t{r - (y + h)} * kBoxEdgeFalloff;
  if (c < x) strength -= int64_t{x - c} * kBoxEdgeFalloff;
  if (c > x + w) strength -= int64_t{c - (x + w)} * kBoxEdgeFalloff;
  return static_cast<int32_t>(std::clamp<int64_t>(strength, 0, kBoxStrength));
}

/// round(strength × sum / 750), halves to even, in integers: the same
/// value as the division in floating point, at a fraction of its cost.
int32_t darkening(int32_t strength, int32_t sum) {
  const int32_t n = strength * sum;
  const int32_t q = n / 750, twice_rest = 2 * (n % 750);
  if (twice_rest > 750 || (twice_rest == 750 && (q & 1) != 0)) return q + 1;
  return q;
}

}  // namespace

void bgblack(const RgbRows& picture, int32_t x, int32_t y, int32_t w, int32_t h) {
  // Texts far off the picture (sizes from a run of absurd texts) change
  // nothing; int64 keeps the edge arithmetic exact.
  const int64_t last_row = int64_t{y} + h + kBoxEdge;
  if (last_row >= kCabWindowRows) return;  // the whole box is dropped, as drawn
  const int64_t first_row = std::max<int64_t>(int64_t{y} - kBoxEdge, 0);
  const int64_t first_col = std::max<int64_t>(int64_t{x} - kBoxEdge, 0);
  const int64_t last_col = std::min<int64_t>(int64_t{x} + w + kBoxEdge, picture.width - 1);
  for (int64_t r = first_row; r <= last_row && r < picture.height; ++r) {
    uint8_t* line = picture.row(static_cast<int32_t>(r));
    for (int64_t c = first_col; c <= last_col; ++c) {
      const int32_t strength =
          box_strength(static_cast<int32_t>(r), static_cast<int32_t>(c), x, y, w, h);
      if (strength == 0) continue;
      uint8_t* p = line + c * picture.bytes_per_pixel;
      const int32_t amount = darkening(strength, p[0] + p[1] + p[2]);
      for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>(std::clamp(p[i] - amount, 0, 255));
    }
  }
}

void lighten_message_band(const RgbRows& picture) {
  for (int32_t r = kBandFirstRow; r <= kBandLastRow && r < picture.height; ++r) {
    uint8_t* pixel = picture.row(r);
    for (int32_t c = 0; c < picture.width; ++c, pixel += picture.bytes_per_pixel)
      for (int i = 0; i < 3; ++i)
        pixel[i] = static_cast<uint8_t>(std::min(pixel[i] + kBandLift, 255));
  }
}

}  // namespace cabsim
