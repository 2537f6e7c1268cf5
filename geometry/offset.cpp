#include "geometry/offset.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "geometry/segment.h"

namespace tarn {
namespace {

constexpr double kJoinRadius = 0.1;  // mm: moved edges meeting closer share their end point
// Below this sine of the angle between two moved edges they count as parallel.
constexpr double kParallelSine = 1e-9;

struct Direction {
  double x;
  double y;
};

Direction unitDirection(const Segment& s) {
  const double dx = s.end.x - s.start.x;
  const double dy = s.end.y - s.start.y;
  const double len = std::sqrt(dx * dx + dy * dy);
  return Direction{dx / len, dy / len};
}

// The corner between moved edges f (before) and e (after) when intersectLines
// found none. Lines that are not quite parallel are intersected from their
// unit directions; an edge that turns back on itself gets a square cap one
// offset distance beyond the turn, so the turning point stays covered.
void appendFallbackCorner(const Segment& f, const Segment& e, double d, std::vector<Point>& out) {
  const Direction uf = unitDirection(f);
  const Direction ue = unitDirection(e);
  const double sine = uf.x * ue.y - uf.y * ue.x;
  if (std::fabs(sine) > kParallelSine) {
    const double wx = e.start.x - f.end.x;
    const double wy = e.start.y - f.end.y;
    const double t = (wx * ue.y - wy * ue.x) / sine;
    Point p;
    p.x = f.end.x + t * uf.x;
    p.y = f.end.y + t * uf.y;
    out.push_back(p);
    return;
  }
  if (uf.x * ue.x + uf.y * ue.y > 0.0) {
    // Same direction, side by side: meet half way.
    Point p;
    p.x = (f.end.x + e.start.x) * 0.5;
    p.y = (f.end.y + e.start.y) * 0.5;
    out.push_back(p);
    return;
  }
  Point a = f.end;
  a.x += d * uf.x;
  a.y += d * uf.y;
  Point b = e.start;
  b.x += d * uf.x;
  b.y += d * uf.y;
  out.push_back(a);
  out.push_back(b);
}

}  // namespace

void offsetRegion(Region& region, double d) {
  const std::size_t n = region.points.size();
  // A distance that is not a number would leave no usable vertex.
  if (n < 3 || !std::isfinite(d)) {
    return;
  }
  const double s = isCounterClockwise(region) ? -1.0 : 1.0;
  std::vector<Segment> moved(n);
  std::vector<bool> hasNormal(n, false);
  bool anyNormal = false;
  for (std::size_t i = 0; i < n; ++i) {
    const Point& p1 = region.points[i];
    const Point& p2 = region.points[i + 1 == n ? 0 : i + 1];
    const double nx = s * -(p2.y - p1.y);
    const double ny = s * (p2.x - p1.x);
    const double len = std::sqrt(nx * nx + ny * ny);
    if (!(len > 0.0) || !std::isfinite(len)) {
      continue;
    }
    Point a;
    a.x = p1.x + nx / len * d;
    a.y = p1.y + ny / len * d;
    Point b;
    b.x = p2.x + nx / len * d;
    b.y = p2.y + ny / len * d;
    build(moved[i], a, b);
    hasNormal[i] = true;
    anyNormal = true;
  }
  // A region that is a single point has no edge to move.
  if (!anyNormal) {
    return;
  }
  // A zero-length edge has no normal: it moves with the nearest edge before it,
  // so the corner it sits on is mitred between its real neighbours.
  for (std::size_t i = 0; i < n; ++i) {
    if (hasNormal[i]) {
      continue;
    }
    std::size_t j = i;
    do {
      j = j == 0 ? n - 1 : j - 1;
    } while (!hasNormal[j]);
    moved[i] = moved[j];
  }
  std::vector<Point> result;
  result.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const Segment& e = moved[i];
    const Segment& f = moved[i == 0 ? n - 1 : i - 1];
    if (within(f.end, e.start, kJoinRadius)) {
      result.push_back(f.end);
    } else if (const std::optional<Point> corner = intersectLines(e, f)) {
      result.push_back(*corner);
    } else {
      appendFallbackCorner(f, e, d, result);
    }
  }
  region.points = std::move(result);
  computeArea(region);
  computeBBox(region);
}

void offsetPart(Part& part, double d) {
  if (d == 0.0) {
    return;
  }
  offsetRegion(part.outer, d);
  for (Region& hole : part.holes) {
    offsetRegion(hole, -d);
  }
  computePartBBox(part);
  computeNetArea(part);
  computePartCentroid(part);
}

}  // namespace tarn
