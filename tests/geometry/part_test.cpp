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

TEST(PartGeometry, SetGeometryComputesTheMeasures) {
  Part part;
  part.id = 7;
  part.selected = true;
  part.nameLabel.text = "A-1";
  RegionList holes;
  holes.insert(square(4, 4, 6, 6));
  setGeometry(part, square(0, 0, 10, 10), holes);
  EXPECT_EQ(part.area, 96);
  test::expectPoint(part.centroid, 5, 5, 1e-12);
  test::expectBox(part.bbox, 0, 10, 0, 10, 0);
  EXPECT_EQ(part.fillRatio, 1);
  EXPECT_EQ(part.aspectRatio, 1);
  test::expectPoint(part.refPoint, 0, 0, 0);
  EXPECT_EQ(part.rotation, 0);
  // Left as they were.
  EXPECT_EQ(part.id, 7);
  EXPECT_TRUE(part.selected);
  EXPECT_EQ(part.nameLabel.text, "A-1");
  EXPECT_FALSE(part.turnedOver);
}

TEST(PartGeometry, SetGeometryAndCopiesReverseTheHoles) {
  RegionList holes;
  holes.insert(square(1, 1, 2, 2));
  holes.insert(square(3, 3, 4, 4));  // walks first
  Part part;
  setGeometry(part, square(0, 0, 10, 10), holes);
  EXPECT_EQ(holeXs(part), (std::vector<double>{1, 3}));
  const Part copy(part);
  EXPECT_EQ(holeXs(copy), (std::vector<double>{3, 1}));
  Part assigned = test::partOf(square(0, 0, 1, 1));
  assigned = copy;
  EXPECT_EQ(holeXs(assigned), (std::vector<double>{1, 3}));
  EXPECT_EQ(assigned.area, 98);
}

TEST(PartGeometry, RatiosOfARectangleAndOfABoxWithoutArea) {
  Part rect = test::partOf(square(0, 0, 20, 10));
  EXPECT_EQ(rect.fillRatio, 1);
  EXPECT_EQ(rect.aspectRatio, 2);
  rotate(rect, pt(0, 0), kPi / 4);
  EXPECT_NEAR(rect.fillRatio, 200.0 / 450.0, 1e-12);
  EXPECT_EQ(rect.aspectRatio, 2);  // not recomputed by rotate
  EXPECT_NEAR(computeAspectRatio(rect), 1, 1e-12);

  Part tall = test::partOf(square(0, 0, 2, 10));
  EXPECT_EQ(tall.aspectRatio, 5);
  Part triangle = test::partOf(test::regionOf({{0, 0}, {4, 0}, {0, 2}}));
  EXPECT_EQ(triangle.fillRatio, 0.5);

  // A flat part and a part that is a point keep finite, neutral ratios.
  for (const Region& flat :
       {test::regionOf({{0, 0}, {10, 0}, {4, 0}}), test::regionOf({{3, 0}, {3, 5}, {3, 2}}),
        test::regionOf({{1, 1}, {1, 1}, {1, 1}})}) {
    Part part = test::partOf(flat);
    EXPECT_EQ(part.fillRatio, 1);
    EXPECT_EQ(part.aspectRatio, 1);
    EXPECT_TRUE(std::isfinite(part.centroid.x) && std::isfinite(part.centroid.y));
  }
}

TEST(PartGeometry, CentroidOfANetAreaOffCentre) {
  // 10 x 10 with a 2 x 2 hole at the right: the material shifts left.
  const Part part = test::partOf(square(0, 0, 10, 10), {square(6, 4, 8, 6)});
  EXPECT_EQ(part.area, 96);
  test::expectPoint(part.centroid, (500.0 - 4 * 7) / 96, 5, 1e-12);
  test::expectPoint(centroidOf(part), (500.0 - 4 * 7) / 96, 5, 1e-12);
}

TEST(PartGeometry, CopiesKeepTheirOwnChordToleranceAndRefuseAnEmptyOutline) {
  Part source = squareWithHole();
  source.chordTol = 0.25;
  source.id = 4;
  source.turnedOver = true;
  source.rotation = 0.5;
  source.thickLabel.text = "thick=3";
  const Part copy(source);
  EXPECT_EQ(copy.chordTol, kDefaultChordTol);
  EXPECT_EQ(copy.id, 4);
  EXPECT_TRUE(copy.turnedOver);
  EXPECT_EQ(copy.rotation, 0.5);
  EXPECT_EQ(copy.thickLabel.text, "thick=3");
  EXPECT_EQ(copy.area, 96);
  Part assigned = test::partOf(square(0, 0, 1, 1));
  assigned.chordTol = 2;
  assigned = source;
  EXPECT_EQ(assigned.chordTol, 2);  // assignment leaves the target's own value

  const Part empty;
  EXPECT_THROW(Part{empty}, CoreError);
  Part target = squareWithHole();
  EXPECT_THROW(target = empty, CoreError);
  EXPECT_EQ(target.area, 96);
  EXPECT_EQ(target.holes.count(), 1);
}

TEST(PartTransforms, TranslateMovesEveryPositionByTheSameAmount) {
  Part part = squareWithHole();
  part.thickLabel.x = 1;
  part.thickLabel.y = 2;
  part.nameLabel.x = 3;
  part.nameLabel.y = 4;
  part.rotation = 0.3;
  translate(part, 5, -3);
  test::expectPoint(part.refPoint, 5, -3, 0);
  test::expectPoint(part.centroid, 10, 2, 0);
  EXPECT_EQ(part.thickLabel.x, 6);
  EXPECT_EQ(part.thickLabel.y, -1);
  EXPECT_EQ(part.nameLabel.x, 8);
  EXPECT_EQ(part.nameLabel.y, 1);
  test::expectBox(part.bbox, 5, 15, -3, 7, 0);
  test::expectBox(part.outer.bbox, 5, 15, -3, 7, 0);
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
  EXPECT_NEAR(part.nameLabel.x, 0, 1e-12);
  EXPECT_NEAR(part.nameLabel.y, 10, 1e-12);
  EXPECT_NEAR(part.nameLabel.angle, 105, 1e-12);
  EXPECT_EQ(part.thickLabel.x, 10);
  EXPECT_EQ(part.thickLabel.y, 0);
  EXPECT_EQ(part.thickLabel.angle, 0);
  rotate(part, pt(3, 3), 0.25);
  EXPECT_NEAR(part.rotation, kPi / 2 + 0.25, 1e-15);
}

TEST(PartTransforms, TurnOverMirrorsAcrossTheHorizontalLineThroughThePoint) {
  Part part = squareWithHole();
  part.rotation = 0.7;
  part.nameLabel.x = 2;
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
  EXPECT_FALSE(isCounterClockwise(part.outer));
  EXPECT_EQ(part.area, 96);
}

TEST(PartTransforms, TurnOverOfAPointPartStaysFinite) {
  Part dot = test::partOf(test::regionOf({{1, 1}, {1, 1}, {1, 1}}));
  turnOver(dot, pt(0, 3));
  test::expectVertices(dot.outer, {{1, 5}, {1, 5}, {1, 5}});
  test::expectPoint(dot.centroid, 1, 5);
  test::expectPoint(dot.refPoint, 1, 5);
  EXPECT_TRUE(dot.turnedOver);
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
  for (const Row& row : rows) {
    SCOPED_TRACE(row.angle);
    Part part(original);
    translate(part, row.dx, row.dy);
    rotate(part, row.centre, row.angle);
    turnOver(part, row.mirrorAt);
    turnOver(part, row.mirrorAt);
    rotate(part, row.centre, -row.angle);
    translate(part, -row.dx, -row.dy);
    const double tol = 1e-9;
    for (int i = 0; i < original.outer.count(); ++i) {
      test::expectPoint(part.outer.points[i], original.outer.points[i].x,
                        original.outer.points[i].y, tol);
    }
    // The copy reversed the holes; two turn-overs keep that order and orientation.
    std::vector<const Region*> expected;
    for (const Region& h : original.holes) {
      expected.insert(expected.begin(), &h);
    }
    auto hole = part.holes.begin();
    for (const Region* want : expected) {
      ASSERT_EQ(hole->count(), want->count());
      for (int i = 0; i < want->count(); ++i) {
        test::expectPoint(hole->points[i], want->points[i].x, want->points[i].y, tol);
      }
      EXPECT_EQ(isCounterClockwise(*hole), isCounterClockwise(*want));
      ++hole;
    }
    test::expectPoint(part.centroid, original.centroid.x, original.centroid.y, tol);
    test::expectPoint(part.refPoint, original.refPoint.x, original.refPoint.y, tol);
    test::expectBox(part.bbox, original.bbox.xmin, original.bbox.xmax, original.bbox.ymin,
                    original.bbox.ymax, tol);
    EXPECT_NEAR(part.rotation, 0, 1e-15);
    EXPECT_FALSE(part.turnedOver);
    EXPECT_NEAR(part.area, original.area, tol);
    EXPECT_NEAR(part.fillRatio, original.fillRatio, tol);
  }
}

TEST(PartTransforms, NearestVertexToCentroidPrefersTheEarlierHoleOnTies) {
  // Two holes mirror each other about x = 10, so both offer a vertex at the
  // same distance from the centroid (10, 10).
  Part part =
      test::partOf(square(0, 0, 20, 20), {test::regionOf({{2, 9}, {4, 9}, {4, 11}, {2, 11}}),
                                          test::regionOf({{16, 9}, {18, 9}, {18, 11}, {16, 11}})});
  test::expectPoint(nearestVertexToCentroid(part), 4, 9, 0);
  // Without holes the outer region's lowest index wins.
  Part plain = test::partOf(square(0, 0, 20, 20));
  test::expectPoint(nearestVertexToCentroid(plain), 0, 0, 0);
}

TEST(AutoOrient, LeavesAnAlignedRectangleAndTurnsATiltedOneSquare) {
  Part aligned = test::partOf(square(0, 0, 20, 10));
  autoOrient(aligned);
  EXPECT_EQ(aligned.rotation, 0);
  test::expectVertices(aligned.outer, {{0, 0}, {20, 0}, {20, 10}, {0, 10}}, 0);

  // The same rectangle tilted by 30 degrees about its first vertex: the first
  // minimal orientation is 60 degrees further, standing on its short side.
  Region tilted = square(0, 0, 20, 10);
  rotate(tilted, pt(0, 0), kPi / 6);
  Part part = test::partOf(tilted);
  autoOrient(part);
  EXPECT_NEAR(part.rotation, kPi / 3, 1e-12);
  EXPECT_NEAR(part.bbox.xmax - part.bbox.xmin, 10, 1e-9);
  EXPECT_NEAR(part.bbox.ymax - part.bbox.ymin, 20, 1e-9);
  test::expectPoint(part.refPoint, 0, 0, 1e-12);
}

TEST(AutoOrient, IgnoresTheHolesAndAnEmptyPart) {
  // A square turned by 45 degrees comes back to the axes after 45 degrees.
  Region diamond = square(0, 0, 10, 10);
  rotate(diamond, pt(0, 0), kPi / 4);
  Region hole = square(3, 3, 4, 4);
  rotate(hole, pt(0, 0), kPi / 4);
  Part part = test::partOf(diamond, {hole});
  autoOrient(part);
  EXPECT_NEAR(part.rotation, kPi / 4, 1e-12);
  Part empty;
  autoOrient(empty);
  EXPECT_EQ(empty.rotation, 0);
}

}  // namespace
}  // namespace tarn
