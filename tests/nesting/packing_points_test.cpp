#include "nesting/packing_points.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "job/job_operations.h"
#include "nesting/layout.h"
#include "nesting/nesting_fixtures.h"
#include "nesting/placement.h"
#include "support/test_support.h"

namespace tarn::test {
namespace {

TEST(RebuildPackingPoints, BadSizesNeitherCrashNorLoseTheGrid) {
  TestJob t(6000, 4000, 30);
  RebuildPackingPoints(t.job);
  // 0.5 mm on 6000 x 4000 asks for 96 million points.
  EXPECT_EQ(errorOf([&] { RenewPackingPointDistance(t.job, 0.5); }),
            std::string(text::kBadPackingPointDistance) + ": 0.5 mm on a 6000 x 4000 mm plate");
  for (const double bad : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(), 0.001}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(RenewPackingPointDistance(t.job, bad), CoreError);
    EXPECT_EQ(t.job.params.packingPointDistance, 30.0);
    EXPECT_EQ(t.job.packingPoints.size(), 201u * 134u);
  }
  // A plate side below zero gives an empty grid, on which nothing is placed.
  t.job.params.plateWidth = -100.0;
  RebuildPackingPoints(t.job);
  EXPECT_TRUE(t.job.packingPoints.empty());
  // Beside the empty side a fine distance still asks for too many columns.
  EXPECT_THROW(RenewPackingPointDistance(t.job, 1e-9), CoreError);
  EXPECT_EQ(t.job.gridCountX, 201);
  Part part = rectanglePart(7000, 0, 10, 10);
  EXPECT_FALSE(PlaceOne(t.job, part));
}

TEST(LayoutDrivers, AJobWithoutPartsNeedsNoGrid) {
  // The default distance of an empty load would be refused on this plate.
  TestJob t(6000, 4000, 0.5);
  EXPECT_NO_THROW(PlaceWaiting(t.job, defaultRunContext()));
  SelectAll(t.job);
  EXPECT_NO_THROW(PlaceSelectedInSteps(t.job, defaultRunContext()));
  EXPECT_TRUE(t.job.gridPending);
  // With a part the grid is wanted, and refused.
  t.add({parked(rectangle(0, 0, 100, 100))});
  EXPECT_THROW(PlaceWaiting(t.job, defaultRunContext()), CoreError);
}

}  // namespace
}  // namespace tarn::test
