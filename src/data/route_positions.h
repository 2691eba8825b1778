// The film's speed profile: how a frame number of the film becomes a distance
// along the line in centimetres, at 30 frames per second.
#pragma once

#include <cstdint>
#include <optional>

#include "data/route_rows.h"
#include "data/route_tables.h"

namespace cabsim {

/// The farthest distance (cm, either sign) an object may lie from the line's
/// start: a speed profile that could place anything beyond it is refused, so
/// every position, zone end and event position fits in 32 bits.
constexpr int64_t kMaxRouteDistance = 2'000'000'000;

/// Length of a segment in cm: round((start speed + end speed) x (end frame -
/// start frame) / 2.16), halves to even. Nothing when it does not fit in 64 bits.
std::optional<int64_t> segment_distance(const SpeedUnitData& segment);

/// The distance of `frame` (start frame <= frame <= end frame) in a segment
/// whose start lies at `start_distance`: start distance + round((speedF +
/// start speed) / 7.2 x ((frame - start frame) / 30) x 100), speedF being the
/// speed the filming train had at `frame`. Nothing when it does not fit.
std::optional<int64_t> frame_distance(const SpeedUnitData& segment, int64_t start_distance,
                                      int32_t frame);

/// True when a segment starting at `start_distance` places every frame inside
/// it, and its own end, within kMaxRouteDistance.
bool segment_fits(const SpeedUnitData& segment, int64_t start_distance);

/// Stores the distance at the end of every segment: the running sum of the
/// segment lengths. The reader has checked that every sum fits.
void compute_segment_distances(RouteTables& route);
/// Marks whether the segments follow each other in frame order (each ends
/// after it starts and no later than the next starts), so a frame's segment
/// can be found by halving.
void check_segment_order(RouteTables& route);

/// The start distance of segment `s` (0 for the first).
inline int32_t segment_start_distance(const RouteTables& route, int32_t s) {
  return s <= 0 ? 0 : route.SpeedUnit[static_cast<size_t>(s - 1)].end_distance;
}

/// True when `frame` lies in segment `segment` (both ends included).
inline bool frame_in_segment(const SpeedUnitData& segment, int32_t frame) {
  return segment.start_frame <= frame && frame <= segment.end_frame;
}

/// The position of `frame` through the first segment that holds it, or
/// nothing when no segment does. Segment distances must be computed.
std::optional<int32_t> frame_position(const RouteTables& route, int32_t frame);

}  // namespace cabsim
