#include "geometry/predicates.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tarn {
namespace {

// The vertices and stored box of a polygon, so the rectangle of overlapsRect
// can be tested from the stack like any Region.
struct Polygon {
  const Point* points;
  std::size_t count;
  const BBox& bbox;
};

Polygon view(const Region& r) {
  return Polygon{r.points.data(), r.points.size(), r.bbox};
}

bool pointInPolygon(const Polygon& r, double px, double py) {
  if (px < r.bbox.xmin || px > r.bbox.xmax || py < r.bbox.ymin || py > r.bbox.ymax) {
    return false;
  }
  int crossings = 0;
  const std::size_t n = r.count;
  for (std::size_t i = 0; i < n; ++i) {
    const Point& p1 = r.points[i];
    const Point& p2 = r.points[i + 1 == n ? 0 : i + 1];
    crossings += rayCrossing(p1.x, p1.y, p2.x, p2.y, px, py);
  }
  return crossings % 2 == 1;
}

bool edgesCrossPolygons(const Polygon& a, const Polygon& b) {
  const std::size_t na = a.count;
  const std::size_t nb = b.count;
  for (std::size_t i = 0; i < na; ++i) {
    const Point& p1 = a.points[i];
    const Point& p2 = a.points[i + 1 == na ? 0 : i + 1];
    for (std::size_t j = 0; j < nb; ++j) {
      if (segmentsCross(p1, p2, b.points[j], b.points[j + 1 == nb ? 0 : j + 1])) {
        return true;
      }
    }
  }
  return false;
}

bool verticesInsidePolygon(const Polygon& a, const Polygon& b) {
  for (std::size_t i = 0; i < b.count; ++i) {
    if (!pointInPolygon(a, b.points[i].x, b.points[i].y)) {
      return false;
    }
  }
  return true;
}

bool polygonsDisjoint(const Polygon& a, const Polygon& b) {
  const BBox& ab = a.bbox;
  const BBox& bb = b.bbox;
  if (ab.xmin > bb.xmax || std::fabs(ab.xmin - bb.xmax) < kDisjointBoxGap) {
    return true;
  }
  if (ab.xmax < bb.xmin || std::fabs(ab.xmax - bb.xmin) < kDisjointBoxGap) {
    return true;
  }
  if (ab.ymin > bb.ymax || std::fabs(ab.ymin - bb.ymax) < kDisjointBoxGap) {
    return true;
  }
  if (bb.ymin > ab.ymax || std::fabs(ab.ymax - bb.ymin) < kDisjointBoxGap) {
    return true;
  }
  for (std::size_t i = 0; i < a.count; ++i) {
    if (pointInPolygon(b, a.points[i].x, a.points[i].y)) {
      return false;
    }
  }
  for (std::size_t i = 0; i < b.count; ++i) {
    if (pointInPolygon(a, b.points[i].x, b.points[i].y)) {
      return false;
    }
  }
  return !edgesCrossPolygons(a, b);
}

// B lies in one of the holes of `withHoles`.
bool liesInHole(const Part& withHoles, const Polygon& b) {
  for (const Region& hole : withHoles.holes) {
    const Polygon h = view(hole);
    if (verticesInsidePolygon(h, b) && !edgesCrossPolygons(h, b)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool pointInRegion(const Region& region, double px, double py) {
  return pointInPolygon(view(region), px, py);
}

bool pointInPart(const Part& part, const Point& p) {
  if (!pointInRegion(part.outer, p.x, p.y)) {
    return false;
  }
  for (const Region& hole : part.holes) {
    if (pointInRegion(hole, p.x, p.y)) {
      return false;
    }
  }
  return true;
}

bool edgesCross(const Region& a, const Region& b) {
  return edgesCrossPolygons(view(a), view(b));
}

bool verticesInside(const Region& a, const Region& b) {
  return verticesInsidePolygon(view(a), view(b));
}

bool regionsDisjoint(const Region& a, const Region& b) {
  return polygonsDisjoint(view(a), view(b));
}

bool partsDisjoint(const Part& a, const Part& b) {
  const Polygon ao = view(a.outer);
  const Polygon bo = view(b.outer);
  if (polygonsDisjoint(ao, bo)) {
    return true;
  }
  return liesInHole(a, bo) || liesInHole(b, ao);
}

bool withinRect(const Part& part, double xlo, double xhi, double ylo, double yhi) {
  return boxWithinRect(part.outer.bbox, BBox{xlo, xhi, ylo, yhi});
}

bool boxWithinRect(const BBox& b, const BBox& rect) {
  const double xlo = rect.xmin;
  const double xhi = rect.xmax;
  const double ylo = rect.ymin;
  const double yhi = rect.ymax;
  return (xhi > b.xmax || std::fabs(b.xmax - xhi) < kRectTolerance) &&
         (xlo < b.xmin || std::fabs(b.xmin - xlo) < kRectTolerance) &&
         (yhi > b.ymax || std::fabs(b.ymax - yhi) < kRectTolerance) &&
         (ylo < b.ymin || std::fabs(b.ymin - ylo) < kRectTolerance);
}

bool withinRect(const Part& part, const BBox& rect) {
  return withinRect(part, rect.xmin, rect.xmax, rect.ymin, rect.ymax);
}

bool overlapsRect(const Part& part, double xlo, double xhi, double ylo, double yhi) {
  // The rectangle as a part without holes, kept on the stack: only its outline
  // and box take part in the test.
  Point corners[4];
  corners[0].x = xlo;
  corners[0].y = ylo;
  corners[1].x = xhi;
  corners[1].y = ylo;
  corners[2].x = xhi;
  corners[2].y = yhi;
  corners[3].x = xlo;
  corners[3].y = yhi;
  const BBox box{std::min(xlo, xhi), std::max(xlo, xhi), std::min(ylo, yhi), std::max(ylo, yhi)};
  const Polygon rect{corners, 4, box};
  if (polygonsDisjoint(view(part.outer), rect)) {
    return false;
  }
  return !liesInHole(part, rect);
}

bool overlapsRect(const Part& part, const BBox& rect) {
  return overlapsRect(part, rect.xmin, rect.xmax, rect.ymin, rect.ymax);
}

}  // namespace tarn
