// The cab view renderer: sky, ground, track beds, rails and sleepers, then the
// line-side objects from the farthest to the nearest.
#include "cab_view.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <functional>

#include "demo_pictures.h"

namespace demo {

namespace {

constexpr double kTrackStart = -200;  ///< m, first sampled track point
constexpr double kFar = 900;          ///< m, nothing farther is drawn
constexpr double kNear = 1.0;         ///< m, nearer points are clipped
constexpr double kOtherTrack = 3.8;   ///< m, the other track's centre, right of ours
constexpr double kGauge = 1.067;
constexpr double kHorizon = 164;

uint32_t hash(int64_t v) {
  uint32_t h = uint32_t(v * 2654435761u) ^ 0x9e3779b9u;
  h ^= h >> 15;
  h *= 2246822519u;
  h ^= h >> 13;
  return h;
}

/// The projection of one camera position.
struct View {
  double cx, cy, heading, elevation, grade, lateral, height, focal;
  std::function<void(double, double&, double&, double&)> track;  // s -> x, y, elevation

  /// Screen point of a point `lat` m right of our track's centre at track
  /// position `s`, `h` m above the rail; false when behind the camera.
  bool project(double s, double lat, double h, QPointF& out, double* depth = nullptr) const {
    double x, y, e;
    track(s, x, y, e);
    double dx = x - cx, dy = y - cy;
    double c = std::cos(heading), sn = std::sin(heading);
    double z = dx * c + dy * sn;
    double l = -dx * sn + dy * c + lat_offset(s, lat);
    if (z < kNear) return false;
    double rel = e + h - (elevation + height) - grade * z;
    out = QPointF(kFilmWidth / 2.0 + focal * (l - lateral) / z, kHorizon - focal * rel / z);
    if (depth) *depth = z;
    return true;
  }
  std::function<double(double, double)>
      lat_offset;  // lateral shift of a point: s, lat -> rotated lateral
};

}  // namespace

CabView::CabView(const Direction& dir, const SpeedProfile& profile) : dir_(dir), profile_(profile) {
  int n = int(dir.length - kTrackStart + kFar + 400);
  track_.resize(n);
  double x = 0, y = 0, heading = 0, e = 0;
  for (int i = 0; i < n; ++i) {
    double s = kTrackStart + i;
    track_[i] = {x, y, heading, e};
    double k = 0, g = 0;
    for (const Curve& c : dir.curves)
      if (c.at.from <= s && s < c.at.to) k = 1 / c.radius;
    for (const Gradient& gr : dir.gradients)
      if (gr.at.from <= s && s < gr.at.to) g = gr.permille / 1000;
    x += std::cos(heading);
    y += std::sin(heading);
    heading += k;
    e += g;
  }
  // The train on the other track meets ours at the passing point at 80 km/h.
  passing_time_ = time_at(dir.passing_train);
}

CabView::TrackPoint CabView::at(double s) const {
  double i = std::clamp(s - kTrackStart, 0.0, double(track_.size() - 2));
  size_t k = size_t(i);
  double t = i - k;
  const TrackPoint& a = track_[k];
  const TrackPoint& b = track_[k + 1];
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.heading + (b.heading - a.heading) * t,
          a.elevation + (b.elevation - a.elevation) * t};
}

QImage CabView::render(double s_front, double seconds, const Camera& cam) const {
  QImage img(kFilmWidth, kFilmHeight, QImage::Format_RGB32);
  QPainter p(&img);
  const Direction& d = dir_;
  double s = s_front - cam.behind;
  TrackPoint me = at(s);
  double grade = 0;
  for (const Gradient& g : d.gradients)
    if (g.at.from <= s && s < g.at.to) grade = g.permille / 1000;
  View v;
  v.cx = me.x;
  v.cy = me.y;
  v.heading = me.heading;
  v.elevation = me.elevation;
  v.grade = grade;
  v.lateral = cam.lateral;
  v.height = cam.height;
  v.focal = cam.focal;
  v.track = [this](double q, double& x, double& y, double& e) {
    TrackPoint t = at(q);
    // A lateral offset is applied along the local normal (see lat_offset).
    x = t.x;
    y = t.y;
    e = t.elevation;
  };
  v.lat_offset = [this, &me](double q, double lat) {
    return lat * std::cos(at(q).heading - me.heading);
  };
  bool in_tunnel = d.tunnel.from < s && s < d.tunnel.to;

  // Sky and distant hills, shifted as the train turns.
  QLinearGradient sky(0, 0, 0, kHorizon);
  sky.setColorAt(0, QColor(110, 160, 220));
  sky.setColorAt(1, QColor(205, 222, 240));
  p.fillRect(QRectF(0, 0, kFilmWidth, kHorizon + 1), sky);
  QPainterPath hills;
  hills.moveTo(0, kHorizon + 1);
  double turn = me.heading * cam.focal;
  for (int x = 0; x <= kFilmWidth; x += 6) {
    double u = (x + turn) / 90.0;
    hills.lineTo(x, kHorizon - 18 - 14 * std::sin(u) - 7 * std::sin(u * 2.7 + 1));
  }
  hills.lineTo(kFilmWidth, kHorizon + 1);
  p.fillPath(hills, QColor(95, 125, 110));
  QLinearGradient ground(0, kHorizon, 0, kFilmHeight);
  ground.setColorAt(0, QColor(120, 140, 95));
  ground.setColorAt(1, QColor(85, 120, 60));
  p.fillRect(QRectF(0, kHorizon, kFilmWidth, kFilmHeight - kHorizon), ground);

  // Sample distances ahead: dense near the camera, sparse far away.
  std::vector<double> ahead;
  for (double z = kNear + 0.2; z < kFar; z += std::max(0.5, z * 0.04)) ahead.push_back(s + z);
  auto strip = [&](double lat_a, double lat_b, double h_a, double h_b, QColor colour,
                   double from = -1e9, double to = 1e9) {
    QPolygonF left, right;
    for (double q : ahead) {
      if (q < from || q > to) continue;
      QPointF a, b;
      if (v.project(q, lat_a, h_a, a) && v.project(q, lat_b, h_b, b)) left << a, right << b;
    }
    if (left.size() < 2) return;
    std::reverse(right.begin(), right.end());
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(left + right);
  };
  auto line = [&](double lat, double h, QPen pen, double from = -1e9, double to = 1e9) {
    QPolygonF pts;
    for (double q : ahead) {
      QPointF a;
      if (q >= from && q <= to && v.project(q, lat, h, a)) pts << a;
    }
    p.setPen(pen);
    p.drawPolyline(pts);
  };

  // Track beds, sleepers and rails of both tracks.
  for (double c : {0.0, kOtherTrack}) strip(c - 1.9, c + 1.9, 0, 0, QColor(150, 140, 128));
  p.setRenderHint(QPainter::Antialiasing, false);
  for (double c : {0.0, kOtherTrack}) {
    for (double q = std::ceil(s / 0.6) * 0.6; q < s + 90; q += 0.6) {
      QPointF a, b;
      QPointF a2;
      if (v.project(q, c - 1.0, 0.02, a) && v.project(q, c + 1.0, 0.02, b) &&
          v.project(q + 0.22, c - 1.0, 0.02, a2)) {
        p.setPen(QPen(QColor(95, 85, 75), std::max(1.0, a.y() - a2.y())));
        p.drawLine(a, b);
      }
    }
  }
  // The road of the level crossing lies over the sleepers.
  {
    QPolygonF road;
    QPointF a, b, c2, e;
    double x0 = d.crossing.at - d.crossing.road_width / 2,
           x1 = d.crossing.at + d.crossing.road_width / 2;
    if (v.project(x0, -40, 0.03, a) && v.project(x0, 44, 0.03, b) && v.project(x1, 44, 0.03, c2) &&
        v.project(x1, -40, 0.03, e)) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(90, 90, 95));
      p.drawPolygon(QPolygonF({a, b, c2, e}));
    }
  }
  p.setRenderHint(QPainter::Antialiasing, true);
  for (double c : {0.0, kOtherTrack})
    for (double r : {-kGauge / 2, kGauge / 2}) line(c + r, 0.15, QPen(QColor(200, 200, 205), 1.6));
  // Crossovers near the termini.
  for (double w : d.switches) line(0, 0.15, QPen(QColor(190, 190, 195), 1.4), w - 25, w + 25);
  // Platforms: edge face, top and the yellow tactile line.
  for (const Station& st : d.stations) {
    strip(-1.6, -1.6, 0, 1.1, QColor(170, 165, 155), st.platform.from, st.platform.to);
    strip(-1.6, -8, 1.1, 1.1, QColor(195, 190, 180), st.platform.from, st.platform.to);
    strip(-2.3, -2.5, 1.11, 1.11, QColor(240, 200, 40), st.platform.from, st.platform.to);
    strip(-2.6, -7.5, 4.3, 4.5, QColor(150, 150, 160), st.platform.from + 15,
          st.platform.to - 10);  // canopy roof
  }
  // Contact wires over both tracks.
  for (double c : {0.0, kOtherTrack}) line(c, 5.2, QPen(QColor(40, 40, 40), 1.0));

  // Line-side objects, drawn from the farthest to the nearest.
  struct Obj {
    double z;
    std::function<void(double)> draw;
  };
  std::vector<Obj> objs;
  auto add = [&](double q, std::function<void(double)> f) {
    double z = q - s;
    if (z > kNear + 0.5 && z < kFar) objs.push_back({z, std::move(f)});
  };
  auto post = [&](double q, double lat, double h0, double h1, double width, QColor colour) {
    QPointF a, b;
    if (!v.project(q, lat, h0, a) || !v.project(q, lat, h1, b)) return;
    double w = std::max(1.0, v.focal * width / (q - s));
    p.fillRect(QRectF(a.x() - w / 2, b.y(), w, a.y() - b.y()), colour);
  };
  auto board = [&](double q, double lat, double h, double w, double hh, QColor bg,
                   const QString& text, QColor fg, double text_size = 0.6) {
    QPointF c;
    if (!v.project(q, lat, h, c)) return;
    double k = v.focal / (q - s);
    QRectF r(c.x() - w * k / 2, c.y() - hh * k / 2, w * k, hh * k);
    p.fillRect(r, bg);
    if (k * hh * text_size >= 5 && !text.isEmpty()) {
      p.setPen(fg);
      p.setFont(picture_font(int(k * hh * text_size), true));
      p.drawText(r, Qt::AlignCenter, text);
    }
  };
  auto lamp = [&](double q, double lat, double h, double radius, QColor colour) {
    QPointF c;
    if (!v.project(q, lat, h, c)) return;
    double r = std::max(0.8, v.focal * radius / (q - s));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(c, r, r);
  };

  // Catenary poles every 50 m with the beam across both tracks.
  for (double q = std::floor(s / 50) * 50 + 50; q < s + kFar; q += 50) {
    if (q > d.tunnel.from && q < d.tunnel.to) continue;
    add(q, [&, q](double) {
      post(q, -2.7, 0, 8, 0.35, QColor(110, 110, 105));
      post(q, kOtherTrack + 2.7, 0, 8, 0.35, QColor(110, 110, 105));
      QPointF a, b;
      if (v.project(q, -2.7, 7.4, a) && v.project(q, kOtherTrack + 2.7, 7.4, b)) {
        p.setPen(QPen(QColor(100, 100, 95), std::max(1.0, v.focal * 0.2 / (q - s))));
        p.drawLine(a, b);
      }
    });
  }
  // Kilometre posts every 100 m.
  for (double q = 0; q < d.length + 100; q += 1) {
    double km = d.km_post(q);
    double tenth = std::round(km * 10);
    if (std::fabs(km * 10 - tenth) > 0.0005 * 10 || q < s || q > s + 300) continue;
    add(q, [&, q, tenth](double) {
      bool whole = int(tenth) % 10 == 0;
      QString label = QString::number(tenth / 10, 'f', 1);
      board(q, -2.1, whole ? 1.0 : 0.6, 0.35, whole ? 1.2 : 0.7, QColor(245, 245, 245), label,
            QColor(20, 20, 20), 0.3);
    });
  }
  // Gradient posts: an arm up or down for the gradient that begins there.
  for (double q : d.gradient_posts) {
    double after = 0;
    for (const Gradient& g : d.gradients)
      if (std::fabs(g.at.from - q) < 0.5) after = g.permille;
    add(q, [&, q, after](double) {
      post(q, -2.3, 0, 1.5, 0.12, QColor(240, 240, 240));
      QPointF a, b;
      if (v.project(q, -2.3, 1.4, a) && v.project(q, -2.9, 1.4 + after / 20, b)) {
        p.setPen(QPen(QColor(240, 240, 240), std::max(1.0, v.focal * 0.1 / (q - s))));
        p.drawLine(a, b);
      }
      board(q, -2.3, 1.0, 0.3, 0.25, QColor(240, 240, 240),
            after == 0 ? "L" : QString::number(std::fabs(after)), QColor(10, 10, 10), 0.8);
    });
  }
  // Signals: mast, head with the proceed aspect, number plate.
  for (const Signal& sig : d.signal_posts) {
    add(sig.at, [&, sig](double) {
      post(sig.at, -2.6, 0, 4.6, 0.25, QColor(150, 150, 150));
      if (sig.role == SignalRole::repeater) {
        board(sig.at, -2.6, 4.0, 0.9, 0.9, QColor(25, 25, 25), "", QColor());
        for (int k = -1; k <= 1; ++k)
          lamp(sig.at, -2.6, 4.0 + 0.28 * k, 0.09, QColor(250, 250, 230));
        return;
      }
      // Heads of 3 (G Y R), 4 (Y G R Y) and 5 lamps (Y G Y R Y), showing proceed.
      int lamps = sig.role == SignalRole::starting ? 3 : sig.role == SignalRole::home ? 4 : 5;
      int green = lamps == 3 ? 0 : 1;
      double top = 4.4 + lamps * 0.32;
      board(sig.at, -2.6, (top + 4.4) / 2, 0.55, top - 4.4 + 0.3, QColor(25, 25, 25), "", QColor());
      for (int k = 0; k < lamps; ++k)
        lamp(sig.at, -2.6, top - 0.16 - 0.32 * k, 0.12,
             k == green ? QColor(40, 240, 150) : QColor(55, 45, 40));
      board(sig.at, -2.6, 3.9, 0.45, 0.35, QColor(245, 245, 245), QString::number(sig.number),
            QColor(10, 10, 10), 0.7);
    });
  }
  // Speed limit and release boards.
  for (const Limit& l : d.limits) {
    if (l.at.from > 1)
      add(l.at.from, [&, l](double) {
        post(l.at.from, -2.4, 0, 2.2, 0.1, QColor(230, 230, 230));
        board(l.at.from, -2.4, 2.4, 0.7, 0.7, QColor(255, 215, 0), QString::number(l.kmh),
              QColor(10, 10, 10), 0.6);
      });
    if (l.at.to < d.length)
      add(l.at.to, [&, l](double) {
        post(l.at.to, -2.4, 0, 2.2, 0.1, QColor(230, 230, 230));
        board(l.at.to, -2.4, 2.4, 0.7, 0.7, QColor(250, 250, 250), QString::fromUtf8("解除"),
              QColor(10, 10, 10), 0.35);
      });
  }
  add(d.time_check_sign, [&](double) {
    post(d.time_check_sign, -2.4, 0, 2.0, 0.1, QColor(230, 230, 230));
    board(d.time_check_sign, -2.4, 2.3, 0.8, 0.6, QColor(20, 80, 160), QString::fromUtf8("時刻"),
          QColor(255, 255, 255), 0.5);
  });
  // Stations: canopy pillars and roof, name boards, the stop position marker.
  for (const Station& st : d.stations) {
    for (double q = st.platform.from + 20; q < st.platform.to - 15; q += 12)
      add(q, [&, q](double) { post(q, -5.5, 1.1, 4.3, 0.25, QColor(120, 120, 130)); });
    for (double q = st.platform.from + 35; q < st.platform.to - 20; q += 60)
      add(q, [&, q, st](double) {
        post(q, -4.2, 1.1, 2.6, 0.08, QColor(80, 80, 80));
        QPointF c;
        if (!v.project(q, -4.2, 3.0, c)) return;
        double k = v.focal / (q - s);
        QRectF r(c.x() - 1.4 * k, c.y() - 0.4 * k, 2.8 * k, 0.8 * k);
        p.fillRect(r, QColor(250, 250, 250));
        p.fillRect(QRectF(r.x(), r.bottom() - 0.18 * k, r.width(), 0.18 * k), QColor(30, 140, 80));
        if (k * 0.35 >= 5) {
          p.setPen(QColor(20, 20, 20));
          p.setFont(picture_font(int(k * 0.36), true));
          p.drawText(QRectF(r.x(), r.y(), r.width(), r.height() * 0.58), Qt::AlignCenter,
                     QString::fromStdString(st.name));
          p.setFont(picture_font(std::max(1, int(k * 0.13))));
          p.drawText(QRectF(r.x(), r.y() + r.height() * 0.55, r.width(), r.height() * 0.25),
                     Qt::AlignCenter, QString::fromStdString(st.reading));
        }
      });
    if (st.filmed_stop)
      add(st.stop, [&, st](double) {
        board(st.stop, -1.9, 2.2, 0.5, 0.5, QColor(250, 250, 250), "10", QColor(220, 30, 30), 0.7);
      });
  }
  // The level crossing: warning posts with blinking lamps, barriers down.
  {
    double q = d.crossing.at - d.crossing.road_width / 2 - 0.5;
    bool on = std::fmod(seconds, 1.0) < 0.5;
    for (double lat : {-3.2, kOtherTrack + 3.2})
      add(q + (lat < 0 ? 0 : 0.01), [&, q, lat, on](double) {
        post(q, lat, 0, 3.2, 0.14, QColor(240, 240, 240));
        board(q, lat, 2.8, 0.9, 0.25, QColor(250, 200, 0), "", QColor());
        lamp(q, lat - 0.3, 2.3, 0.13, on ? QColor(255, 40, 30) : QColor(90, 20, 20));
        lamp(q, lat + 0.3, 2.3, 0.13, on ? QColor(90, 20, 20) : QColor(255, 40, 30));
        QPointF a, b;
        double far = lat < 0 ? -12 : kOtherTrack + 12;
        if (v.project(q, lat, 1.0, a) && v.project(q, far, 1.0, b)) {
          p.setPen(QPen(QColor(250, 220, 0), std::max(1.0, v.focal * 0.08 / (q - s))));
          p.drawLine(a, b);
        }
      });
    // The road traffic signal beside the crossing road.
    add(d.road_signal, [&](double) {
      post(d.road_signal, -6.0, 0, 4.8, 0.18, QColor(140, 140, 140));
      board(d.road_signal, -6.0, 4.8, 1.3, 0.45, QColor(40, 40, 40), "", QColor());
      lamp(d.road_signal, -6.4, 4.8, 0.15, QColor(20, 200, 190));
      lamp(d.road_signal, -6.0, 4.8, 0.15, QColor(70, 60, 20));
      lamp(d.road_signal, -5.6, 4.8, 0.15, QColor(70, 20, 20));
    });
    // A car waiting at the crossing.
    add(d.crossing.at + 6, [&](double) {
      board(d.crossing.at + 6, -9.0, 0.8, 1.8, 1.3, QColor(200, 40, 40), "", QColor());
    });
  }
  // Houses and trees along the line.
  for (double q = std::floor(s / 23) * 23; q < s + 500; q += 23) {
    uint32_t h = hash(int64_t(q) + (d.up ? 7777 : 0));
    if (q > d.tunnel.from - 30 && q < d.tunnel.to + 30) continue;
    bool left = h & 1;
    double lat = left ? -(12 + (h >> 3) % 25) : kOtherTrack + 12 + (h >> 5) % 25;
    bool tree = (h >> 9) % 3 == 0;
    add(q, [&, q, lat, tree, h](double) {
      if (tree) {
        post(q, lat, 0, 2.5, 0.4, QColor(100, 70, 40));
        lamp(q, lat, 4.0, 2.2, QColor(40 + (h >> 12) % 40, 110 + (h >> 14) % 40, 50));
      } else {
        double hh = 5 + (h >> 11) % 8;
        static const QColor walls[4] = {QColor(225, 215, 195), QColor(200, 205, 210),
                                        QColor(235, 230, 220), QColor(190, 175, 160)};
        board(q, lat, hh / 2, 8 + (h >> 13) % 6, hh, walls[(h >> 17) % 4], "", QColor());
        board(q, lat, hh + 0.6, 9 + (h >> 13) % 6, 1.2, QColor(90, 70, 70), "", QColor());
      }
    });
  }
  // The train on the other track (10 cars, 80 km/h towards us): its side
  // facing us with the window band, the colour band and the car ends.
  {
    double front = d.passing_train + (passing_time_ - seconds) * 80 / 3.6 + cam.behind;
    double near = std::max(front, s + 3.0);
    if (front < s + kFar && front + 200 > near)
      add(near, [&, front, near](double) {
        const double side = kOtherTrack - 1.45;
        auto face = [&](double h0, double h1, QColor colour) {
          QPolygonF poly;
          QPointF a;
          for (double q = near; q <= front + 200; q += 5)
            if (v.project(q, side, h0, a)) poly << a;
          for (double q = front + 200; q >= near; q -= 5)
            if (v.project(q, side, h1, a)) poly << a;
          p.setPen(Qt::NoPen);
          p.setBrush(colour);
          p.drawPolygon(poly);
        };
        face(0.6, 3.9, QColor(215, 218, 222));
        face(2.2, 3.1, QColor(60, 75, 95));
        face(1.5, 1.8, QColor(30, 150, 90));
        for (double q = front + 20; q < front + 200; q += 20) {
          if (q < near) continue;
          QPointF a, b;
          if (v.project(q, side, 0.6, a) && v.project(q, side, 3.9, b)) {
            p.setPen(QPen(QColor(40, 40, 40), 1));
            p.drawLine(a, b);
          }
        }
        QPointF a, b;
        if (front >= s + 3.0 && v.project(front, side, 3.9, a) &&
            v.project(front, kOtherTrack + 1.45, 0.6, b)) {
          p.fillRect(QRectF(a, b), QColor(200, 205, 210));
          QPointF w0, w1;
          if (v.project(front, side + 0.3, 3.2, w0) &&
              v.project(front, kOtherTrack + 1.15, 2.3, w1))
            p.fillRect(QRectF(w0, w1), QColor(40, 50, 70));
        }
      });
  }
  // The tunnel: the portal in the hillside, or its inside with lamps.
  auto tunnel_face = [&](double q, bool from_inside) {
    QPointF tl, br;
    if (!v.project(q, -2.8, 6.2, tl) || !v.project(q, kOtherTrack + 2.8, 0, br)) return;
    QPainterPath face;
    face.setFillRule(Qt::OddEvenFill);
    if (from_inside) {
      face.addRect(QRectF(-10, -10, kFilmWidth + 20, kFilmHeight + 20));
    } else {
      QPointF hl, hr;
      if (!v.project(q, -60, 20, hl) || !v.project(q, kOtherTrack + 60, 0, hr)) return;
      face.addRect(QRectF(hl, QPointF(hr.x(), br.y())));
    }
    QPainterPath hole;
    QRectF opening(tl, br);
    hole.addRoundedRect(opening, opening.width() * 0.4, opening.height() * 0.35);
    face.addPath(hole);
    p.setPen(Qt::NoPen);
    p.setBrush(from_inside ? QColor(18, 18, 22) : QColor(80, 100, 75));
    p.drawPath(face);
    if (!from_inside) {
      p.setBrush(QColor(15, 15, 18));
      p.drawPath(hole);
      p.setPen(QPen(QColor(150, 150, 140), std::max(1.0, v.focal * 0.4 / (q - s))));
      p.setBrush(Qt::NoBrush);
      p.drawPath(hole);
    }
  };
  if (in_tunnel) {
    add(d.tunnel.to, [&](double) { tunnel_face(d.tunnel.to, true); });
    for (double q = std::floor(s / 25) * 25 + 25; q < d.tunnel.to; q += 25)
      add(q, [&, q](double) { lamp(q, -2.7, 3.2, 0.12, QColor(255, 220, 150)); });
  } else if (d.tunnel.from > s) {
    add(d.tunnel.from, [&](double) { tunnel_face(d.tunnel.from, false); });
  }
  std::stable_sort(objs.begin(), objs.end(), [](const Obj& a, const Obj& b) { return a.z > b.z; });
  // Inside the tunnel everything up to the exit is drawn after the tunnel
  // face, which leaves only the exit opening to the outside.
  for (const Obj& o : objs) o.draw(o.z);
  if (in_tunnel) {
    p.setPen(QPen(QColor(70, 70, 75), 1.2));
    for (double r : {-kGauge / 2, kGauge / 2})
      line(r, 0.15, QPen(QColor(70, 70, 75), 1.2), s, d.tunnel.to);
  }
  return img;
}

}  // namespace demo
