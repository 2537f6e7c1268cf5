#include "nesting/placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "nesting/nesting_fixtures.h"
#include "nesting/packing_points.h"

namespace tarn {
namespace {

using test::makePart;
using test::Outline;
using test::rectangle;
using test::rectanglePart;
using test::TestJob;

const double kPi = std::acos(-1.0);

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

// Legs 50 wide below a bar: area 50,000 in a 300 x 250 box; the anchor (50, 125)
// lies on the box's middle line and 31.25 below the centroid.
Outline archShape(double notchLeft = 50, double notchRight = 250, double width = 300) {
  return {{0, 0},          {notchLeft, 0}, {notchLeft, 125}, {notchRight, 125},
          {notchRight, 0}, {width, 0},     {width, 250},     {0, 250}};
}

// Symmetric about the horizontal line through its anchor (the notch apex).
Outline leftNotchedSquare() {
  return {{-100, -100}, {100, -100}, {100, 100}, {-100, 100}, {-100, 20}, {0, 0}, {-100, -20}};
}

Part parked(const Outline& outline, double x = 10000) {
  Part part = makePart(outline);
  translate(part, x - part.bbox.xmin, -part.bbox.ymax);
  return part;
}

int occupiedCount(const PackingJob& job) {
  int count = 0;
  for (const PackingPoint& point : job.packingPoints) {
    count += point.occupied ? 1 : 0;
  }
  return count;
}

using Routine = std::function<bool(PackingJob&, Part&)>;

TEST(Placement, OnAnEmptyPlateEndsInTheLowerLeftCorner) {
  const struct {
    const char* label;
    Routine place;
  } routines[] = {{"grid", PlaceByGrid},
                  {"grid with turnover", PlaceByGridTurnover},
                  {"bounding rectangle", PlaceByBoundingRectangle}};
  const struct {
    const char* label;
    Part part;
  } shapes[] = {
      {"rectangle", parked(rectangle(0, 0, 300, 120))},
      {"arch", parked(archShape())},
      {"notched square", parked(notchedSquare(0, true))},
      {"frame",
       [] {
         Part frame = makePart(rectangle(0, 0, 400, 300), {rectangle(100, 100, 150, 100)});
         translate(frame, 7000, -500);
         return frame;
       }()},
  };
  for (const auto& routine : routines) {
    for (const auto& shape : shapes) {
      SCOPED_TRACE(std::string(routine.label) + ", " + shape.label);
      TestJob t;
      t.add({shape.part});
      RebuildPackingPoints(*t.job);
      Part& part = t.part(0);
      ASSERT_TRUE(routine.place(*t.job, part));
      EXPECT_TRUE(t.laidOut(part));
      EXPECT_GT(part.bbox.xmin, -1e-10);
      EXPECT_LT(part.bbox.xmin, 0.01);
      EXPECT_GT(part.bbox.ymin, -1e-10);
      EXPECT_LT(part.bbox.ymin, 0.01);
      EXPECT_GT(occupiedCount(*t.job), 0);
    }
  }
}

TEST(PlaceByGrid, RanksCentroidsWithinATenthByHeight) {
  // RN = 2: the half turn about the apex moves the centroid to the other side
  // of it; both candidates first fit at the packing point (120, 120).
  const struct {
    const char* label;
    double shift;
    bool fromTop;
    double rotation;
  } rows[] = {
      {"0.08 further left but higher: the first stays", 0.038, true, 0.0},
      {"0.12 further left, though higher: wins", 0.057, true, kPi},
      {"level and lower: wins", 0.0, false, kPi},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.job->params.rotationNumber = 2;
    t.add({parked(notchedSquare(row.shift, row.fromTop), 2000)});
    RebuildPackingPoints(*t.job);
    Part& part = t.part(0);
    ASSERT_TRUE(PlaceByGrid(*t.job, part));
    EXPECT_NEAR(part.rotation, row.rotation, 1e-12);
  }
}

TEST(PlaceByGridTurnover, TriesThePlainCandidateBeforeItsTwin) {
  const struct {
    const char* label;
    Outline outline;
    bool turnedOver;
  } rows[] = {
      {"twin with the same centroid: the plain one stays", leftNotchedSquare(), false},
      {"twin with a lower centroid: the twin wins", archShape(), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.job->params.rotationNumber = 1;
    t.add({parked(row.outline, 2000)});
    RebuildPackingPoints(*t.job);
    Part& part = t.part(0);
    ASSERT_TRUE(PlaceOne(*t.job, part));
    EXPECT_EQ(part.turnedOver, row.turnedOver);
    EXPECT_NEAR(part.rotation, 0.0, 1e-12);
  }
  TestJob rotationsOnly(1000, 1000, 30);
  rotationsOnly.job->params.rotationNumber = 1;
  rotationsOnly.add({parked(archShape(), 2000)});
  RebuildPackingPoints(*rotationsOnly.job);
  ASSERT_TRUE(PlaceByGrid(*rotationsOnly.job, rotationsOnly.part(0)));
  EXPECT_FALSE(rotationsOnly.part(0).turnedOver);
}

TEST(Placement, FailureLeavesThePartAndTheGridAlone) {
  const struct {
    const char* label;
    int rn;
    Part part;
    bool byRectangle;
  } rows[] = {
      {"RN 0", 0, parked(rectangle(0, 0, 100, 50)), true},
      {"RN -1", -1, parked(rectangle(0, 0, 100, 50)), true},
      {"too large in every turn", 4, parked(rectangle(0, 0, 7000, 100)), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t;
    t.job->params.rotationNumber = row.rn;
    t.add({row.part});
    RebuildPackingPoints(*t.job);
    Part& part = t.part(0);
    const BBox before = part.bbox;
    EXPECT_FALSE(PlaceByGrid(*t.job, part));
    EXPECT_FALSE(PlaceOne(*t.job, part));
    EXPECT_EQ(part.bbox.xmin, before.xmin);
    EXPECT_EQ(part.bbox.ymax, before.ymax);
    EXPECT_EQ(part.rotation, 0.0);
    EXPECT_FALSE(part.turnedOver);
    EXPECT_EQ(occupiedCount(*t.job), 0);
    // The bounding rectangle ignores RN.
    EXPECT_EQ(PlaceByBoundingRectangle(*t.job, part), row.byRectangle);
  }
}

TEST(Placement, UsesTheHoleOfALaidOutFrame) {
  // The frame fills the plate's height, so the hole is the leftmost room.
  TestJob square(1000, 400, 10);
  square.add({makePart(rectangle(0, 0, 400, 400), {rectangle(100, 100, 200, 200)}),
              parked(rectangle(0, 0, 150, 150), 2000)});
  RebuildPackingPoints(*square.job);
  Part& small = square.part(1);
  ASSERT_TRUE(PlaceByGrid(*square.job, small));
  EXPECT_NEAR(small.bbox.xmin, 100, 0.01);
  EXPECT_NEAR(small.bbox.ymin, 100, 0.01);

  // The triangle fits in the triangular hole, its bounding rectangle does not.
  const auto frameWithTriangle = [](TestJob& t) {
    t.add({makePart(rectangle(0, 0, 400, 400), {{{110, 110}, {290, 110}, {110, 290}}}),
           parked({{0, 0}, {150, 0}, {0, 150}}, 2000)});
    RebuildPackingPoints(*t.job);
  };
  TestJob byGrid(1000, 400, 10);
  frameWithTriangle(byGrid);
  ASSERT_TRUE(PlaceByGrid(*byGrid.job, byGrid.part(1)));
  EXPECT_NEAR(byGrid.part(1).bbox.xmin, 110, 0.01);
  TestJob byRectangle(1000, 400, 10);
  frameWithTriangle(byRectangle);
  ASSERT_TRUE(PlaceByBoundingRectangle(*byRectangle.job, byRectangle.part(1)));
  EXPECT_NEAR(byRectangle.part(1).bbox.xmin, 400, 0.01);
  EXPECT_GT(byRectangle.part(1).bbox.xmin, 400 - 1e-5);
}

}  // namespace
}  // namespace tarn
