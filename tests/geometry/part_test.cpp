#include "geometry/part.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/part_source.h"
#include "tests/geometry/shapes.h"

namespace tarn {
namespace {

using test::expectPoint;
using test::polyline;
using test::regionOf;
using test::square;

const double kPi = std::acos(-1.0);

// The first vertex of the first hole: which hole walks first.
template <class Shape>
double firstHoleX(const Shape& shape) {
  return shape.holes.front().points.front().x;
}

TEST(PartGeometry, SetGeometryReversesTheHolesAndCopiesKeepTheirChordTolerance) {
  Part part = test::partOf(square(0, 0, 10, 10), {square(6, 4, 8, 6), square(1, 1, 2, 2)});
  part.chordTol = 0.25;
  // 100 at (5,5) less 4 at (7,5) and 1 at (1.5,1.5).
  expectPoint(part.centroid, (500 - 28 - 1.5) / 95, (500 - 20 - 1.5) / 95, 1e-12);
  EXPECT_EQ(firstHoleX(part), 6);
  EXPECT_EQ(firstHoleX(Part(part)), 1);
  EXPECT_EQ(Part(part).chordTol, kDefaultChordTol);
  Part assigned = test::partOf(square(0, 0, 1, 1));
  assigned.chordTol = 2;
  assigned = part;
  EXPECT_EQ(assigned.chordTol, 2);
  EXPECT_EQ(firstHoleX(assigned), 1);
  // Empty outlines are refused, and the target keeps what it had.
  const Part empty;
  EXPECT_THROW(Part{empty}, CoreError);
  EXPECT_THROW(assigned = empty, CoreError);
  EXPECT_THROW(setGeometry(assigned, Region{}, RegionList{}), CoreError);
  EXPECT_EQ(assigned.area, 95);
}

TEST(PartGeometry, RatiosOfRectanglesAndOfBoxesWithoutArea) {
  // A flat part and a part that is a point keep finite, neutral values and turn over.
  for (const Region& flat :
       {regionOf({{0, 0}, {10, 0}, {4, 0}}), regionOf({{3, 0}, {3, 5}, {3, 2}}),
        regionOf({{1, 1}, {1, 1}, {1, 1}})}) {
    Part part = test::partOf(flat);
    EXPECT_EQ(part.fillRatio, 1);
    EXPECT_EQ(part.aspectRatio, 1);
    turnOver(part, Point{0, 3});
    EXPECT_NEAR(part.outer.points[0].y, 6 - flat.points[0].y, 1e-12);
    EXPECT_TRUE(std::isfinite(part.centroid.x) && std::isfinite(part.centroid.y));
  }
}

TEST(PartTransforms, MoveTurnAndMirrorEveryPositionButTheThicknessLabel) {
  Part part = test::partOf(square(0, 0, 10, 10), {square(4, 4, 6, 6)});
  part.nameLabel = TextLabel{"N", 10, 4, 15, 1};
  part.thickLabel = TextLabel{"T", 1, 9, 0, 1};
  translate(part, 5, -3);
  rotate(part, Point{5, -3}, kPi / 2);
  expectPoint(Point{part.nameLabel.x, part.nameLabel.y}, 1, 7);
  EXPECT_NEAR(part.nameLabel.angle, 105, 1e-12);
  expectPoint(Point{part.thickLabel.x, part.thickLabel.y}, 6, 6, 0);
  // Across y = 1: the vertex order stays, so the orientation flips.
  turnOver(part, Point{3, 1});
  test::expectVertices(part.outer, {{5, 5}, {5, -5}, {-5, -5}, {-5, 5}});
  expectPoint(part.refPoint, 5, 5);
  expectPoint(Point{part.nameLabel.x, part.nameLabel.y}, 1, -5);
  EXPECT_EQ(part.thickLabel.y, 6);
  EXPECT_NEAR(part.rotation, -kPi / 2, 1e-15);
  EXPECT_TRUE(part.turnedOver);
}

TEST(PartTransforms, EveryTransformUndoneReturnsThePart) {
  const Part original = test::partOf(regionOf({{0, 0}, {30, 0}, {30, 5}, {12, 20}, {0, 8}}),
                                     {square(2, 2, 5, 5), regionOf({{20, 2}, {26, 2}, {22, 6}})});
  for (const double angle : {0.3, 2.9}) {
    SCOPED_TRACE(angle);
    const Part once(original);
    Part part(once);  // copied twice: the holes are back in their order
    translate(part, -1234.5, 987.25);
    rotate(part, Point{500, -500}, angle);
    turnOver(part, Point{-4, 7});
    turnOver(part, Point{-4, 7});
    rotate(part, Point{500, -500}, -angle);
    translate(part, 1234.5, -987.25);
    test::expectVertices(part.outer, original.outer.points);
    auto hole = part.holes.begin();
    for (const Region& want : original.holes) {
      EXPECT_EQ(isCounterClockwise(*hole), isCounterClockwise(want));
      test::expectVertices(*hole++, want.points);
    }
    expectPoint(part.centroid, original.centroid.x, original.centroid.y);
    expectPoint(part.refPoint, 0, 0);
    EXPECT_NEAR(part.rotation, 0, 1e-15);
    EXPECT_FALSE(part.turnedOver);
  }
}

TEST(PartGeometry, TiesGoToTheFirstVertexAndTheSmallestAngle) {
  // The holes mirror each other about x = 10: both offer a vertex at the same
  // distance from the centroid (10, 10), and within a hole two vertices tie.
  Part holed =
      test::partOf(square(0, 0, 20, 20), {regionOf({{2, 9}, {4, 9}, {4, 11}, {2, 11}}),
                                          regionOf({{16, 9}, {18, 9}, {18, 11}, {16, 11}})});
  expectPoint(nearestVertexToCentroid(holed), 4, 9, 0);
  Part aligned = test::partOf(square(0, 0, 20, 10));
  autoOrient(aligned);
  EXPECT_EQ(aligned.rotation, 0);  // no trial is strictly better
  // Tilted by 30 degrees, the first minimal orientation is 60 degrees further.
  Region tilted = square(0, 0, 20, 10);
  rotate(tilted, Point{0, 0}, kPi / 6);
  Part part = test::partOf(tilted);
  autoOrient(part);
  EXPECT_NEAR(part.rotation, kPi / 3, 1e-12);
  test::expectBox(part.bbox, BBox{-10, 0, 0, 20});
}

RadiusPolyline squareLine(double x0, double y0, double x1, double y1) {
  return polyline({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

PartSource sourceOf(const RadiusPolyline& outer, std::initializer_list<RadiusPolyline> holes) {
  PartSource source;
  initSource(source, outer, test::frontInserted(holes));
  return source;
}

// Label and area of a plain square source are in the output suite's drawings.
TEST(PartSource, InitAndBuildMeasureTheOutlineAndHandOnThePose) {
  PartSource holed =
      sourceOf(squareLine(0, 0, 10, 10), {squareLine(4, 4, 6, 6), squareLine(1, 1, 2, 2)});
  EXPECT_EQ(holed.area, 95);
  EXPECT_EQ(firstHoleX(holed), 4);
  EXPECT_EQ(firstHoleX(PartSource(holed)), 1);
  holed.refPoint = Point{3, 4};
  holed.rotation = 0.5;
  holed.turnedOver = true;
  holed.chordTol = 0.5;
  Part part;
  buildPart(holed, part);
  EXPECT_EQ(part.area, 95);
  expectPoint(part.refPoint, 3, 4, 0);
  EXPECT_EQ(part.rotation, 0.5);
  EXPECT_TRUE(part.turnedOver);
  // An empty outline is refused and the target keeps what it had.
  const PartSource empty;
  EXPECT_THROW(holed = empty, CoreError);
  EXPECT_THROW(initSource(holed, RadiusPolyline{}, RadiusPolylineList{}), CoreError);
  EXPECT_EQ(holed.area, 95);
}

}  // namespace
}  // namespace tarn
