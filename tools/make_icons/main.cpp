// make_icons: draws the program's icon, a view along the track from the cab
// towards a green signal, as PNG files of the hicolor sizes:
// OUTPUT_DIR/<size>x<size>/apps/<name>.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

/// The icon at `size` pixels, drawn on a 256-unit square.
QImage draw_icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 256.0, size / 256.0);

  QPainterPath frame;
  frame.addRoundedRect(QRectF(8, 8, 240, 240), 36, 36);
  p.setClipPath(frame);
  QLinearGradient sky(0, 8, 0, 128);
  sky.setColorAt(0, QColor(40, 110, 200));
  sky.setColorAt(1, QColor(170, 210, 240));
  p.fillRect(QRectF(0, 0, 256, 130), sky);
  p.fillRect(QRectF(0, 128, 256, 128), QColor(70, 120, 60));
  // The ballast and the two rails, meeting at the horizon.
  QPainterPath ballast;
  ballast.moveTo(120, 128);
  ballast.lineTo(136, 128);
  ballast.lineTo(236, 256);
  ballast.lineTo(20, 256);
  ballast.closeSubpath();
  p.fillPath(ballast, QColor(150, 140, 125));
  p.setPen(QPen(QColor(235, 235, 240), 9, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(125, 128), QPointF(62, 256));
  p.drawLine(QPointF(131, 128), QPointF(194, 256));
  // The signal beside the line, showing proceed.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 60, 60));
  p.drawRect(QRectF(183, 92, 8, 70));
  p.setBrush(QColor(25, 25, 25));
  p.drawRoundedRect(QRectF(166, 40, 42, 62), 10, 10);
  p.setBrush(QColor(40, 230, 90));
  p.drawEllipse(QPointF(187, 58), 12, 12);
  p.setBrush(QColor(90, 30, 30));
  p.drawEllipse(QPointF(187, 86), 10, 10);
  // The cab window's frame.
  p.setClipping(false);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(30, 35, 45), 14));
  p.drawRoundedRect(QRectF(15, 15, 226, 226), 30, 30);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icons OUTPUT_DIR NAME\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  for (int size : kSizes) {
    const QString folder = QString("%1/%2x%2/apps").arg(out).arg(size);
    if (!QDir().mkpath(folder) || !draw_icon(size).save(folder + "/" + name + ".png", "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
