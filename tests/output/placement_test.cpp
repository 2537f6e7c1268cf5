#include "output/placement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "output_fixtures.h"

namespace tarn {
namespace {

constexpr double kClose = 1e-9;

// An L, so that a wrong turn or mirror cannot map it onto itself.
Part lShape() {
  return test::makePart(5, "L", {{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 20}, {0, 20}});
}

// What a layout and hand editing may do to a working copy, in any order.
void edit(Part& part) {
  const Point start = part.centroid;
  rotate(part, start, 0.7);
  const Point centroid = part.centroid;
  turnOver(part, centroid);
  translate(part, 1234.5, 321.25);
  rotate(part, Point{10, 20}, -1.1);
  turnOver(part, Point{-3, 7});
  const Point ref = part.refPoint;
  rotate(part, ref, 2.0);
  turnOver(part, Point{0, 400});
}

TEST(Placement, PlacedTruePartCoincidesWithItsEditedWorkingCopy) {
  const Part truePart = lShape();
  Part working(truePart);
  edit(working);
  working.selected = true;

  const Part placed = placedPart(truePart, working);
  ASSERT_EQ(placed.outer.count(), working.outer.count());
  for (int i = 0; i < working.outer.count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(placed.outer.points[i].x, working.outer.points[i].x, kClose);
    EXPECT_NEAR(placed.outer.points[i].y, working.outer.points[i].y, kClose);
  }
  EXPECT_NEAR(placed.nameLabel.x, working.nameLabel.x, kClose);
  EXPECT_NEAR(placed.nameLabel.y, working.nameLabel.y, kClose);
  // Turning over keeps a label's angle, so only the accumulated rotation turns the placed name.
  EXPECT_NEAR(placed.nameLabel.angle, working.rotation * 180.0 / std::acos(-1.0), kClose);
  EXPECT_NEAR(placed.bbox.xmax, working.bbox.xmax, kClose);
  EXPECT_EQ(placed.turnedOver, working.turnedOver);
  EXPECT_TRUE(placed.selected);
  // The true part itself never moves.
  EXPECT_EQ(truePart.outer.points[1].x, 30);
}

TEST(Placement, FindsTheFirstWorkingCopyOfAnId) {
  test::TestJob job;
  test::addPart(job.job, test::squarePart(4, "second", 50, 0, 10));
  test::addPart(job.job, test::squarePart(4, "first", 0, 0, 10));
  ASSERT_NE(findWorkingCopy(job.job, 4), nullptr);
  EXPECT_EQ(findWorkingCopy(job.job, 4)->nameLabel.text, "first");
  EXPECT_EQ(findWorkingCopy(job.job, 9), nullptr);
}

}  // namespace
}  // namespace tarn
