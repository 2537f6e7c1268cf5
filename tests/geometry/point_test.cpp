#include "geometry/point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/segment.h"
#include "tests/geometry/shapes.h"

namespace tarn {
namespace {

using test::pt;

TEST(Within, IsStrictAndCoincidesUsesTheToleranceOfThePointAsked) {
  EXPECT_TRUE(within(Point{}, pt(0.5, 0), 1));
  EXPECT_FALSE(within(Point{}, pt(1, 0), 1));  // exactly on the radius
  EXPECT_FALSE(within(pt(3, 4), pt(0, 0), 5));
  EXPECT_TRUE(coincides(Point{}, pt(1e-16, 0)));
  EXPECT_FALSE(coincides(Point{}, pt(1e-15, 0)));
  Point loose = pt(0, 0);
  loose.tol = 1.0;
  EXPECT_TRUE(coincides(loose, pt(0.5, 0)));
  EXPECT_FALSE(coincides(pt(0.5, 0), loose));
}

TEST(RotateAbout, TurnsCounterClockwiseInPlace) {
  Point p = pt(2, 1);
  rotateAbout(p, pt(1, 1), std::acos(-1.0) / 2);
  test::expectPoint(p, 1, 2, 1e-12);
  Point q = pt(7, -3);
  rotateAbout(q, q, 1.0);  // about itself
  test::expectPoint(q, 7, -3, 0);
}

TEST(MirrorAcross, ReflectsAcrossTheLineAndResetsTheTolerance) {
  struct Row {
    Point a, b;
    double x, y;
  };
  const Row rows[] = {
      {pt(0, 3), pt(5, 3), 2, -1},  // horizontal
      {pt(1, 0), pt(1, 1), 0, 7},   // vertical
      {pt(0, 0), pt(1, 1), 7, 2},   // diagonal
      {pt(4, 4), pt(4, 4), 2, 7},   // no line: the point stays
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.b.x << "," << row.b.y);
    Point p = pt(2, 7);
    p.tol = 0.25;
    const Point m = mirrorAcross(p, makeSegment(row.a, row.b));
    test::expectPoint(m, row.x, row.y, 1e-12);
    EXPECT_EQ(m.tol, kPointTolerance);
  }
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
  for (double x : {1.0, 2.0, 3.0}) {
    list.insert(pt(x, 0));
  }
  EXPECT_EQ(xsOf(list), (std::vector<double>{3, 2, 1}));
  EXPECT_EQ(xsOf(PointChain(list)), (std::vector<double>{1, 2, 3}));
  PointChain assigned;
  assigned.insert(pt(9, 0));
  assigned = list;
  EXPECT_EQ(xsOf(assigned), (std::vector<double>{1, 2, 3}));
  const PointChain moved(std::move(assigned));  // a move keeps the order
  EXPECT_EQ(xsOf(moved), (std::vector<double>{1, 2, 3}));
  list.remove(list.end());  // the sentinel: nothing happens
  EXPECT_EQ(list.count(), 3);
}

}  // namespace
}  // namespace tarn
