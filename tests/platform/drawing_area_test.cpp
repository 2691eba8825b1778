// The drawing area and off-screen surfaces: initialise and finalise events,
// fill, opaque and keyed drawing, alpha fill and present, by pixel probes.
#include "platform/drawing_area.h"

#include <gtest/gtest.h>

#include "platform/artefacts.h"
#include "platform/colour.h"
#include "platform/qt_app.h"
#include "platform/sprite_engine.h"

namespace cabsim {
namespace {

using test::rgb_at;

TEST(DrawingArea, InitialiseAndFinaliseEventsFrameTheTimeItCanDraw) {
  test::ensure_qt_app();
  std::vector<std::string> events;
  {
    DrawingArea area;
    area.on_initialize = [&] { events.push_back(area.can_draw() ? "init+draw" : "init"); };
    area.on_finalize = [&] { events.push_back(area.can_draw() ? "fin+draw" : "fin"); };
    EXPECT_FALSE(area.can_draw());
    area.fill(Qt::white);  // nothing to draw on yet: no effect, no crash
    area.show();           // showing initialises
    EXPECT_TRUE(area.can_draw());
    EXPECT_EQ(area.size(), QSize(684, 704));
    EXPECT_GT(area.refresh_interval_ms(), 0.9);
    EXPECT_LE(area.refresh_interval_ms(), 1000.0);
    area.initialize();  // once only
    area.finalize();
    EXPECT_FALSE(area.can_draw());
    area.present();
    area.initialize();
  }  // going away finalises
  EXPECT_EQ(events, (std::vector<std::string>{"init+draw", "fin+draw", "init+draw", "fin+draw"}));
}

TEST(DrawingArea, DrawsSurfacesOpaqueOrWithoutTheirTransparentColour) {
  test::ensure_qt_app();
  DrawingArea area;
  area.initialize();
  area.fill(colour_from_windows(0x0000FF));  // red in the desktop's byte order
  EXPECT_EQ(rgb_at(area.back_buffer(), 683, 703), 0xFF0000u);

  Surface sprite(20, 10);
  sprite.fill(QColor(0, 255, 0));
  {
    auto canvas = sprite.canvas();
    canvas->set_brush(BrushStyle::kSolid, QColor(0, 0, 255));
    canvas->fill_rect(QRect(0, 0, 10, 10));  // left half blue
  }
  EXPECT_EQ(sprite.pixel(2, 2), 0x0000FFu);
  EXPECT_EQ(sprite.pixel(15, 2), 0x00FF00u);
  EXPECT_EQ(sprite.pixel(-1, 0), 0u);
  EXPECT_EQ(sprite.pixel(20, 0), 0u);

  sprite.set_transparent_colour(0x00FF00);
  area.draw(sprite, 100, 100, false);
  area.draw(sprite, 100, 200, true);
  area.draw(sprite, 675, 698, false);  // clipped at the edge
  QImage& back = area.back_buffer();
  EXPECT_EQ(rgb_at(back, 102, 102), 0x0000FFu);
  EXPECT_EQ(rgb_at(back, 115, 102), 0x00FF00u);  // opaque: the key colour is drawn
  EXPECT_EQ(rgb_at(back, 102, 202), 0x0000FFu);
  EXPECT_EQ(rgb_at(back, 115, 202), 0xFF0000u);  // keyed: the background shows
  EXPECT_EQ(rgb_at(back, 683, 703), 0x0000FFu);

  // Changing the surface after a keyed draw is seen by the next one.
  {
    auto canvas = sprite.canvas();
    canvas->set_brush(BrushStyle::kSolid, QColor(0, 255, 0));
    canvas->fill_rect(QRect(0, 0, 5, 10));
  }
  area.draw(sprite, 300, 300, true);
  EXPECT_EQ(rgb_at(back, 302, 302), 0xFF0000u);
  EXPECT_EQ(rgb_at(back, 307, 302), 0x0000FFu);
  test::save_artefact(back, "drawing_area_surfaces");
}

TEST(DrawingArea, AlphaFillBlendsByLevelAndPresentShowsTheFrame) {
  test::ensure_qt_app();
  DrawingArea area;
  area.initialize();
  area.fill(Qt::white);
  area.alpha_fill(QRect(0, 0, 100, 100), Qt::black, 0);
  area.alpha_fill(QRect(100, 0, 100, 100), Qt::black, 128);
  area.alpha_fill(QRect(200, 0, 100, 100), Qt::black, 255);
  area.alpha_fill(QRect(300, 0, 100, 100), Qt::black, 999);  // clamped to 255
  const QImage& back = area.back_buffer();
  EXPECT_EQ(rgb_at(back, 50, 50), 0xFFFFFFu);
  EXPECT_NEAR(qRed(back.pixel(150, 50)), 127, 1);
  EXPECT_EQ(rgb_at(back, 250, 50), 0u);
  EXPECT_EQ(rgb_at(back, 350, 50), 0u);
  EXPECT_EQ(rgb_at(back, 250, 100), 0xFFFFFFu);  // the box ends before row 100

  area.present();
  EXPECT_EQ(rgb_at(area.shown(), 250, 50), 0u);
  EXPECT_EQ(rgb_at(area.shown(), 50, 50), 0xFFFFFFu);
  // What the widget paints is the frame presented.
  QImage grabbed = area.grab().toImage();
  EXPECT_EQ(rgb_at(grabbed, 250, 50), 0u);
  test::save_artefact(grabbed, "drawing_area_alpha_fill");
}

TEST(DrawingArea, TheSceneCoversTheTopRowsAndThePanelShowsBelow) {
  test::ensure_qt_app();
  DrawingArea area;
  area.initialize();
  PictureList pictures;
  Picture& panel = pictures.add();
  QImage panel_image(684, 320, QImage::Format_RGB32);
  panel_image.fill(qRgb(90, 90, 100));
  panel.set_image(panel_image);
  panel.set_transparent(false);
  Picture& lamp = pictures.add();
  QImage lamp_image(30, 30, QImage::Format_RGB32);
  lamp_image.fill(qRgb(0, 0, 0));
  for (int y = 5; y < 25; ++y)
    for (int x = 5; x < 25; ++x) lamp_image.setPixel(x, y, qRgb(255, 160, 0));
  lamp.set_image(lamp_image);
  lamp.set_transparent_colour(lamp.bottom_left_colour());
  SpriteEngine sprites;
  sprites.add_sprite(&panel).y = 384;
  Sprite& lit = sprites.add_sprite(&lamp);
  lit.x = 100;
  lit.y = 370;  // reaches up into the cab window, which will cover it
  lit.depth = 51;

  Surface scene(684, 384);
  scene.fill(QColor(120, 170, 220));
  {
    auto canvas = scene.canvas();
    canvas->set_brush(BrushStyle::kClear);
    canvas->set_font({"Meiryo", 14, true, true});
    canvas->set_font_colour(Qt::black);
    canvas->text_out(548, 316, "  45.0 km/h");
    canvas->set_font_colour(colour_from_windows(kColourScrollBar));
    canvas->text_out(547, 315, "  45.0 km/h");
  }
  area.fill(Qt::black);
  sprites.draw(area.back_buffer());
  area.draw(scene, 0, 0, false);
  area.present();
  const QImage& shown = area.shown();
  test::save_artefact(shown, "drawing_area_cab_view");
  EXPECT_EQ(rgb_at(shown, 110, 380), 0x78AADCu);  // scene over the lamp's top
  EXPECT_EQ(rgb_at(shown, 110, 390), 0xFFA000u);  // the lamp over the panel
  EXPECT_EQ(rgb_at(shown, 102, 398), 0x5A5A64u);  // keyed edge: the panel shows
  EXPECT_EQ(rgb_at(shown, 600, 600), 0x5A5A64u);
}

TEST(Colour, DesktopColourValuesAndSchemeColours) {
  EXPECT_EQ(colour_from_windows(0x663311), QColor(0x11, 0x33, 0x66));
  EXPECT_EQ(windows_from_colour(QColor(0x11, 0x33, 0x66)), 0x663311);
  EXPECT_EQ(colour_from_windows(kColourScrollBar), QColor(0xC8, 0xC8, 0xC8));
  EXPECT_EQ(colour_from_windows(kColourButtonFace), QColor(0xF0, 0xF0, 0xF0));
  EXPECT_EQ(colour_from_windows(-1), QColor(Qt::black));  // no scheme colour 255
}

}  // namespace
}  // namespace cabsim
