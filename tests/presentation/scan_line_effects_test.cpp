// Darkened text boxes and the light band of debug mode on 24-bit scan lines.
#include "presentation/scan_line_effects.h"

#include <gtest/gtest.h>

#include <vector>

#include "data/rounding.h"

namespace cabsim {
namespace {

struct Picture {
  explicit Picture(int w = 684, int h = 384, uint8_t value = 255)
      : pixels(static_cast<size_t>(w) * h * 3, value), rows{pixels.data(), w, h, w * 3} {}
  uint8_t red(int x, int y) const { return pixels[(static_cast<size_t>(y) * rows.width + x) * 3]; }
  std::vector<uint8_t> pixels;
  RgbRows rows;
};

TEST(Bgblack, DarkensBrightPixelsMostWithASoftEdge) {
  Picture white;
  bgblack(white.rows, 100, 100, 40, 10);
  EXPECT_EQ(white.red(120, 105), 102);       // full strength: 255 - 150 * 765 / 750 rounded
  EXPECT_EQ(white.red(99, 105), 255 - 122);  // one pixel out: strength 120
  EXPECT_EQ(white.red(95, 105), 255);        // five pixels out: strength 0
  EXPECT_EQ(white.red(94, 105), 255);        // beyond the edge untouched
  EXPECT_EQ(white.red(120, 94), 255);

  Picture dark(684, 384, 30);
  bgblack(dark.rows, 100, 100, 40, 10);
  EXPECT_EQ(dark.red(120, 105), 30 - 18);  // round(150 * 90 / 750) = 18
}

TEST(Bgblack, ABoxReachingTheBottomRowOrThePictureEdgeIsSafe) {
  Picture white;
  bgblack(white.rows, 100, 370, 40, 9);  // edge reaches row 384: nothing written
  EXPECT_EQ(white.pixels, Picture().pixels);
  bgblack(white.rows, -20, -20, 30, 30);  // off the top-left corner: clipped
  EXPECT_EQ(white.red(0, 0), 102);
  bgblack(white.rows, 680, 10, 400, 10);  // off the right edge
  EXPECT_EQ(white.red(683, 15), 102);
  bgblack(white.rows, 2147483000, 2147483000, 2147483000, 2147483000);  // absurd sizes
}

TEST(Bgblack, DarkensByTheRoundedShareOfTheBrightnessOnThreeAndFourBytePixels) {
  // Every brightness from black to white under every strength of the edge
  // (row 0 is outside the box by 5 .. 1 pixels in columns 0 .. 4, column 5
  // is at full strength): round(strength × (r + g + b) / 750), halves to even.
  for (int sum = 0; sum <= 765; ++sum) {
    const auto r = static_cast<uint8_t>(std::min(sum, 255));
    const auto g = static_cast<uint8_t>(std::min(std::max(sum - 255, 0), 255));
    const auto b = static_cast<uint8_t>(std::max(sum - 510, 0));
    std::vector<uint8_t> rgb, rgbx;
    for (int x = 0; x < 6; ++x) {
      rgb.insert(rgb.end(), {r, g, b});
      rgbx.insert(rgbx.end(), {r, g, b, 0xFF});
    }
    bgblack(RgbRows{rgb.data(), 6, 1, 18}, 5, 0, 1, 0);
    bgblack(RgbRows{rgbx.data(), 6, 1, 24, 4}, 5, 0, 1, 0);
    for (int x = 0; x < 6; ++x) {
      const int strength = 150 - 30 * (5 - x);
      const auto amount = static_cast<int>(round_half_even(strength * sum / 750.0L));
      ASSERT_EQ(rgb[x * 3], std::max(r - amount, 0)) << "sum " << sum << ", x " << x;
      ASSERT_EQ(rgb[x * 3 + 2], std::max(b - amount, 0)) << "sum " << sum << ", x " << x;
      for (int i = 0; i < 3; ++i) ASSERT_EQ(rgbx[x * 4 + i], rgb[x * 3 + i]);
      ASSERT_EQ(rgbx[x * 4 + 3], 0xFF);  // not a colour: left alone
    }
  }
}

TEST(MessageBand, LightensRows312To339) {
  Picture grey(684, 384, 200);
  lighten_message_band(grey.rows);
  EXPECT_EQ(grey.red(0, 311), 200);
  EXPECT_EQ(grey.red(0, 312), 255);
  EXPECT_EQ(grey.red(683, 339), 255);
  EXPECT_EQ(grey.red(0, 340), 200);
  Picture low(684, 384, 20);
  lighten_message_band(low.rows);
  EXPECT_EQ(low.red(5, 320), 120);
  Picture small(100, 320, 0);  // a small film: only its rows
  lighten_message_band(small.rows);
  EXPECT_EQ(small.red(0, 319), 100);
}

}  // namespace
}  // namespace cabsim
