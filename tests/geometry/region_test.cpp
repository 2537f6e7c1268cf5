#include "geometry/region.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/core_error.h"
#include "geometry/segment.h"
#include "tests/geometry/shapes.h"

namespace tarn {
namespace {

using test::pt;
using test::regionOf;

TEST(Region, MeasuresDoNotDependOnTheVertexOrder) {
  struct Row {
    const char* label;
    Region region;
    double area, cx, cy;
    bool ccw;
  };
  const Row rows[] = {
      {"square", regionOf({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 100, 5, 5, true},
      {"square, clockwise", regionOf({{0, 0}, {0, 10}, {10, 10}, {10, 0}}), 100, 5, 5, false},
      {"triangle, clockwise", regionOf({{0, 3}, {4, 0}, {0, 0}}), 6, 4.0 / 3, 1, false},
      // A 4 x 2 bar with a 2 x 2 block on its left end.
      {"L shape", regionOf({{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}}), 12, 5.0 / 3, 5.0 / 3,
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Region r = row.region;
    EXPECT_NEAR(r.area, row.area, 1e-12);
    test::expectPoint(computeCentroid(r), row.cx, row.cy, 1e-12);
    EXPECT_EQ(isCounterClockwise(r), row.ccw);
  }
}

TEST(Region, CentroidWithoutAreaIsTheMeanOfTheVertices) {
  const Region line = regionOf({{0, 0}, {2, 0}, {7, 0}});
  EXPECT_EQ(line.area, 0);
  test::expectPoint(computeCentroid(line), 3, 0, 0);
  test::expectPoint(computeCentroid(regionOf({{5, 5}, {5, 5}, {5, 5}})), 5, 5, 0);
  EXPECT_TRUE(std::isfinite(computeCentroid(Region{}).x));
}

TEST(Region, AssignmentFromAnEmptyRegionThrowsAndKeepsTheTarget) {
  Region target = test::square(0, 0, 10, 10);
  const Region empty;
  EXPECT_THROW(target = empty, CoreError);
  EXPECT_EQ(target.count(), 4);
  EXPECT_EQ(target.area, 100);
  EXPECT_EQ(Region(empty).count(), 0);  // copy construction of an empty region is fine
}

TEST(Region, NearestVertexPrefersTheLowestIndexOnTies) {
  const Region r = test::square(0, 0, 10, 10);
  test::expectPoint(nearestVertex(r, pt(5, 0)), 0, 0, 0);
  test::expectPoint(nearestVertex(r, pt(5, 10)), 10, 10, 0);
  test::expectPoint(nearestVertex(r, pt(9, 12)), 10, 10, 0);
}

TEST(Region, TransformsMoveVerticesAndBox) {
  Region r = test::square(0, 0, 10, 10);
  translate(r, 5, -3);
  test::expectVertices(r, {{5, -3}, {15, -3}, {15, 7}, {5, 7}}, 0);
  test::expectBox(r.bbox, 5, 15, -3, 7, 0);
  EXPECT_EQ(r.area, 100);

  rotate(r, pt(5, -3), std::acos(-1.0) / 2);
  test::expectVertices(r, {{5, -3}, {5, 7}, {-5, 7}, {-5, -3}});
  test::expectBox(r.bbox, -5, 5, -3, 7);

  // Mirroring flips the orientation but keeps the vertex order.
  mirror(r, makeSegment(pt(0, 1), pt(3, 1)));
  test::expectVertices(r, {{5, 5}, {5, -5}, {-5, -5}, {-5, 5}});
  test::expectBox(r.bbox, -5, 5, -5, 5);
  EXPECT_FALSE(isCounterClockwise(r));
}

}  // namespace
}  // namespace tarn
