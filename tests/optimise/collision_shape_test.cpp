#include "optimise/collision_shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

namespace tarn::strip {
namespace {

constexpr double kClearance = 0.01;

Region regionOf(std::initializer_list<Point> points) {
  Region r;
  setPoints(r, points);
  return r;
}

Region box(double x0, double y0, double x1, double y1) {
  return regionOf({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

CollisionShape shapeOf(const Region& outer, const std::vector<Region>& holes = {}) {
  return buildCollisionShape(outer, holes, kClearance);
}

TEST(CollisionShape, CollidesWhereTheGrownOutlinesMeet) {
  const CollisionShape square = shapeOf(box(0, 0, 10, 10));
  const CollisionShape frame = shapeOf(box(0, 0, 30, 30), {box(10, 10, 20, 20)});
  const CollisionShape small = shapeOf(box(0, 0, 4, 4));
  struct Row {
    const char* label;
    const CollisionShape& a;
    const CollisionShape& b;
    double dx, dy;
    bool collide;
  };
  const Row rows[] = {
      // Each outline grows by the clearance: straight sides meet below twice it.
      {"apart by more than twice the clearance", square, square, 10.021, 0, false},
      {"apart by less than twice the clearance", square, square, 10.019, 0, true},
      {"touching", square, square, 10, 0, true},
      {"corners touching", square, square, 10, 10, true},
      {"overlapping", square, square, 5, 3, true},
      {"wholly inside, no edge meets", square, small, 3, 3, true},
      {"wholly around", small, square, -3, -3, true},
      {"in the hole", frame, small, 13, 13, false},
      {"in the hole, short of its edge by less than twice the clearance", frame, small, 15.99, 13,
       true},
      {"across the hole's edge", frame, small, 18, 13, true},
      {"far apart", square, square, 100, 100, false},
  };
  CollisionTester tester;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(tester.collide(row.a, row.b, row.dx, row.dy), row.collide);
    EXPECT_EQ(tester.collide(row.b, row.a, -row.dx, -row.dy), row.collide);
  }
}

TEST(CollisionShape, SeesAShapeInsideAnotherAlongItsOutline) {
  // A block inside a larger one, its top edge on the larger one's top edge, both
  // turned by the same angle: rounding leaves the shared edge neither crossing
  // nor apart, and a vertex on it cannot tell inside from outside.
  CollisionTester tester;
  for (int step = 1; step < 60; ++step) {
    SCOPED_TRACE(step);
    const double angle = step * 0.1;
    const auto turned = [angle](std::initializer_list<Point> points) {
      std::vector<Point> out;
      for (const Point& p : points) {
        out.push_back(Point{p.x * std::cos(angle) - p.y * std::sin(angle),
                            p.x * std::sin(angle) + p.y * std::cos(angle)});
      }
      Region r;
      setPoints(r, out);
      return r;
    };
    const CollisionShape big = shapeOf(turned({{0, 0}, {3000, 0}, {3000, 2200}, {0, 2200}}));
    const CollisionShape inner =
        shapeOf(turned({{1300.3, 2200}, {700.7, 1000.1}, {2100.9, 800.3}, {2700.1, 2200}}));
    EXPECT_TRUE(tester.collide(big, inner, 0, 0));
    EXPECT_TRUE(tester.collide(inner, big, 0, 0));
  }
}

TEST(CollisionShape, GrownOutlineCoversSharpTipsAndNotches) {
  // A needle pointing right with its tip at (100, 0), and a notch (a V cut into a
  // block) with its deepest point at (50, 5).
  const CollisionShape needle = shapeOf(regionOf({{0, -1}, {100, 0}, {0, 1}}));
  const CollisionShape notched =
      shapeOf(regionOf({{0, 0}, {100, 0}, {100, 10}, {51, 10}, {50, 5}, {49, 10}, {0, 10}}));
  const CollisionShape dot = shapeOf(box(0, 0, 0.001, 0.001));
  CollisionTester tester;
  // Within half the clearance of the tip: must collide; far beyond it: free.
  EXPECT_TRUE(tester.collide(needle, dot, 100 + kClearance * 0.5, -0.0005));
  EXPECT_FALSE(tester.collide(needle, dot, 100 + kClearance * 5, -0.0005));
  // A dot just above the notch's bottom, within the clearance of both sides.
  EXPECT_TRUE(tester.collide(notched, dot, 50 - 0.0005, 5 + kClearance));
  EXPECT_FALSE(tester.collide(notched, dot, 50 - 0.0005, 5.5));
}

TEST(CollisionShape, PolesLieInsideTheMaterialAndApart) {
  const Region frame = box(0, 0, 40, 20);
  const std::vector<Region> holes = {box(5, 5, 15, 15)};
  const std::vector<Pole> poles = computePoles(frame, holes);
  ASSERT_FALSE(poles.empty());
  double covered = 0.0;
  for (std::size_t i = 0; i < poles.size(); ++i) {
    SCOPED_TRACE(i);
    const Pole& p = poles[i];
    covered += 3.14159 * p.r * p.r;
    // Clear of the outer edges and outside the hole's box, grown by the radius.
    EXPECT_GE(p.x - p.r, -1e-9);
    EXPECT_LE(p.x + p.r, 40 + 1e-9);
    EXPECT_GE(p.y - p.r, -1e-9);
    EXPECT_LE(p.y + p.r, 20 + 1e-9);
    const double hx = std::max({5.0 - p.x, 0.0, p.x - 15.0});
    const double hy = std::max({5.0 - p.y, 0.0, p.y - 15.0});
    EXPECT_GE(std::hypot(hx, hy), p.r - 1e-6);
    for (std::size_t j = 0; j < i; ++j) {
      EXPECT_GE(std::hypot(p.x - poles[j].x, p.y - poles[j].y), p.r + poles[j].r - 1e-6);
    }
  }
  EXPECT_LE(covered, 40 * 20 - 100);
  // The largest free circle of the right-hand block (25 x 20) has radius 10.
  EXPECT_NEAR(poles.front().r, 10, 0.05);
  // Cancelled, the search keeps the first circle only.
  EXPECT_EQ(computePoles(frame, holes, [] { return true; }).size(), 1u);
}

TEST(CollisionShape, LossGrowsWithDepthAndIsSymmetric) {
  const CollisionShape a = shapeOf(box(0, 0, 10, 10));
  const CollisionShape b = shapeOf(regionOf({{0, 0}, {8, 0}, {4, 6}}));
  // From wholly inside (dx = 2) the triangle slides out through the right side.
  double previous = INFINITY;
  for (double dx = 2.0; dx < 9.5; dx += 0.5) {
    SCOPED_TRACE(dx);
    const double loss = collisionLoss(a, b, dx, 1);
    EXPECT_GT(loss, 0.0);
    EXPECT_LE(loss, previous * (1 + 1e-12));  // sliding out of the square lowers it
    EXPECT_NEAR(loss, collisionLoss(b, a, -dx, -1), 1e-5 * loss);  // single precision
    previous = loss;
  }
}

TEST(CollisionShape, StripEdgesAreInclusive) {
  const CollisionShape s = shapeOf(box(2, 3, 7, 5));  // 5 x 2
  EXPECT_TRUE(insideStrip(s, -2, -3, 5, 2));
  EXPECT_FALSE(insideStrip(s, -2, -3, 4.999, 2));
  EXPECT_FALSE(insideStrip(s, -2.001, -3, 10, 10));
  EXPECT_GT(containerLoss(s, -2, -3, 4.5, 2), 0.0);
  // Further out costs more, also once wholly outside.
  EXPECT_GT(containerLoss(s, -2, -3, 4, 2), containerLoss(s, -2, -3, 4.5, 2));
  EXPECT_GT(containerLoss(s, 20, -3, 5, 2), containerLoss(s, 10, -3, 5, 2));
}

}  // namespace
}  // namespace tarn::strip
