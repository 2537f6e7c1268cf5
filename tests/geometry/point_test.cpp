#include "geometry/point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/segment.h"
#include "geometry/sentinel_list.h"
#include "tests/geometry/shapes.h"

namespace tarn {
namespace {

using test::pt;

TEST(Within, IsStrictAtTheRadius) {
  EXPECT_TRUE(within(Point{}, pt(0.5, 0), 1));
  EXPECT_FALSE(within(Point{}, pt(1, 0), 1));  // exactly on the radius
  EXPECT_FALSE(within(Point{}, pt(0, -1), 1));
  EXPECT_TRUE(within(pt(3, 4), pt(0, 0), 5.0000001));
  EXPECT_FALSE(within(pt(3, 4), pt(0, 0), 5));
}

TEST(Coincides, UsesTheToleranceOfThePointAsked) {
  EXPECT_TRUE(coincides(Point{}, pt(1e-16, 0)));
  EXPECT_FALSE(coincides(Point{}, pt(1e-15, 0)));
  Point loose = pt(0, 0);
  loose.tol = 1.0;
  const Point tight = pt(0.5, 0);
  EXPECT_TRUE(coincides(loose, tight));
  EXPECT_FALSE(coincides(tight, loose));
}

TEST(Distance, IsEuclidean) {
  EXPECT_DOUBLE_EQ(distance(pt(1, 1), pt(4, 5)), 5.0);
  EXPECT_DOUBLE_EQ(distance(pt(-2, 0), pt(-2, 0)), 0.0);
}

TEST(RotateAbout, TurnsCounterClockwiseInPlace) {
  const double pi = std::acos(-1.0);
  Point p = pt(2, 1);
  rotateAbout(p, pt(1, 1), pi / 2);
  test::expectPoint(p, 1, 2, 1e-12);
  rotateAbout(p, pt(1, 1), -pi / 2);
  test::expectPoint(p, 2, 1, 1e-12);
  // Turning a point about itself leaves it where it is.
  Point q = pt(7, -3);
  rotateAbout(q, q, 1.0);
  test::expectPoint(q, 7, -3, 0);
}

TEST(MirrorAcross, ReflectsAcrossTheLineAndResetsTheTolerance) {
  struct Row {
    const char* label;
    Point a, b, p;
    double x, y;
  };
  const Row rows[] = {
      {"horizontal", pt(0, 3), pt(5, 3), pt(2, 7), 2, -1},
      {"horizontal, reversed", pt(5, 3), pt(0, 3), pt(2, 7), 2, -1},
      {"vertical", pt(1, 0), pt(1, 1), pt(4, 2), -2, 2},
      {"diagonal", pt(0, 0), pt(1, 1), pt(3, 1), 1, 3},
      {"on the line", pt(0, 0), pt(2, 2), pt(5, 5), 5, 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Point p = row.p;
    p.tol = 0.25;
    const Point m = mirrorAcross(p, makeSegment(row.a, row.b));
    test::expectPoint(m, row.x, row.y, 1e-12);
    EXPECT_EQ(m.tol, kPointTolerance);
  }
}

TEST(MirrorAcross, ASegmentWithoutLengthLeavesThePoint) {
  const Point m = mirrorAcross(pt(2, 7), makeSegment(pt(1, 1), pt(1, 1)));
  EXPECT_EQ(m.x, 2);
  EXPECT_EQ(m.y, 7);
}

std::vector<double> xsOf(const PointChain& chain) {
  std::vector<double> xs;
  for (const Point& p : chain) {
    xs.push_back(p.x);
  }
  return xs;
}

TEST(SentinelList, InsertsAtTheFrontAndCopiesReversed) {
  PointChain list;
  EXPECT_TRUE(list.empty());
  list.insert(pt(1, 0));  // P
  list.insert(pt(2, 0));  // Q
  list.insert(pt(3, 0));  // R
  EXPECT_EQ(list.count(), 3);
  EXPECT_EQ(xsOf(list), (std::vector<double>{3, 2, 1}));

  const PointChain copy(list);
  EXPECT_EQ(xsOf(copy), (std::vector<double>{1, 2, 3}));

  PointChain assigned;
  assigned.insert(pt(9, 0));
  assigned = list;  // replaces, reversed
  EXPECT_EQ(xsOf(assigned), (std::vector<double>{1, 2, 3}));

  PointChain moved(std::move(assigned));  // a move keeps the order
  EXPECT_EQ(xsOf(moved), (std::vector<double>{1, 2, 3}));
}

TEST(SentinelList, RemovingTheEndChangesNothing) {
  PointChain list;
  list.remove(list.end());
  EXPECT_EQ(list.count(), 0);
  list.insert(pt(1, 0));
  list.insert(pt(2, 0));
  list.remove(list.end());
  EXPECT_EQ(list.count(), 2);
  list.remove(list.begin());
  EXPECT_EQ(xsOf(list), (std::vector<double>{1}));
  list.clear();
  EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace tarn
