// One full composition of the 684 x 704 cab view as the display pass draws
// it: the scene picture with 14 shadowed texts, 40 panel sprites (10 of them
// rotated needles), the scene laid over the panel, one alpha fill, present.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>

#include "platform/bitmap.h"
#include "platform/colour.h"
#include "platform/drawing_area.h"
#include "platform/sprite_engine.h"

namespace cabsim {
namespace {

/// A picture with some detail, so keying and blending do real work.
QImage pattern_picture(int w, int h, int seed) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixel(
          x, y, qRgb((x * 7 + seed * 31) & 255, (y * 5 + seed * 17) & 255, ((x ^ y) + seed) & 255));
  // A key-coloured border, as lamp pictures have.
  for (int x = 0; x < w; ++x) image.setPixel(x, h - 1, qRgb(0, 0, 0));
  return image;
}

struct Scene {
  DrawingArea area;
  Bitmap film_frame{684, 384};
  Surface scene{684, 384};
  PictureList pictures;
  SpriteEngine sprites;

  Scene() {
    area.initialize();
    film_frame.copy_from(pattern_picture(684, 384, 1));
    Picture& panel = pictures.add();
    panel.set_image(pattern_picture(684, 320, 2));
    panel.set_transparent(false);
    sprites.add_sprite(&panel).y = 384;
    for (int i = 0; i < 29; ++i) {  // lamps and indicator strips
      Picture& lamp = pictures.add();
      lamp.set_image(pattern_picture(48, 48, i + 3));
      lamp.set_transparent_colour(lamp.bottom_left_colour());
      Sprite& s = sprites.add_sprite(&lamp);
      s.x = 10 + (i % 10) * 66;
      s.y = 400 + (i / 10) * 90;
      s.depth = 20 + i;
    }
    for (int i = 0; i < 10; ++i) {  // needles
      Picture& needle = pictures.add();
      needle.set_image(pattern_picture(120, 120, i + 40));
      needle.set_transparent_colour(needle.bottom_left_colour());
      Sprite& s = sprites.add_rotating_sprite(&needle);
      s.x = 20 + i * 64;
      s.y = 480;
      s.depth = 64 + i;
      s.angle = 17 + i * 23;
    }
    Picture& shade = pictures.add();  // the tunnel shade, half dark
    shade.set_image(pattern_picture(684, 320, 99));
    Sprite& s = sprites.add_rotating_sprite(&shade);
    s.y = 384;
    s.depth = 50;
    s.alpha = 96;
  }

  void compose(int frame) {
    scene.copy_in(film_frame);
    {
      auto canvas = scene.canvas();
      canvas->set_brush(BrushStyle::kClear);
      canvas->set_font({"Meiryo", 14, true, true});
      QString speed = QString::asprintf("%5.1f km/h", 62.5 + frame % 10);
      canvas->set_font_colour(Qt::black);
      canvas->text_out(548, 316, speed);
      canvas->set_font_colour(colour_from_windows(kColourScrollBar));
      canvas->text_out(547, 315, speed);
      canvas->set_font({"Meiryo", 12, true, true});
      static const char* texts[] = {"前進",    "P3", "B0",       "",           "次は 花びら台",
                                    "6両",     "",   "12:34:56", "停車駅接近", "ATS-P 確認",
                                    "制限 45", "",   "1.5"};
      static const int xs[] = {547, 595, 629, 492, 7, 7, 103, 7, 7, 7, 479, 342, 479};
      static const int ys[] = {349, 349, 349, 349, 323, 292, 353, 353, 208, 170, 280, 19, 246};
      for (int i = 0; i < 13; ++i) {
        QString text = QString::fromUtf8(texts[i]);
        canvas->set_font_colour(Qt::black);
        canvas->text_out(xs[i] + 1, ys[i] + 1, text);
        canvas->set_font_colour(colour_from_windows(kColourScrollBar));
        canvas->text_out(xs[i], ys[i], text);
        benchmark::DoNotOptimize(canvas->text_width(text) + canvas->text_height(text));
      }
    }
    area.fill(Qt::black);
    sprites.draw(area.back_buffer());
    area.draw(scene, 0, 0, false);
    area.alpha_fill(QRect(0, 0, 684, 704), Qt::black, 40);
    area.present();
  }
};

void BM_ComposeCabView(benchmark::State& state) {
  Scene scene;
  int frame = 0;
  scene.compose(frame++);  // the keyed pictures are made once
  for (auto _ : state) scene.compose(frame++);
}
BENCHMARK(BM_ComposeCabView)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace cabsim

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
