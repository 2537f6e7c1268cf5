#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <vector>

#include "geometry/part.h"
#include "geometry/region.h"

namespace tarn::test {

struct XY {
  double x;
  double y;
};

inline Point pt(double x, double y) {
  Point p;
  p.x = x;
  p.y = y;
  return p;
}

inline std::vector<Point> pointsOf(std::initializer_list<XY> xy) {
  std::vector<Point> points;
  for (const XY& c : xy) {
    points.push_back(pt(c.x, c.y));
  }
  return points;
}

// A region with its box and area computed, as every builder leaves it.
inline Region regionOf(std::initializer_list<XY> xy) {
  Region r;
  setPoints(r, pointsOf(xy));
  return r;
}

inline Region square(double x0, double y0, double x1, double y1) {
  return regionOf({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

// The part's hole list walks in the order given here.
inline Part partOf(const Region& outer, std::initializer_list<Region> holes = {}) {
  RegionList list;
  for (const Region& h : holes) {
    list.insert(h);
  }
  Part part;
  setGeometry(part, outer, list);
  return part;
}

inline void expectPoint(const Point& p, double x, double y, double tol = 1e-9) {
  EXPECT_NEAR(p.x, x, tol);
  EXPECT_NEAR(p.y, y, tol);
}

inline void expectVertices(const Region& r, std::initializer_list<XY> xy, double tol = 1e-9) {
  ASSERT_EQ(static_cast<std::size_t>(r.count()), xy.size());
  std::size_t i = 0;
  for (const XY& c : xy) {
    SCOPED_TRACE(i);
    expectPoint(r.points[i], c.x, c.y, tol);
    ++i;
  }
}

inline void expectBox(const BBox& b, double xmin, double xmax, double ymin, double ymax,
                      double tol = 1e-9) {
  EXPECT_NEAR(b.xmin, xmin, tol);
  EXPECT_NEAR(b.xmax, xmax, tol);
  EXPECT_NEAR(b.ymin, ymin, tol);
  EXPECT_NEAR(b.ymax, ymax, tol);
}

}  // namespace tarn::test
