#include "geometry/offset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/predicates.h"
#include "tests/geometry/shapes.h"

namespace tarn {
namespace {

using test::regionOf;
using test::square;

TEST(OffsetRegion, MovesEveryEdgeOutwardsWhateverTheOrder) {
  Region ccw = square(0, 0, 10, 10);
  offsetRegion(ccw, 1);
  test::expectVertices(ccw, {{-1, -1}, {11, -1}, {11, 11}, {-1, 11}});
  EXPECT_NEAR(ccw.area, 144, 1e-9);
  test::expectBox(ccw.bbox, -1, 11, -1, 11);

  Region cw = regionOf({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
  offsetRegion(cw, 1);
  test::expectVertices(cw, {{-1, -1}, {-1, 11}, {11, 11}, {11, -1}});

  Region inwards = square(0, 0, 10, 10);
  offsetRegion(inwards, -1);
  test::expectVertices(inwards, {{1, 1}, {9, 1}, {9, 9}, {1, 9}});

  // A collinear middle vertex moves straight out through the 0.1 rule.
  Region collinear = regionOf({{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}});
  offsetRegion(collinear, 1);
  test::expectVertices(collinear, {{-1, -1}, {5, -1}, {11, -1}, {11, 11}, {-1, 11}});
}

TEST(OffsetRegion, ConvexAreaGrowsByPerimeterAndCornerTerms) {
  // Added area = P * d + d^2 * (sum over the corners of tan(half the turn)).
  const double s3 = std::sqrt(3.0);
  struct Row {
    const char* label;
    Region region;
    double perimeter, cornerSum;
  };
  const Row rows[] = {
      {"square", square(0, 0, 10, 10), 40, 4},
      {"rectangle, clockwise", regionOf({{0, 0}, {0, 3}, {7, 3}, {7, 0}}), 20, 4},
      {"equilateral triangle", regionOf({{0, 0}, {10, 0}, {5, 5 * s3}}), 30, 3 * s3},
      {"regular hexagon", regionOf({{2, 0}, {1, s3}, {-1, s3}, {-2, 0}, {-1, -s3}, {1, -s3}}), 12,
       2 * s3},
  };
  for (const Row& row : rows) {
    for (double d : {0.5, 2.0, -0.25}) {
      SCOPED_TRACE(testing::Message() << row.label << " by " << d);
      Region r = row.region;
      offsetRegion(r, d);
      EXPECT_EQ(r.count(), row.region.count());
      EXPECT_NEAR(r.area, row.region.area + row.perimeter * d + row.cornerSum * d * d, 1e-9);
    }
  }
}

TEST(OffsetRegion, ZeroLengthEdgesFollowTheEdgeBefore) {
  Region r = regionOf({{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}});
  offsetRegion(r, 1);
  test::expectVertices(r, {{-1, -1}, {10, -1}, {11, -1}, {11, 11}, {-1, 11}});
  // The closing vertex repeated: the first edge has a zero-length edge before it.
  Region closed = regionOf({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
  offsetRegion(closed, 1);
  test::expectVertices(closed, {{-1, -1}, {11, -1}, {11, 11}, {-1, 11}, {-1, 0}});
  EXPECT_NEAR(closed.area, 144, 1e-9);
}

TEST(OffsetRegion, AnEdgeTurningBackGetsASquareCap) {
  // A spike of no width from (10,5) out to (20,5) and back.
  Region r = regionOf({{0, 0}, {10, 0}, {10, 5}, {20, 5}, {10, 5}, {10, 10}, {0, 10}});
  offsetRegion(r, 1);
  test::expectVertices(
      r, {{-1, -1}, {11, -1}, {11, 4}, {21, 4}, {21, 6}, {11, 6}, {11, 11}, {-1, 11}});
  EXPECT_TRUE(pointInRegion(r, 20.5, 5));
}

TEST(OffsetRegion, LeavesDegenerateRegionsAndDistancesAlone) {
  Region two = regionOf({{0, 0}, {10, 0}});
  offsetRegion(two, 1);
  test::expectVertices(two, {{0, 0}, {10, 0}}, 0);
  Region dot = regionOf({{3, 3}, {3, 3}, {3, 3}});
  offsetRegion(dot, 1);
  test::expectVertices(dot, {{3, 3}, {3, 3}, {3, 3}}, 0);
  Region s = square(0, 0, 10, 10);
  offsetRegion(s, std::numeric_limits<double>::quiet_NaN());
  test::expectVertices(s, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 0);
}

TEST(OffsetPart, GrowsTheOutlineAndShrinksTheHoles) {
  Part part = test::partOf(square(0, 0, 10, 10), {square(4, 4, 6, 6)});
  part.nameLabel.x = 3;
  part.rotation = 0.25;
  Part half = part;

  offsetPart(part, 1);
  test::expectVertices(part.outer, {{-1, -1}, {11, -1}, {11, 11}, {-1, 11}});
  test::expectVertices(part.holes.front(), {{5, 5}, {5, 5}, {5, 5}, {5, 5}});
  EXPECT_NEAR(part.area, 144, 1e-9);
  test::expectPoint(part.centroid, 5, 5);
  test::expectBox(part.bbox, -1, 11, -1, 11);
  EXPECT_EQ(part.nameLabel.x, 3);
  EXPECT_EQ(part.rotation, 0.25);
  test::expectPoint(part.refPoint, 0, 0, 0);

  offsetPart(half, 0.5);
  test::expectVertices(half.holes.front(), {{4.5, 4.5}, {5.5, 4.5}, {5.5, 5.5}, {4.5, 5.5}});
  EXPECT_NEAR(half.area, 120, 1e-9);

  // By 0 nothing changes, not even a stale box.
  Part still = test::partOf(square(0, 0, 10, 10));
  still.bbox = BBox{1, 2, 3, 4};
  offsetPart(still, 0);
  test::expectBox(still.bbox, 1, 2, 3, 4, 0);
  test::expectVertices(still.outer, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 0);
}

}  // namespace
}  // namespace tarn
