#pragma once

#include <algorithm>

#include "geometry/part.h"
#include "geometry/region.h"

namespace tarn {

inline constexpr double kRectTolerance = 1e-10;  // withinRect
inline constexpr double kDisjointBoxGap = 1e-5;  // regionsDisjoint, boxes closer count as apart

// The steps of the predicates below, one edge or one pair of edges at a time,
// for indexes that visit fewer edges with the same arithmetic.

// One edge's share (0 or 1) in pointInRegion's count of crossings: the edge
// from (x1, y1) to (x2, y2) against the ray to the right of (px, py). Only an
// edge with min(y1, y2) <= py < max(y1, y2) can count.
inline int rayCrossing(double x1, double y1, double x2, double y2, double px, double py) {
  if (py < std::min(y1, y2) || py > std::max(y1, y2)) {
    return 0;
  }
  if (y1 == py && y2 == py) {
    return 0;
  }
  if (y1 == py) {
    // Counts only when this end is the lower one.
    return y2 > py && px <= x1 ? 1 : 0;
  }
  if (y2 == py) {
    return y1 > py && px <= x2 ? 1 : 0;
  }
  if (x1 == x2) {
    return px <= x1 ? 1 : 0;
  }
  return px <= x1 + (py - y1) * (x2 - x1) / (y2 - y1) ? 1 : 0;
}

// One pair of edgesCross: p1-p2 against q1-q2, rejected by strict extents
// first; true when they intersect or touch.
inline bool segmentsCross(const Point& p1, const Point& p2, const Point& q1, const Point& q2) {
  if (std::max(p1.x, p2.x) < std::min(q1.x, q2.x) || std::max(q1.x, q2.x) < std::min(p1.x, p2.x) ||
      std::max(p1.y, p2.y) < std::min(q1.y, q2.y) || std::max(q1.y, q2.y) < std::min(p1.y, p2.y)) {
    return false;
  }
  const auto cross = [](double ux, double uy, double vx, double vy) { return ux * vy - uy * vx; };
  const double ex = p2.x - p1.x;
  const double ey = p2.y - p1.y;
  const double d1 = cross(ex, ey, q2.x - p1.x, q2.y - p1.y);
  const double d2 = cross(ex, ey, q1.x - p1.x, q1.y - p1.y);
  if (d1 * d2 > 0.0) {
    return false;
  }
  const double fx = q2.x - q1.x;
  const double fy = q2.y - q1.y;
  const double d3 = cross(fx, fy, p2.x - q1.x, p2.y - q1.y);
  const double d4 = cross(fx, fy, p1.x - q1.x, p1.y - q1.y);
  return d3 * d4 <= 0.0;
}

// Crossing rule on the stored bbox and vertices; on an axis-aligned square the
// right and bottom sides are inside, the left and top sides outside.
bool pointInRegion(const Region& region, double px, double py);
// Inside the outer region and inside none of the holes.
bool pointInPart(const Part& part, const Point& p);
// Some edge of a and some edge of b intersect or touch.
bool edgesCross(const Region& a, const Region& b);
// Every vertex of b is inside a (true for a b without vertices).
bool verticesInside(const Region& a, const Region& b);
bool regionsDisjoint(const Region& a, const Region& b);
// A part lying in a hole of the other is disjoint from it.
bool partsDisjoint(const Part& a, const Part& b);
// The outer bbox lies inside the rectangle, each side within kRectTolerance.
bool withinRect(const Part& part, double xlo, double xhi, double ylo, double yhi);
// The same rule for a box (withinRect reads nothing else of the part).
bool boxWithinRect(const BBox& box, const BBox& rect);
bool withinRect(const Part& part, const BBox& rect);
// The part is not disjoint from the rectangle.
bool overlapsRect(const Part& part, double xlo, double xhi, double ylo, double yhi);
bool overlapsRect(const Part& part, const BBox& rect);

}  // namespace tarn
