// Joining chains into outlines, sorting outlines into parts, and outlines the
// kernel's polylineToRegion rebuilds as they were meant.
#include "library/dxf_contours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/arc.h"

namespace tarn::dxf {
namespace {

const double kPi = std::acos(-1.0);

Path open(std::vector<Point> points, std::vector<double> radii = {}) {
  radii.resize(points.size() - 1, 0.0);
  return Path{std::move(points), std::move(radii), false};
}

Path loop(std::vector<Point> points, std::vector<double> radii = {}) {
  radii.resize(points.size(), 0.0);
  return Path{std::move(points), std::move(radii), true};
}

Path square(double x, double y, double side) {
  return loop({{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}});
}

Contours build(std::vector<Path> paths) {
  WorkBudget budget(1000000);
  return buildContours(paths, 0.1, budget);
}

TEST(SignedArea, CountsArcsExactlyAndFlipsWithTheWalkingSense) {
  // A circle of radius 10 as three counter-clockwise arcs of 120 degrees.
  std::vector<Point> points;
  for (int k = 0; k < 3; ++k) {
    points.push_back(Point{10.0 * std::cos(2.0 * kPi * k / 3), 10.0 * std::sin(2.0 * kPi * k / 3)});
  }
  EXPECT_NEAR(signedArea(points, {10, 10, 10}), 100.0 * kPi, 1e-9);
  EXPECT_NEAR(signedArea({points[0], points[2], points[1]}, {-10, -10, -10}), -100.0 * kPi, 1e-9);
  // A square whose lower side bulges inwards as a clockwise arc of 90 degrees.
  const double r = 10.0 / std::sqrt(2.0);
  const double segment = 0.5 * r * r * (kPi / 2.0 - 1.0);
  EXPECT_NEAR(signedArea({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {-r, 0, 0, 0}), 100.0 - segment,
              1e-9);
}

TEST(BuildContours, JoinsEndsInAnyOrderAndDirection) {
  // A square of four lines, two of them drawn backwards, listed out of order.
  const Contours c = build({open({{10, 0}, {10, 10}}), open({{0, 0}, {10, 0}}),
                            open({{0, 10}, {10, 10}}), open({{0, 0}, {0, 10}})});
  ASSERT_EQ(c.outlines.size(), 1u);
  EXPECT_TRUE(c.open.empty());
  EXPECT_NEAR(c.outlines[0].area, 100.0, 1e-12);
  EXPECT_GT(signedArea(c.outlines[0].outer.points, c.outlines[0].outer.radii), 0.0);
}

TEST(BuildContours, ReversesArcsWalkedBackwards) {
  // A half disc: the arc from (10, 0) to (-10, 0) counter-clockwise, in two
  // pieces, walked backwards from the line's end.
  const Contours c =
      build({open({{-10, 0}, {10, 0}}), open({{-10, 0}, {0, 10}, {10, 0}}, {-10, -10})});
  ASSERT_EQ(c.outlines.size(), 1u);
  EXPECT_NEAR(c.outlines[0].area, 50.0 * kPi, 1e-9);
}

TEST(BuildContours, DropsDuplicatesAndLoopsWithoutArea) {
  const Contours c = build({open({{0, 0}, {10, 0}}), open({{10, 0}, {0, 0}}),  // drawn twice
                            open({{10, 0}, {10, 10}}), open({{10, 10}, {0, 10}}),
                            open({{0, 10}, {0, 0}}), square(50, 50, 10), square(50, 50, 10),
                            loop({{0, 0}, {5, 0}, {10, 0}})});  // a loop on a line
  ASSERT_EQ(c.outlines.size(), 2u);
  EXPECT_TRUE(c.open.empty());
  EXPECT_TRUE(c.outlines[1].holes.empty());
}

TEST(BuildContours, KeepsTwoArcsThatBulgeApartAndDropsAnArcDrawnTwice) {
  // A lens: two quarter circles of radius 10 / sqrt(2) between (0, 0) and
  // (10, 0), both counter-clockwise, one of them drawn again backwards.
  const double r = 10.0 / std::sqrt(2.0);
  const Contours c = build(
      {open({{0, 0}, {10, 0}}, {r}), open({{10, 0}, {0, 0}}, {r}), open({{0, 0}, {10, 0}}, {-r})});
  ASSERT_EQ(c.outlines.size(), 1u);
  EXPECT_TRUE(c.open.empty());
  EXPECT_NEAR(c.outlines[0].area, 2.0 * 0.5 * r * r * (kPi / 2.0 - 1.0), 1e-9);
}

TEST(BuildContours, ReportsTheEndsOfChainsThatDoNotClose) {
  const Contours c = build(
      {open({{0, 0}, {10, 0}, {10, 10}}), open({{10, 10}, {0, 10}}), open({{0, 10}, {0, 0.2}})});
  EXPECT_TRUE(c.outlines.empty());
  ASSERT_EQ(c.open.size(), 1u);
  const double ends[] = {c.open[0].first.x, c.open[0].first.y, c.open[0].last.x, c.open[0].last.y};
  EXPECT_EQ(std::vector<double>(ends, ends + 4), (std::vector<double>{0, 0, 0, 0.2}));
}

TEST(BuildContours, MakesHolesOfOddDepthAndPartsOfEvenDepth) {
  // Frame 0..100 with hole 10..90; in it a plate 20..80 with hole 40..60; in
  // that a plate 45..55. Listed smallest first.
  const Contours c = build({square(45, 45, 10), square(40, 40, 20), square(20, 20, 60),
                            square(10, 10, 80), square(0, 0, 100)});
  ASSERT_EQ(c.outlines.size(), 3u);
  const double xmins[] = {c.outlines[0].box.xmin, c.outlines[1].box.xmin, c.outlines[2].box.xmin};
  EXPECT_EQ(std::vector<double>(xmins, xmins + 3), (std::vector<double>{0, 20, 45}));
  EXPECT_EQ(c.outlines[0].holes.size(), 1u);
  EXPECT_EQ(c.outlines[1].holes.size(), 1u);
  EXPECT_TRUE(c.outlines[2].holes.empty());
  // Holes walk clockwise.
  EXPECT_LT(signedArea(c.outlines[0].holes[0].points, c.outlines[0].holes[0].radii), 0.0);
}

TEST(BuildContours, StopsWhenTheBudgetRunsOut) {
  std::vector<Path> paths;
  for (int k = 1; k <= 200; ++k) {
    paths.push_back(square(-k, -k, 2 * k));
  }
  WorkBudget budget(5000);
  const Contours c = buildContours(paths, 0.1, budget);
  EXPECT_TRUE(budget.exceeded());
  EXPECT_TRUE(c.outlines.empty());
}

TEST(KeepArcsSafely, FlattensAnArcBesideAShortEdgeSoTheKernelRebuildsTheSameRegion) {
  // A 100 x 40 slot with a half circle of radius 20 on the right, in two
  // quarters; the upper side starts with an edge of 0.3 mm.
  double work = kMaxChainWork;
  RadiusPolyline slot;
  setPolyline(slot, {{0, 0}, {100, 0}, {120, 20}, {100, 40}, {99.7, 40}, {0, 40}},
              {0, 20, 20, 0, 0, 0});
  keepArcsSafely(slot, 1.0, work);
  // The lower quarter stays an arc and comes first; the upper one, 0.3 mm from
  // the next vertex, becomes the two chords the kernel would cut it into.
  EXPECT_EQ(slot.points.front().x, 100.0);
  EXPECT_EQ(slot.radii.front(), 20.0);
  EXPECT_EQ(std::count(slot.radii.begin(), slot.radii.end(), 0.0), 6);
  const Region region = polylineToRegion(slot, 1.0);
  EXPECT_EQ(region.count(), 8);
  EXPECT_NEAR(region.area, 4000.0 + 4.0 * 0.5 * 400.0 * std::sin(kPi / 4), 1e-9);
}

TEST(KeepArcsSafely, KeepsArcsClearOfOtherVertices) {
  double work = kMaxChainWork;
  RadiusPolyline slot;
  setPolyline(slot, {{0, 0}, {100, 0}, {120, 20}, {100, 40}, {0, 40}}, {0, 20, 20, 0, 0});
  RadiusPolyline safe = slot;
  keepArcsSafely(safe, 1.0, work);
  EXPECT_EQ(safe.radii, (std::vector<double>{20, 20, 0, 0, 0}));
  EXPECT_EQ(safe.points.front().x, 100.0);
  EXPECT_NEAR(polylineToRegion(safe, 1.0).area, polylineToRegion(slot, 1.0).area, 1e-9);
  // With the chaining work used up the arcs go, the region stays.
  double none = 1.0;
  RadiusPolyline flat = slot;
  keepArcsSafely(flat, 1.0, none);
  EXPECT_EQ(std::count(flat.radii.begin(), flat.radii.end(), 0.0), 7);
  EXPECT_NEAR(polylineToRegion(flat, 1.0).area, polylineToRegion(slot, 1.0).area, 1e-9);
}

TEST(OutlineLocator, PicksTheInnermostOutlineHoldingThePointElseTheNearestBox) {
  const Contours c = build({square(0, 0, 100), square(10, 10, 80), square(20, 20, 60),
                            square(200, 0, 10), square(220, 0, 10)});
  ASSERT_EQ(c.outlines.size(), 4u);  // 0..100, 20..80 (in the hole), 200, 220
  const OutlineLocator locator(c.outlines);
  WorkBudget budget(1000);
  EXPECT_EQ(locator.locate({5, 5}, budget), 0u);
  EXPECT_EQ(locator.locate({15, 15}, budget), 0u);  // in the frame's hole
  EXPECT_EQ(locator.locate({50, 50}, budget), 1u);
  EXPECT_EQ(locator.locate({205, 30}, budget), 2u);
  EXPECT_EQ(locator.locate({215, 5}, budget), 2u);  // midway: the earlier one
  EXPECT_EQ(locator.locate({216, 5}, budget), 3u);
}

}  // namespace
}  // namespace tarn::dxf
