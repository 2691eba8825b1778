// Rendering the cab view of the demo line in perspective, frame by frame,
// from the line description and the filming train's speed profile.
#pragma once

#include <QImage>
#include <vector>

#include "line_model.h"

namespace demo {

constexpr int kFilmWidth = 684;
constexpr int kFilmHeight = 384;

/// Where the camera stands relative to the filming train's front.
struct Camera {
  double lateral = 0;   ///< m, + to the right of our track's centre
  double height = 2.5;  ///< m above the rail
  double focal = 500;   ///< pixels
  double behind = 1.5;  ///< m behind the position of the frame
};

/// The track geometry of one direction and everything drawn along it.
class CabView {
 public:
  CabView(const Direction& dir, const SpeedProfile& profile);

  /// The picture seen from the camera standing at film position `s` metres,
  /// at film time `seconds` (lamps blink, other trains move).
  QImage render(double s, double seconds, const Camera& cam) const;
  /// The main film's frame `f`.
  QImage frame(int f) const { return render(profile_.position_m(f), f / double(kFps), Camera{}); }

  const Direction& direction() const { return dir_; }
  const SpeedProfile& profile() const { return profile_; }
  /// Film time (s) at which the filming train passes position `s`.
  double time_at(double s) const { return profile_.frame_at(s) / double(kFps); }

 private:
  struct TrackPoint {
    double x, y, heading, elevation;
  };
  TrackPoint at(double s) const;

  Direction dir_;
  SpeedProfile profile_;
  std::vector<TrackPoint> track_;  ///< every metre from kTrackStart
  double passing_time_ = 0;        ///< when the other train meets the camera
};

}  // namespace demo
