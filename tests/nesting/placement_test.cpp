#include "nesting/placement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "nesting/nesting_fixtures.h"
#include "nesting/packing_points.h"

namespace tarn::test {
namespace {

// A 200 x 200 square (its sides shifted right by `shift`) with a V notch whose
// apex at the origin is the vertex nearest to the centroid; the centroid lies
// 3.5 below the apex (notch from the top) or above it, and 1.0526 * shift right.
Outline notchedSquare(double shift, bool fromTop) {
  const double l = -100 + shift;
  const double r = 100 + shift;
  if (fromTop) {
    return {{l, -100}, {r, -100}, {r, 100}, {20, 100}, {0, 0}, {-20, 100}, {l, 100}};
  }
  return {{l, -100}, {-20, -100}, {0, 0}, {20, -100}, {r, -100}, {r, 100}, {l, 100}};
}

TEST(PlaceByGrid, RanksCentroidsWithinATenthByHeightThenTriesThePlainCandidateFirst) {
  // RN 2: the half turn about the apex moves the centroid to the other side of
  // it; both candidates first fit at the packing point (120, 120). The square
  // notched from the left is symmetric about the line through its anchor, the
  // arch's turned-over twin has the lower centroid.
  const double pi = std::acos(-1.0);
  const Outline symmetric = {{-100, -100}, {100, -100}, {100, 100}, {-100, 100},
                             {-100, 20},   {0, 0},      {-100, -20}};
  const struct {
    const char* label;
    Outline outline;
    bool turnover;
    double rotation;
    bool turnedOver;
  } rows[] = {
      {"0.08 further left but higher: stays", notchedSquare(0.038, true), false, 0.0, false},
      {"0.12 further left, though higher: wins", notchedSquare(0.057, true), false, pi, false},
      {"level and lower: wins", notchedSquare(0.0, false), false, pi, false},
      {"twin level: the plain one stays", symmetric, true, 0.0, false},
      {"twin lower: wins", archShape(), true, 0.0, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.job.params.rotationNumber = row.turnover ? 1 : 2;
    t.add({parked(row.outline, 2000)});
    RebuildPackingPoints(t.job);
    ASSERT_TRUE(
        (row.turnover ? PlaceByGridTurnover : PlaceByGrid)(t.job, t.part(0), defaultRunContext()));
    EXPECT_NEAR(t.part(0).rotation, row.rotation, 1e-12);
    EXPECT_EQ(t.part(0).turnedOver, row.turnedOver);
  }
}

TEST(PlacementStride, SkipsPointsOnlyForLargeParts) {
  // A tenth of the shorter side, 100, is beyond 2 x 30 but not beyond 2 x 50.
  EXPECT_EQ(PlacementStride(BBox{0, 2000, 0, 1000}, 30), 3);
  EXPECT_EQ(PlacementStride(BBox{0, 1000, 0, 2000}, 50), 1);
  EXPECT_EQ(PlacementStride(BBox{0, 1000, 0, 1000}, 0), 1);  // a distance that is not positive
}

}  // namespace
}  // namespace tarn::test
