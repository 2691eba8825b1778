// The title screen's pictures and the timetable cards.
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "demo_pictures.h"
#include "demo_sounds.h"
#include "film_writer.h"

namespace demo {

namespace {

QString u(const std::string& s) {
  return QString::fromStdString(s);
}

/// A side view of a suburban train, `cars` cars from `x` along the rail at `y`.
void draw_train(QPainter& p, double x, double y, double car, int cars, QColor band) {
  for (int i = 0; i < cars; ++i) {
    QRectF body(x + i * (car + 3), y - car * 0.22, car, car * 0.2);
    p.setBrush(QColor(225, 228, 232));
    p.setPen(QPen(QColor(70, 70, 80), 1));
    p.drawRoundedRect(body, 3, 3);
    p.fillRect(
        QRectF(body.x(), body.y() + body.height() * 0.62, body.width(), body.height() * 0.14),
        band);
    for (int w = 0; w < 6; ++w)
      p.fillRect(QRectF(body.x() + car * (0.07 + w * 0.15), body.y() + body.height() * 0.18,
                        car * 0.09, body.height() * 0.3),
                 QColor(60, 80, 110));
  }
}

QImage landscape(int variant) {
  QImage img(800, 600, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor skies[6][2] = {{QColor(90, 150, 230), QColor(200, 225, 250)},
                              {QColor(240, 140, 80), QColor(255, 215, 150)},
                              {QColor(40, 60, 120), QColor(120, 140, 200)},
                              {QColor(120, 170, 220), QColor(235, 240, 250)},
                              {QColor(160, 120, 170), QColor(250, 200, 170)},
                              {QColor(70, 130, 200), QColor(180, 220, 240)}};
  QLinearGradient sky(0, 0, 0, 380);
  sky.setColorAt(0, skies[variant][0]);
  sky.setColorAt(1, skies[variant][1]);
  p.fillRect(QRect(0, 0, 800, 380), sky);
  // Hills, then fields.
  for (int layer = 0; layer < 3; ++layer) {
    QPainterPath hill;
    hill.moveTo(0, 600);
    for (int x = 0; x <= 800; x += 10)
      hill.lineTo(x, 330 + layer * 25 -
                         40 * std::sin((x + variant * 90 + layer * 170) / (120.0 + layer * 40)));
    hill.lineTo(800, 600);
    p.fillPath(hill, QColor(60 + layer * 25, 110 + layer * 20, 60 + layer * 10));
  }
  p.fillRect(QRect(0, 430, 800, 170), QColor(120, 150, 80));
  p.fillRect(QRect(0, 452, 800, 10), QColor(150, 140, 130));  // ballast
  p.fillRect(QRect(0, 455, 800, 2), QColor(90, 90, 90));
  draw_train(p, 60 + variant * 30, 452, 95, 6,
             variant % 2 ? QColor(240, 120, 30) : QColor(30, 150, 90));
  p.setPen(QColor(255, 255, 255));
  p.setFont(picture_font(44, true));
  p.drawText(QRect(0, 60, 800, 60), Qt::AlignCenter, QString::fromUtf8("鉄道運転シミュレータ"));
  p.setFont(picture_font(26, true));
  p.drawText(QRect(0, 125, 800, 40), Qt::AlignCenter, QString::fromUtf8("デモ線  花見台 ― 星ヶ丘"));
  return img;
}

QImage entry(const QString& text, const QString& sub, QColor colour) {
  QImage img(300, 50, QImage::Format_RGB32);
  img.fill(QColor(255, 255, 255));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRect(0, 0, 10, 50), colour);
  p.setPen(QColor(20, 30, 50));
  p.setFont(picture_font(20, true));
  p.drawText(QRect(18, 2, 280, 28), Qt::AlignLeft | Qt::AlignVCenter, text);
  p.setFont(picture_font(13));
  p.drawText(QRect(18, 28, 280, 20), Qt::AlignLeft | Qt::AlignVCenter, sub);
  p.setPen(QPen(QColor(180, 190, 200), 1));
  p.drawRect(QRect(0, 0, 299, 49));
  return img;
}

QImage line_map(const std::vector<bool>& stops, bool pass_marked) {
  QImage img(460, 120, QImage::Format_RGB32);
  img.fill(QColor(248, 248, 240));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Direction d = direction(false);
  p.setPen(QPen(QColor(30, 140, 80), 6));
  p.drawLine(40, 60, 420, 60);
  for (size_t k = 0; k < d.stations.size(); ++k) {
    double x = 40 + 380.0 * k / (d.stations.size() - 1);
    bool stop = stops[k];
    p.setBrush(stop ? QColor(255, 255, 255) : QColor(30, 140, 80));
    p.setPen(QPen(QColor(20, 60, 40), 2));
    p.drawEllipse(QPointF(x, 60), stop ? 9 : 5, stop ? 9 : 5);
    p.setPen(QColor(20, 20, 20));
    p.setFont(picture_font(15, stop));
    p.drawText(QRectF(x - 45, 76, 90, 22), Qt::AlignCenter, u(d.stations[k].name));
    p.setFont(picture_font(10));
    p.drawText(QRectF(x - 45, 96, 90, 16), Qt::AlignCenter, u(d.stations[k].reading));
  }
  p.setFont(picture_font(14, true));
  p.drawText(QRect(10, 8, 440, 24), Qt::AlignLeft,
             QString::fromUtf8(pass_marked ? "○ 停車駅  ● 通過駅" : "全駅に停車"));
  return img;
}

QImage train_button() {
  // 70 high, so that it ends above the HELP picture below it.
  QImage img(150, 70, QImage::Format_RGB32);
  img.fill(QColor(240, 244, 248));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  draw_train(p, 6, 58, 45, 3, QColor(30, 150, 90));
  p.setPen(QColor(20, 30, 50));
  p.setFont(picture_font(15, true));
  p.drawText(QRect(0, 2, 150, 22), Qt::AlignCenter, QString::fromUtf8("TZ100形で運転"));
  return img;
}

std::string clock_text(int units) {
  int s = units / 30;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

QImage card(const StafCard& c) {
  QImage img(200, 400, QImage::Format_RGB32);
  img.fill(QColor(252, 250, 240));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  for (int page = 0; page < 2; ++page) {
    int top = page * 200;
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawRect(QRect(2, top + 2, 196, 196));
    p.setFont(picture_font(14, true));
    p.drawText(QRect(6, top + 4, 188, 22), Qt::AlignCenter, u(c.title));
    p.setFont(picture_font(11));
    p.drawText(QRect(6, top + 26, 70, 16), Qt::AlignLeft, QString::fromUtf8("駅名"));
    p.drawText(QRect(74, top + 26, 60, 16), Qt::AlignRight, QString::fromUtf8("着"));
    p.drawText(QRect(134, top + 26, 60, 16), Qt::AlignRight, QString::fromUtf8("発"));
    // Page 1 repeats the card from the third station on, as it is turned.
    size_t first = page == 0 ? 0 : 2;
    int y = top + 44;
    for (size_t k = first; k < c.rows.size() && y < top + 190; ++k, y += 28) {
      const StafCard::Row& r = c.rows[k];
      p.setFont(picture_font(13, true));
      p.drawText(QRect(6, y, 70, 24), Qt::AlignLeft | Qt::AlignVCenter, u(r.station));
      if (r.crew_change) {
        p.setPen(QColor(200, 30, 30));
        p.setFont(picture_font(10, true));
        p.drawText(QRect(6, y + 14, 70, 12), Qt::AlignLeft, QString::fromUtf8("乗務員交代"));
        p.setPen(QColor(40, 40, 40));
      }
      p.setFont(picture_font(12));
      std::string arr = k == 0 ? "" : (r.stops ? clock_text(r.arrival) : "レ");
      std::string dep = k + 1 == c.rows.size() ? "" : clock_text(r.departure);
      p.drawText(QRect(74, y, 60, 24), Qt::AlignRight | Qt::AlignVCenter, u(arr));
      p.drawText(QRect(134, y, 60, 24), Qt::AlignRight | Qt::AlignVCenter, u(dep));
      p.setPen(QPen(QColor(180, 180, 170), 1));
      p.drawLine(6, y + 26, 194, y + 26);
      p.setPen(QColor(40, 40, 40));
    }
  }
  return img;
}

/// The still part of the opening film: evening sky, hills and the line.
QImage opening_background() {
  QImage img(640, 360, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 230);
  sky.setColorAt(0, QColor(30, 50, 110));
  sky.setColorAt(1, QColor(250, 170, 110));
  p.fillRect(QRect(0, 0, 640, 230), sky);
  for (int layer = 0; layer < 3; ++layer) {
    QPainterPath hill;
    hill.moveTo(0, 360);
    for (int x = 0; x <= 640; x += 8)
      hill.lineTo(x, 200 + layer * 18 - 30 * std::sin((x + layer * 150) / (90.0 + layer * 30)));
    hill.lineTo(640, 360);
    p.fillPath(hill, QColor(40 + layer * 20, 70 + layer * 18, 60 + layer * 8));
  }
  p.fillRect(QRect(0, 270, 640, 90), QColor(90, 110, 70));
  p.fillRect(QRect(0, 290, 640, 9), QColor(140, 130, 120));  // ballast
  p.fillRect(QRect(0, 292, 640, 2), QColor(80, 80, 80));
  return img;
}

/// Frame `n` of the opening: a train crosses the picture, the name of the
/// program fades in, and at the end the film asks for a click.
QImage opening_frame(const QImage& background, int n, int frames) {
  QImage img = background.copy();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const double t = double(n) / frames;
  draw_train(p, 660 - t * 1100, 290, 80, 6, QColor(240, 120, 30));
  const int alpha = std::clamp(int((t - 0.25) * 4 * 255), 0, 255);
  p.setPen(QColor(255, 255, 255, alpha));
  p.setFont(picture_font(40, true));
  p.drawText(QRect(0, 50, 640, 56), Qt::AlignCenter, QString::fromUtf8("鉄道運転シミュレータ"));
  p.setFont(picture_font(20, true));
  p.drawText(QRect(0, 108, 640, 30), Qt::AlignCenter, QString::fromUtf8("デモ線  花見台 ― 星ヶ丘"));
  if (t > 0.75 && (n / 15) % 2 == 0) {
    p.setPen(QColor(255, 255, 255));
    p.setFont(picture_font(16, true));
    p.drawText(QRect(0, 320, 640, 30), Qt::AlignCenter, QString::fromUtf8("クリックしてください"));
  }
  return img;
}

}  // namespace

void write_opening_film(Output& out) {
  constexpr int kFps = 30, kSeconds = 6;
  const std::filesystem::path file = out.path("move\\opening.avi");
  std::filesystem::create_directories(file.parent_path());
  FilmWriter film(file.string(), 640, 360, kFps);
  film.set_sound(opening_music(kSeconds), kSampleRate);
  const QImage background = opening_background();
  for (int n = 0; n < kFps * kSeconds; ++n) film.add(opening_frame(background, n, kFps * kSeconds));
  film.close();
}

void draw_title_and_cards(Output& out, const std::vector<StafCard>& cards) {
  for (int i = 0; i < 6; ++i)
    save_picture(out, "image\\title\\title0" + std::to_string(i + 1) + ".jpg", landscape(i));
  QImage menu = landscape(3);
  {
    QPainter p(&menu);
    p.fillRect(QRect(100, 166, 700, 294), QColor(255, 255, 255, 150));
    p.setPen(QColor(20, 30, 50));
    p.setFont(picture_font(18, true));
    p.drawText(QRect(100, 168, 700, 24), Qt::AlignCenter,
               QString::fromUtf8("運転する列車を選んでください"));
  }
  save_picture(out, "image\\title\\title2.jpg", menu);
  const QColor up(40, 120, 220), down(220, 110, 30);
  auto runs = run_catalogue();
  for (size_t i = 0; i < runs.size(); ++i) {
    if (i == 2) continue;  // the third entry of the menu shows no picture
    const RunSpec& r = runs[i];
    QString dir = QString::fromUtf8(r.up ? "上り" : "下り");
    QString name =
        r.train_number.empty()
            ? QString::fromUtf8(r.cab_signal ? "自由運転 (ATC)" : "自由運転")
            : u(r.train_number) +
                  QString::fromUtf8(r.one_man
                                        ? " ワンマン"
                                        : (r.stops_at_pass_station ? " 各停 緑町停車" : " 普通"));
    QString sub = QString::fromUtf8(r.up ? "星ヶ丘 → 花見台" : "花見台 → 星ヶ丘");
    save_picture(out, "image\\title\\line0" + std::to_string(i + 1) + ".bmp",
                 entry(dir + " " + name, sub, r.up ? up : down));
  }
  save_picture(out, "image\\title\\line01_map.bmp",
               line_map({true, true, false, true, true}, true));
  save_picture(out, "image\\title\\line02_map.bmp",
               line_map({true, true, false, true, true}, true));
  save_picture(out, "image\\title\\line03_map.bmp",
               line_map({true, true, true, true, true}, false));
  save_picture(out, "image\\title\\line04_map.bmp",
               line_map({true, true, false, true, true}, true));
  save_picture(out, "image\\title\\line05_map.bmp",
               line_map({true, true, false, true, true}, true));
  save_picture(out, "image\\title\\train1.bmp", train_button());
  QImage cts(240, 40, QImage::Format_RGB32);
  cts.fill(QColor(20, 40, 80));
  {
    QPainter p(&cts);
    p.setPen(QColor(255, 255, 255));
    p.setFont(picture_font(18, true));
    p.drawText(cts.rect(), Qt::AlignCenter, QString::fromUtf8("クリックしてスタート"));
  }
  save_picture(out, "image\\title\\cts.bmp", cts);
  for (const StafCard& c : cards) save_picture(out, c.file, card(c));
}

}  // namespace demo
