// The demo line's model: frame positions as the run set-up computes them, and
// a filming run that keeps the limits and stops at the stop markers.
#include <gtest/gtest.h>

#include <cmath>

#include "line_model.h"

namespace demo {
namespace {

TEST(DemoSpeedProfile, PlacesFramesAsTheRunSetUpDoes) {
  SpeedProfile constant({{0, 300, 36, 36}});
  EXPECT_EQ(constant.position_cm(150), 5000);
  EXPECT_EQ(constant.position_cm(300), 10000);
  SpeedProfile accelerating({{0, 300, 0, 72}});
  EXPECT_EQ(accelerating.position_cm(150), 2500);
  EXPECT_EQ(accelerating.position_cm(300), 10000);
  // A second segment starts where the first ends.
  SpeedProfile chain({{0, 300, 36, 36}, {300, 330, 36, 0}});
  EXPECT_EQ(chain.position_cm(330), 10000 + round_even(36 * 30 / 2.16));
  // Objects never land on a frame two segments share (they would count twice).
  EXPECT_EQ(chain.frame_at(100.0), 301);
  EXPECT_EQ(chain.frame_at(50.0), 150);
}

TEST(DemoSpeedProfile, TheFilmingRunStopsAtTheMarkersAndKeepsTheLimits) {
  for (bool up : {false, true}) {
    Direction d = direction(up);
    SpeedProfile p = plan_run(d);
    const auto& segs = p.segments();
    EXPECT_EQ(segs.front().from_kmh, 0);
    EXPECT_EQ(segs.back().to_kmh, 0);
    for (size_t k = 0; k < segs.size(); ++k) {
      const SpeedSegment& g = segs[k];
      ASSERT_LT(g.from_frame, g.to_frame);
      if (k > 0) {
        EXPECT_EQ(g.from_frame, segs[k - 1].to_frame);
      }
      double rate = (g.to_kmh - g.from_kmh) / ((g.to_frame - g.from_frame) / 30.0);
      EXPECT_LE(rate, 2.6) << "accelerates too hard in segment " << k;
      if (g.to_kmh > 0) {
        EXPECT_GE(rate, -3.3) << "brakes too hard in segment " << k;
      }
      EXPECT_LE(std::max(g.from_kmh, g.to_kmh), 95.0);
    }
    for (int f = 1; f <= p.last_frame(); ++f) {
      ASSERT_GE(p.position_cm(f), p.position_cm(f - 1));
      double s = p.position_m(f), v = p.speed_kmh(f);
      for (const Limit& l : d.limits)
        if (l.at.from <= s && s <= l.at.to) {
          EXPECT_LE(v, l.kmh + 0.5) << "frame " << f << " at " << s << " m";
        }
    }
    for (const Station& st : d.stations) {
      if (!st.filmed_stop) continue;
      int f = p.stop_frame_near(st.stop);
      EXPECT_EQ(p.speed_kmh(f), 0) << st.name;
      EXPECT_NEAR(p.position_m(f), st.stop, 1.0) << st.name;
    }
  }
}

TEST(DemoLineDescription, EachDirectionHasItsSignalsInOrder) {
  for (bool up : {false, true}) {
    Direction d = direction(up);
    ASSERT_EQ(d.stations.size(), 5u);
    EXPECT_EQ(d.stations.front().stop, 0);
    EXPECT_NEAR(d.stations.back().stop, d.length, 1e-9);
    int starting = 0;
    for (size_t i = 0; i < d.signal_posts.size(); ++i) {
      const Signal& s = d.signal_posts[i];
      if (i > 0) {
        EXPECT_GT(s.at, d.signal_posts[i - 1].at);
      }
      EXPECT_LT(s.view_from, s.at);
      if (s.role == SignalRole::starting) {
        ++starting;
        EXPECT_GT(s.at, d.stations[s.station].stop);
      }
    }
    EXPECT_EQ(starting, 4);  // every station but the last
    EXPECT_LT(d.tunnel.from, d.tunnel.to);
  }
}

}  // namespace
}  // namespace demo
