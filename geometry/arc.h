#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "geometry/point.h"
#include "geometry/region.h"
#include "geometry/segment.h"
#include "geometry/sentinel_list.h"

namespace tarn {

// Counter-clockwise from startAngle to endAngle, degrees.
struct Arc {
  Point centre;
  double radius = 0.0;
  double startAngle = 0.0;
  double endAngle = 0.0;
};

struct Circle {
  Point centre;
  double radius = 0.0;
};

using ArcList = SentinelList<Arc>;
using CircleList = SentinelList<Circle>;

// An arc normalised so that endAngle >= startAngle (360 added to the end).
// Angles that are not finite are left as given.
Arc setArc(const Point& centre, double radius, double startAngle, double endAngle);

// A closed outline whose edges may be arcs: radii[i] is the signed radius of the
// edge from vertex i to vertex i+1 (the last edge returns to vertex 0); 0 is a
// straight edge. The sign picks the side of the chord the centre lies on.
struct RadiusPolyline {
  std::vector<Point> points;
  std::vector<double> radii;

  RadiusPolyline() = default;
  RadiusPolyline(const RadiusPolyline&) = default;
  RadiusPolyline(RadiusPolyline&&) noexcept = default;
  // Throws CoreError when `other` has no vertices.
  RadiusPolyline& operator=(const RadiusPolyline& other);
  RadiusPolyline& operator=(RadiusPolyline&&) noexcept = default;
  ~RadiusPolyline() = default;

  int count() const { return static_cast<int>(points.size()); }
};

using RadiusPolylineList = SentinelList<RadiusPolyline>;

// One radius per vertex: missing radii are 0 (straight), extra ones dropped.
void setPolyline(RadiusPolyline& poly, const std::vector<Point>& pts,
                 const std::vector<double>& radii);
void translate(RadiusPolyline& poly, double dx, double dy);
void rotate(RadiusPolyline& poly, const Point& centre, double angle);
// Reflects the vertices and negates every radius.
void mirror(RadiusPolyline& poly, const Segment& s);

// The discretisers insert at the front of `out`, so its walk meets the last
// segment produced first. Refusals show a warning and add nothing (an arc whose
// sweep is not finite is refused as a bad step). An arc or circle is cut into at
// most 100000 pieces (100001 for a circle); only absurd radii or steps need more.
void arcByStep(const Arc& arc, double stepDeg, SegmentList& out);
void arcByChord(const Arc& arc, double h, SegmentList& out);
void circleByStep(const Circle& circle, double stepDeg, SegmentList& out);
void circleByChord(const Circle& circle, double h, SegmentList& out);
void arcsByChord(const ArcList& arcs, double h, SegmentList& out);
void circlesByChord(const CircleList& circles, double h, SegmentList& out);

bool circlesMeet(const Circle& c1, const Circle& c2);
// Nothing for circles apart, concentric, or one inside the other.
std::optional<std::pair<Point, Point>> intersectCircles(const Circle& c1, const Circle& c2);
// distance(start, end) <= 2 * |R|
bool arcPossible(const Point& start, const Point& end, double radius);
// The shorter arc of radius |R| from start to end, written counter-clockwise;
// nothing (after the warning) when the chord is longer than 2 * |R|.
std::optional<Arc> arcFromChord(const Point& start, const Point& end, double radius);

// The straight-edged Region of an outline, arcs discretised with chord height h.
// An arc edge that cannot be built (after its warning) is kept as its chord.
Region polylineToRegion(const RadiusPolyline& poly, double h);

}  // namespace tarn
