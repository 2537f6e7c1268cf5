#include "geometry/predicates.h"

#include <gtest/gtest.h>

#include "tests/geometry/shapes.h"

namespace tarn {
namespace {

using test::pt;
using test::regionOf;
using test::square;

TEST(PointInRegion, RightAndBottomSidesAreInsideInEitherOrder) {
  struct Row {
    double x, y;
    bool inside;
  };
  const Row rows[] = {
      {5, 5, true},  {10, 5, true}, {0, 5, false},   {5, 0, true},   {5, 10, false},
      {10, 0, true}, {0, 0, false}, {10, 10, false}, {0, 10, false}, {10.0000001, 5, false},
  };
  const Region ccw = square(0, 0, 10, 10);
  const Region cw = regionOf({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.x << ", " << row.y);
    EXPECT_EQ(pointInRegion(ccw, row.x, row.y), row.inside);
    EXPECT_EQ(pointInRegion(cw, row.x, row.y), row.inside);
  }
}

TEST(PointInRegion, VerticesAtTheRayHeightCountOnce) {
  const Region diamond = regionOf({{5, 0}, {10, 5}, {5, 10}, {0, 5}});
  EXPECT_TRUE(pointInRegion(diamond, 2, 5));
  // A notch cut from the left side with its tip (6,5) at the ray's height:
  // (1,5) lies in the notch, (8,5) in the material beyond the tip.
  const Region notched = regionOf({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 6}, {6, 5}, {0, 4}});
  EXPECT_FALSE(pointInRegion(notched, 1, 5));
  EXPECT_TRUE(pointInRegion(notched, 8, 5));
  // The stored box rejects first, even when stale.
  Region stale = square(0, 0, 10, 10);
  stale.bbox = BBox{0, 4, 0, 10};
  EXPECT_FALSE(pointInRegion(stale, 5, 5));
}

TEST(EdgesCross, TouchingCountsAsCrossing) {
  struct Row {
    const char* label;
    Region b;
    bool cross;
  };
  const Region s = square(0, 0, 10, 10);
  const Row rows[] = {
      {"shared side", square(10, 0, 20, 10), true},
      {"corner to corner", square(10, 10, 20, 20), true},
      {"vertex on a side", regionOf({{10, 5}, {20, 0}, {20, 10}}), true},
      {"overlapping collinear sides", square(5, 10, 15, 20), true},
      {"inside without touching", square(2, 2, 8, 8), false},
      {"a hair apart", square(10.000001, 0, 20, 10), false},
      {"no vertices", Region{}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(edgesCross(s, row.b), row.cross);
    EXPECT_EQ(edgesCross(row.b, s), row.cross);
  }
  EXPECT_TRUE(verticesInside(s, square(2, 2, 8, 8)));
  EXPECT_FALSE(verticesInside(s, square(2, 2, 12, 8)));
  EXPECT_TRUE(verticesInside(s, Region{}));
}

TEST(RegionsDisjoint, BoxesCloserThanTheGapCountAsApart) {
  struct Row {
    const char* label;
    Region b;
    bool disjoint;
  };
  const Region s = square(0, 0, 10, 10);
  const Row rows[] = {
      {"shared side", square(10, 0, 20, 10), true},
      {"overlap below the gap", square(9.999995, 0, 20, 10), true},
      // 10 - 9.99999 is 9.9999999996e-6 in doubles: still below the gap.
      {"overlap of 1e-5 as written", square(9.99999, 0, 20, 10), true},
      {"overlap just above the gap", square(9.999989, 0, 20, 10), false},
      {"overlap", square(9.9, 0, 20, 10), false},
      {"shared top side", square(0, 10, 10, 20), true},
      {"inside", square(2, 2, 8, 8), false},
      {"around", square(-5, -5, 15, 15), false},
      // No vertex of either lies inside the other; only the edges cross.
      {"a bar across", regionOf({{4, -5}, {6, -5}, {6, 15}, {4, 15}}), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(regionsDisjoint(s, row.b), row.disjoint);
    EXPECT_EQ(regionsDisjoint(row.b, s), row.disjoint);
  }
  // The boxes overlap but the triangle sits in the L's empty corner.
  const Region l = regionOf({{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}});
  EXPECT_TRUE(regionsDisjoint(l, regionOf({{6, 6}, {9, 6}, {9, 9}})));
}

TEST(PartsDisjoint, APartInAHoleIsApartFromItInEitherOrder) {
  struct Row {
    const char* label;
    Part other;
    bool disjoint;
  };
  const Part frame = test::partOf(square(0, 0, 20, 10), {square(2, 2, 8, 8), square(12, 2, 18, 8)});
  const Row rows[] = {
      {"in the first hole", test::partOf(square(3, 3, 7, 7)), true},
      {"in the second hole", test::partOf(square(13, 3, 17, 7)), true},
      {"a ring in the hole", test::partOf(square(3, 3, 7, 7), {square(4, 4, 6, 6)}), true},
      {"wider than the hole", test::partOf(square(1, 3, 7, 7)), false},
      {"touching the hole's side", test::partOf(square(2, 3, 7, 7)), false},
      {"filling the hole", test::partOf(square(2, 2, 8, 8)), false},
      {"across both holes", test::partOf(square(5, 3, 15, 7)), false},
      {"beside the frame", test::partOf(square(20, 0, 30, 10)), true},
      {"over the frame", test::partOf(square(-1, -1, 21, 11)), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(partsDisjoint(frame, row.other), row.disjoint);
    EXPECT_EQ(partsDisjoint(row.other, frame), row.disjoint);
  }
}

TEST(WithinRect, EachSideWithinTheTolerance) {
  struct Row {
    double xlo, xhi, ylo, yhi;
    bool within;
  };
  const Row rows[] = {
      {0, 10, 0, 10, true},       {0, 9.99999999999, 0, 10, true}, {0, 9.9999, 0, 10, false},
      {1e-11, 10, 0, 10, true},   {0.001, 10, 0, 10, false},       {0, 10, 0, 9.99999999999, true},
      {0, 10, 0.0001, 10, false},
  };
  // The holes are not looked at, even one larger than the outline.
  const Part part = test::partOf(square(0, 0, 10, 10), {square(-50, -50, 50, 50)});
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.xlo << " " << row.xhi << " " << row.yhi);
    EXPECT_EQ(withinRect(part, row.xlo, row.xhi, row.ylo, row.yhi), row.within);
    EXPECT_EQ(withinRect(part, BBox{row.xlo, row.xhi, row.ylo, row.yhi}), row.within);
  }
}

TEST(OverlapsRect, MatchesTheTestAgainstARectanglePart) {
  const Part frame = test::partOf(square(0, 0, 10, 10), {square(2, 2, 8, 8)});
  EXPECT_TRUE(overlapsRect(frame, 5, 15, 5, 15));
  EXPECT_FALSE(overlapsRect(frame, 10, 20, 0, 10));  // touching boxes
  EXPECT_FALSE(overlapsRect(frame, 3, 7, 3, 7));     // inside the hole
  EXPECT_TRUE(overlapsRect(frame, 15, 5, 15, 5));    // bounds the wrong way round
  EXPECT_TRUE(overlapsRect(frame, BBox{-1, 1, -1, 1}));
  EXPECT_TRUE(pointInPart(frame, pt(1, 5)));
  EXPECT_FALSE(pointInPart(frame, pt(5, 5)));

  // The rectangle built as a whole part gives the same answers everywhere.
  const double xs[] = {-2, 0, 1.5, 2, 3, 5, 8, 9.999999, 10, 12};
  for (double xlo : xs) {
    for (double xhi : xs) {
      for (double ylo : {-1.0, 2.0, 4.0}) {
        for (double yhi : {3.0, 8.0, 11.0}) {
          if (xlo == xhi || ylo == yhi) {
            continue;
          }
          SCOPED_TRACE(testing::Message() << xlo << " " << xhi << " " << ylo << " " << yhi);
          const Part rect =
              test::partOf(regionOf({{xlo, ylo}, {xhi, ylo}, {xhi, yhi}, {xlo, yhi}}));
          EXPECT_EQ(overlapsRect(frame, xlo, xhi, ylo, yhi), !partsDisjoint(frame, rect));
        }
      }
    }
  }
}

}  // namespace
}  // namespace tarn
