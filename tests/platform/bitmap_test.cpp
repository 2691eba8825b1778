// 24-bit bitmaps: loading BMP and JPEG files (and refusing broken ones),
// copying, scan lines and the canvas's lines, boxes and centred text.
#include "platform/bitmap.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <fstream>

#include "platform/artefacts.h"
#include "platform/qt_app.h"
#include "platform/surface.h"
#include "state/frame_bitmap.h"
#include "support/test_files.h"

namespace cabsim {
namespace {

using test::rgb_at;

/// A 40 x 30 picture: left half red, right half blue, bottom row white.
QImage sample() {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(QColor(255, 0, 0));
  for (int y = 0; y < 30; ++y)
    for (int x = 20; x < 40; ++x) image.setPixel(x, y, qRgb(0, 0, 255));
  for (int x = 0; x < 40; ++x) image.setPixel(x, 29, qRgb(255, 255, 255));
  return image;
}

TEST(Bitmap, LoadsBmpAndJpegAndRefusesBrokenFiles) {
  test::ensure_qt_app();
  test::TempDir dir;
  ASSERT_TRUE(sample().save(QString::fromStdString((dir / "panel.bmp").string()), "BMP"));
  ASSERT_TRUE(sample().save(QString::fromStdString((dir / "title.jpg").string()), "JPEG", 95));

  Bitmap bmp;
  ASSERT_TRUE(bmp.load(dir / "panel.bmp"));
  EXPECT_EQ(bmp.width(), 40);
  EXPECT_EQ(bmp.height(), 30);
  EXPECT_EQ(bmp.pixel(5, 5), 0xFF0000u);
  EXPECT_EQ(bmp.pixel(25, 5), 0x0000FFu);
  EXPECT_EQ(bmp.pixel(40, 5), 0u);

  Bitmap jpeg;
  ASSERT_TRUE(jpeg.load(dir / "title.jpg"));
  EXPECT_GT(qRed(jpeg.pixel(5, 5)), 200);  // lossy, but clearly red
  EXPECT_LT(qBlue(jpeg.pixel(5, 5)), 60);

  // A JPEG named .bmp is still read: the content decides.
  std::filesystem::copy_file(dir / "title.jpg", dir / "misnamed.bmp");
  EXPECT_TRUE(Bitmap().load(dir / "misnamed.bmp"));

  // Missing, empty, truncated and garbage files fail and leave the picture.
  dir.write_bytes("empty.bmp", "");
  dir.write_bytes("garbage.bmp", std::string(500, '\x42'));
  std::ifstream in(dir / "panel.bmp", std::ios::binary);
  std::string whole((std::istreambuf_iterator<char>(in)), {});
  dir.write_bytes("truncated.bmp", whole.substr(0, 60));
  // A header claiming an enormous picture.
  std::string huge = whole.substr(0, 54);
  huge[18] = huge[19] = huge[20] = '\x7F';
  huge[22] = huge[23] = huge[24] = '\x7F';
  dir.write_bytes("huge.bmp", huge);
  for (const char* name : {"none.bmp", "empty.bmp", "garbage.bmp", "truncated.bmp", "huge.bmp"}) {
    EXPECT_FALSE(bmp.load(dir / name)) << name;
    EXPECT_EQ(bmp.width(), 40) << name;
    EXPECT_EQ(bmp.pixel(5, 5), 0xFF0000u) << name;
  }
}

TEST(Bitmap, ANamedPipeIsNoPicture) {
  test::TempDir dir;
  const auto pipe = dir / "panel.bmp";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  Bitmap picture;
  EXPECT_FALSE(picture.load(pipe));  // refused at once: opening it would wait for a writer
  EXPECT_TRUE(picture.empty());
}

TEST(Bitmap, DamagedPicturesLoadOrFailWithoutHarm) {
  test::ensure_qt_app();
  test::TempDir dir;
  for (const char* format : {"BMP", "JPEG"}) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(sample().save(&buffer, format));
    for (int step : {7, 31, 113}) {
      std::string damaged(encoded.constData(), static_cast<size_t>(encoded.size()));
      for (size_t i = 2; i < damaged.size(); i += static_cast<size_t>(step))
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
      dir.write_bytes("damaged.pic", damaged);
      Bitmap picture;
      if (picture.load(dir / "damaged.pic")) {
        EXPECT_GT(picture.width(), 0) << format << step;
        EXPECT_EQ(picture.scan_line(0).size(), static_cast<size_t>(picture.width()) * 3);
      }
    }
  }
}

TEST(Bitmap, ScanLinesHoldThreeBytesAPixelAndCopiesAreIndependent) {
  test::ensure_qt_app();
  Bitmap picture;
  picture.copy_from(sample());
  auto row = picture.scan_line(3);
  ASSERT_EQ(row.size(), 40u * 3);
  EXPECT_EQ(row[0], 255);  // red, green, blue
  EXPECT_EQ(row[1], 0);
  EXPECT_EQ(row[2], 0);
  EXPECT_EQ(row[20 * 3 + 2], 255);
  EXPECT_TRUE(picture.scan_line(-1).empty());
  EXPECT_TRUE(picture.scan_line(30).empty());

  Bitmap copy;
  copy.copy_from(picture);
  row[0] = 7;  // a change through the scan line is seen by the picture only
  EXPECT_EQ(qRed(picture.pixel(0, 3)), 7);
  EXPECT_EQ(qRed(copy.pixel(0, 3)), 255);

  // Into a surface: the whole picture, or into a surface of its own size.
  Surface surface(30, 20);
  surface.copy_in(copy);
  EXPECT_EQ(surface.width(), 30);
  EXPECT_EQ(surface.pixel(25, 5), 0x0000FFu);
  surface.load_from(copy);
  EXPECT_EQ(surface.width(), 40);
  EXPECT_EQ(surface.pixel(10, 29), 0xFFFFFFu);
  EXPECT_EQ(Bitmap(-3, 5).width(), 0);
  EXPECT_EQ(Bitmap(0, 0).canvas(), nullptr);
}

TEST(Bitmap, TakesFilmPicturesOfEitherLayoutTheRightWayUp) {
  test::ensure_qt_app();
  // Pixel (x, y) of each film picture: red x * 10, green y * 20, blue 0x5A.
  auto expected = [](int x, int y) {
    return static_cast<uint32_t>(x * 10 << 16 | y * 20 << 8 | 0x5A);
  };
  Bitmap picture;

  FrameBitmap rgb32(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) rgb32.row(y)[x] = 0xFF000000u | expected(x, y);
  picture.copy_from(rgb32);
  ASSERT_EQ(picture.width(), 7);
  EXPECT_EQ(picture.pixel(6, 4), expected(6, 4));

  // BGR24 rows, top row first and bottom row first, with rows that start on
  // 4-byte boundaries and with rows that do not (3 bytes a pixel, no padding).
  for (const int row_bytes : {24, 21}) {
    for (const bool bottom_up : {false, true}) {
      std::vector<uint8_t> memory(static_cast<size_t>(row_bytes) * 5 + 1);
      uint8_t* base = memory.data() + (row_bytes == 21 ? 1 : 0);  // unaligned on purpose
      const int32_t stride = bottom_up ? -row_bytes : row_bytes;
      uint8_t* first = bottom_up ? base + 4 * row_bytes : base;
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
          uint8_t* p = first + static_cast<ptrdiff_t>(y) * stride + 3 * x;
          p[0] = 0x5A;
          p[1] = static_cast<uint8_t>(y * 20);
          p[2] = static_cast<uint8_t>(x * 10);
        }
      FrameBitmap shared(7, 5, first, stride, nullptr);
      picture.copy_from(shared);
      ASSERT_EQ(picture.width(), 7);
      ASSERT_EQ(picture.height(), 5);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
          ASSERT_EQ(picture.pixel(x, y), expected(x, y))
              << x << "," << y << " row bytes " << row_bytes << (bottom_up ? " bottom up" : "");
    }
  }
  picture.copy_from(FrameBitmap(0, 0));
  EXPECT_TRUE(picture.empty());
}

TEST(Bitmap, CanvasDrawsLinesBoxesAndCentredTextClippedToItsBox) {
  test::ensure_qt_app();
  Bitmap clock(50, 50);
  {
    auto canvas = clock.canvas();
    canvas->set_brush(BrushStyle::kSolid, QColor(240, 240, 240));
    canvas->fill_rect(QRect(0, 0, 50, 50));
    canvas->set_pen(Qt::black, 1);
    canvas->move_to(QPoint(25, 25));
    canvas->line_to(QPoint(25, 5));                // a hand at twelve
    canvas->line(QPoint(25, 25), QPoint(45, 25));  // and at three
  }
  EXPECT_EQ(clock.pixel(0, 0), 0xF0F0F0u);
  EXPECT_EQ(clock.pixel(25, 10), 0u);
  EXPECT_EQ(clock.pixel(40, 25), 0u);
  EXPECT_EQ(clock.pixel(10, 40), 0xF0F0F0u);
  test::save_artefact(clock.image(), "bitmap_clock_hands");

  Bitmap band(200, 60);
  {
    auto canvas = band.canvas();
    canvas->set_brush(BrushStyle::kSolid, Qt::white);
    canvas->fill_rect(QRect(0, 0, 200, 60));
    canvas->set_brush(BrushStyle::kClear);
    canvas->set_font({"Meiryo", 12, false, false});
    canvas->set_font_colour(Qt::black);
    canvas->text_centred(QRect(20, 20, 160, 20), QString::fromUtf8("停車駅です"));
  }
  int inked_inside = 0, inked_outside = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) {
      bool ink = qRed(band.pixel(x, y)) < 128;
      bool inside = x >= 20 && x < 180 && y >= 20 && y < 40;
      (inside ? inked_inside : inked_outside) += ink;
    }
  EXPECT_GT(inked_inside, 40);
  EXPECT_EQ(inked_outside, 0);  // the 16-pixel font is clipped to the 20-row box
  // Centred: the ink spans from as far left of x = 100 as it reaches right.
  int first = 200, last = -1;
  for (int y = 20; y < 40; ++y)
    for (int x = 20; x < 180; ++x)
      if (qRed(band.pixel(x, y)) < 128) first = std::min(first, x), last = std::max(last, x);
  EXPECT_NEAR((first + last) / 2.0, 100.0, 3.0);
  EXPECT_GT(last - first, 60);
  test::save_artefact(band.image(), "bitmap_centred_text");
}

}  // namespace
}  // namespace cabsim
