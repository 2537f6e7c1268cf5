#include "geometry/segment.h"

#include <cmath>

namespace tarn {

namespace {
constexpr double kParallelDeterminant = 1e-15;
}  // namespace

void build(Segment& s, const Point& p, const Point& q) {
  s.start = p;
  s.end = q;
  s.a = s.end.y - s.start.y;
  s.b = s.start.x - s.end.x;
  s.c = -(s.start.x * s.a) - s.b * s.start.y;
}

Segment makeSegment(const Point& p, const Point& q) {
  Segment s;
  build(s, p, q);
  return s;
}

Point startOf(const Segment& s) {
  return s.start;
}

Point endOf(const Segment& s) {
  return s.end;
}

std::optional<Point> intersectLines(const Segment& s1, const Segment& s2) {
  const double det = s1.a * s2.b - s1.b * s2.a;
  if (std::fabs(det) < kParallelDeterminant) {
    if (coincides(s1.end, s2.start) || coincides(s1.end, s2.end)) {
      return s1.end;
    }
    if (coincides(s1.start, s2.start) || coincides(s1.start, s2.end)) {
      return s1.start;
    }
    return std::nullopt;
  }
  Point p;
  p.x = -(s1.c * s2.b - s1.b * s2.c) / det;
  p.y = -(s1.a * s2.c - s1.c * s2.a) / det;
  return p;
}

void chainSegments(SegmentList& segments, PointChain& chain) {
  if (segments.empty()) {
    return;
  }
  Point current;
  {
    const auto first = segments.begin();
    chain.insert(first->start);
    chain.insert(first->end);
    current = first->end;
    segments.remove(first);
  }
  // First match wins, start before end: a nearer later segment is not preferred.
  bool matched = true;
  while (matched) {
    matched = false;
    for (auto it = segments.begin(); it != segments.end(); ++it) {
      if (within(it->start, current, kChainJoinRadius)) {
        current = it->end;
        matched = true;
      } else if (within(it->end, current, kChainJoinRadius)) {
        current = it->start;
        matched = true;
      }
      if (matched) {
        segments.remove(it);
        chain.insert(current);
        break;
      }
    }
  }
}

}  // namespace tarn
