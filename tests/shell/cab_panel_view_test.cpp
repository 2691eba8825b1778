// The cab panel on screen: every picture made with its name, key, depth and
// start visibility from BMP files the test draws, the tick's panel state shown
// on the sprites, and the analogue clock face, checked by pixel probes.
#include "shell/cab_panel_view.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "data/definition_error.h"
#include "input/handle_pictures.h"
#include "platform/artefacts.h"
#include "platform/colour.h"
#include "platform/drawing_area.h"
#include "platform/qt_app.h"
#include "presentation/panel_gauges.h"
#include "presentation/panel_lamps.h"
#include "shell/clock_face.h"
#include "state/panel_layout.h"
#include "support/test_files.h"
#include "support/train_builder.h"

namespace cabsim {
namespace {

using E = PanelElement;
using test::rgb_at;

constexpr QRgb kKey = qRgb(255, 0, 255);  // the pictures' transparent colour
constexpr uint32_t kPanelGrey = 0x404040;

/// A `w` x `h` picture of `fill` with its bottom-left pixel in `corner`.
QImage drawn(int w, int h, QRgb fill, QRgb corner) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(fill);
  image.setPixel(0, h - 1, corner);
  return image;
}

void write_bmp(const test::TempDir& dir, const std::string& name, const QImage& image) {
  std::filesystem::create_directories((dir / name).parent_path());
  ASSERT_TRUE(image.save(QString::fromStdString((dir / name).string()), "BMP"));
}

/// A needle: a keyed square with a white bar from the centre straight up.
QImage needle_picture() {
  QImage image = drawn(41, 41, kKey, kKey);
  QPainter painter(&image);
  painter.fillRect(18, 2, 5, 18, Qt::white);
  return image;
}

/// Three 20 x 20 patterns side by side: red, yellow, green, keyed corners.
QImage signal_strip() {
  QImage image(60, 20, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.fillRect(0, 0, 20, 20, QColor(255, 0, 0));
  painter.fillRect(20, 0, 20, 20, QColor(255, 255, 0));
  painter.fillRect(40, 0, 20, 20, QColor(0, 255, 0));
  painter.end();
  image.setPixel(0, 19, kKey);
  return image;
}

struct PanelFixture {
  test::TempDir dir;
  CabPanelDefinition def;

  PanelFixture() {
    // Files sit in the train folder; the definition names them with the
    // train directory prefix and backslashes, as route authors write them.
    write_bmp(dir, "train/panel.bmp", drawn(684, 320, qRgb(0x40, 0x40, 0x40), kKey));
    write_bmp(dir, "train/shade.bmp", drawn(684, 320, qRgb(0, 0, 0), kKey));
    write_bmp(dir, "train/fwd.bmp", drawn(20, 20, qRgb(255, 0, 0), kKey));
    write_bmp(dir, "train/back.bmp", drawn(20, 20, qRgb(0, 0, 255), kKey));
    write_bmp(dir, "train/needle.bmp", needle_picture());
    write_bmp(dir, "train/bar.bmp", drawn(10, 200, qRgb(0, 200, 0), qRgb(0, 0, 0)));
    write_bmp(dir, "train/mrbar.bmp", drawn(10, 200, qRgb(0, 0, 200), kKey));
    write_bmp(dir, "train/signal.bmp", signal_strip());
    write_bmp(dir, "train/other.bmp", drawn(16, 16, qRgb(255, 255, 255), kKey));
    def.Panel = {"train\\panel.bmp", 0, 384};
    def.Panel2 = {"train\\shade.bmp", 0, 384};
    def.Lamp_Fwd = {"train\\fwd.bmp", 20, 400};
    def.Lamp_Back = {"train\\back.bmp", 50, 400};
    def.Needle_Speed = {"train\\needle.bmp", 100, 450, 0, 0, 0, 1.5, 0, 0};
    def.Needle_BC_L = {"train\\bar.bmp", 300, 0, 0, 0, 600, 0.25};
    def.Needle_MR_L = {"train\\mrbar.bmp", 320, 0, 0, 0, 600, 0.1};
    def.Lamp_signal = {200, 420, 20, 20, "train\\signal.bmp"};
    def.Lamp_signal_speeds = {0, 25, 45};
    def.Lamp_signal_count = 3;
    def.Others_count = 2;
    def.Others[0] = {"train\\other.bmp", 400, 400};
    def.Others[1] = {"train\\other.bmp", 420, 400};
  }
};

QImage draw_panel(const SpriteEngine& engine) {
  QImage area(DrawingArea::kWidth, DrawingArea::kHeight, QImage::Format_RGB32);
  area.fill(Qt::black);
  engine.draw(area);
  return area;
}

TEST(CabPanelView, MakesEveryPictureWithItsNameKeyDepthAndStartVisibility) {
  test::ensure_qt_app();
  PanelFixture f;
  PictureList pictures;
  SpriteEngine engine;
  CabPanelView view(pictures, engine);
  PanelState state = initial_panel_state();
  view.make_indicators(f.def, f.dir.path(), state);
  EXPECT_EQ(engine.count(), 1);  // only the cab signal among the indicators
  view.make_panel(f.def, f.dir.path(), state);
  EXPECT_EQ(engine.count(), 10);
  EXPECT_EQ(pictures.count(), 10);

  ASSERT_NE(pictures.find("IMG_PANEL"), nullptr);
  EXPECT_FALSE(pictures.find("img_Panel")->transparent());
  EXPECT_TRUE(pictures.find("img_lamp_fwd")->transparent());
  EXPECT_EQ(pictures.find("img_Lamp_Fwd")->transparent_colour(), 0xFF00FFu);
  EXPECT_FALSE(pictures.find("img_Needle_MR_L")->transparent());
  EXPECT_EQ(pictures.find("img_Needle_MR_L")->transparent_colour(), 0xFF00FFu);
  ASSERT_NE(pictures.find("img_other1"), nullptr);
  EXPECT_EQ(pictures.find("img_other2"), nullptr);
  EXPECT_EQ(pictures.find("img_cabsignal")->pattern_count(), 3);

  EXPECT_EQ(view.sprite(E::kPanel)->depth, 0);
  EXPECT_EQ(view.sprite(E::kPanel2)->depth, 50);
  EXPECT_TRUE(view.sprite(E::kPanel2)->rotating);
  EXPECT_EQ(view.sprite(E::kPanel2)->alpha, 0);
  EXPECT_EQ(view.sprite(E::kNeedleSpeed)->depth, 64);
  EXPECT_TRUE(view.sprite(E::kNeedleSpeed)->rotating);
  EXPECT_EQ(view.sprite(E::kBarBC)->y, 0);  // bars start at the top
  EXPECT_EQ(view.sprite(E::kBarBC)->x, 300);
  EXPECT_EQ(view.sprite(E::kOther0)->depth, 20);
  EXPECT_EQ(view.sprite(other_picture(1))->depth, 21);
  EXPECT_FALSE(view.sprite(other_picture(1))->visible);
  EXPECT_TRUE(view.sprite(E::kLampFwd)->visible);
  EXPECT_FALSE(view.sprite(E::kLampBack)->visible);
  EXPECT_EQ(view.sprite(E::kLampDoor), nullptr);  // not in this train file
  EXPECT_EQ(view.sprite(E::kNotchP), nullptr);
  EXPECT_TRUE(state[E::kCabSignal].present);
  EXPECT_EQ(state[E::kCabSignal].pattern_count, 3);
  EXPECT_FALSE(state[E::kLampDoor].present);

  QImage area = draw_panel(engine);
  test::save_artefact(area, "cab_panel_start");
  EXPECT_EQ(rgb_at(area, 0, 703), 0xFF00FFu);    // the base panel is opaque
  EXPECT_EQ(rgb_at(area, 5, 500), kPanelGrey);   // shade at alpha 0: not seen
  EXPECT_EQ(rgb_at(area, 30, 410), 0xFF0000u);   // forward lamp lit
  EXPECT_EQ(rgb_at(area, 20, 419), kPanelGrey);  // its keyed corner
  EXPECT_EQ(rgb_at(area, 60, 410), kPanelGrey);  // reverse lamp hidden
  EXPECT_EQ(rgb_at(area, 120, 455), 0xFFFFFFu);  // needle up at zero
  EXPECT_EQ(rgb_at(area, 205, 425), 0xFF0000u);  // cab signal pattern 0
}

TEST(CabPanelView, ShowsTheTicksNeedlesBarsPatternsAndShade) {
  test::ensure_qt_app();
  PanelFixture f;
  PictureList pictures;
  SpriteEngine engine;
  CabPanelView view(pictures, engine);
  PanelState state = initial_panel_state();
  view.make_indicators(f.def, f.dir.path(), state);
  view.make_panel(f.def, f.dir.path(), state);

  TrainParams train;
  train.panel = f.def;
  RunState s = initial_run_state(train);
  RunView run_view;
  run_view.panel = state;
  s.speed = 60;  // 60 x 1.5 = 90 degrees: 64 units, a quarter turn
  s.trailer_brake_cylinder = Fixed::from_real(440);
  s.main_reservoir = Fixed::from_real(800);
  update_panel_gauges(s, run_view, train);
  EXPECT_EQ(run_view.panel[E::kNeedleSpeed].angle, 64);
  EXPECT_TRUE(show_cab_signal_speed(run_view, f.def, 25));
  RouteTables route;
  route.Tunnel_count = 1;
  route.Tunnel[0] = {0, 0, 128, 0, 100000};
  update_tunnel_shade(run_view.panel, route, 50000, false);
  run_view.forward_lamp = 0;
  run_view.backward_lamp = 1;
  show_handle_pictures(s, run_view, train);
  view.apply(run_view.panel);

  QImage area = draw_panel(engine);
  test::save_artefact(area, "cab_panel_running");
  // The shade halves the panel's grey (0x40 at alpha 128 over it).
  uint32_t shaded = rgb_at(area, 5, 500);
  EXPECT_GE(shaded & 0xFF, 0x1E);
  EXPECT_LE(shaded & 0xFF, 0x22);
  // Reverser backwards: the forward lamp is out, the reverse lamp lit (shaded).
  EXPECT_LT(qRed(area.pixel(30, 410)), 0x30);
  EXPECT_GT(qBlue(area.pixel(60, 410)), 0x60);
  EXPECT_LT(qRed(area.pixel(60, 410)), 0x30);
  // The needle now points right, the top is empty.
  EXPECT_GT(qRed(area.pixel(132, 470)), 0x80);
  EXPECT_LT(qRed(area.pixel(120, 455)), 0x40);
  // The cab signal shows pattern 1 (yellow) under the shade.
  EXPECT_GT(qRed(area.pixel(205, 425)), 0x60);
  EXPECT_GT(qGreen(area.pixel(205, 425)), 0x60);
  // The brake cylinder bar's top at 600 - 110 = 490.
  EXPECT_EQ(view.sprite(E::kBarBC)->y, 490);
  EXPECT_EQ(view.sprite(E::kBarMR)->y, 600 - 80);
}

TEST(CabPanelView, BuildsThePanelOfATrainFileFromItsTrainFolder) {
  test::ensure_qt_app();
  test::TempDir dir;
  // Japanese file names are Shift-JIS in the train file and UTF-8 on disk.
  write_bmp(dir, "trains/emu/パネル.bmp", drawn(684, 320, qRgb(0x40, 0x40, 0x40), kKey));
  write_bmp(dir, "trains/emu/signal.bmp", signal_strip());
  write_bmp(dir, "trains/emu/lamp.bmp", drawn(20, 20, qRgb(255, 0, 0), kKey));
  test::TrainFileText text;
  text.set("[Clock]", "0\n400\n20")
      .set("[Panel]", "パネル.bmp\n0\n384")
      .set("[Lamp_Const]", "LAMP.BMP\n10\n390")  // written in another case
      .set("[Lamp_signal]", "200\n420\n20\n20\nsignal.bmp\n0\n25\n45\n#")
      .set("[NotchImageP]", "0\n0\n10\n10\n")
      .set("[Others]", "lamp.bmp\n400\n400\nlamp.bmp\n430\n400\n#");
  TrainParams train =
      read_train_file(dir.write_sjis("train_emu.dat", text.text()), "trains\\emu\\");

  PictureList pictures;
  SpriteEngine engine;
  CabPanelView view(pictures, engine);
  RunState s = initial_run_state(train);
  RunView run_view;
  view.make_indicators(train.panel, dir.path(), run_view.panel);
  view.make_panel(train.panel, dir.path(), run_view.panel);
  EXPECT_EQ(engine.count(), 5);  // no image line for the notch picture: no sprite
  EXPECT_EQ(view.sprite(E::kNotchP), nullptr);
  EXPECT_EQ(view.sprite(E::kPanel2), nullptr);  // no second panel in this train
  EXPECT_FALSE(analogue_clock_shown(train.panel.Clock));
  ASSERT_NE(view.sprite(E::kLampConst), nullptr);

  EXPECT_TRUE(show_cab_signal_speed(run_view, train.panel, 25));
  run_view.constant_speed_lamp = 1;
  show_handle_pictures(s, run_view, train);
  RouteTables route;  // a tunnel does nothing to a panel without a shade
  route.Tunnel_count = 1;
  route.Tunnel[0] = {0, 0, 200, 0, 100000};
  update_tunnel_shade(run_view.panel, route, 50000, false);
  view.apply(run_view.panel);
  QImage area = draw_panel(engine);
  test::save_artefact(area, "cab_panel_train_file");
  EXPECT_EQ(rgb_at(area, 205, 425), 0xFFFF00u);   // pattern 1 of the cab signal
  EXPECT_EQ(rgb_at(area, 15, 395), 0xFF0000u);    // the constant-speed lamp lit
  EXPECT_EQ(rgb_at(area, 405, 405), kPanelGrey);  // extra pictures start hidden

  TrainParams missing = train;
  missing.panel.Lamp_Door.file = "trains\\emu\\" + std::string("\x96\xB3\x82\xA2.bmp");  // 無い
  PictureList more;
  SpriteEngine more_sprites;
  CabPanelView failing(more, more_sprites);
  try {
    failing.make_panel(missing.panel, dir.path(), run_view.panel);
    FAIL() << "a missing picture was accepted";
  } catch (const DefinitionError& e) {
    EXPECT_STREQ(e.what(), "trains\\emu\\無い.bmpの生成エラー");
  }
}

TEST(CabPanelView, APictureThatCannotBeLoadedIsACreationError) {
  test::ensure_qt_app();
  test::TempDir dir;
  dir.write_bytes("broken.bmp", "BM not a picture");
  PictureList pictures;
  SpriteEngine engine;
  CabPanelView view(pictures, engine);
  PanelState state = initial_panel_state();
  CabPanelDefinition def;
  def.Lamp_Door = {"nolamp.bmp", 1, 1};
  try {
    view.make_panel(def, dir.path(), state);
    FAIL() << "a missing picture was accepted";
  } catch (const DefinitionError& e) {
    EXPECT_STREQ(e.what(), "nolamp.bmpの生成エラー");
  }
  def.Lamp_Door = {};
  def.NotchImageB = {0, 0, 10, 10, "broken.bmp"};
  try {
    view.make_indicators(def, dir.path(), state);
    FAIL() << "a broken picture was accepted";
  } catch (const DefinitionError& e) {
    EXPECT_STREQ(e.what(), "broken.bmpの生成エラー");
  }
  // Without any panel file nothing is made and the state is shown safely.
  PictureList none;
  SpriteEngine empty;
  CabPanelView bare(none, empty);
  PanelState bare_state = initial_panel_state();
  bare.make_indicators(CabPanelDefinition{}, dir.path(), bare_state);
  bare.make_panel(CabPanelDefinition{}, dir.path(), bare_state);
  bare.apply(bare_state);
  EXPECT_EQ(empty.count(), 0);
}

TEST(ClockFace, PaintsTheHandsOnTheButtonFace) {
  test::ensure_qt_app();
  Bitmap clock;
  paint_clock_face(clock, clock_hands(PanelClock{600, 400, 20}, 3 * 3600 * 30));
  ASSERT_EQ(clock.width(), 50);
  Bitmap big(400, 400);
  big.copy_from(clock.image().scaled(400, 400));
  test::save_artefact(big.image(), "cab_panel_clock_three");
  uint32_t face = clock.pixel(0, 0);
  EXPECT_EQ(face, colour_from_windows(kColourButtonFace).rgb() & 0xFFFFFFu);
  EXPECT_EQ(clock.pixel(25, 25), 0u);  // the hands' centre
  EXPECT_EQ(clock.pixel(25, 10), 0u);  // minute and second hands up
  EXPECT_EQ(clock.pixel(35, 25), 0u);  // hour hand at three
  EXPECT_EQ(clock.pixel(15, 25), face);
  EXPECT_EQ(clock.pixel(25, 40), face);
}

}  // namespace
}  // namespace cabsim
