#pragma once

#include <optional>

#include "geometry/point.h"
#include "geometry/sentinel_list.h"

namespace tarn {

inline constexpr double kChainJoinRadius = 0.5;  // mm

// A straight piece with its line a*x + b*y + c = 0. The coefficients are set by
// build(); a segment whose ends are changed must be built again.
struct Segment {
  Point start;
  Point end;
  double a = 0.0;  // end.y - start.y
  double b = 0.0;  // start.x - end.x
  double c = 0.0;  // -(start.x * a) - b * start.y
};

using SegmentList = SentinelList<Segment>;

void build(Segment& s, const Point& p, const Point& q);
Segment makeSegment(const Point& p, const Point& q);
Point startOf(const Segment& s);
Point endOf(const Segment& s);

// The point on both infinite lines. Parallel lines give a shared end point
// (s1.end first, then s1.start) or nothing.
std::optional<Point> intersectLines(const Segment& s1, const Segment& s2);

// Joins loose segments end to end (radius kChainJoinRadius) into `chain`,
// consuming the matched segments. Unmatched segments stay in `segments`. The
// chain walks from the last point found back to the first segment's start.
void chainSegments(SegmentList& segments, PointChain& chain);

}  // namespace tarn
