#include "optimise/part_poses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/part.h"
#include "nesting/nesting_fixtures.h"

namespace tarn {
namespace {

// An L-shaped plate with a square hole; no symmetry, so every pose differs.
Part bracket() {
  Part part = test::makePart({{0, 0}, {12, 0}, {12, 6}, {6, 6}, {6, 10}, {0, 10}},
                             {test::rectangle(2, 2, 2, 2)});
  translate(part, 100, 50);
  return part;
}

// The same vertices to the bit, in the same order.
bool samePoints(const Region& a, const Region& b) {
  return std::ranges::equal(
      a.points, b.points, [](const Point& p, const Point& q) { return p.x == q.x && p.y == q.y; });
}

// The writing-back test below pins the order (rotation k at 2k, its twin at 2k + 1).
TEST(PartPoses, TheFirstPoseIsThePartItself) {
  const Part part = bracket();
  const StripItem turning = MakeStripItem(part, 3, true);
  ASSERT_EQ(turning.orientations.size(), 6u);
  EXPECT_EQ(MakeStripItem(part, 3, false).orientations.size(), 3u);
  EXPECT_TRUE(MakeStripItem(part, 0, true).orientations.empty());
  EXPECT_TRUE(samePoints(turning.orientations[0].outer, part.outer));
}

TEST(PartPoses, WritingBackGivesThePosedOutlineToTheBit) {
  for (const bool turnover : {false, true}) {
    const Part start = bracket();
    const StripItem item = MakeStripItem(start, 3, turnover);
    for (int o = 0; o < static_cast<int>(item.orientations.size()); ++o) {
      SCOPED_TRACE(o);
      const ItemPose pose{o, -37.25, 12.5};
      Part part = start;
      ApplyItemPose(part, 3, turnover, pose);
      const Part posed = PosedPart(item, pose);
      EXPECT_TRUE(samePoints(part.outer, posed.outer));
      EXPECT_EQ(part.bbox.xmax, posed.outer.bbox.xmax);
      EXPECT_EQ(part.holes.front().points.front().x, posed.holes.front().points.front().x);
      // The bookkeeping that reproduces a placed part from its source.
      const int k = turnover ? o / 2 : o;
      const bool turned = turnover && o % 2 == 1;
      EXPECT_EQ(part.turnedOver, turned);
      const double angle = k * (2.0 * std::acos(-1.0) / 3);
      EXPECT_NEAR(part.rotation, turned ? -(start.rotation + angle) : start.rotation + angle,
                  1e-12);
    }
  }
}

TEST(PartPoses, AnOrientationOutsideTheSetLeavesThePart) {
  Part part = bracket();
  const double x = part.outer.points[1].x;
  ApplyItemPose(part, 2, false, ItemPose{2, 5, 5});
  ApplyItemPose(part, 2, false, ItemPose{-1, 5, 5});
  EXPECT_EQ(part.outer.points[1].x, x);
}

}  // namespace
}  // namespace tarn
