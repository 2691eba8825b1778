// Line-side pictures shown beside the cab view: signals, signal plates,
// speed limit boards, signs, crossing and road signal pictures.
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "demo_pictures.h"

namespace demo {

namespace {

enum Lamp : char { R = 'R', Y = 'Y', G = 'G', off = '-' };

const QColor kRed(255, 45, 35), kYellow(255, 190, 30), kGreen(40, 230, 140);

QColor lamp_colour(char c) {
  return c == 'R' ? kRed : c == 'Y' ? kYellow : kGreen;
}

/// Signal pictures fill the column's 50 x 100 signal cell.
constexpr int kSignalW = 50, kSignalH = 100;

/// A colour-light signal: `lamps` top to bottom as their colours, `lit` the
/// same length with the lit lamps (others dark).
QImage colour_light(const std::string& lamps, const std::string& lit) {
  QImage img = key_image(kSignalW, kSignalH);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  int n = int(lamps.size());
  // Up to six lamps fit above a stub of mast.
  double pitch = std::min(18.0, 78.0 / n), top = 6, h = n * pitch + 8;
  double radius = std::min(7.0, pitch * 0.42);
  p.fillRect(QRectF(23, top + h, 4, kSignalH - top - h), QColor(120, 120, 120));  // mast
  p.setBrush(QColor(25, 25, 25));
  p.setPen(QPen(QColor(200, 200, 200), 1));
  p.drawRoundedRect(QRectF(11, top, 28, h), 6, 6);
  for (int i = 0; i < n; ++i) {
    QColor c = lamp_colour(lamps[i]);
    bool on = lit[i] != '-';
    p.setBrush(on ? c : c.darker(420));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(25, top + 4 + pitch * (i + 0.5)), radius, radius);
  }
  return img;
}

/// A position-light repeater: a row of white lamps at 0, 45 or 90 degrees.
QImage repeater(int angle, bool round_frame, const char* mark = nullptr) {
  QImage img = key_image(kSignalW, kSignalH);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRectF(23, 60, 4, kSignalH - 60), QColor(120, 120, 120));
  p.setBrush(QColor(25, 25, 25));
  p.setPen(QPen(QColor(200, 200, 200), 1));
  if (round_frame)
    p.drawEllipse(QPointF(25, 35), 22, 22);
  else
    p.drawRect(QRectF(4, 13, 42, 44));
  double a = angle * 3.14159265358979 / 180;
  for (int k = -1; k <= 1; ++k) {
    QPointF at(25 + 13 * k * std::cos(a), 35 - 13 * k * std::sin(a));
    p.setBrush(QColor(250, 250, 235));
    p.setPen(Qt::NoPen);
    p.drawEllipse(at, 4.5, 4.5);
  }
  if (mark) {
    p.setPen(QColor(250, 250, 250));
    p.setFont(picture_font(12, true));
    p.drawText(QRectF(0, 62, 50, 18), Qt::AlignCenter, QString::fromUtf8(mark));
  }
  return img;
}

/// The colour of a cab-signal speed: red for stop, yellow for the low
/// speeds, green from 75 km/h.
QColor cab_signal_colour(int kmh) {
  return kmh == 0 ? kRed : kmh < 75 ? kYellow : kGreen;
}

/// A cab-signal aspect (type 8: pictures 37 to 42), as the speed it allows.
QImage cab_display(int kmh) {
  QImage img = key_image(kSignalW, kSignalH);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(20, 20, 20));
  p.setPen(QPen(QColor(200, 200, 200), 1));
  p.drawRoundedRect(QRectF(3, 24, 44, 60), 5, 5);
  p.setPen(QColor(200, 200, 200));
  p.setFont(picture_font(10, true));
  p.drawText(QRectF(3, 26, 44, 14), Qt::AlignCenter, "ATC");
  p.setPen(cab_signal_colour(kmh));
  p.setFont(picture_font(kmh >= 100 ? 17 : 20, true));
  p.drawText(QRectF(3, 40, 44, 40), Qt::AlignCenter,
             kmh == 0 ? QString::fromUtf8("×") : QString::number(kmh));
  return img;
}

QImage signal_image(int n) {
  // Lamp arrangements: 2-lamp (G R), 3-lamp (G Y R), 4-lamp (Y G R Y),
  // 5-lamp (Y G Y R Y), high-speed 4-lamp (G Y G R), 6-lamp (G Y G Y R Y).
  switch (n) {
    case 0:
      return repeater(0, false);
    case 1:
      return repeater(45, false);
    case 2:
      return repeater(90, false);
    case 3:
      return colour_light("GR", "-R");
    case 4:
      return colour_light("YR", "Y-");
    case 5:
      return colour_light("GR", "G-");
    case 6:
      return colour_light("GYR", "--R");
    case 7:
      return colour_light("GYR", "-Y-");
    case 8:
      return colour_light("GYR", "G--");
    case 9:
      return colour_light("YGRY", "--R-");
    case 10:
      return colour_light("YGRY", "---Y");
    case 11:
      return colour_light("YGRY", "YG--");
    case 12:
      return colour_light("YGRY", "-G--");
    case 13:
      return colour_light("YGRY", "--R-");
    case 14:
      return colour_light("YGRY", "Y--Y");
    case 15:
      return colour_light("YGRY", "---Y");
    case 16:
      return colour_light("YGRY", "-G--");
    case 17:
      return colour_light("YGYRY", "---R-");
    case 18:
      return colour_light("YGYRY", "Y---Y");
    case 19:
      return colour_light("YGYRY", "--Y--");
    case 20:
      return colour_light("YGYRY", "YG---");
    case 21:
      return colour_light("YGYRY", "-G---");
    case 22:
      return colour_light("GYGR", "---R");
    case 23:
      return colour_light("GYGR", "-Y--");
    case 24:
      return colour_light("GYGR", "-YG-");
    case 25:
      return colour_light("GYGR", "G---");
    case 26:
      return colour_light("GYGR", "G-G-");
    case 27:
      return colour_light("GYGYRY", "----R-");
    case 28:
      return colour_light("GYGYRY", "-Y---Y");
    case 29:
      return colour_light("GYGYRY", "---Y--");
    case 30:
      return colour_light("GYGYRY", "-YG---");
    case 31:
      return colour_light("GYGYRY", "G-----");
    case 32:
      return colour_light("GYGYRY", "G-G---");
    case 33:
      return repeater(0, true);
    case 34:
      return repeater(45, true);
    case 35:
      return repeater(90, true);
    case 36:
      return repeater(90, true, "高");
    default:
      return cab_display(kAtcSpeeds[std::clamp(n - 37, 0, 5)]);
  }
}

QImage plate(const char* text, QColor bg, QColor fg, int w = 50, int h = 30) {
  QImage img = key_image(w, h);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  if (text) {
    p.fillRect(QRectF(2, 2, w - 4, h - 4), bg);
    p.setPen(fg);
    p.setFont(picture_font(h / 2, true));
    p.drawText(QRectF(2, 2, w - 4, h - 4), Qt::AlignCenter, QString::fromUtf8(text));
  }
  return img;
}

QImage limit_board(const QString& text, bool release) {
  QImage img = key_image(60, 60);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(release ? QColor(250, 250, 250) : QColor(255, 215, 0));
  p.setPen(QPen(QColor(20, 20, 20), 2));
  p.drawRect(QRectF(4, 4, 52, 52));
  p.setPen(QColor(20, 20, 20));
  p.setFont(picture_font(release ? 13 : 26, true));
  p.drawText(QRectF(4, 4, 52, 52), Qt::AlignCenter | Qt::TextWordWrap, text);
  if (release) {
    p.setPen(QPen(QColor(20, 20, 20), 3));
    p.drawLine(8, 52, 52, 8);
  }
  return img;
}

/// The gradient sign of the 50 x 50 sign cell.
QImage gradient_sign(bool up) {
  QImage img = key_image(50, 50);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRectF(2, 6, 46, 40), QColor(250, 250, 250));
  p.setPen(QPen(QColor(20, 20, 20), 4));
  if (up)
    p.drawLine(7, 42, 43, 25);
  else
    p.drawLine(7, 25, 43, 42);
  p.setFont(picture_font(10, true));
  p.drawText(QRectF(2, 6, 46, 14), Qt::AlignCenter,
             QString::fromUtf8(up ? "上り勾配" : "下り勾配"));
  return img;
}

/// The crossing's warning lamps, 15 x 15: the two red lamps lit in turn.
QImage crossing_lamp(int step) {
  QImage img = key_image(15, 15);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRectF(0, 2, 15, 11), QColor(30, 30, 30));
  bool left = step % 2 == 0;
  for (int k = 0; k < 2; ++k) {
    bool on = (k == 0) == left;
    p.setBrush(on ? kRed : kRed.darker(400));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(4 + 7 * k, 7.5), 3.2, 3.2);
  }
  return img;
}

/// The road traffic signal: 0 green, 1 yellow, 2 red in the 100 x 75 cell;
/// 3 stop and 4 proceed as the 15 x 15 approach picture.
QImage traffic(int n) {
  if (n >= 3) {
    QImage img = key_image(15, 15);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, 0, 15, 15), n == 3 ? kRed : QColor(20, 160, 80));
    p.setPen(QColor(250, 250, 250));
    p.setFont(picture_font(11, true));
    p.drawText(QRectF(0, 0, 15, 15), Qt::AlignCenter, QString::fromUtf8(n == 3 ? "止" : "進"));
    return img;
  }
  QImage img = key_image(80, 30);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRectF(2, 3, 76, 24), QColor(40, 40, 40));
  const QColor colours[3] = {QColor(20, 200, 190), kYellow, kRed};
  for (int k = 0; k < 3; ++k) {
    p.setBrush(k == n ? colours[k] : colours[k].darker(400));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16 + 24 * k, 15), 9, 9);
  }
  return img;
}

/// The level-crossing pictures, 15 x 15: 0 the crossing ahead (a crossing
/// sign), 1 drawn beside it while the crossing's indicator is dark (a dark
/// lamp in an orange ring; its bottom-left corner is the transparent colour).
QImage cross_sign(bool indicator_dark) {
  QImage img = key_image(15, 15);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  if (indicator_dark) {
    p.setBrush(QColor(70, 70, 70));
    p.setPen(QPen(QColor(255, 150, 0), 1.6));
    p.drawEllipse(QPointF(7.5, 7.5), 5.6, 5.6);
    return img;
  }
  p.fillRect(QRectF(0, 0, 15, 15), QColor(40, 40, 40));
  p.setPen(QPen(QColor(255, 215, 0), 3));
  p.drawLine(QPointF(2.5, 2.5), QPointF(12.5, 12.5));
  p.drawLine(QPointF(12.5, 2.5), QPointF(2.5, 12.5));
  p.setPen(QPen(QColor(20, 20, 20), 1));
  p.drawLine(QPointF(2.5, 2.5), QPointF(12.5, 12.5));
  p.drawLine(QPointF(12.5, 2.5), QPointF(2.5, 12.5));
  return img;
}

}  // namespace

void draw_signals_and_signs(Output& out) {
  for (int n = 0; n <= 42; ++n) save_picture(out, signal_picture(n), signal_image(n));
  save_picture(out, signal_sub_picture(0), plate(nullptr, {}, {}));
  save_picture(out, signal_sub_picture(1),
               plate("出発", QColor(250, 250, 250), QColor(20, 20, 20)));
  save_picture(out, signal_sub_picture(2),
               plate("中継", QColor(250, 250, 250), QColor(20, 20, 20)));
  save_picture(out, signal_sub_picture(3), plate("→", QColor(20, 20, 20), QColor(250, 250, 250)));
  save_picture(out, other_sign_picture(0), limit_board(QString::fromUtf8("時刻\n確認"), false));
  for (size_t i = 0; i < limit_boards().size(); ++i)
    save_picture(out, other_sign_picture(int(i) + 1),
                 limit_board(QString::number(limit_boards()[i]), false));
  save_picture(out, other_sign_picture(int(limit_boards().size()) + 1),
               limit_board(QString::fromUtf8("制限\n解除"), true));
  save_picture(out, sign_picture(0), gradient_sign(true));
  save_picture(out, sign_picture(1), gradient_sign(false));
  for (int i = 0; i < 14; ++i) save_picture(out, anim_picture(i), crossing_lamp(i));
  for (int i = 0; i < 5; ++i) save_picture(out, traffic_signal_picture(i), traffic(i));
  save_picture(out, cross_picture(0), cross_sign(false));
  save_picture(out, cross_picture(1), cross_sign(true));
}

}  // namespace demo
