#include "geometry/arc.h"

#include <cmath>
#include <cstddef>
#include <iterator>

#include "geometry/core_error.h"
#include "geometry/notify.h"
#include "geometry/texts.h"

namespace tarn {
namespace {

constexpr double kMaxCircleStepDeg = 120.0;
constexpr double kMaxArcRadiusToChord = 200.0;  // flatter arcs are drawn straight
constexpr double kTouchingSlack = 1e-9;         // relative, for circles that just touch
constexpr double kHalfTurnSlackDeg = 1e-3;      // sweeps this close to 180 count as 180
// Beyond this an arc or circle is cut into this many pieces with a wider step;
// only absurd radii or angles reach it.
constexpr double kMaxPieces = 100000.0;
// Up to this many turns setArc adds 360 one turn at a time; more is done at once.
constexpr double kMaxSingleTurns = 1024.0;

double pi() {
  return std::acos(-1.0);
}

Point pointAt(const Point& centre, double radius, double angleDeg) {
  Point p;
  p.x = centre.x + radius * std::cos(angleDeg / 180.0 * pi());
  p.y = centre.y + radius * std::sin(angleDeg / 180.0 * pi());
  return p;
}

// Step in degrees for chord height h on radius r, or nothing after the warning.
std::optional<double> chordStep(double h, double r) {
  if (!(h >= 0.0 && h <= r)) {
    notifyWarning(text::kChordHeightError);
    return std::nullopt;
  }
  return 2.0 * std::acos(1.0 - h / r) / pi() * 180.0;
}

}  // namespace

Arc setArc(const Point& centre, double radius, double startAngle, double endAngle) {
  Arc arc;
  arc.centre = centre;
  arc.radius = radius;
  arc.startAngle = startAngle;
  arc.endAngle = endAngle;
  if (!std::isfinite(startAngle) || !std::isfinite(endAngle)) {
    return arc;
  }
  if (arc.startAngle > arc.endAngle && arc.startAngle - arc.endAngle > 360.0 * kMaxSingleTurns) {
    arc.endAngle += 360.0 * std::floor((arc.startAngle - arc.endAngle) / 360.0);
  }
  while (arc.startAngle > arc.endAngle) {
    const double next = arc.endAngle + 360.0;
    // Angles so large that 360 no longer counts: the arc is empty.
    if (next == arc.endAngle) {
      arc.endAngle = arc.startAngle;
      break;
    }
    arc.endAngle = next;
  }
  return arc;
}

RadiusPolyline& RadiusPolyline::operator=(const RadiusPolyline& other) {
  if (other.points.empty()) {
    throw CoreError(text::kEmptyOutline);
  }
  points = other.points;
  radii = other.radii;
  return *this;
}

void setPolyline(RadiusPolyline& poly, const std::vector<Point>& pts,
                 const std::vector<double>& radii) {
  poly.points = pts;
  poly.radii = radii;
  // One radius per vertex whatever the caller gave: missing ones are straight.
  poly.radii.resize(pts.size(), 0.0);
}

void translate(RadiusPolyline& poly, double dx, double dy) {
  for (Point& p : poly.points) {
    translateXY(p, dx, dy);
  }
}

void rotate(RadiusPolyline& poly, const Point& centre, double angle) {
  rotatePoints(poly.points, centre, angle);
}

void mirror(RadiusPolyline& poly, const Segment& s) {
  for (Point& p : poly.points) {
    p = mirrorAcross(p, s);
  }
  for (double& r : poly.radii) {
    r = -r;
  }
}

void arcByStep(const Arc& arc, double stepDeg, SegmentList& out) {
  const double sweep = arc.endAngle - arc.startAngle;
  if (!(stepDeg > 0.0) || !std::isfinite(sweep)) {
    notifyWarning(text::kArcStepError);
    return;
  }
  double pieces = std::trunc(sweep / stepDeg);
  double step = sweep;
  if (pieces > 1.0) {
    if (pieces > kMaxPieces) {
      pieces = kMaxPieces;
    }
    step = sweep / pieces;
  } else {
    pieces = 1.0;
  }
  const int n = static_cast<int>(pieces);
  for (int i = 0; i < n; ++i) {
    const double a = arc.startAngle + i * step;
    const double b = i == n - 1 ? arc.endAngle : a + step;
    out.insert(makeSegment(pointAt(arc.centre, arc.radius, a), pointAt(arc.centre, arc.radius, b)));
  }
}

void arcByChord(const Arc& arc, double h, SegmentList& out) {
  if (const std::optional<double> step = chordStep(h, arc.radius)) {
    arcByStep(arc, *step, out);
  }
}

void circleByStep(const Circle& circle, double stepDeg, SegmentList& out) {
  if (stepDeg > kMaxCircleStepDeg) {
    notifyWarning(text::kCircleStepTooLarge);
    return;
  }
  if (!(stepDeg > 0.0)) {
    notifyWarning(text::kCircleStepError);
    return;
  }
  double step = stepDeg;
  double pieces = std::trunc(360.0 / step);
  if (pieces > kMaxPieces) {
    pieces = kMaxPieces;
    step = 360.0 / pieces;
  }
  const int n = static_cast<int>(pieces);
  const Point& c = circle.centre;
  const double r = circle.radius;
  Point first;
  first.x = c.x + r;
  first.y = c.y;
  double angle = step;
  Point previous = pointAt(c, r, angle);
  out.insert(makeSegment(first, previous));
  for (int i = 1; i < n; ++i) {
    angle += step;
    const Point next = pointAt(c, r, angle);
    out.insert(makeSegment(previous, next));
    previous = next;
  }
  out.insert(makeSegment(previous, first));
}

void circleByChord(const Circle& circle, double h, SegmentList& out) {
  if (const std::optional<double> step = chordStep(h, circle.radius)) {
    circleByStep(circle, *step, out);
  }
}

void arcsByChord(const ArcList& arcs, double h, SegmentList& out) {
  for (const Arc& arc : arcs) {
    arcByChord(arc, h, out);
  }
}

void circlesByChord(const CircleList& circles, double h, SegmentList& out) {
  for (const Circle& circle : circles) {
    circleByChord(circle, h, out);
  }
}

bool circlesMeet(const Circle& c1, const Circle& c2) {
  return distance(c1.centre, c2.centre) <= c1.radius + c2.radius;
}

std::optional<std::pair<Point, Point>> intersectCircles(const Circle& c1, const Circle& c2) {
  const double d = distance(c1.centre, c2.centre);
  const double r1 = c1.radius;
  const double r2 = c2.radius;
  // A half circle's chord that a move or turn made a rounding error longer than
  // its diameter still touches: the circles meet at its midpoint.
  if (d > (r1 + r2) * (1.0 + kTouchingSlack)) {
    return std::nullopt;
  }
  // Concentric circles, or one inside the other, have no crossing points.
  if (!(d > 0.0) || d < std::fabs(r1 - r2) || !std::isfinite(d)) {
    return std::nullopt;
  }
  const double dx = c2.centre.x - c1.centre.x;
  const double dy = c2.centre.y - c1.centre.y;
  const double m = (r1 * r1 - r2 * r2 + d * d) * 0.5 / d;
  // Rounding may leave a touching pair a hair apart: they still touch.
  const double o = std::sqrt(std::fmax(0.0, r1 * r1 - m * m));
  Point base;
  base.x = c1.centre.x + (m / d) * dx;
  base.y = c1.centre.y + (m / d) * dy;
  Point p1;
  p1.x = base.x - (o / d) * dy;
  p1.y = base.y + (o / d) * dx;
  Point p2;
  p2.x = base.x + (o / d) * dy;
  p2.y = base.y - (o / d) * dx;
  return std::make_pair(p1, p2);
}

bool arcPossible(const Point& start, const Point& end, double radius) {
  return distance(start, end) <= 2.0 * std::fabs(radius);
}

std::optional<Arc> arcFromChord(const Point& start, const Point& end, double radius) {
  const double r = std::fabs(radius);
  const std::optional<std::pair<Point, Point>> crossing =
      intersectCircles(Circle{start, r}, Circle{end, r});
  if (!crossing) {
    notifyWarning(text::kCirclesDoNotMeet);
    return std::nullopt;
  }
  const Point& p1 = crossing->first;
  const double z = (start.x - p1.x) * (end.y - p1.y) - (start.y - p1.y) * (end.x - p1.x);
  const Point& k =
      (radius > 0.0 && z > 0.0) || (radius < 0.0 && z < 0.0) ? crossing->first : crossing->second;
  const double aS = std::atan2(start.y - k.y, start.x - k.x) * 180.0 / pi();
  const double aE = std::atan2(end.y - k.y, end.x - k.x) * 180.0 / pi();
  const Arc q = setArc(k, r, aS, aE);
  const Arc p = setArc(k, r, aE, aS);
  const double sweep = q.endAngle - q.startAngle;
  // Within rounding of a half turn the sign of the radius decides, as at exactly
  // 180 degrees, so a moved half circle keeps the side it bulges to.
  if (sweep < 180.0 - kHalfTurnSlackDeg) {
    return q;
  }
  if (sweep > 180.0 + kHalfTurnSlackDeg) {
    return p;
  }
  return radius > 0.0 ? q : p;
}

Region polylineToRegion(const RadiusPolyline& poly, double h) {
  SegmentList straight;
  ArcList arcs;
  const std::size_t n = poly.points.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Point& s = poly.points[i];
    const Point& e = poly.points[i + 1 == n ? 0 : i + 1];
    const double radius = i < poly.radii.size() ? poly.radii[i] : 0.0;
    if (radius != 0.0 && std::fabs(radius) >= h &&
        std::fabs(radius) / distance(s, e) <= kMaxArcRadiusToChord) {
      if (const std::optional<Arc> arc = arcFromChord(s, e, radius)) {
        arcs.insert(*arc);
        continue;
      }
      // The warning has been shown; the chord keeps the outline closed.
    }
    straight.insert(makeSegment(s, e));
  }
  SegmentList segments(straight);  // the copy walks in vertex order
  arcsByChord(arcs, h, segments);
  PointChain chain;
  chainSegments(segments, chain);
  std::vector<Point> points;
  if (chain.count() > 0) {
    points.reserve(static_cast<std::size_t>(chain.count() - 1));
    auto last = std::prev(chain.end());
    for (auto it = chain.begin(); it != last; ++it) {
      points.push_back(*it);
    }
  }
  Region region;
  setPoints(region, points);
  return region;
}

}  // namespace tarn
