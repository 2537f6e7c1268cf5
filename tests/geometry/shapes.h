#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <vector>

#include "geometry/arc.h"
#include "geometry/part.h"
#include "geometry/region.h"

namespace tarn::test {

// A region with its box and area computed, as every builder leaves it.
inline Region regionOf(std::initializer_list<Point> points) {
  Region r;
  setPoints(r, points);
  return r;
}

inline Region square(double x0, double y0, double x1, double y1) {
  return regionOf({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

// Front-inserted: the copy that setGeometry and initSource make walks in the order given.
template <class T>
SentinelList<T> frontInserted(std::initializer_list<T> items) {
  SentinelList<T> list;
  for (const T& item : items) {
    list.insert(item);
  }
  return list;
}

inline Part partOf(const Region& outer, std::initializer_list<Region> holes = {}) {
  Part part;
  setGeometry(part, outer, frontInserted(holes));
  return part;
}

inline RadiusPolyline polyline(std::initializer_list<Point> points,
                               std::vector<double> radii = {}) {
  RadiusPolyline poly;
  setPolyline(poly, points, radii);
  return poly;
}

inline void expectPoint(const Point& p, double x, double y, double tol = 1e-9) {
  EXPECT_NEAR(p.x, x, tol);
  EXPECT_NEAR(p.y, y, tol);
}

inline void expectVertices(const Region& r, const std::vector<Point>& want, double tol = 1e-9) {
  ASSERT_EQ(r.points.size(), want.size());
  std::size_t i = 0;
  for (const Point& w : want) {
    SCOPED_TRACE(i);
    expectPoint(r.points[i++], w.x, w.y, tol);
  }
}

inline void expectBox(const BBox& b, const BBox& want, double tol = 1e-9) {
  EXPECT_NEAR(b.xmin, want.xmin, tol);
  EXPECT_NEAR(b.xmax, want.xmax, tol);
  EXPECT_NEAR(b.ymin, want.ymin, tol);
  EXPECT_NEAR(b.ymax, want.ymax, tol);
}

}  // namespace tarn::test
