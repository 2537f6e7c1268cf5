#include "nesting/packing_points.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "geometry/core_error.h"
#include "nesting/nesting_fixtures.h"
#include "nesting/placement.h"

namespace tarn {
namespace {

using test::makePart;
using test::rectangle;
using test::rectanglePart;
using test::TestJob;

const PackingPoint& gridPoint(const PackingJob& job, int i, int j) {
  return job.packingPoints[static_cast<std::size_t>(i * job.gridCountY + j)];
}

TEST(RebuildPackingPoints, LaysTheGridColumnByColumn) {
  struct Row {
    const char* label;
    double length, width, distance;
    int countX, countY;
    double lastX, lastY;
  };
  const Row rows[] = {
      {"the derived distance on the default plate", 6000, 4000, 30, 201, 134, 6000, 3990},
      {"a distance beyond both sides", 100, 50, 200, 1, 1, 0, 0},
      {"45 on a side of 100", 100, 100, 45, 3, 3, 90, 90},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(row.length, row.width, row.distance);
    RebuildPackingPoints(*t.job);
    ASSERT_EQ(t.job->gridCountX, row.countX);
    ASSERT_EQ(t.job->gridCountY, row.countY);
    EXPECT_EQ(t.job->packingPoints.back().position.x, row.lastX);
    EXPECT_EQ(t.job->packingPoints.back().position.y, row.lastY);
    if (row.countX > 1) {
      // Element (1, 0) follows the whole first column.
      EXPECT_EQ(gridPoint(*t.job, 1, 0).position.x, row.distance);
      EXPECT_EQ(gridPoint(*t.job, 1, 0).position.y, 0.0);
    }
  }
}

TEST(RebuildPackingPoints, MarksMaterialButNotHolesOrWaitingParts) {
  TestJob t(300, 300, 30);
  t.add({makePart(rectangle(0, 0, 200, 200), {rectangle(50, 50, 100, 100)}),
         rectanglePart(300, 0, 60, 60)});  // waiting beside the plate
  RebuildPackingPoints(*t.job);
  EXPECT_TRUE(gridPoint(*t.job, 1, 1).occupied);    // (30, 30) in the material
  EXPECT_FALSE(gridPoint(*t.job, 3, 3).occupied);   // (90, 90) in the hole
  EXPECT_FALSE(gridPoint(*t.job, 0, 2).occupied);   // (0, 60) on the left side: outside
  EXPECT_FALSE(gridPoint(*t.job, 10, 1).occupied);  // (300, 30) under the waiting part
}

TEST(MarkOccupied, MarksExactlyThePointsInsideThePart) {
  TestJob t(1000, 700, 7.3);
  RebuildPackingPoints(*t.job);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> place(-150.0, 1000.0);
  std::vector<Part> parts;
  for (int n = 0; n < 20; ++n) {
    const double x = place(random);
    const double y = place(random);
    Part part = makePart({{x, y}, {x + 140, y + 20}, {x + 90, y + 170}, {x - 10, y + 60}},
                         {{{x + 40, y + 50}, {x + 80, y + 50}, {x + 60, y + 90}}});
    MarkOccupied(*t.job, part);
    parts.push_back(part);
  }
  int occupied = 0;
  for (const PackingPoint& point : t.job->packingPoints) {
    bool inside = false;
    for (const Part& part : parts) {
      inside = inside || pointInPart(part, point.position);
    }
    ASSERT_EQ(point.occupied, inside) << point.position.x << ", " << point.position.y;
    occupied += point.occupied ? 1 : 0;
  }
  EXPECT_GT(occupied, 100);
}

TEST(RenewPackingPointDistance, RefusesABadDistanceAndKeepsTheGrid) {
  TestJob t(6000, 4000, 30);
  RebuildPackingPoints(*t.job);
  for (const double bad : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(), 0.001}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(RenewPackingPointDistance(*t.job, bad), CoreError);
    EXPECT_EQ(t.job->params.packingPointDistance, 30.0);
    EXPECT_EQ(t.job->gridCountX, 201);
    EXPECT_EQ(t.job->packingPoints.size(), 201u * 134u);
  }
  RenewPackingPointDistance(*t.job, 1000.0);
  EXPECT_EQ(t.job->gridCountX, 7);
}

TEST(RebuildPackingPoints, APlateWithANegativeSideHasNoPoints) {
  TestJob t(6000, 4000, 30);
  t.job->params.plateWidth = -100.0;
  RebuildPackingPoints(*t.job);
  EXPECT_EQ(t.job->gridCountY, 0);
  EXPECT_TRUE(t.job->packingPoints.empty());
  Part part = rectanglePart(7000, 0, 10, 10);
  EXPECT_FALSE(PlaceOne(*t.job, part));
}

TEST(DefaultPackingPointDistance, TakesATenthOfTheSmallestPartsShorterSide) {
  struct Row {
    const char* label;
    double w, h, expected;
  };
  const Row rows[] = {
      {"200 x 500", 200, 500, 30}, {"1000 x 400", 1000, 400, 40}, {"300 x 300", 300, 300, 30}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t;
    t.add({rectanglePart(0, 0, 3000, 3000), rectanglePart(0, 0, row.w, row.h)});
    EXPECT_DOUBLE_EQ(DefaultPackingPointDistance(*t.job), row.expected);
  }
  // Equal smallest net areas: the first in list order decides.
  TestJob first;
  first.add({rectanglePart(0, 0, 1000, 400), rectanglePart(0, 0, 500, 800)});
  EXPECT_DOUBLE_EQ(DefaultPackingPointDistance(*first.job), 40.0);
  TestJob second;
  second.add({rectanglePart(0, 0, 500, 800), rectanglePart(0, 0, 1000, 400)});
  EXPECT_DOUBLE_EQ(DefaultPackingPointDistance(*second.job), 50.0);
  TestJob empty(6000, 4000, 12.5);
  EXPECT_DOUBLE_EQ(DefaultPackingPointDistance(*empty.job), 12.5);
}

TEST(RotationAngles, AreEquallySpacedFromZero) {
  const double pi = std::acos(-1.0);
  struct Row {
    int rn;
    std::vector<double> degrees;
  };
  const Row rows[] = {{4, {0, 90, 180, 270}}, {3, {0, 120, 240}}, {1, {0}}, {0, {}}, {-2, {}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rn);
    const std::vector<double> angles = RotationAngles(row.rn);
    ASSERT_EQ(angles.size(), row.degrees.size());
    for (std::size_t k = 0; k < angles.size(); ++k) {
      EXPECT_NEAR(angles[k], row.degrees[k] * pi / 180.0, 1e-12);
    }
  }
}

TEST(PlacementStride, SkipsPointsOnlyForLargeParts) {
  struct Row {
    const char* label;
    double w, h, distance;
    int stride;
  };
  const Row rows[] = {
      {"1000 x 2000 at 30: a tenth of 1000 is beyond 60", 1000, 2000, 30, 3},
      {"1000 x 2000 at 50: 100 is not beyond 100", 1000, 2000, 50, 1},
      {"2000 x 1000 at 30", 2000, 1000, 30, 3},
      {"small part", 100, 100, 30, 1},
      {"distance not positive", 1000, 1000, 0, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(PlacementStride(BBox{0, row.w, 0, row.h}, row.distance), row.stride);
  }
}

}  // namespace
}  // namespace tarn
