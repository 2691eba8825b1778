// The sprite engine and its pictures: depth order, patterns, colour keys,
// rotation about the centre and alpha, checked by pixel probes.
#include "platform/sprite_engine.h"

#include <gtest/gtest.h>

#include "platform/artefacts.h"
#include "platform/cell_image_list.h"
#include "platform/qt_app.h"

namespace cabsim {
namespace {

using test::rgb_at;

QImage solid(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

QImage target() {
  return solid(200, 200, qRgb(255, 255, 255));
}

TEST(PictureList, NamesMatchWithoutRegardToCaseAndPatternsCountAlongRows) {
  test::ensure_qt_app();
  PictureList list;
  Picture& strip = list.add();
  strip.set_name("img_Lamp_Fwd");
  QImage cells(30, 20, QImage::Format_RGB32);  // 3 x 2 patterns of 10 x 10
  for (int i = 0; i < 6; ++i)
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x)
        cells.setPixel((i % 3) * 10 + x, (i / 3) * 10 + y, qRgb(i * 40, 0, 0));
  strip.set_image(cells);
  EXPECT_EQ(list.find("IMG_LAMP_FWD"), &strip);
  EXPECT_EQ(list.find("img_lamp_fwd"), &strip);
  EXPECT_EQ(list.find("img_Lamp_Bck"), nullptr);

  EXPECT_EQ(strip.pattern_count(), 1);  // no pattern size: the whole picture
  strip.set_pattern_size(10, 10);
  EXPECT_EQ(strip.pattern_count(), 6);
  EXPECT_EQ(strip.pattern_rect(4), QRect(10, 10, 10, 10));
  EXPECT_TRUE(strip.pattern_rect(6).isEmpty());
  EXPECT_TRUE(strip.pattern_rect(-1).isEmpty());
  strip.set_pattern_size(12, 7);  // partial cells at the edges are not patterns
  EXPECT_EQ(strip.pattern_count(), 2 * 2);
  strip.set_pattern_size(50, 50);  // larger than the picture: the picture
  EXPECT_EQ(strip.pattern_count(), 1);
  EXPECT_EQ(strip.bottom_left_colour(), static_cast<uint32_t>(3 * 40) << 16);
  EXPECT_EQ(Picture().pattern_count(), 0);
}

TEST(SpriteEngine, DrawsByAscendingDepthAndEqualDepthsInCreationOrder) {
  test::ensure_qt_app();
  PictureList list;
  Picture& red = list.add();
  red.set_image(solid(40, 40, qRgb(255, 0, 0)));
  red.set_transparent(false);
  Picture& blue = list.add();
  blue.set_image(solid(40, 40, qRgb(0, 0, 255)));
  blue.set_transparent(false);
  Picture& green = list.add();
  green.set_image(solid(40, 40, qRgb(0, 255, 0)));
  green.set_transparent(false);

  SpriteEngine engine;
  Sprite& top = engine.add_sprite(&red);
  top.depth = 60;
  top.x = top.y = 10;
  Sprite& under = engine.add_sprite(&blue);
  under.depth = 11;
  under.x = under.y = 30;
  Sprite& same_depth_later = engine.add_sprite(&green);
  same_depth_later.depth = 60;
  same_depth_later.x = 30.9;  // the fraction is dropped
  same_depth_later.y = 10;
  Sprite& hidden = engine.add_sprite(&blue);
  hidden.depth = 99;
  hidden.visible = false;
  engine.add_sprite(nullptr).depth = 100;  // no picture: nothing drawn

  QImage out = target();
  engine.draw(out);
  test::save_artefact(out, "sprites_depth_order");
  EXPECT_EQ(rgb_at(out, 15, 15), 0xFF0000u);  // red alone
  EXPECT_EQ(rgb_at(out, 35, 35), 0x00FF00u);  // green over red (same depth, made later)
  EXPECT_EQ(rgb_at(out, 65, 65), 0x0000FFu);  // blue alone: under, but not covered
  EXPECT_EQ(rgb_at(out, 69, 35), 0x00FF00u);
  EXPECT_EQ(rgb_at(out, 30, 15), 0x00FF00u);  // at x = 30, not 31
  EXPECT_EQ(rgb_at(out, 0, 0), 0xFFFFFFu);

  // Depth changed after making: the next draw follows it.
  under.depth = 70;
  engine.draw(out);
  EXPECT_EQ(rgb_at(out, 35, 35), 0x0000FFu);
  EXPECT_EQ(rgb_at(out, 35, 20), 0x00FF00u);
}

TEST(SpriteEngine, PatternsAndTheTransparentColourOfThePicture) {
  test::ensure_qt_app();
  PictureList list;
  Picture& digits = list.add();
  QImage strip = solid(30, 10, qRgb(255, 0, 255));  // key colour background
  for (int x = 10; x < 20; ++x)
    for (int y = 2; y < 8; ++y) strip.setPixel(x, y, qRgb(0, 0, 0));
  for (int x = 20; x < 30; ++x)
    for (int y = 0; y < 10; ++y) strip.setPixel(x, y, qRgb(0, 128, 0));
  digits.set_image(strip);
  digits.set_pattern_size(10, 10);
  digits.set_transparent_colour(digits.bottom_left_colour());

  SpriteEngine engine;
  Sprite& digit = engine.add_sprite(&digits);
  EXPECT_EQ(digit.width, 10);
  EXPECT_EQ(digit.height, 10);
  digit.x = 50;
  digit.y = 50;
  digit.pattern = 1;
  QImage out = target();
  engine.draw(out);
  EXPECT_EQ(rgb_at(out, 55, 55), 0u);         // the digit's ink
  EXPECT_EQ(rgb_at(out, 55, 50), 0xFFFFFFu);  // its key-coloured ground is left out
  EXPECT_EQ(rgb_at(out, 65, 55), 0xFFFFFFu);  // only one pattern is drawn

  digit.pattern = 3;  // beyond the strip: nothing
  out = target();
  engine.draw(out);
  EXPECT_EQ(rgb_at(out, 55, 55), 0xFFFFFFu);

  digit.width = 30;  // a plain sprite is not stretched to its size
  digit.pattern = 1;
  out = target();
  engine.draw(out);
  EXPECT_EQ(rgb_at(out, 55, 55), 0u);
  EXPECT_EQ(rgb_at(out, 75, 55), 0xFFFFFFu);

  digits.set_transparent(false);  // the flag off: drawn opaque
  digit.pattern = 0;
  engine.draw(out);
  EXPECT_EQ(rgb_at(out, 55, 50), 0xFF00FFu);
}

TEST(SpriteEngine, RotatingSpritesTurnClockwiseAboutTheirCentreWithAlpha) {
  test::ensure_qt_app();
  PictureList list;
  Picture& needle = list.add();
  // A 41 x 41 needle: a 5-pixel-wide bar from the centre up to the top.
  QImage image = solid(41, 41, qRgb(0, 0, 0));
  for (int y = 0; y <= 20; ++y)
    for (int x = 18; x <= 22; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
  needle.set_image(image);
  needle.set_transparent_colour(needle.bottom_left_colour());

  SpriteEngine engine;
  Sprite& s = engine.add_rotating_sprite(&needle);
  s.x = 80;
  s.y = 80;
  QImage out = target();
  engine.draw(out);
  EXPECT_EQ(rgb_at(out, 100, 85), 0xFF0000u);  // pointing up
  EXPECT_EQ(rgb_at(out, 115, 100), 0xFFFFFFu);

  s.angle = 64;  // a quarter turn: pointing right
  out = target();
  engine.draw(out);
  test::save_artefact(out, "sprites_needle_quarter_turn");
  EXPECT_EQ(rgb_at(out, 115, 100), 0xFF0000u);
  EXPECT_EQ(rgb_at(out, 100, 85), 0xFFFFFFu);
  EXPECT_EQ(rgb_at(out, 85, 100), 0xFFFFFFu);

  s.angle = 64 + 256 * 3;  // whole turns make no difference
  QImage again = target();
  engine.draw(again);
  EXPECT_EQ(rgb_at(again, 115, 100), 0xFF0000u);
  s.angle = -64;  // pointing left
  again = target();
  engine.draw(again);
  EXPECT_EQ(rgb_at(again, 85, 100), 0xFF0000u);

  s.angle = 0;
  s.alpha = 128;  // half see-through over white
  out = target();
  engine.draw(out);
  EXPECT_NEAR(qGreen(out.pixel(100, 85)), 127, 2);
  EXPECT_EQ(qRed(out.pixel(100, 85)), 255);
  s.alpha = 0;  // the tunnel shade at the start: nothing
  out = target();
  engine.draw(out);
  EXPECT_EQ(rgb_at(out, 100, 85), 0xFFFFFFu);
}

TEST(CellImageList, DrawsCellNAtTheOriginAndNothingBeyondTheList) {
  test::ensure_qt_app();
  CellImageList signs(50, 50);
  EXPECT_EQ(signs.add(solid(50, 50, qRgb(255, 0, 0))), 0);
  EXPECT_EQ(signs.add(solid(70, 30, qRgb(0, 0, 255))), 1);  // cut and padded
  EXPECT_EQ(signs.add(QImage()), -1);
  EXPECT_EQ(signs.load("/no/such/picture.bmp"), -1);
  EXPECT_EQ(signs.count(), 2);

  QImage picture = solid(50, 50, qRgb(255, 255, 255));
  EXPECT_TRUE(signs.draw(1, picture));
  EXPECT_EQ(rgb_at(picture, 49, 10), 0x0000FFu);
  EXPECT_EQ(rgb_at(picture, 10, 40), 0u);  // padding below the short picture
  EXPECT_FALSE(signs.draw(2, picture));
  EXPECT_FALSE(signs.draw(-1, picture));
  EXPECT_FALSE(signs.draw(999, picture));
  EXPECT_EQ(rgb_at(picture, 49, 10), 0x0000FFu);  // unchanged

  QImage smaller = solid(15, 15, qRgb(255, 255, 255));  // a smaller component
  EXPECT_TRUE(signs.draw(0, smaller));
  EXPECT_EQ(smaller.size(), QSize(15, 15));
  EXPECT_EQ(rgb_at(smaller, 14, 14), 0xFF0000u);
  QImage none;
  EXPECT_TRUE(signs.draw(0, none));
  EXPECT_EQ(none.size(), QSize(50, 50));

  CellImageList crossing;  // takes its cell size from the first picture
  crossing.add(solid(15, 15, qRgb(1, 2, 3)));
  EXPECT_EQ(crossing.cell_width(), 15);
}

}  // namespace
}  // namespace cabsim
