#include "geometry/point.h"

#include <cmath>

#include "geometry/segment.h"

namespace tarn {

double distance(const Point& p, const Point& q) {
  const double dy = p.y - q.y;
  const double dx = p.x - q.x;
  return std::sqrt(dy * dy + dx * dx);
}

bool within(const Point& p, const Point& q, double r) {
  const double dx = p.x - q.x;
  const double dy = p.y - q.y;
  return r * r > dx * dx + dy * dy;
}

bool coincides(const Point& p, const Point& q) {
  return within(p, q, p.tol);
}

void rotateAbout(Point& p, const Point& centre, double angle) {
  const double cx = centre.x;  // centre may be p itself
  const double cy = centre.y;
  const double dx = p.x - cx;
  const double dy = p.y - cy;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  p.x = cx + c * dx - s * dy;
  p.y = cy + s * dx + c * dy;
}

Point mirrorAcross(const Point& p, const Segment& s) {
  const double a = s.a;
  const double b = s.b;
  const double c = s.c;
  const double norm = a * a + b * b;
  Point result;
  // A segment of zero length has no line: the point stays where it is.
  if (!(norm > 0.0) || !std::isfinite(norm)) {
    result.x = p.x;
    result.y = p.y;
    return result;
  }
  result.x = -((a * a - b * b) * p.x + 2.0 * a * b * p.y + 2.0 * a * c) / norm;
  result.y = -((b * b - a * a) * p.y + 2.0 * a * b * p.x + 2.0 * b * c) / norm;
  return result;
}

void mirrorInPlace(Point& p, const Segment& s) {
  const Point m = mirrorAcross(p, s);
  p.x = m.x;
  p.y = m.y;
}

}  // namespace tarn
