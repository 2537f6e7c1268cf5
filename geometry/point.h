#pragma once

#include "geometry/sentinel_list.h"

namespace tarn {

inline constexpr double kPointTolerance = 1e-15;  // coincidence radius of every new point

// A plane point that carries its own coincidence radius.
struct Point {
  double x = 0.0;
  double y = 0.0;
  double tol = kPointTolerance;
};

struct Segment;

double distance(const Point& p, const Point& q);
// Strict: a point exactly r away is not within r.
bool within(const Point& p, const Point& q, double r);
// Uses the tolerance of p, never that of q.
bool coincides(const Point& p, const Point& q);
// Counter-clockwise for a positive angle (radians); p changes in place.
void rotateAbout(Point& p, const Point& centre, double angle);
// Reflection across the line of s; the result has the default tolerance. A
// segment of zero length has no line and leaves the point where it is.
Point mirrorAcross(const Point& p, const Segment& s);
// mirrorAcross in place; p keeps its own tolerance.
void mirrorInPlace(Point& p, const Segment& s);

// Moves anything with x and y (a Point, a label's insertion point) by dx, dy.
template <class XY>
void translateXY(XY& p, double dx, double dy) {
  p.x += dx;
  p.y += dy;
}

using PointChain = SentinelList<Point>;

}  // namespace tarn
