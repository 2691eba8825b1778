// Drawing the chart of a run.
#include "shell/run_chart.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "data/shift_jis.h"

namespace cabsim {
namespace {

/// Margins around the plots for the scales, px.
constexpr int kLeftMargin = 46;
constexpr int kRightMargin = 12;
constexpr int kTopMargin = 34;
/// The row of the station names above the plot, px.
constexpr int kNameRow = 16;
constexpr int kAxisGap = 22;
/// The notch strip's share of the height.
constexpr double kNotchShare = 0.22;

/// A round step of the grid for `span` units, about `lines` lines.
double grid_step(double span, int lines) {
  const double raw = span / std::max(1, lines);
  const double p = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (raw <= m * p) return m * p;
  return 10 * p;
}

/// Draws one value of the samples as a line over position; values below 0
/// are gaps; `stepped` keeps the value until the next sample (a limit).
template <typename Value>
void draw_series(QPainter& p, const RunChartScale& sc, const RunRecordData& r, Value value,
                 const QColor& colour, double width, bool stepped) {
  QPen pen(colour, width);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  QPainterPath path;
  bool drawing = false;
  double last_position = 0;
  for (const RunSample& x : r.samples) {
    const double v = value(x);
    if (v < 0 || (drawing && std::fabs(x.position - last_position) > kMoveJumpCm)) {
      drawing = false;
      if (v < 0) continue;
    }
    const QPointF at(sc.x_of(x.position), sc.y_of(v));
    if (!drawing) {
      path.moveTo(at);
      drawing = true;
    } else {
      if (stepped) path.lineTo(at.x(), path.currentPosition().y());
      path.lineTo(at);
    }
    last_position = x.position;
  }
  p.drawPath(path);
}

}  // namespace

int RunChartScale::x_of(double position_cm) const {
  const double f = (position_cm - first_cm) / std::max(1.0, last_cm - first_cm);
  return speed_area.left() + static_cast<int>(std::lround(f * speed_area.width()));
}

int RunChartScale::y_of(double speed_kmh) const {
  const double f = std::clamp(speed_kmh / top_kmh, -0.05, 1.05);
  return speed_area.bottom() - static_cast<int>(std::lround(f * speed_area.height()));
}

int RunChartScale::notch_y(int n) const {
  const int mid = notch_area.top() + notch_area.height() / 2;
  const double f = std::clamp(static_cast<double>(n) / std::max(1, notch_range), -1.0, 1.0);
  return mid - static_cast<int>(std::lround(f * (notch_area.height() / 2)));
}

RunChartScale run_chart_scale(const RunRecordData& r, const QRect& area) {
  RunChartScale sc;
  const int notch_height = static_cast<int>(area.height() * kNotchShare);
  sc.speed_area = QRect(area.left() + kLeftMargin, area.top() + kTopMargin,
                        area.width() - kLeftMargin - kRightMargin,
                        area.height() - kTopMargin - kAxisGap - notch_height - kAxisGap);
  sc.notch_area = QRect(sc.speed_area.left(), sc.speed_area.bottom() + kAxisGap,
                        sc.speed_area.width(), notch_height);
  double lo = 0, hi = 0, top = 0;
  int notches = 1;
  bool any = false;
  for (const RunSample& x : r.samples) {
    lo = any ? std::min(lo, x.position) : x.position;
    hi = any ? std::max(hi, x.position) : x.position;
    any = true;
    top = std::max({top, static_cast<double>(std::fabs(x.speed)), static_cast<double>(x.limit),
                    static_cast<double>(x.pattern)});
    notches = std::max({notches, static_cast<int>(x.power_notch), static_cast<int>(x.brake_notch)});
  }
  for (const StopRecord& s : r.stops) {
    if (!any) break;
    lo = std::min(lo, static_cast<double>(s.stop_position));
    hi = std::max(hi, static_cast<double>(s.stop_position));
  }
  if (hi - lo < 100) hi = lo + 100;
  sc.first_cm = lo;
  sc.last_cm = hi;
  sc.top_kmh = std::max(10.0, std::ceil((top + 5) / 10) * 10);
  sc.notch_range = std::max(notches, r.brake_steps);
  return sc;
}

void draw_run_chart(QPainter& p, const QRect& area, const RunRecordData& r) {
  const RunChartScale sc = run_chart_scale(r, area);
  p.save();
  p.fillRect(area, kChartBackground);
  QFont font = p.font();
  font.setPixelSize(11);
  p.setFont(font);
  p.setRenderHint(QPainter::Antialiasing, false);

  // The grid: every so many km/h across, every so many metres up.
  const double speed_step = grid_step(sc.top_kmh, 6);
  for (double v = 0; v <= sc.top_kmh + 0.01; v += speed_step) {
    p.setPen(kChartGrid);
    p.drawLine(sc.speed_area.left(), sc.y_of(v), sc.speed_area.right(), sc.y_of(v));
    p.setPen(Qt::black);
    p.drawText(QRect(area.left(), sc.y_of(v) - 7, kLeftMargin - 4, 14),
               Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
  }
  const double metres = (sc.last_cm - sc.first_cm) / 100;
  const double metre_step = grid_step(metres, 8);
  const double first_m = std::ceil(sc.first_cm / 100 / metre_step) * metre_step;
  for (double m = first_m; m * 100 <= sc.last_cm + 0.5; m += metre_step) {
    const int x = sc.x_of(m * 100);
    p.setPen(kChartGrid);
    p.drawLine(x, sc.speed_area.top(), x, sc.speed_area.bottom());
    p.setPen(Qt::black);
    // Kilometres as far as the step shows them apart, else metres.
    const QString label = metre_step >= 1000  ? QString::number(m / 1000) + "km"
                          : metre_step >= 100 ? QString::number(m / 1000, 'f', 1) + "km"
                                              : QString::number(m) + "m";
    p.drawText(QRect(x - 40, sc.speed_area.bottom() + 2, 80, kAxisGap - 4), Qt::AlignCenter, label);
  }
  p.setPen(Qt::black);
  p.drawText(QRect(area.left(), area.top() + kNameRow, kLeftMargin - 4, kTopMargin - kNameRow),
             Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf8("km/h"));
  p.drawText(QRect(area.left(), sc.notch_area.top(), kLeftMargin - 4, sc.notch_area.height()),
             Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf8("ノッチ"));

  // The stations: a line at each stop position with the name above it.
  for (const StopRecord& s : r.stops) {
    const int x = sc.x_of(s.stop_position);
    p.setPen(QPen(kChartStation, 1, Qt::DashLine));
    p.drawLine(x, sc.speed_area.top(), x, sc.notch_area.bottom());
    p.setPen(kChartStation);
    // The name right of its line, or left of it where the plot ends.
    const QString name = QString::fromStdString(sjis_to_utf8(s.name));
    const int width = p.fontMetrics().horizontalAdvance(name);
    const bool left = x + 3 + width > area.right();
    p.drawText(QRect(left ? x - 3 - width : x + 3, area.top() + 1, width + 1, kNameRow),
               Qt::AlignLeft | Qt::AlignVCenter, name);
  }

  // The notches beneath: power above the middle, brake below it.
  p.setPen(kChartGrid);
  const int mid = sc.notch_y(0);
  p.drawRect(sc.notch_area.adjusted(0, 0, -1, -1));
  p.drawLine(sc.notch_area.left(), mid, sc.notch_area.right(), mid);
  for (size_t i = 0; i + 1 < r.samples.size(); ++i) {
    const RunSample& a = r.samples[i];
    const RunSample& b = r.samples[i + 1];
    if (std::fabs(b.position - a.position) > kMoveJumpCm) continue;
    int x0 = sc.x_of(a.position), x1 = sc.x_of(b.position);
    if (x1 < x0) std::swap(x0, x1);
    const int w = std::max(1, x1 - x0);
    if (a.power_notch > 0) {
      const int y = sc.notch_y(a.power_notch);
      p.fillRect(QRect(x0, y, w, mid - y), kChartPower);
    }
    if (a.brake_notch > 0) {
      const int y = sc.notch_y(-a.brake_notch);
      p.fillRect(QRect(x0, mid + 1, w, y - mid), kChartBrake);
    }
  }

  // Limit, pattern, then the speed on top of them.
  draw_series(
      p, sc, r, [](const RunSample& x) { return static_cast<double>(x.limit); }, kChartLimit, 2,
      true);
  draw_series(
      p, sc, r, [](const RunSample& x) { return static_cast<double>(x.pattern); }, kChartPattern,
      1.5, false);
  draw_series(
      p, sc, r, [](const RunSample& x) { return std::fabs(static_cast<double>(x.speed)); },
      kChartSpeed, 2, false);
  p.restore();
}

QImage run_chart_image(const RunRecordData& record, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(kChartBackground);
  QPainter p(&image);
  draw_run_chart(p, QRect(QPoint(0, 0), size), record);
  p.end();
  return image;
}

}  // namespace cabsim
