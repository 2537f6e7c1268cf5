#include "optimise/collision_shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "nesting/nesting_fixtures.h"

namespace tarn::strip {
namespace {

constexpr double kClearance = 0.01;

using test::box;
using test::regionOf;

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
      {"wholly inside, no edge meets", square, small, 3, 3, true},
      {"wholly around", small, square, -3, -3, true},
      {"in the hole", frame, small, 13, 13, false},
      {"in the hole, short of its edge by less than twice the clearance", frame, small, 15.99, 13,
       true},
      {"across the hole's edge", frame, small, 18, 13, true},
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
    const auto turned = [angle](test::Outline points) {
      for (Point& p : points) {
        p = Point{p.x * std::cos(angle) - p.y * std::sin(angle),
                  p.x * std::sin(angle) + p.y * std::cos(angle)};
      }
      return regionOf(points);
    };
    const CollisionShape big = shapeOf(turned({{0, 0}, {3000, 0}, {3000, 2200}, {0, 2200}}));
    const CollisionShape inner =
        shapeOf(turned({{1300.3, 2200}, {700.7, 1000.1}, {2100.9, 800.3}, {2700.1, 2200}}));
    EXPECT_TRUE(tester.collide(big, inner, 0, 0));
    EXPECT_TRUE(tester.collide(inner, big, 0, 0));
  }
}

}  // namespace
}  // namespace tarn::strip
