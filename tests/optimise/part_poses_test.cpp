#include "optimise/part_poses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/part.h"

namespace tarn {
namespace {

Region regionOf(const std::vector<Point>& points) {
  Region r;
  setPoints(r, points);
  return r;
}

// An L-shaped plate with a square hole; no symmetry, so every pose differs.
Part bracket() {
  RegionList holes;
  holes.insert(regionOf({{2, 2}, {4, 2}, {4, 4}, {2, 4}}));
  Part part;
  setGeometry(part, regionOf({{0, 0}, {12, 0}, {12, 6}, {6, 6}, {6, 10}, {0, 10}}), holes);
  translate(part, 100, 50);
  return part;
}

// Vertex sets equal after moving each to its box's lower left corner.
bool sameUpToTranslation(const ItemOrientation& a, const ItemOrientation& b) {
  const auto corner = [](const Region& r) {
    double x = INFINITY, y = INFINITY;
    for (const Point& p : r.points) {
      x = std::min(x, p.x);
      y = std::min(y, p.y);
    }
    return Point{x, y};
  };
  const Point ca = corner(a.outer);
  const Point cb = corner(b.outer);
  if (a.outer.points.size() != b.outer.points.size()) {
    return false;
  }
  for (const Point& p : a.outer.points) {
    bool found = false;
    for (const Point& q : b.outer.points) {
      found = found || (std::fabs(p.x - ca.x - q.x + cb.x) < 1e-9 &&
                        std::fabs(p.y - ca.y - q.y + cb.y) < 1e-9);
    }
    if (!found) {
      return false;
    }
  }
  return true;
}

TEST(PartPoses, OrderFollowsThePlacerAndTheFirstPoseIsThePartItself) {
  const Part part = bracket();
  const StripItem turning = MakeStripItem(part, 3, true);
  const StripItem plain = MakeStripItem(part, 3, false);
  ASSERT_EQ(turning.orientations.size(), 6u);
  ASSERT_EQ(plain.orientations.size(), 3u);
  EXPECT_TRUE(MakeStripItem(part, 0, true).orientations.empty());
  for (std::size_t i = 0; i < part.outer.points.size(); ++i) {
    EXPECT_EQ(turning.orientations[0].outer.points[i].x, part.outer.points[i].x);
    EXPECT_EQ(turning.orientations[0].outer.points[i].y, part.outer.points[i].y);
  }
  // Rotation k with turning over sits at 2k, its twin at 2k + 1.
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(sameUpToTranslation(turning.orientations[2 * k], plain.orientations[k]));
    EXPECT_FALSE(sameUpToTranslation(turning.orientations[2 * k + 1], plain.orientations[k]));
  }
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
      ASSERT_EQ(part.outer.points.size(), posed.outer.points.size());
      for (std::size_t i = 0; i < part.outer.points.size(); ++i) {
        EXPECT_EQ(part.outer.points[i].x, posed.outer.points[i].x);
        EXPECT_EQ(part.outer.points[i].y, posed.outer.points[i].y);
      }
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

TEST(PartPoses, ThePoseSetIsTheSameFromAnyOfItsPoses) {
  const Part start = bracket();
  const StripItem item = MakeStripItem(start, 4, true);
  for (int o = 0; o < 8; ++o) {
    SCOPED_TRACE(o);
    Part part = start;
    ApplyItemPose(part, 4, true, ItemPose{o, 3, 4});
    const StripItem again = MakeStripItem(part, 4, true);
    for (const ItemOrientation& a : again.orientations) {
      bool found = false;
      for (const ItemOrientation& b : item.orientations) {
        found = found || sameUpToTranslation(a, b);
      }
      EXPECT_TRUE(found);
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
