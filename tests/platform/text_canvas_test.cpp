// Japanese text on surfaces: "Meiryo" drawn with the installed Japanese
// Gothic, placed by its top-left corner, with clear or solid brush, measured.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QRawFont>

#include "platform/artefacts.h"
#include "platform/colour.h"
#include "platform/fonts.h"
#include "platform/qt_app.h"
#include "platform/surface.h"

namespace cabsim {
namespace {

using test::rgb_at;

/// The bounding box of pixels that differ from `background`.
QRect ink_box(const QImage& image, uint32_t background) {
  int x0 = image.width(), y0 = image.height(), x1 = -1, y1 = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (rgb_at(image, x, y) != background)
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

TEST(Fonts, MeiryoIsDrawnWithTheJapaneseGothicThatHasEveryGlyph) {
  test::ensure_qt_app();
  QFont font = make_font({"Meiryo", 12, true, true});
  EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8(kJapaneseGothic));
  EXPECT_EQ(font.pixelSize(), 16);
  EXPECT_EQ(pixel_size_for_points(14), 19);
  EXPECT_EQ(pixel_size_for_points(6), 8);
  QRawFont raw = QRawFont::fromFont(font);
  for (char32_t c : {U'次', U'駅', U'ア', U'ん', U'～', U'A', U'9'})
    EXPECT_TRUE(raw.supportsCharacter(c)) << static_cast<uint32_t>(c);
  EXPECT_EQ(text_from_sjis("\x8E\x9F\x82\xCD"), QString::fromUtf8("次は"));
}

TEST(TextCanvas, ShadowedTextWithAClearBrushLeavesTheSceneAroundTheLetters) {
  test::ensure_qt_app();
  Surface scene(684, 384);
  scene.fill(QColor(30, 90, 30));
  const QString station = QString::fromUtf8("次は 花びら台 です");
  int width = 0, height = 0;
  {
    auto canvas = scene.canvas();
    canvas->set_brush(BrushStyle::kClear);
    canvas->set_font({"Meiryo", 12, true, true});
    canvas->set_font_colour(Qt::black);
    canvas->text_out(8, 324, station);
    canvas->set_font_colour(colour_from_windows(kColourScrollBar));
    canvas->text_out(7, 323, station);
    width = canvas->text_width(station);
    height = canvas->text_height(station);
  }
  test::save_artefact(scene.image(), "text_shadowed_station");
  EXPECT_GT(width, 100);
  EXPECT_GE(height, 16);
  QRect ink = ink_box(scene.image(), 0x1E5A1E);
  ASSERT_FALSE(ink.isNull());
  // The letters lie within the measured cell, starting at its top-left corner.
  EXPECT_GE(ink.left(), 7);
  EXPECT_LE(ink.right(), 8 + width + 2);
  EXPECT_GE(ink.top(), 323);
  EXPECT_LE(ink.bottom(), 324 + height);
  EXPECT_EQ(rgb_at(scene.image(), 7, 380), 0x1E5A1Eu);
  // Both the shadow and the light foreground appear.
  bool light = false, dark = false;
  for (int y = ink.top(); y <= ink.bottom(); ++y)
    for (int x = ink.left(); x <= ink.right(); ++x) {
      light |= rgb_at(scene.image(), x, y) == 0xC8C8C8u;
      dark |= rgb_at(scene.image(), x, y) == 0u;
    }
  EXPECT_TRUE(light);
  EXPECT_TRUE(dark);
}

TEST(TextCanvas, SolidBrushFillsTheTextCellAndWiderTextMeasuresWider) {
  test::ensure_qt_app();
  Surface post(200, 60);
  post.fill(Qt::white);
  int w = 0, h = 0;
  {
    auto canvas = post.canvas();
    canvas->set_font({"Meiryo", 6, false, false});
    EXPECT_LT(canvas->text_width("12.3"), canvas->text_width("12.34"));
    EXPECT_EQ(canvas->text_width(""), 0);
    canvas->set_brush(BrushStyle::kSolid, QColor(0, 0, 255));
    canvas->set_font_colour(QColor(0x66, 0x66, 0x66));
    canvas->text_out(10, 10, "61.5");
    w = canvas->text_width("61.5");
    h = canvas->text_height("61.5");
    FontSpec bold{"Meiryo", 6, true, false};
    canvas->set_font(bold);
    EXPECT_GE(canvas->text_width("61.5"), w);
  }
  // The whole cell is the brush colour except where the letters are.
  EXPECT_EQ(rgb_at(post.image(), 10, 10), 0x0000FFu);
  EXPECT_EQ(rgb_at(post.image(), 10 + w - 1, 10 + h - 1), 0x0000FFu);
  EXPECT_EQ(rgb_at(post.image(), 10 + w, 10), 0xFFFFFFu);
  EXPECT_EQ(rgb_at(post.image(), 10, 10 + h), 0xFFFFFFu);
  // A white key turns the untouched part transparent.
  post.set_transparent_colour(0xFFFFFF);
  EXPECT_EQ(qAlpha(post.keyed_image().pixel(150, 50)), 0);
  EXPECT_EQ(qAlpha(post.keyed_image().pixel(10, 10)), 255);
  test::save_artefact(post.image(), "text_solid_brush");
}

}  // namespace
}  // namespace cabsim
