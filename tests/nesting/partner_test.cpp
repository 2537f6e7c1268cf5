#include "nesting/partner.h"

#include <gtest/gtest.h>

#include <vector>

#include "nesting/nesting_fixtures.h"
#include "nesting/packing_points.h"

namespace tarn::test {
namespace {

Part withFill(Part part, double fill) {
  part.fillRatio = fill;
  return part;
}

// A 100 x 100 square at (x, y) without its top right notch x notch corner.
Part lShape(double notch, double x = 0, double y = 0) {
  const double in = 100 - notch;
  return makePart(
      {{x, y}, {x + 100, y}, {x + 100, y + in}, {x + in, y + in}, {x + in, y + 100}, {x, y + 100}});
}

TEST(SimilarParts, ComparesSidesAgainstTheLaidOutPart) {
  const Part q = rectanglePart(0, 0, 1000, 500);
  const struct {
    Part q, p;
    bool similar;
  } rows[] = {
      {q, rectanglePart(0, 0, 1005, 300), true},     // long sides 0.5 % apart
      {q, rectanglePart(0, 0, 1020, 520), false},    // 2 % and 4 %
      {q, rectanglePart(0, 0, 990.05, 300), true},   // 9.95 of Q's 1000
      {rectanglePart(0, 0, 990.05, 300), q, false},  // 9.95 of Q's 990.05
      {withFill(q, 0.5), withFill(q, 0.59), true},  {withFill(q, 0.5), withFill(q, 0.61), false},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(SimilarParts(rows[i].q, rows[i].p), rows[i].similar);
  }
}

TEST(BestPairingBeside, PairsOnlyPartsThatInterlock) {
  // Legs 49.5 wide enter notches of 50.5 when half turned: the common box is
  // 100 x 149.5, score 10,000 + 10,000 - 14,950 = 5,050, less the slide's last
  // hundredth. Legs of 50.5 stay side by side (score 0); a fill ratio within
  // 0.001 of 1 leaves no room to share.
  const struct {
    const char* label;
    Part q, p;
    bool pairs;
  } rows[] = {
      {"interlocking", lShape(50.5), lShape(50.5, 3000, -200), true},
      {"side by side", lShape(49.5), lShape(49.5, 3000, -200), false},
      {"full", withFill(lShape(50.5), 0.9995), withFill(lShape(50.5, 3000, -200), 0.9995), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.add({row.q, row.p});
    RebuildPackingPoints(t.job);
    const Part& laidOut = t.part(0);
    Part& part = t.part(1);
    const std::optional<Pairing> pairing = BestPairingBeside(t.job, 0.25, laidOut, part);
    ASSERT_EQ(pairing.has_value(), row.pairs);
    ASSERT_EQ(PlaceBySimilarPair(t.job, part, 0.25), row.pairs);
    if (row.pairs) {
      EXPECT_GT(pairing->score, 5049.0);
      EXPECT_LE(pairing->score, 5050.0);
      EXPECT_TRUE(t.laidOut(part));
      EXPECT_TRUE(partsDisjoint(part, laidOut));
      EXPECT_LT(UnionBoxArea(laidOut, part), 14951.0);
    } else {
      EXPECT_EQ(part.bbox.xmin, 3000.0);
    }
  }
}

TEST(PlaceNextToLaidOut, TakesTheLeftmostThenLowestSpot) {
  // Beside 100 x 100 squares at the given corners; the square turned a quarter
  // lies 0.05 left and higher. Above a square only the triangle's mirror image
  // keeps its centroid x and lowers it.
  const Part square = rectanglePart(5000, -100, 100, 99.9);
  const Part triangle = makePart({{5000, 0}, {5100, 0}, {5000, 30}});
  const struct {
    const char* label;
    std::vector<Point> corners;
    Part part;
    bool allowTurnover, turnedOver;
    double x, y;
  } rows[] = {
      {"later 0.05 right, lower: wins", {{0, 300}, {0.05, 0}}, square, false, false, 50, 150},
      {"later 0.2 left, higher: wins", {{0.2, 0}, {0, 300}}, square, false, false, 49.95, 250},
      {"later within 0.1, higher: loses", {{0, 0}, {0.05, 300}}, square, false, false, 49.95, 150},
      {"turned over", {{0, 0}}, triangle, true, true, 10, 100 + 100.0 / 3},
      {"not turned over", {{0, 0}}, triangle, false, false, 10, 100 + 200.0 / 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.job.params.allowTurnover = row.allowTurnover;
    t.add({row.part});
    for (auto it = row.corners.rbegin(); it != row.corners.rend(); ++it) {
      t.job.workingParts.insert(rectanglePart(it->x, it->y, 100, 100));
    }
    RebuildPackingPoints(t.job);
    Part& part = t.part(static_cast<int>(row.corners.size()));
    ASSERT_TRUE(PlaceNextToLaidOut(t.job, part));
    EXPECT_EQ(part.turnedOver, row.turnedOver);
    EXPECT_NEAR(part.centroid.x, row.x, 1e-6);
    EXPECT_NEAR(part.centroid.y, row.y, 1e-6);
  }
}

}  // namespace
}  // namespace tarn::test
