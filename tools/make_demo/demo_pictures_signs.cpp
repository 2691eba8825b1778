// Line-side pictures shown beside the cab view: signals, signal plates,
// speed limit boards, signs, crossing and road signal pictures.
#include <QPainter>
#include <cmath>

#include "demo_pictures.h"

namespace demo {

namespace {

enum Lamp : char { R = 'R', Y = 'Y', G = 'G', off = '-' };

const QColor kRed(255, 45, 35), kYellow(255, 190, 30), kGreen(40, 230, 140);

QColor lamp_colour(char c) {
  return c == 'R' ? kRed : c == 'Y' ? kYellow : kGreen;
}

/// A colour-light signal: `lamps` top to bottom as their colours, `lit` the
/// same length with the lit lamps (others dark).
QImage colour_light(const std::string& lamps, const std::string& lit) {
  QImage img = key_image(50, 130);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  int n = int(lamps.size());
  double pitch = 18, top = 10, h = n * pitch + 8;
  p.fillRect(QRectF(23, top + h, 4, 130 - top - h), QColor(120, 120, 120));  // mast
  p.setBrush(QColor(25, 25, 25));
  p.setPen(QPen(QColor(200, 200, 200), 1));
  p.drawRoundedRect(QRectF(11, top, 28, h), 6, 6);
  for (int i = 0; i < n; ++i) {
    QColor c = lamp_colour(lamps[i]);
    bool on = lit[i] != '-';
    p.setBrush(on ? c : c.darker(420));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(25, top + 4 + pitch * (i + 0.5)), 7, 7);
  }
  return img;
}

/// A position-light repeater: a row of white lamps at 0, 45 or 90 degrees.
QImage repeater(int angle, bool round_frame, const char* mark = nullptr) {
  QImage img = key_image(50, 130);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRectF(23, 60, 4, 70), QColor(120, 120, 120));
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

/// A cab-signal speed display (types 8: pictures 37 to 42).
QImage cab_display(const char* text, QColor colour) {
  QImage img = key_image(50, 130);
  QPainter p(&img);
  p.fillRect(QRectF(3, 40, 44, 44), QColor(20, 20, 20));
  p.setPen(colour);
  p.setFont(picture_font(18, true));
  p.drawText(QRectF(3, 40, 44, 44), Qt::AlignCenter, QString::fromUtf8(text));
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
      return colour_light("YR", "-R");
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
    case 37:
      return cab_display("×", kRed);
    case 38:
      return cab_display("25", kYellow);
    case 39:
      return cab_display("45", kYellow);
    case 40:
      return cab_display("75", kGreen);
    case 41:
      return cab_display("100", kGreen);
    default:
      return cab_display("110", kGreen);
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

QImage gradient_sign(bool up) {
  QImage img = key_image(60, 60);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRectF(4, 10, 52, 40), QColor(250, 250, 250));
  p.setPen(QPen(QColor(20, 20, 20), 4));
  if (up)
    p.drawLine(8, 44, 52, 16);
  else
    p.drawLine(8, 16, 52, 44);
  p.setFont(picture_font(11, true));
  p.drawText(QRectF(4, 10, 52, 18), Qt::AlignCenter,
             QString::fromUtf8(up ? "上り勾配" : "下り勾配"));
  return img;
}

QImage crossing_lamp(int step) {
  QImage img = key_image(60, 40);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRectF(4, 6, 52, 28), QColor(25, 25, 25));
  bool left = (step / 2) % 2 == 0;
  for (int k = 0; k < 2; ++k) {
    bool on = (k == 0) == left;
    p.setBrush(on ? kRed : kRed.darker(400));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(18 + 24 * k, 20), 9, 9);
  }
  return img;
}

QImage traffic(int n) {
  QImage img = key_image(80, 30);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  if (n <= 2) {
    p.fillRect(QRectF(2, 3, 76, 24), QColor(40, 40, 40));
    const QColor colours[3] = {QColor(20, 200, 190), kYellow, kRed};
    for (int k = 0; k < 3; ++k) {
      p.setBrush(k == n ? colours[k] : colours[k].darker(400));
      p.setPen(Qt::NoPen);
      p.drawEllipse(QPointF(16 + 24 * k, 15), 9, 9);
    }
  } else {
    p.fillRect(QRectF(2, 3, 76, 24), n == 3 ? kRed : QColor(20, 160, 80));
    p.setPen(QColor(250, 250, 250));
    p.setFont(picture_font(14, true));
    p.drawText(QRectF(2, 3, 76, 24), Qt::AlignCenter,
               QString::fromUtf8(n == 3 ? "止まれ" : "進め"));
  }
  return img;
}

QImage cross_sign(bool indicator) {
  QImage img = key_image(60, 60);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(255, 215, 0), 7));
  p.drawLine(10, 10, 50, 50);
  p.drawLine(50, 10, 10, 50);
  p.setPen(QPen(QColor(20, 20, 20), 2));
  p.drawLine(10, 10, 50, 50);
  p.drawLine(50, 10, 10, 50);
  if (indicator) {
    p.setBrush(kRed);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(30, 30), 8, 8);
  }
  p.setPen(QColor(250, 250, 250));
  p.setFont(picture_font(11, true));
  p.drawText(QRectF(0, 44, 60, 16), Qt::AlignCenter,
             QString::fromUtf8(indicator ? "支障" : "踏切"));
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
  QImage stop = key_image(60, 60);
  {
    QPainter p(&stop);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(250, 250, 250));
    p.setPen(QPen(QColor(20, 20, 20), 2));
    p.drawRect(QRectF(8, 4, 44, 52));
    p.setPen(QColor(230, 40, 30));
    p.setFont(picture_font(30, true));
    p.drawText(QRectF(8, 4, 44, 52), Qt::AlignCenter, "10");
  }
  save_picture(out, sign_picture(0), stop);
  save_picture(out, sign_picture(1), gradient_sign(true));
  save_picture(out, sign_picture(2), gradient_sign(false));
  for (int i = 0; i < 14; ++i) save_picture(out, anim_picture(i), crossing_lamp(i));
  for (int i = 0; i < 5; ++i) save_picture(out, traffic_signal_picture(i), traffic(i));
  save_picture(out, cross_picture(0), cross_sign(false));
  save_picture(out, cross_picture(1), cross_sign(true));
}

}  // namespace demo
