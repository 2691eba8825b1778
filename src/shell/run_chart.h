// The chart of a run: speed against distance with the limit in force, the
// ATS-P brake pattern where there was one and the stations, and beneath it
// the power and brake notches. Drawn with QPainter onto any paint device, so
// the window shows it and a PNG keeps it alike.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

#include "run/run_record.h"

namespace cabsim {

/// Colours of the chart's lines, one each so that a glance tells them apart.
inline const QColor kChartBackground{255, 255, 255};
inline const QColor kChartGrid{225, 225, 225};
inline const QColor kChartSpeed{0, 70, 200};
inline const QColor kChartLimit{220, 0, 0};
inline const QColor kChartPattern{255, 140, 0};
inline const QColor kChartStation{0, 150, 60};
inline const QColor kChartPower{60, 120, 230};
inline const QColor kChartBrake{230, 70, 70};

/// Where the chart puts a position and a speed within its area.
struct RunChartScale {
  QRect speed_area;  ///< the speed plot
  QRect notch_area;  ///< the notch strip beneath it
  double first_cm = 0;
  double last_cm = 1;
  double top_kmh = 10;
  int notch_range = 1;  ///< the notch strip spans -range .. +range

  int x_of(double position_cm) const;
  int y_of(double speed_kmh) const;
  /// The y of notch `n` (power up, brake down) in the notch strip.
  int notch_y(int n) const;
};

/// The scale the chart of `record` uses in `area`.
RunChartScale run_chart_scale(const RunRecordData& record, const QRect& area);

/// Draws the chart of `record` into `area`.
void draw_run_chart(QPainter& painter, const QRect& area, const RunRecordData& record);

/// The chart alone as a picture of `size`.
QImage run_chart_image(const RunRecordData& record, QSize size);

}  // namespace cabsim
