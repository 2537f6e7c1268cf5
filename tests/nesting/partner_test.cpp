#include "nesting/partner.h"

#include <gtest/gtest.h>

#include <cmath>

#include "nesting/nesting_fixtures.h"
#include "nesting/packing_points.h"
#include "nesting/placement.h"

namespace tarn {
namespace {

using test::makePart;
using test::Outline;
using test::rectangle;
using test::rectanglePart;
using test::TestJob;

Part withFill(Part part, double fill) {
  part.fillRatio = fill;
  return part;
}

// A 100 x 100 square without its top right notch x notch corner.
Part lShape(double notch, double x = 0, double y = 0) {
  const double inner = 100 - notch;
  return makePart({{x, y},
                   {x + 100, y},
                   {x + 100, y + inner},
                   {x + inner, y + inner},
                   {x + inner, y + 100},
                   {x, y + 100}});
}

TEST(SimilarParts, ComparesSidesAgainstTheLaidOutPart) {
  const struct {
    const char* label;
    Part q, p;
    bool similar;
  } rows[] = {
      {"long sides 0.5 % apart", rectanglePart(0, 0, 1000, 500), rectanglePart(0, 0, 1005, 300),
       true},
      {"sides 2 % and 4 % apart", rectanglePart(0, 0, 1000, 500), rectanglePart(0, 0, 1020, 520),
       false},
      {"short sides close, long ones not", rectanglePart(0, 0, 1000, 500),
       rectanglePart(0, 0, 2000, 504), true},
      {"9.95 of Q's 1000", rectanglePart(0, 0, 1000, 500), rectanglePart(0, 0, 990.05, 300), true},
      {"9.95 of Q's 990.05", rectanglePart(0, 0, 990.05, 300), rectanglePart(0, 0, 1000, 500),
       false},
      {"fill ratios 0.09 apart", withFill(rectanglePart(0, 0, 1000, 500), 0.5),
       withFill(rectanglePart(0, 0, 1000, 500), 0.59), true},
      {"fill ratios 0.11 apart", withFill(rectanglePart(0, 0, 1000, 500), 0.5),
       withFill(rectanglePart(0, 0, 1000, 500), 0.61), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(SimilarParts(row.q, row.p), row.similar);
  }
}

TEST(PartnerMeasures, SeeOnlyLaidOutParts) {
  TestJob t(1000, 1000, 30);
  EXPECT_TRUE(PlateEmpty(*t.job));
  EXPECT_EQ(PackedLength(*t.job), 0.0);
  t.add({rectanglePart(1000, 0, 500, 300), rectanglePart(200, 50, 150, 100),
         rectanglePart(0, 0, 100, 100)});
  EXPECT_FALSE(PlateEmpty(*t.job));
  EXPECT_EQ(PackedLength(*t.job), 350.0);
  EXPECT_TRUE(SimilarLaidOutExists(*t.job, rectanglePart(3000, 0, 100, 100)));
  EXPECT_FALSE(SimilarWaitingExists(*t.job, rectanglePart(3000, 0, 100, 100)));
  EXPECT_EQ(UnionBoxArea(rectanglePart(0, 0, 100, 100), rectanglePart(50, 50, 100, 200)),
            150.0 * 250.0);
}

TEST(BestPairingBeside, InterlocksLShapes) {
  // Legs 49.5 wide, notches 50.5: a half-turned copy slides into the notch and
  // the common box is 100 x 149.5: score 10,000 + 10,000 - 14,950 = 5,050.
  TestJob t(1000, 1000, 30);
  t.add({lShape(50.5), lShape(50.5, 3000, -200)});
  RebuildPackingPoints(*t.job);
  const Part& laidOut = t.part(0);
  Part& part = t.part(1);
  const std::optional<Pairing> pairing = BestPairingBeside(*t.job, 0.25, laidOut, part);
  ASSERT_TRUE(pairing.has_value());
  EXPECT_GT(pairing->score, 5049.0);  // the slide stops less than 0.01 short
  EXPECT_LE(pairing->score, 5050.0);
  ASSERT_TRUE(PlaceBySimilarPair(*t.job, part, 0.25));
  EXPECT_TRUE(t.laidOut(part));
  EXPECT_TRUE(partsDisjoint(part, laidOut));
  EXPECT_LT(UnionBoxArea(laidOut, part), 14951.0);
}

TEST(BestPairingBeside, FailsWithoutAGainOrForRectangles) {
  const struct {
    const char* label;
    Part q, p;
    double threshold;
  } rows[] = {
      // Legs 50.5 wide do not enter notches of 49.5: the best is side by side.
      {"L-shapes that cannot interlock", lShape(49.5), lShape(49.5, 3000, -200), 0.25},
      {"rectangles", rectanglePart(0, 0, 100, 100), rectanglePart(3000, -200, 100, 100), 0.25},
      {"not similar", lShape(50.5), lShape(30, 3000, -200), -1e9},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.add({row.q, row.p});
    RebuildPackingPoints(*t.job);
    EXPECT_FALSE(BestPairingBeside(*t.job, row.threshold, t.part(0), t.part(1)).has_value());
    EXPECT_FALSE(PlaceBySimilarPair(*t.job, t.part(1), row.threshold));
    EXPECT_EQ(t.part(1).bbox.xmin, 3000.0);
  }
}

TEST(PlaceNextToLaidOut, OnAnEmptyPlatePlacesAsPlaceOne) {
  TestJob beside;
  TestJob one;
  for (TestJob* t : {&beside, &one}) {
    t->add({lShape(30, 7000, -100)});
    RebuildPackingPoints(*t->job);
  }
  ASSERT_TRUE(PlaceNextToLaidOut(*beside.job, beside.part(0)));
  ASSERT_TRUE(PlaceOne(*one.job, one.part(0)));
  EXPECT_EQ(beside.part(0).refPoint.x, one.part(0).refPoint.x);
  EXPECT_EQ(beside.part(0).refPoint.y, one.part(0).refPoint.y);
  EXPECT_EQ(beside.part(0).rotation, one.part(0).rotation);
}

TEST(PlaceNextToLaidOut, RanksPartnersByCentroidWithinATenth) {
  const struct {
    const char* label;
    Part first, second;
    double ymin;
  } rows[] = {
      {"later partner 0.05 right but lower: wins", rectanglePart(0.05, 300, 100, 100),
       rectanglePart(0, 0, 100, 100), 100},
      {"later partner 0.2 left though higher: wins", rectanglePart(0.2, 0, 100, 100),
       rectanglePart(0, 300, 100, 100), 200},
      {"later partner within 0.1 and higher: the first stays", rectanglePart(0, 0, 100, 100),
       rectanglePart(0.05, 300, 100, 100), 100},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.add({row.first, row.second, rectanglePart(5000, -100, 100, 100)});
    RebuildPackingPoints(*t.job);
    Part& part = t.part(2);
    ASSERT_TRUE(PlaceNextToLaidOut(*t.job, part));
    EXPECT_NEAR(part.bbox.ymin, row.ymin, 1e-6);
    EXPECT_LT(part.bbox.xmin, 0.2 + 1e-6);
  }
}

TEST(BestSpotBeside, ThePlainTurnsCompareExactly) {
  // Above the laid-out part the quarter turn's centroid lies 0.05 further left
  // and 0.05 higher than the unturned one's: left wins without a tie band.
  TestJob t(1000, 1000, 30);
  t.job->params.allowTurnover = false;
  t.add({rectanglePart(0, 0, 200, 100), rectanglePart(5000, -100, 100, 99.9)});
  RebuildPackingPoints(*t.job);
  const std::optional<BesideSpot> spot = BestSpotBeside(*t.job, t.part(0), t.part(1));
  ASSERT_TRUE(spot.has_value());
  EXPECT_NEAR(spot->centroid.x, 49.95, 1e-9);
  EXPECT_NEAR(spot->centroid.y, 150, 1e-9);
  EXPECT_NEAR(std::abs(std::sin(spot->pose.rotation)), 1.0, 1e-12);
}

TEST(PlaceNextToLaidOut, TurnsOverOnlyWhenAllowed) {
  // Above the square, the right triangle stands on its 30 side; only its mirror
  // image keeps the same centroid x with the centroid lower.
  for (const bool allow : {true, false}) {
    SCOPED_TRACE(allow);
    TestJob t(1000, 1000, 30);
    t.job->params.allowTurnover = allow;
    t.add({rectanglePart(0, 0, 100, 100), makePart({{5000, 0}, {5100, 0}, {5000, 30}})});
    RebuildPackingPoints(*t.job);
    Part& part = t.part(1);
    ASSERT_TRUE(PlaceNextToLaidOut(*t.job, part));
    EXPECT_EQ(part.turnedOver, allow);
    EXPECT_NEAR(part.centroid.x, 10, 1e-6);
    EXPECT_NEAR(part.centroid.y, allow ? 100 + 100.0 / 3 : 100 + 200.0 / 3, 1e-6);
  }
}

}  // namespace
}  // namespace tarn
