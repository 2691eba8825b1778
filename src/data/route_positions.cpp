// Segment lengths and frame distances of the film's speed profile.
#include "data/route_positions.h"

#include <algorithm>
#include <cmath>

#include "data/rounding.h"

namespace cabsim {

std::optional<int64_t> segment_distance(const SpeedUnitData& segment) {
  long double frames = static_cast<long double>(segment.end_frame) - segment.start_frame;
  return round_to_int64((segment.start_speed + segment.end_speed) * frames / 2.16L);
}

std::optional<int64_t> frame_distance(const SpeedUnitData& segment, int64_t start_distance,
                                      int32_t frame) {
  long double a = segment.start_frame;
  long double b = segment.end_frame;
  if (b == a) return std::nullopt;
  long double since_start = static_cast<long double>(frame) - a;
  long double speed_f =
      (segment.end_speed - segment.start_speed) / (b - a) * since_start + segment.start_speed;
  auto part = round_to_int64((speed_f + segment.start_speed) / 7.2L * (since_start / 30) * 100);
  if (!part) return std::nullopt;
  long double sum = static_cast<long double>(start_distance) + static_cast<long double>(*part);
  if (std::fabs(sum) > 9.2e18L) return std::nullopt;
  return start_distance + *part;
}

bool segment_fits(const SpeedUnitData& segment, int64_t start_distance) {
  // The speed inside the segment lies between its two end speeds, so no frame
  // inside lies farther from the start than (|A| + max(|A|, |B|)) x frames / 2.16.
  long double frames = std::fabs(static_cast<long double>(segment.end_frame) - segment.start_frame);
  long double a = std::fabs(segment.start_speed);
  long double widest = (a + std::max(a, std::fabs(segment.end_speed))) * frames / 2.16L + 1;
  long double limit = static_cast<long double>(kMaxRouteDistance);
  if (std::fabs(static_cast<long double>(start_distance)) + widest > limit) return false;
  auto length = segment_distance(segment);
  if (!length) return false;
  long double end = static_cast<long double>(start_distance) + static_cast<long double>(*length);
  return std::fabs(end) <= limit;
}

void compute_segment_distances(RouteTables& route) {
  int64_t sum = 0;
  for (int32_t s = 0; s < route.SpeedUnit_count; ++s) {
    SpeedUnitData& segment = route.SpeedUnit[static_cast<size_t>(s)];
    sum += segment_distance(segment).value_or(0);
    sum = std::clamp<int64_t>(sum, -kMaxRouteDistance, kMaxRouteDistance);
    segment.end_distance = static_cast<int32_t>(sum);
  }
  check_segment_order(route);
}

void check_segment_order(RouteTables& route) {
  route.SpeedUnit_ordered = 1;
  for (int32_t s = 0; s < route.SpeedUnit_count; ++s) {
    const SpeedUnitData& segment = route.SpeedUnit[static_cast<size_t>(s)];
    const bool follows =
        s == 0 || route.SpeedUnit[static_cast<size_t>(s) - 1].end_frame <= segment.start_frame;
    if (segment.start_frame >= segment.end_frame || !follows) route.SpeedUnit_ordered = 0;
  }
}

std::optional<int32_t> frame_position(const RouteTables& route, int32_t frame) {
  for (int32_t s = 0; s < route.SpeedUnit_count; ++s) {
    const SpeedUnitData& segment = route.SpeedUnit[static_cast<size_t>(s)];
    if (!frame_in_segment(segment, frame)) continue;
    auto distance = frame_distance(segment, segment_start_distance(route, s), frame);
    if (!distance) return std::nullopt;
    return static_cast<int32_t>(
        std::clamp<int64_t>(*distance, -kMaxRouteDistance, kMaxRouteDistance));
  }
  return std::nullopt;
}

}  // namespace cabsim
