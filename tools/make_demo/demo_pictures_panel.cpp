// The cab panels of the trains: body with dials, needles, lamps,
// indicators, digits and the extra pictures.
#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <iterator>

#include "demo_pictures.h"

namespace demo {

QFont picture_font(int pixels, bool bold) {
  QFont f("Noto Sans CJK JP");
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

QImage key_image(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(kKeyColour);
  return img;
}

void save_picture(Output& out, const std::string& name, const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  bool jpeg = name.size() > 4 && name.substr(name.size() - 4) == ".jpg";
  if (jpeg)
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "JPG", 90);
  else
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
  out.write(name, std::string_view(bytes.constData(), size_t(bytes.size())));
}

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Dial {
  QPointF centre;
  double radius;
  double min_value;
  double max_value;
  double step;  ///< between numbered marks
  const char* caption;
};

/// A round gauge over 270 degrees, 0 at lower left.
void draw_dial(QPainter& p, const Dial& d) {
  p.setPen(QPen(QColor(30, 30, 30), 3));
  p.setBrush(QColor(245, 245, 238));
  p.drawEllipse(d.centre, d.radius, d.radius);
  p.setFont(picture_font(int(d.radius / 6.5)));
  int marks = int(std::round((d.max_value - d.min_value) / d.step));
  for (int i = 0; i <= marks * 2; ++i) {
    double angle = (-135 + 270.0 * i / (marks * 2)) * kPi / 180;
    QPointF dir(std::sin(angle), -std::cos(angle));
    double inner = i % 2 ? 0.86 : 0.8;
    p.setPen(QPen(QColor(20, 20, 20), i % 2 ? 1 : 2));
    p.drawLine(d.centre + dir * d.radius * inner, d.centre + dir * d.radius * 0.95);
    if (i % 2 == 0) {
      QPointF at = d.centre + dir * d.radius * 0.66;
      p.drawText(QRectF(at.x() - 20, at.y() - 10, 40, 20), Qt::AlignCenter,
                 QString::number(int(d.min_value + i / 2 * d.step)));
    }
  }
  p.setFont(picture_font(int(d.radius / 7)));
  p.drawText(QRectF(d.centre.x() - 40, d.centre.y() + d.radius * 0.3, 80, 20), Qt::AlignCenter,
             QString::fromUtf8(d.caption));
}

QImage needle(int size, double length, QColor colour) {
  QImage img = key_image(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  QPointF c(size / 2.0, size / 2.0);
  QPainterPath path;
  path.moveTo(c + QPointF(-3, 12));
  path.lineTo(c + QPointF(-1.5, -length));
  path.lineTo(c + QPointF(1.5, -length));
  path.lineTo(c + QPointF(3, 12));
  path.closeSubpath();
  p.fillPath(path, colour);
  p.setBrush(QColor(60, 60, 60));
  p.setPen(Qt::NoPen);
  p.drawEllipse(c, 5, 5);
  return img;
}

QImage lamp(const QString& text, QColor lit) {
  QImage img = key_image(48, 24);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(lit);
  p.setPen(QPen(QColor(40, 40, 40), 1));
  p.drawRoundedRect(QRectF(1, 1, 46, 22), 5, 5);
  p.setPen(lit.lightness() > 140 ? QColor(20, 20, 20) : QColor(250, 250, 250));
  p.setFont(picture_font(text.size() > 3 ? 10 : 13, true));
  p.drawText(QRectF(0, 0, 48, 24), Qt::AlignCenter, text);
  return img;
}

/// A vertical strip of text patterns, `w` x `h` each.
QImage strip(const std::vector<QString>& labels, int w, int h, QColor fg, QColor bg) {
  QImage img(w, h * int(labels.size()), QImage::Format_RGB32);
  img.fill(QColor(20, 20, 20));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  for (size_t i = 0; i < labels.size(); ++i) {
    QRectF r(1, h * double(i) + 1, w - 2, h - 2);
    p.fillRect(r, bg);
    p.setPen(fg);
    p.setFont(picture_font(int(h * 0.62), true));
    p.drawText(r, Qt::AlignCenter, labels[i]);
  }
  return img;
}

void body(Output& out, const PanelDesign& d) {
  QImage img(kPanelWidth, kPanelHeight, QImage::Format_RGB32);
  QColor colour = QColor::fromRgb(d.colour);
  img.fill(colour);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Window sill and the desk's shading.
  QLinearGradient g(0, 0, 0, kPanelHeight);
  g.setColorAt(0, colour.lighter(125));
  g.setColorAt(1, colour.darker(150));
  p.fillRect(img.rect(), g);
  p.fillRect(QRect(0, 0, kPanelWidth, 6), QColor(30, 30, 30));
  draw_dial(p, {QPointF(160, 180), 95, 0, 140, 20, "km/h"});
  draw_dial(p, {QPointF(370, 180), 65, 0, 1000, 200, d.diesel ? "MR / BP  kPa" : "MR / BC  kPa"});
  if (!d.diesel) {
    draw_dial(p, {QPointF(635, 95), 33, 0, 2000, 1000, "V"});
    draw_dial(p, {QPointF(635, 195), 33, -500, 500, 500, "A"});
  }
  // The linear pressure bar's scale.
  p.setPen(QColor(235, 235, 235));
  p.setFont(picture_font(9));
  p.fillRect(QRect(446, 130, 24, 152), QColor(25, 25, 25));
  for (int kpa = 0; kpa <= 500; kpa += 100)
    p.drawText(QPoint(474, 284 - int(kpa * 0.3)), QString::number(kpa));
  p.setFont(picture_font(16, true));
  p.setPen(QColor(240, 240, 230));
  p.drawText(QRect(560, 290, 120, 26), Qt::AlignRight | Qt::AlignVCenter,
             QString::fromStdString(d.title));
  p.end();
  save_picture(out, d.dir + "panel.bmp", img);
  QImage shade(kPanelWidth, kPanelHeight, QImage::Format_RGB32);
  shade.fill(QColor(10, 10, 20));
  save_picture(out, d.dir + "panel_shade.bmp", shade);
}

void lamps(Output& out, const PanelDesign& d) {
  struct L {
    const char* file;
    const char* text;
    QColor colour;
  };
  const L list[] = {
      {"lamp_door.bmp", "戸閉", QColor(255, 190, 60)},
      {"lamp_power.bmp", "力行", QColor(120, 230, 120)},
      {"lamp_eb.bmp", "EB", QColor(255, 70, 50)},
      {"lamp_gen.bmp", "回生", QColor(90, 200, 255)},
      {"lamp_air.bmp", "空制", QColor(90, 200, 255)},
      {"lamp_fin.bmp", "限流", QColor(255, 240, 120)},
      {"lamp_ats1.bmp", "ATS", QColor(250, 250, 250)},
      {"lamp_ats2.bmp", "ATS", QColor(255, 60, 40)},
      {"lamp_atsp1.bmp", "P接近", QColor(255, 200, 40)},
      {"lamp_atsp2.bmp", "ブレーキ", QColor(255, 60, 40)},
      {"lamp_g.bmp", "G", QColor(60, 230, 120)},
      {"lamp_yg.bmp", "YG", QColor(180, 230, 80)},
      {"lamp_y.bmp", "Y", QColor(255, 200, 40)},
      {"lamp_yy.bmp", "YY", QColor(255, 170, 40)},
      {"lamp_r.bmp", "R", QColor(255, 50, 40)},
      {"lamp_fwd.bmp", "前", QColor(250, 250, 250)},
      {"lamp_back.bmp", "後", QColor(250, 250, 250)},
      {"lamp_const.bmp", "定速", QColor(120, 230, 120)},
      {"lamp_stop.bmp", "停車", QColor(255, 120, 40)},
      {"lamp_dooropen.bmp", "戸開", QColor(255, 120, 40)},
      {"lamp_dooropen_special.bmp", "特戸開", QColor(255, 80, 160)},
      {"lamp_conductor.bmp", "車掌", QColor(250, 250, 250)},
      {"lamp_pantograph.bmp", "パンタ", QColor(120, 200, 255)},
      {"lamp_request.bmp", "とまります", QColor(255, 220, 60)},
  };
  for (const L& l : list)
    save_picture(out, d.dir + l.file, lamp(QString::fromUtf8(l.text), l.colour));
}

void needles(Output& out, const PanelDesign& d) {
  save_picture(out, d.dir + "needle_speed.bmp", needle(200, 85, QColor(250, 250, 250)));
  save_picture(out, d.dir + "needle_mr.bmp", needle(140, 55, QColor(230, 40, 30)));
  save_picture(out, d.dir + "needle_bc.bmp", needle(140, 50, QColor(250, 250, 250)));
  save_picture(out, d.dir + "needle_bp.bmp", needle(140, 50, QColor(250, 250, 250)));
  save_picture(out, d.dir + "needle_v.bmp", needle(70, 27, QColor(250, 250, 250)));
  save_picture(out, d.dir + "needle_i.bmp", needle(70, 27, QColor(250, 250, 250)));
  QImage bar(12, 150, QImage::Format_RGB32);
  bar.fill(QColor(230, 60, 40));
  save_picture(out, d.dir + "bar_bc.bmp", bar);
}

/// The cab signal of a train signalled in the cab: one 64 x 32 pattern per
/// aspect 0 to 5, the speed it allows lit in its colour (red stop, yellow
/// below 75 km/h, green above). The frame round the patterns is the
/// transparent colour (the sprite's bottom-left pixel).
QImage atc_signal() {
  constexpr int w = 64, h = 32;
  QImage img = key_image(w, h * int(std::size(kAtcSpeeds)));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  for (size_t i = 0; i < std::size(kAtcSpeeds); ++i) {
    const int kmh = kAtcSpeeds[i];
    const QRectF r(1, h * double(i) + 1, w - 2, h - 2);
    p.setBrush(QColor(25, 28, 32));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawRoundedRect(r, 4, 4);
    p.setPen(QColor(170, 170, 170));
    p.setFont(picture_font(8, true));
    p.drawText(QRectF(r.x() + 3, r.y() + 1, 20, 10), Qt::AlignLeft | Qt::AlignVCenter, "ATC");
    const QColor lit = kmh == 0   ? QColor(255, 45, 35)
                       : kmh < 75 ? QColor(255, 190, 30)
                                  : QColor(40, 230, 140);
    p.setPen(lit);
    p.setFont(picture_font(20, true));
    p.drawText(QRectF(r.x() + 14, r.y(), r.width() - 16, r.height()), Qt::AlignCenter,
               kmh == 0 ? QString::fromUtf8("×") : QString::number(kmh));
  }
  return img;
}

void indicators(Output& out, const PanelDesign& d) {
  std::vector<QString> power{d.one_lever ? "切" : "N"};
  for (int n = 1; n <= (d.diesel ? 4 : 8); ++n) power.push_back(QString("P%1").arg(n));
  save_picture(out, d.dir + "notch_p.bmp",
               strip(power, 48, 24, QColor(120, 255, 140), QColor(10, 40, 20)));
  std::vector<QString> brake;
  if (d.diesel) {
    for (const char* s : {"運転", "保ち", "常用", "重なり", "非常"})
      brake.push_back(QString::fromUtf8(s));
  } else {
    brake.push_back("N");
    for (int k = 1; k + 1 < d.brake_steps; ++k) brake.push_back(QString("B%1").arg(k));
    brake.push_back("EB");
  }
  save_picture(out, d.dir + "notch_b.bmp",
               strip(brake, 48, 24, QColor(255, 200, 80), QColor(50, 20, 10)));
  std::vector<QString> digits;
  for (int i = 0; i <= 9; ++i) digits.push_back(QString::number(i));
  digits.push_back(" ");
  save_picture(out, d.dir + "digits.bmp",
               strip(digits, 16, 24, QColor(255, 150, 40), QColor(15, 10, 5)));
  if (d.diesel) {
    std::vector<QString> gears;
    for (const char* s : {"中立", "変速", "直1", "直2"}) gears.push_back(QString::fromUtf8(s));
    save_picture(out, d.dir + "gear.bmp",
                 strip(gears, 48, 24, QColor(120, 220, 255), QColor(10, 25, 40)));
    save_picture(out, d.dir + "gear_lever.bmp",
                 strip({"N", "1", "2", "3"}, 48, 48, QColor(20, 20, 20), QColor(200, 200, 190)));
  }
  if (d.cab_signal) {
    std::vector<QString> speeds;
    for (const char* s : {"×", "25", "45", "75", "100", "110"})
      speeds.push_back(QString::fromUtf8(s));
    save_picture(out, d.dir + "cabsignal.bmp",
                 strip(speeds, 64, 32, QColor(80, 255, 120), QColor(5, 20, 10)));
  }
  if (d.atc) save_picture(out, d.dir + "atc_signal.bmp", atc_signal());
}

void stop_marks(Output& out, const PanelDesign& d) {
  QImage marker(60, 60, QImage::Format_RGB32);
  marker.fill(QColor(0, 0, 0));
  QPainter p(&marker);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(255, 255, 255));
  p.setPen(QPen(QColor(230, 40, 30), 6));
  p.drawRect(QRectF(5, 5, 50, 50));
  p.setPen(QColor(230, 40, 30));
  p.setFont(picture_font(28, true));
  p.drawText(QRectF(5, 5, 50, 50), Qt::AlignCenter, "停");
  p.end();
  save_picture(out, d.dir + "stop_marker.bmp", marker);
  QImage mark = key_image(24, 12);
  QPainter q(&mark);
  q.setBrush(QColor(255, 220, 40));
  q.setPen(Qt::NoPen);
  q.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(24, 6), QPointF(0, 12)}));
  q.end();
  save_picture(out, d.dir + "stopline.bmp", mark);
}

/// The passenger information monitor: a map of the five stations with the
/// current one marked (pattern i for station i of the run).
void monitor(Output& out, const PanelDesign& d) {
  QImage img(112, 28 * 6, QImage::Format_RGB32);
  img.fill(QColor(5, 5, 30));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < 6; ++i) {
    int y = 28 * i + 14;
    p.setPen(QPen(QColor(120, 200, 120), 3));
    p.drawLine(10, y, 102, y);
    for (int k = 0; k < 5; ++k) {
      bool here = k == i || (i == 5 && k == 4);
      p.setBrush(here ? QColor(255, 80, 60) : QColor(240, 240, 240));
      p.setPen(Qt::NoPen);
      p.drawEllipse(QPointF(10 + 23 * k, y), here ? 6 : 4, here ? 6 : 4);
    }
  }
  p.end();
  save_picture(out, d.dir + "monitor.bmp", img);
}

}  // namespace

void draw_panels(Output& out, const std::vector<PanelDesign>& panels) {
  for (const PanelDesign& d : panels) {
    body(out, d);
    lamps(out, d);
    needles(out, d);
    indicators(out, d);
    stop_marks(out, d);
    monitor(out, d);
  }
}

}  // namespace demo
