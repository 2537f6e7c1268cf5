// Outlines built from chains, and outlines the kernel's polylineToRegion rebuilds as meant.
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

// A half disc whose arc, in two pieces, is walked backwards from the line's end.
TEST(BuildContours, ReversesArcsWalkedBackwards) {
  const Contours c =
      build({open({{-10, 0}, {10, 0}}), open({{-10, 0}, {0, 10}, {10, 0}}, {-10, -10})});
  ASSERT_EQ(c.outlines.size(), 1u);
  EXPECT_NEAR(c.outlines[0].area, 50.0 * kPi, 1e-9);
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

}  // namespace
}  // namespace tarn::dxf
