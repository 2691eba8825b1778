// The demo line's description and the filming train's run over it.
#include "line_model.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <stdexcept>

namespace demo {

namespace {

/// Chainage (m from the buffer stops of 花見台) of the line's features.
constexpr double kLineEnd = 4100;
constexpr double kTrainLength = 200;  ///< 10 cars of 20 m

struct StationPlace {
  const char* name;
  const char* reading;
  const char* kana;
  double centre;
  bool filmed_stop;
  bool down_platform_left;
};

constexpr StationPlace kStations[] = {
    {"花見台", "Hanamidai", "はなみだい", 150, true, true},
    {"桜川", "Sakuragawa", "さくらがわ", 1050, true, true},
    {"緑町", "Midorimachi", "みどりまち", 1950, false, true},
    {"青葉台", "Aobadai", "あおばだい", 2900, true, true},
    {"星ヶ丘", "Hoshigaoka", "ほしがおか", 3950, true, true},
};
constexpr double kHalfPlatform = 105;
constexpr double kStopInset = 90;  ///< stop marker from the platform centre

struct CurvePlace {
  double from, to, radius;  ///< radius > 0 curves right for the down train
};
constexpr CurvePlace kCurves[] = {{1300, 1600, 600}, {2250, 2550, -400}, {3250, 3550, 800}};

struct GradientPlace {
  double from, to, permille;  ///< uphill for the down train when > 0
};
constexpr GradientPlace kGradients[] = {{1500, 1800, 5}, {3100, 3650, 15}};

struct LimitPlace {
  double from, to;
  int kmh;
};
constexpr LimitPlace kLimits[] = {{0, 420, 45}, {2250, 2550, 65}, {3700, kLineEnd, 45}};

constexpr Stretch kTunnel{3250, 3500};
constexpr double kCrossing = 600;
constexpr double kSwitches[] = {380, 3720};
constexpr double kPassingTrain = 1400;
constexpr double kTimeCheckSign = 1700;

/// Down film position 0 is the down stop of 花見台; up position 0 the up stop of 星ヶ丘.
constexpr double kDownStart = 150 + kStopInset;
constexpr double kUpStart = 3950 - kStopInset;

double to_film(bool up, double chainage) {
  return up ? kUpStart - chainage : chainage - kDownStart;
}

Stretch to_film(bool up, double from, double to) {
  double a = to_film(up, from), b = to_film(up, to);
  return {std::min(a, b), std::max(a, b)};
}

void add_signals(Direction& d) {
  int number = 1;
  const auto& st = d.stations;
  for (size_t k = 0; k < st.size(); ++k) {
    if (k > 0) {
      double home = st[k].platform.from - 110;
      double prev = d.signal_posts.empty() ? 0 : d.signal_posts.back().at;
      // A long section is split by a block signal halfway.
      if (home - prev > 650)
        d.signal_posts.push_back({SignalRole::block, (prev + home) / 2, number++, -1});
      if (k == 2) d.signal_posts.push_back({SignalRole::repeater, home - 300, 0, -1});
      d.signal_posts.push_back({SignalRole::home, home, number++, -1});
    }
    if (k + 1 < st.size())
      d.signal_posts.push_back({SignalRole::starting, st[k].stop + 45, number++, int(k)});
  }
  double prev = -1e9;
  for (auto& s : d.signal_posts) {
    s.view_from = std::max({0.0, prev + 5, s.at - 400});
    prev = s.at;
  }
}

}  // namespace

int64_t round_even(double value) {
  // The default rounding mode rounds halves to even.
  return static_cast<int64_t>(std::nearbyint(value));
}

Direction direction(bool up) {
  Direction d;
  d.up = up;
  d.chainage_at_start = (up ? kUpStart : kDownStart) / 1000.0;
  d.chainage_sign = up ? -1 : 1;
  int n = std::size(kStations);
  for (int i = 0; i < n; ++i) {
    const StationPlace& p = kStations[up ? n - 1 - i : i];
    Station s;
    s.name = p.name;
    s.reading = p.reading;
    s.kana = p.kana;
    s.platform = to_film(up, p.centre - kHalfPlatform, p.centre + kHalfPlatform);
    s.stop = to_film(up, up ? p.centre - kStopInset : p.centre + kStopInset);
    s.left_platform = p.down_platform_left;  // each track has its own side platform on the left
    s.filmed_stop = p.filmed_stop;
    d.stations.push_back(s);
  }
  d.length = d.stations.back().stop;  // the film ends at the last stop
  for (const CurvePlace& c : kCurves)
    d.curves.push_back({to_film(up, c.from, c.to), up ? -c.radius : c.radius});
  for (const GradientPlace& g : kGradients) {
    d.gradients.push_back({to_film(up, g.from, g.to), up ? -g.permille : g.permille});
    d.gradient_posts.push_back(to_film(up, g.from));
    d.gradient_posts.push_back(to_film(up, g.to));
  }
  for (const LimitPlace& l : kLimits) {
    Stretch s = to_film(up, l.from, l.to);
    s.to += kTrainLength;  // the limit holds until the last car has left it
    d.limits.push_back({s, l.kmh});
  }
  auto by_from = [](const auto& a, const auto& b) { return a.at.from < b.at.from; };
  std::sort(d.curves.begin(), d.curves.end(), by_from);
  std::sort(d.gradients.begin(), d.gradients.end(), by_from);
  std::sort(d.limits.begin(), d.limits.end(), by_from);
  std::sort(d.gradient_posts.begin(), d.gradient_posts.end());
  d.tunnel = to_film(up, kTunnel.from, kTunnel.to);
  d.crossing.at = to_film(up, kCrossing);
  d.road_signal = d.crossing.at - 30;
  for (double s : kSwitches) d.switches.push_back(to_film(up, s));
  std::sort(d.switches.begin(), d.switches.end());
  d.passing_train = to_film(up, kPassingTrain);
  d.time_check_sign = to_film(up, kTimeCheckSign);
  add_signals(d);
  return d;
}

// --- the filming train's run -----------------------------------------------

namespace {

constexpr double kAccel = 2.5;     ///< km/h/s, the filming train's acceleration
constexpr double kBrake = 3.0;     ///< km/h/s, its service braking
constexpr double kLineSpeed = 95;  ///< km/h, it keeps below the 100 km/h of the line
constexpr int kStandFrames = 45;   ///< frames filmed standing at a stop
constexpr int kSampleFrames = 15;  ///< frames per speed segment while the speed changes

/// Highest speed at `s` that still allows braking for everything ahead.
double speed_cap(const Direction& d, double s, double next_stop) {
  double cap = kLineSpeed;
  for (const Limit& l : d.limits) {
    if (l.at.from <= s && s <= l.at.to) cap = std::min<double>(cap, l.kmh);
    if (l.at.from > s)
      cap = std::min(cap, std::sqrt(l.kmh * l.kmh + 7.2 * kBrake * (l.at.from - s)));
  }
  double to_stop = std::max(0.0, next_stop - s);
  return std::min(cap, std::sqrt(7.2 * kBrake * to_stop));
}

void append(std::vector<SpeedSegment>& out, int a, int b, double va, double vb) {
  va = std::round(va * 100) / 100;
  vb = std::round(vb * 100) / 100;
  if (!out.empty()) {
    SpeedSegment& last = out.back();
    double slope_last = (last.to_kmh - last.from_kmh) / (last.to_frame - last.from_frame);
    double slope = (vb - va) / (b - a);
    if (std::fabs(last.to_kmh - va) < 1e-9 && std::fabs(slope - slope_last) < 1e-9) {
      last.to_frame = b;
      last.to_kmh = vb;
      return;
    }
  }
  out.push_back({a, b, va, vb});
}

}  // namespace

SpeedProfile plan_run(const Direction& d) {
  std::vector<double> speeds;  // per frame, km/h
  double s = 0;
  for (int i = 0; i < kStandFrames; ++i) speeds.push_back(0);
  for (size_t k = 1; k < d.stations.size(); ++k) {
    if (!d.stations[k].filmed_stop) continue;
    double stop = d.stations[k].stop;
    double v = 0;
    for (;;) {
      double next = std::min(v + kAccel / kFps, speed_cap(d, s, stop));
      next = std::max(next, v - kBrake / kFps * 1.05);
      double step = (v + next) / 7.2 / kFps;
      if (stop - s < 0.4 && next < 2.0) break;
      if (next < 0.3 && stop - s > 0.4 && stop - s < 5) next = 0.3;  // creep the last centimetres
      v = next;
      s += step;
      speeds.push_back(v);
    }
    speeds.push_back(0);
    s = stop;
    for (int i = 0; i < kStandFrames; ++i) speeds.push_back(0);
  }
  std::vector<SpeedSegment> segs;
  int n = int(speeds.size());
  int a = 0;
  while (a < n - 1) {
    int b = a + 1;
    if (speeds[a] == 0 && speeds[a + 1] == 0) {  // a stand: one segment at 0 km/h
      while (b + 1 < n && speeds[b + 1] == 0) ++b;
    } else {
      b = std::min(n - 1, a + kSampleFrames);
      for (int f = a + 1; f < b; ++f)
        if (speeds[f] == 0) b = f;  // end the segment where the train comes to rest
    }
    append(segs, a, b, speeds[a], speeds[b]);
    a = b;
  }
  return SpeedProfile(std::move(segs));
}

SpeedProfile::SpeedProfile(std::vector<SpeedSegment> segments) : segments_(std::move(segments)) {
  if (segments_.empty()) throw std::runtime_error("empty speed profile");
  frame_cm_.assign(last_frame() + 1, 0);
  int64_t start = 0;
  for (const SpeedSegment& g : segments_) {
    int len = g.to_frame - g.from_frame;
    for (int f = g.from_frame; f <= g.to_frame; ++f) {
      double vf = (g.to_kmh - g.from_kmh) / len * (f - g.from_frame) + g.from_kmh;
      frame_cm_[f] =
          start + round_even((vf + g.from_kmh) / 7.2 * ((f - g.from_frame) / 30.0) * 100);
    }
    start += round_even((g.from_kmh + g.to_kmh) * len / 2.16);
  }
}

int64_t SpeedProfile::position_cm(int f) const {
  return frame_cm_[std::clamp(f, 0, last_frame())];
}

double SpeedProfile::speed_kmh(int f) const {
  for (const SpeedSegment& g : segments_)
    if (g.from_frame <= f && f <= g.to_frame)
      return (g.to_kmh - g.from_kmh) / (g.to_frame - g.from_frame) * (f - g.from_frame) +
             g.from_kmh;
  return 0;
}

int SpeedProfile::frame_at(double metres) const {
  auto it =
      std::lower_bound(frame_cm_.begin(), frame_cm_.end(), int64_t(std::llround(metres * 100)));
  int f = int(std::min<ptrdiff_t>(it - frame_cm_.begin(), last_frame()));
  // A frame shared by two segments would place the object twice; take the next.
  for (const SpeedSegment& g : segments_)
    if (g.to_frame == f && f < last_frame()) return f + 1;
  return f;
}

int SpeedProfile::stop_frame_near(double metres) const {
  int f = frame_at(metres - 2);
  while (f < last_frame() && speed_kmh(f) > 0) ++f;
  return std::min(f + 1, last_frame());  // inside the stand, not on its first frame
}

}  // namespace demo
