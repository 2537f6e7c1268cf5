#include "geometry/predicates.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

#include "geometry/segment.h"
#include "tests/geometry/shapes.h"

namespace tarn {
namespace {

using test::regionOf;
using test::square;

TEST(Within, IsStrictAndCoincidesUsesTheToleranceOfThePointAsked) {
  EXPECT_TRUE(within(Point{}, Point{0.5, 0}, 1));
  EXPECT_FALSE(within(Point{}, Point{1, 0}, 1));  // exactly on the radius
  EXPECT_TRUE(coincides(Point{}, Point{1e-16, 0}));
  EXPECT_FALSE(coincides(Point{}, Point{1e-15, 0}));
  const Point loose{0, 0, 1.0};
  EXPECT_TRUE(coincides(loose, Point{0.5, 0}));
  EXPECT_FALSE(coincides(Point{0.5, 0}, loose));
}

// The chain's x and y made of the pieces (x0, y0, x1, y1 each), and how many were left.
std::vector<double> chained(std::initializer_list<std::array<double, 4>> pieces, int& left) {
  SegmentList reversed;
  for (const auto& p : pieces) {
    reversed.insert(makeSegment(Point{p[0], p[1]}, Point{p[2], p[3]}));
  }
  SegmentList segments(reversed);
  PointChain chain;
  chainSegments(segments, chain);
  left = segments.count();
  std::vector<double> xy;
  for (const Point& p : chain) {
    xy.insert(xy.end(), {p.x, p.y});
  }
  return xy;
}

TEST(ChainSegments, WalksBackFromTheLastPointFoundAndTakesTheFirstMatchStartBeforeEnd) {
  int left = -1;
  EXPECT_TRUE(chained({}, left).empty());
  // A piece taken backwards joins; a loose one 1 away from every end stays.
  EXPECT_EQ(
      chained({{0, 0, 10, 0}, {5, 5, 8, 5}, {10, 0, 10, 10}, {0, 10, 10, 10}, {0, 10, 0, 0}}, left),
      (std::vector<double>{0, 0, 0, 10, 10, 10, 10, 0, 0, 0}));
  EXPECT_EQ(left, 1);
  // Both later pieces start near (10,0): the first in list order wins, and
  // once the chain has moved on the nearer one never connects.
  EXPECT_EQ(chained({{0, 0, 10, 0}, {10.4, 0, 20, 0}, {10.01, 0, 30, 0}}, left),
            (std::vector<double>{20, 0, 10, 0, 0, 0}));
  EXPECT_EQ(left, 1);
  // Both ends of the short piece are near (10,0): its start is taken. The last
  // piece starts exactly 0.5 away, which is not within.
  EXPECT_EQ(chained({{0, 0, 10, 0}, {10.125, 0, 10.25, 0}, {10.75, 0, 12, 0}}, left),
            (std::vector<double>{10.25, 0, 10, 0, 0, 0}));
  EXPECT_EQ(left, 1);
}

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
  // Vertices at the ray's height count once: a notch cut from the left side
  // with its tip (6,5) at that height; (1,5) lies in the notch.
  const Region notched = regionOf({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 6}, {6, 5}, {0, 4}});
  EXPECT_FALSE(pointInRegion(notched, 1, 5));
  EXPECT_TRUE(pointInRegion(notched, 8, 5));
  const Region diamond = regionOf({{5, 0}, {10, 5}, {5, 10}, {0, 5}});  // slanted sides
  EXPECT_TRUE(pointInRegion(diamond, 7.5, 2.5) && !pointInRegion(diamond, 2.5, 2.5));
}

TEST(RegionsDisjoint, TouchingEdgesCrossButBoxesCloserThanTheGapCountAsApart) {
  struct Row {
    const char* label;
    Region b;
    bool cross, disjoint;
  };
  const Region s = square(0, 0, 10, 10);
  const Row rows[] = {
      {"shared side", square(10, 0, 20, 10), true, true},
      {"corner to corner", square(10, 10, 20, 20), true, true},
      {"vertex on a side", regionOf({{10, 5}, {20, 0}, {20, 10}}), true, true},
      {"a hair apart", square(10.000001, 0, 20, 10), false, true},
      {"overlap below the gap", square(9.999995, 0, 20, 10), true, true},
      // 10 - 9.99999 is 9.9999999996e-6 in doubles: still below the gap.
      {"overlap of 1e-5 as written", square(9.99999, 0, 20, 10), true, true},
      {"overlap just above the gap", square(9.999989, 0, 20, 10), true, false},
      // No vertex of either lies inside the other; only the edges cross.
      {"a bar across", regionOf({{4, -5}, {6, -5}, {6, 15}, {4, 15}}), true, false},
      {"no vertices", Region{}, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(edgesCross(s, row.b), row.cross);
    EXPECT_EQ(edgesCross(row.b, s), row.cross);
    EXPECT_EQ(regionsDisjoint(s, row.b), row.disjoint);
    EXPECT_EQ(regionsDisjoint(row.b, s), row.disjoint);
  }
  EXPECT_TRUE(verticesInside(s, square(2, 2, 8, 8)));
  EXPECT_FALSE(verticesInside(s, square(2, 2, 12, 8)));
  EXPECT_TRUE(verticesInside(s, Region{}));
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
      {"a ring in the hole", test::partOf(square(3, 3, 7, 7), {square(4, 4, 6, 6)}), true},
      {"wider than the hole", test::partOf(square(1, 3, 7, 7)), false},
      {"touching the hole's side", test::partOf(square(2, 3, 7, 7)), false},
      {"across both holes", test::partOf(square(5, 3, 15, 7)), false},
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
      {0, 10, 0, 10, true},       {0, 9.99999999999, 0, 10, true}, {0, 9.9999999998, 0, 10, false},
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

TEST(OverlapsRect, TouchingBoxesAndAHoleDoNotOverlap) {
  const Part frame = test::partOf(square(0, 0, 10, 10), {square(2, 2, 8, 8)});
  EXPECT_TRUE(overlapsRect(frame, 5, 15, 5, 15));
  EXPECT_TRUE(overlapsRect(frame, 15, 5, 15, 5));  // bounds the wrong way round
  EXPECT_FALSE(overlapsRect(frame, BBox{10, 20, 0, 10}));
  EXPECT_FALSE(overlapsRect(frame, 3, 7, 3, 7));
  EXPECT_FALSE(pointInPart(frame, Point{5, 5}));
}

}  // namespace
}  // namespace tarn
