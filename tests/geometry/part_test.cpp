#include "geometry/part.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/core_error.h"
#include "tests/geometry/shapes.h"

namespace tarn {
namespace {

using test::pt;
using test::square;

const double kPi = std::acos(-1.0);

Part squareWithHole() {
  return test::partOf(square(0, 0, 10, 10), {square(4, 4, 6, 6)});
}

// The first vertex of every hole, in list order.
std::vector<double> holeXs(const Part& part) {
  std::vector<double> xs;
  for (const Region& h : part.holes) {
    xs.push_back(h.points.front().x);
  }
  return xs;
}

TEST(PartGeometry, SetGeometryComputesTheMeasuresAndReversesTheHoles) {
  Part part;
  part.id = 7;
  part.selected = true;
  RegionList holes;
  holes.insert(square(6, 4, 8, 6));
  holes.insert(square(1, 1, 2, 2));  // walks first
  setGeometry(part, square(0, 0, 10, 10), holes);
  EXPECT_EQ(part.area, 95);
  // 100 at (5,5) less 4 at (7,5) and 1 at (1.5,1.5).
  test::expectPoint(part.centroid, (500 - 28 - 1.5) / 95, (500 - 20 - 1.5) / 95, 1e-12);
  test::expectBox(part.bbox, 0, 10, 0, 10, 0);
  EXPECT_EQ(part.fillRatio, 1);
  EXPECT_EQ(part.aspectRatio, 1);
  test::expectPoint(part.refPoint, 0, 0, 0);
  EXPECT_EQ(part.rotation, 0);
  EXPECT_EQ(part.id, 7);  // left as it was
  EXPECT_TRUE(part.selected);
  EXPECT_EQ(holeXs(part), (std::vector<double>{6, 1}));
  EXPECT_EQ(holeXs(Part(part)), (std::vector<double>{1, 6}));
}

TEST(PartGeometry, RatiosOfRectanglesAndOfBoxesWithoutArea) {
  Part rect = test::partOf(square(0, 0, 20, 10));
  EXPECT_EQ(rect.fillRatio, 1);
  EXPECT_EQ(rect.aspectRatio, 2);
  rotate(rect, pt(0, 0), kPi / 4);
  EXPECT_NEAR(rect.fillRatio, 200.0 / 450.0, 1e-12);
  EXPECT_EQ(rect.aspectRatio, 2);  // not recomputed by rotate
  EXPECT_EQ(test::partOf(square(0, 0, 2, 10)).aspectRatio, 5);
  EXPECT_EQ(test::partOf(test::regionOf({{0, 0}, {4, 0}, {0, 2}})).fillRatio, 0.5);

  // A flat part and a part that is a point keep finite, neutral values.
  for (const Region& flat :
       {test::regionOf({{0, 0}, {10, 0}, {4, 0}}), test::regionOf({{3, 0}, {3, 5}, {3, 2}}),
        test::regionOf({{1, 1}, {1, 1}, {1, 1}})}) {
    Part part = test::partOf(flat);
    EXPECT_EQ(part.fillRatio, 1);
    EXPECT_EQ(part.aspectRatio, 1);
    turnOver(part, pt(0, 3));
    EXPECT_NEAR(part.outer.points[0].y, 6 - flat.points[0].y, 1e-12);
    EXPECT_TRUE(std::isfinite(part.centroid.x) && std::isfinite(part.centroid.y));
  }
}

TEST(PartGeometry, CopiesKeepTheirOwnChordToleranceAndRefuseAnEmptyOutline) {
  Part source = squareWithHole();
  source.chordTol = 0.25;
  source.turnedOver = true;
  source.thickLabel.text = "thick=3";
  const Part copy(source);
  EXPECT_EQ(copy.chordTol, kDefaultChordTol);
  EXPECT_TRUE(copy.turnedOver);
  EXPECT_EQ(copy.thickLabel.text, "thick=3");
  Part assigned = test::partOf(square(0, 0, 1, 1));
  assigned.chordTol = 2;
  assigned = source;
  EXPECT_EQ(assigned.chordTol, 2);
  EXPECT_EQ(assigned.area, 96);

  const Part empty;
  EXPECT_THROW(Part{empty}, CoreError);
  EXPECT_THROW(assigned = empty, CoreError);
  EXPECT_EQ(assigned.area, 96);
  EXPECT_THROW(setGeometry(assigned, Region{}, RegionList{}), CoreError);
}

TEST(PartTransforms, TranslateMovesEveryPositionByTheSameAmount) {
  Part part = squareWithHole();
  part.thickLabel.x = 1;
  part.nameLabel.y = 4;
  part.rotation = 0.3;
  translate(part, 5, -3);
  test::expectPoint(part.refPoint, 5, -3, 0);
  test::expectPoint(part.centroid, 10, 2, 0);
  EXPECT_EQ(part.thickLabel.x, 6);
  EXPECT_EQ(part.nameLabel.y, 1);
  test::expectBox(part.bbox, 5, 15, -3, 7, 0);
  test::expectVertices(part.holes.front(), {{9, 1}, {11, 1}, {11, 3}, {9, 3}}, 0);
  EXPECT_EQ(part.area, 96);
  EXPECT_EQ(part.rotation, 0.3);
}

TEST(PartTransforms, RotateTurnsTheNameLabelButNotTheThicknessLabel) {
  Part part = squareWithHole();
  part.nameLabel.x = 10;
  part.nameLabel.angle = 15;
  part.thickLabel.x = 10;
  rotate(part, pt(0, 0), kPi / 2);
  test::expectVertices(part.outer, {{0, 0}, {0, 10}, {-10, 10}, {-10, 0}});
  test::expectVertices(part.holes.front(), {{-4, 4}, {-4, 6}, {-6, 6}, {-6, 4}});
  test::expectPoint(part.centroid, -5, 5);
  test::expectBox(part.bbox, -10, 0, 0, 10);
  test::expectPoint(pt(part.nameLabel.x, part.nameLabel.y), 0, 10, 1e-12);
  EXPECT_NEAR(part.nameLabel.angle, 105, 1e-12);
  EXPECT_EQ(part.thickLabel.x, 10);
  EXPECT_EQ(part.thickLabel.angle, 0);
  rotate(part, pt(3, 3), 0.25);
  EXPECT_NEAR(part.rotation, kPi / 2 + 0.25, 1e-15);
}

TEST(PartTransforms, TurnOverMirrorsAcrossTheHorizontalLineThroughThePoint) {
  Part part = squareWithHole();
  part.rotation = 0.7;
  part.nameLabel.y = 9;
  part.nameLabel.angle = 30;
  part.thickLabel.y = 9;
  turnOver(part, pt(3, 2));
  test::expectVertices(part.outer, {{0, 4}, {10, 4}, {10, -6}, {0, -6}});
  test::expectBox(part.bbox, 0, 10, -6, 4);
  test::expectPoint(part.centroid, 5, -1);
  test::expectPoint(part.refPoint, 0, 4);
  EXPECT_NEAR(part.nameLabel.y, -5, 1e-12);
  EXPECT_EQ(part.nameLabel.angle, 30);
  EXPECT_EQ(part.thickLabel.y, 9);
  EXPECT_EQ(part.rotation, -0.7);
  EXPECT_TRUE(part.turnedOver);
}

TEST(PartTransforms, EveryTransformUndoneReturnsThePart) {
  struct Row {
    double dx, dy, angle;
    Point centre, mirrorAt;
  };
  const Row rows[] = {
      {5, -3, 0.3, pt(1, 2), pt(-4, 7)},
      {-1234.5, 987.25, 2.9, pt(500, -500), pt(0, 0)},
      {0.001, 0, -1.1, pt(5, 5), pt(5, 5)},
  };
  const Part original =
      test::partOf(test::regionOf({{0, 0}, {30, 0}, {30, 5}, {12, 20}, {0, 8}}),
                   {square(2, 2, 5, 5), test::regionOf({{20, 2}, {26, 2}, {22, 6}})});
  const auto expectSame = [](const Region& a, const Region& b) {
    ASSERT_EQ(a.count(), b.count());
    for (int i = 0; i < a.count(); ++i) {
      test::expectPoint(a.points[i], b.points[i].x, b.points[i].y);
    }
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.angle);
    const Part once(original);
    Part part(once);  // copied twice: the holes are back in their order
    translate(part, row.dx, row.dy);
    rotate(part, row.centre, row.angle);
    turnOver(part, row.mirrorAt);
    turnOver(part, row.mirrorAt);
    rotate(part, row.centre, -row.angle);
    translate(part, -row.dx, -row.dy);
    expectSame(part.outer, original.outer);
    auto hole = part.holes.begin();
    for (const Region& want : original.holes) {
      expectSame(*hole, want);
      EXPECT_EQ(isCounterClockwise(*hole++), isCounterClockwise(want));
    }
    test::expectPoint(part.centroid, original.centroid.x, original.centroid.y);
    test::expectPoint(part.refPoint, original.refPoint.x, original.refPoint.y);
    test::expectBox(part.bbox, original.bbox.xmin, original.bbox.xmax, original.bbox.ymin,
                    original.bbox.ymax);
    EXPECT_NEAR(part.rotation, 0, 1e-15);
    EXPECT_FALSE(part.turnedOver);
    EXPECT_NEAR(part.fillRatio, original.fillRatio, 1e-9);
  }
}

TEST(PartTransforms, NearestVertexToCentroidPrefersTheEarlierHoleOnTies) {
  // The holes mirror each other about x = 10: both offer a vertex at the same
  // distance from the centroid (10, 10), and within a hole two vertices tie.
  Part part =
      test::partOf(square(0, 0, 20, 20), {test::regionOf({{2, 9}, {4, 9}, {4, 11}, {2, 11}}),
                                          test::regionOf({{16, 9}, {18, 9}, {18, 11}, {16, 11}})});
  test::expectPoint(nearestVertexToCentroid(part), 4, 9, 0);
  Part plain = test::partOf(square(0, 0, 20, 20));
  test::expectPoint(nearestVertexToCentroid(plain), 0, 0, 0);
}

TEST(AutoOrient, LeavesAnAlignedRectangleAndTurnsATiltedOneSquare) {
  Part aligned = test::partOf(square(0, 0, 20, 10));
  autoOrient(aligned);
  EXPECT_EQ(aligned.rotation, 0);
  test::expectVertices(aligned.outer, {{0, 0}, {20, 0}, {20, 10}, {0, 10}}, 0);

  // Tilted by 30 degrees, the first minimal orientation is 60 degrees further.
  Region tilted = square(0, 0, 20, 10);
  rotate(tilted, pt(0, 0), kPi / 6);
  Part part = test::partOf(tilted);
  autoOrient(part);
  EXPECT_NEAR(part.rotation, kPi / 3, 1e-12);
  EXPECT_NEAR(part.bbox.xmax - part.bbox.xmin, 10, 1e-9);
  EXPECT_NEAR(part.bbox.ymax - part.bbox.ymin, 20, 1e-9);

  // A square on its corner comes back after 45 degrees; an empty part stays.
  Region diamond = square(0, 0, 10, 10);
  rotate(diamond, pt(0, 0), kPi / 4);
  Part turned = test::partOf(diamond);
  autoOrient(turned);
  EXPECT_NEAR(turned.rotation, kPi / 4, 1e-12);
  Part empty;
  autoOrient(empty);
  EXPECT_EQ(empty.rotation, 0);
}

}  // namespace
}  // namespace tarn
