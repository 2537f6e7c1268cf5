#include "geometry/region.h"

#include <cassert>
#include <cmath>
#include <cstddef>

#include "geometry/core_error.h"
#include "geometry/texts.h"

namespace tarn {
namespace {

// Sum over the edges of (y_i + y_i+1) * (x_i+1 - x_i) / 2: positive clockwise.
double clockwiseArea(const Region& region) {
  const std::vector<Point>& v = region.points;
  const std::size_t n = v.size();
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const Point& p = v[i];
    const Point& q = v[i + 1 == n ? 0 : i + 1];
    sum += (p.y + q.y) * (q.x - p.x) * 0.5;
  }
  return sum;
}

}  // namespace

Region& Region::operator=(const Region& other) {
  if (other.points.empty()) {
    throw CoreError(text::kEmptyOutline);
  }
  points = other.points;
  area = other.area;
  bbox = other.bbox;
  return *this;
}

void setPoints(Region& region, const std::vector<Point>& pts) {
  region.points = pts;
  computeBBox(region);
  computeArea(region);
}

Point vertex(const Region& region, int i) {
  assert(i >= 0 && i < region.count());
  return region.points[static_cast<std::size_t>(i)];
}

BBox computeBBox(Region& region) {
  // A region without vertices has no extent; it keeps an all-zero box.
  BBox box;
  if (!region.points.empty()) {
    box.xmin = box.xmax = region.points.front().x;
    box.ymin = box.ymax = region.points.front().y;
    for (const Point& p : region.points) {
      if (p.x < box.xmin) {
        box.xmin = p.x;
      }
      if (p.x > box.xmax) {
        box.xmax = p.x;
      }
      if (p.y < box.ymin) {
        box.ymin = p.y;
      }
      if (p.y > box.ymax) {
        box.ymax = p.y;
      }
    }
  }
  region.bbox = box;
  return box;
}

double computeArea(Region& region) {
  region.area = std::fabs(clockwiseArea(region));
  return region.area;
}

// Each term of the clockwise sum is the exact negative of (x_i - x_i+1) / 2 * (y_i + y_i+1).
bool isCounterClockwise(const Region& region) {
  return clockwiseArea(region) < 0.0;
}

Point computeCentroid(const Region& region) {
  const std::vector<Point>& v = region.points;
  const std::size_t n = v.size();
  Point result;
  if (n == 0) {
    return result;
  }
  double sx = 0.0;
  double sy = 0.0;
  double a = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double x0 = v[i].x;
    const double y0 = v[i].y;
    const double x1 = v[i + 1 == n ? 0 : i + 1].x;
    const double y1 = v[i + 1 == n ? 0 : i + 1].y;
    sx += (x0 * x0 + x0 * x1 + x1 * x1) * (y1 - y0) / 6.0;
    sy += -(y0 * y0 + y0 * y1 + y1 * y1) * (x1 - x0) / 6.0;
    a += -(x1 - x0) * (y0 + y1) / 2.0;
  }
  result.x = sx / a;
  result.y = sy / a;
  // Without area (a collapsed hole, a line) the vertices' mean stands in.
  if (a == 0.0 || !std::isfinite(result.x) || !std::isfinite(result.y)) {
    double mx = 0.0;
    double my = 0.0;
    for (const Point& p : v) {
      mx += p.x;
      my += p.y;
    }
    result.x = mx / static_cast<double>(n);
    result.y = my / static_cast<double>(n);
  }
  return result;
}

Point nearestVertex(const Region& region, const Point& p) {
  if (region.points.empty()) {
    return Point{};
  }
  std::size_t best = 0;
  double bestDistance = distance(region.points[0], p);
  for (std::size_t i = 1; i < region.points.size(); ++i) {
    const double d = distance(region.points[i], p);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return region.points[best];
}

void translate(BBox& box, double dx, double dy) {
  box.xmin += dx;
  box.xmax += dx;
  box.ymin += dy;
  box.ymax += dy;
}

void translate(Region& region, double dx, double dy) {
  for (Point& p : region.points) {
    translateXY(p, dx, dy);
  }
  translate(region.bbox, dx, dy);
}

void rotatePoints(std::vector<Point>& points, const Point& centre, double angle) {
  const double cx = centre.x;
  const double cy = centre.y;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  for (Point& p : points) {
    const double x = p.x - cx;
    const double y = p.y - cy;
    p.x = c * x - s * y + cx;
    p.y = s * x + c * y + cy;
  }
}

void rotate(Region& region, const Point& centre, double angle) {
  rotatePoints(region.points, centre, angle);
  computeBBox(region);
}

void mirror(Region& region, const Segment& s) {
  for (Point& p : region.points) {
    p = mirrorAcross(p, s);
  }
  computeBBox(region);
}

}  // namespace tarn
