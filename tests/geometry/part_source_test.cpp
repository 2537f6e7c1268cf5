#include "geometry/part_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/core_error.h"
#include "tests/geometry/shapes.h"

namespace tarn {
namespace {

using test::pt;

RadiusPolyline polyline(std::initializer_list<test::XY> xy, std::vector<double> radii = {}) {
  RadiusPolyline poly;
  setPolyline(poly, test::pointsOf(xy), radii);
  return poly;
}

RadiusPolyline squareLine(double x0, double y0, double x1, double y1) {
  return polyline({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

// The source's hole list walks in the order given here.
PartSource sourceOf(const RadiusPolyline& outer, std::initializer_list<RadiusPolyline> holes) {
  RadiusPolylineList list;
  for (const RadiusPolyline& h : holes) {
    list.insert(h);
  }
  PartSource source;
  initSource(source, outer, list);
  return source;
}

TEST(InitSource, PlacesTheLabelAndMeasuresTheOutline) {
  PartSource source;
  source.nameLabel.text = "bracket";
  source.nameLabel.angle = 30;
  initSource(source, squareLine(0, 0, 10, 10), RadiusPolylineList{});
  EXPECT_NEAR(source.nameLabel.height, std::sqrt(200.0) / 10, 1e-12);
  EXPECT_EQ(source.nameLabel.angle, 0);
  EXPECT_EQ(source.nameLabel.text, "bracket");
  test::expectPoint(pt(source.nameLabel.x, source.nameLabel.y), 0, 0, 0);
  test::expectPoint(source.refPoint, 0, 0, 0);
  EXPECT_EQ(source.area, 100);
  test::expectPoint(source.centroid, 5, 5, 1e-12);

  const PartSource holed = sourceOf(squareLine(0, 0, 10, 10), {squareLine(4, 4, 6, 6)});
  EXPECT_EQ(holed.area, 96);
  test::expectPoint(holed.centroid, 5, 5, 1e-12);

  // The arc bulges 5 below the chord, but only the vertices make the label's box.
  const PartSource arched =
      sourceOf(polyline({{0, 0}, {10, 0}, {10, 5}, {0, 5}}, {5, 0, 0, 0}), {});
  EXPECT_NEAR(arched.nameLabel.height, std::sqrt(125.0) / 10, 1e-12);
  EXPECT_NEAR(arched.area, 50 + 25, 1e-9);  // the half circle in two pieces

  PartSource empty;
  EXPECT_THROW(initSource(empty, RadiusPolyline{}, RadiusPolylineList{}), CoreError);
}

TEST(BuildPart, TakesThePoseOfTheSource) {
  PartSource source = sourceOf(squareLine(0, 0, 10, 10), {squareLine(4, 4, 6, 6)});
  source.refPoint = pt(3, 4);
  source.rotation = 0.5;
  source.turnedOver = true;
  source.id = 9;
  source.nameLabel.text = "P1";
  source.chordTol = 0.5;
  Part part;
  buildPart(source, part);
  EXPECT_EQ(part.area, 96);
  test::expectVertices(part.outer, {{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 0);
  test::expectPoint(part.refPoint, 3, 4, 0);
  EXPECT_EQ(part.rotation, 0.5);
  EXPECT_TRUE(part.turnedOver);
  EXPECT_EQ(part.id, 9);
  EXPECT_EQ(part.nameLabel.text, "P1");
  EXPECT_EQ(part.chordTol, kDefaultChordTol);
  EXPECT_EQ(part.thickLabel.text, TextLabel{}.text);

  PartSource hollow;
  EXPECT_THROW(buildPart(hollow, part), CoreError);
}

TEST(PartSourceCopy, KeepsItsOwnChordToleranceAndReversesTheHoles) {
  PartSource source =
      sourceOf(squareLine(0, 0, 10, 10), {squareLine(1, 1, 2, 2), squareLine(3, 3, 4, 4)});
  source.chordTol = 0.1;
  source.id = 3;
  EXPECT_EQ(source.holes.front().points.front().x, 1);

  const PartSource copy(source);
  EXPECT_EQ(copy.chordTol, kDefaultChordTol);
  EXPECT_EQ(copy.id, 3);
  EXPECT_EQ(copy.area, 98);
  EXPECT_EQ(copy.holes.front().points.front().x, 3);

  PartSource target;
  target.chordTol = 2;
  target = source;
  EXPECT_EQ(target.chordTol, 2);
  const PartSource empty;
  EXPECT_THROW(PartSource{empty}, CoreError);
  EXPECT_THROW(target = empty, CoreError);
  EXPECT_EQ(target.area, 98);
}

std::vector<std::pair<double, double>> sortedVertices(const Region& r) {
  std::vector<std::pair<double, double>> v;
  for (const Point& p : r.points) {
    // Rounded so that equal points from different arithmetic sort alike.
    v.emplace_back(std::round(p.x * 1e6) / 1e6, std::round(p.y * 1e6) / 1e6);
  }
  std::sort(v.begin(), v.end());
  return v;
}

TEST(PartSourceTransforms, FollowThePartsTheyBuild) {
  // A 20 x 10 plate with an arched top and a round-cornered hole.
  const PartSource original =
      sourceOf(polyline({{0, 0}, {20, 0}, {20, 10}, {0, 10}}, {0, 0, 15, 0}),
               {polyline({{5, 3}, {9, 3}, {9, 6}, {5, 6}}, {0, -2, 0, 0})});
  struct Row {
    double dx, dy, angle;
    Point centre, mirrorAt;
  };
  const Row rows[] = {{5, -3, 0.5, pt(1, 2), pt(-4, 7)}, {-100, 40, 2.5, pt(10, 10), pt(0, 0)}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.angle);
    PartSource source(original);
    Part part;
    buildPart(source, part);
    translate(source, row.dx, row.dy);
    translate(part, row.dx, row.dy);
    rotate(source, row.centre, row.angle);
    rotate(part, row.centre, row.angle);
    turnOver(source, row.mirrorAt);
    turnOver(part, row.mirrorAt);

    Part rebuilt;
    buildPart(source, rebuilt);
    EXPECT_EQ(sortedVertices(rebuilt.outer), sortedVertices(part.outer));
    EXPECT_EQ(sortedVertices(rebuilt.holes.front()), sortedVertices(part.holes.front()));
    test::expectPoint(source.refPoint, part.refPoint.x, part.refPoint.y);
    test::expectPoint(source.centroid, part.centroid.x, part.centroid.y);
    test::expectPoint(pt(source.nameLabel.x, source.nameLabel.y), part.nameLabel.x,
                      part.nameLabel.y);
    EXPECT_NEAR(source.nameLabel.angle, part.nameLabel.angle, 1e-9);
    EXPECT_NEAR(source.rotation, part.rotation, 1e-15);
    EXPECT_TRUE(source.turnedOver);
  }
}

}  // namespace
}  // namespace tarn
