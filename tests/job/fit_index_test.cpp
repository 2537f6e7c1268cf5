#include "job/fit_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geometry/predicates.h"
#include "nesting/literal_engine.h"
#include "nesting/nesting_fixtures.h"

namespace tarn::test {
namespace {

// 200 x 100; the obstacles are 10 x 10, so the buckets are 10 wide.
const BBox kPlate{0, 200, 0, 100};
constexpr double kMargin = 0.5 * kDisjointBoxGap;  // the index's "beyond the plate"

// What the index must answer: within the plate, then disjoint from every part.
bool literalFits(const PartList& parts, const Part& probe, const Part* skipped) {
  return literal::fits(kPlate, parts, probe, skipped);
}

// A star of `spikes` spikes about (x, y), radius r, every vertex at its own height.
Outline star(double x, double y, double r, int spikes) {
  Outline points;
  for (int k = 0; k < 2 * spikes; ++k) {
    const double angle = k * std::acos(-1.0) / spikes + 0.01;
    const double radius = k % 2 == 0 ? r : r * 0.3;
    points.push_back({x + radius * std::cos(angle), y + radius * std::sin(angle)});
  }
  return points;
}

Part square(double x, double y, double side = 10) {
  return rectanglePart(x, y, side, side);
}

// Obstacles on both sides of every threshold of the index: just beyond and
// just within the plate at each edge (its "beyond" margin), on bucket edges,
// one with a hole, one whose box is not a number.
PartList thresholdObstacles() {
  const double in = kMargin * 1.5;
  const double out = kMargin;
  // Right, left, top and bottom edge; on and near a bucket edge; a ring.
  std::vector<Part> parts = {
      square(200 - out, 40), square(200 - in, 60),        square(-10 + out, 40),
      square(-10 + in, 60),  square(40, 100 - out),       square(60, 100 - in),
      square(40, -10 + out), square(60, -10 + in),        square(20, 20),
      square(30 + 1e-6, 20), square(100, 50, 10 - 1e-12), square(120, 50)};
  parts.push_back(makePart(rectangle(140, 10, 40, 40), {rectangle(150, 20, 20, 20)}));
  Part broken = square(80, 80);
  broken.outer.bbox.xmin = std::numeric_limits<double>::quiet_NaN();
  parts.push_back(broken);
  Part noHeight = square(80, 60);
  noHeight.outer.points[2].y = std::numeric_limits<double>::quiet_NaN();  // no bands for it
  parts.push_back(noHeight);
  parts.push_back(makePart(star(30, 70, 8, 5)));   // few heights: banded
  parts.push_back(makePart(star(60, 75, 9, 40)));  // edges over many bands: walked in full
  // An M whose peak the tip probe below touches, and a bar the needle probe
  // crosses: no vertex of either lies inside the other, only edges meet.
  parts.push_back(makePart({{140, 65}, {190, 65}, {190, 85}, {160, 67}, {150, 75}, {140, 67}}));
  parts.push_back(rectanglePart(72, 18, 22, 3));
  PartList list;
  std::ranges::for_each(parts, [&list](const Part& part) { list.insert(part); });
  return list;
}

// Probes at and around the thresholds of the box rule (kDisjointBoxGap), of
// withinRect (kRectTolerance) and of the index, next to every obstacle.
std::vector<Part> thresholdProbes(const PartList& obstacles) {
  const double g = kDisjointBoxGap;
  const double t = kRectTolerance;
  const double steps[] = {0.0,     g * 0.99, g,        g * 1.01, -g * 0.99, -g,
                          t * 0.9, t * 1.1,  -t * 0.9, -0.5,     0.5};
  std::vector<Part> probes;
  for (const Part& obstacle : obstacles) {
    const BBox& b = obstacle.outer.bbox;
    if (std::isnan(b.xmin)) {
      continue;
    }
    for (const double d : steps) {
      probes.push_back(square(b.xmax + d, b.ymin, 8));      // right of it
      probes.push_back(square(b.xmin - 8 - d, b.ymin, 8));  // left of it
      probes.push_back(square(b.xmin, b.ymax + d, 8));      // above
      probes.push_back(square(b.xmin, b.ymin - 8 - d, 8));  // below
    }
  }
  for (const double d : steps) {
    probes.push_back(square(192 + d, 45, 8));  // at the plate's edges
    probes.push_back(square(-d, 45, 8));
    probes.push_back(square(45, 92 + d, 8));
    probes.push_back(square(45, -d, 8));
  }
  probes.push_back(square(152, 22, 5));  // in the ring's hole
  probes.push_back(square(149, 22, 5));  // across its edge
  // A tip touching the M's peak from above (edges that end at one height),
  // and a needle through the bar (edges across the bar's level ones).
  probes.push_back(
      makePart({{150, 75}, {158, 79}, {158, 95}, {120, 95}, {120, 70}, {130, 70}, {142, 79}}));
  probes.push_back(makePart({{82, 10}, {83, 12}, {83.5, 30}, {82.5, 28}}));
  // Rings round an obstacle: in the hole, across the hole's edge.
  for (const double d : {0.0, 1.5, 2.0, 3.0}) {
    probes.push_back(makePart(rectangle(115 + d, 45, 20, 20), {rectangle(117 + d, 47, 16, 16)}));
  }
  // Vertices at the heights of the stars' vertices, and across the stars;
  // specks all over their boxes, wholly inside, in the notches, or across.
  for (const Part& obstacle : obstacles) {
    if (obstacle.outer.count() > 8) {
      const BBox& b = obstacle.bbox;
      for (int i = 0; i <= 6; ++i) {
        for (int j = 0; j <= 6; ++j) {
          const double x = b.xmin + (b.xmax - b.xmin) * i / 6.0;
          const double y = b.ymin + (b.ymax - b.ymin) * j / 6.0;
          probes.push_back(makePart({{x, y}, {x + 0.4, y + 0.1}, {x + 0.1, y + 0.3}}));
        }
      }
      for (const Point& v : obstacle.outer.points) {
        probes.push_back(makePart({{v.x - 4, v.y}, {v.x, v.y - 3}, {v.x + 1, v.y}}));
        probes.push_back(makePart({{v.x + 0.5, v.y}, {v.x + 4, v.y}, {v.x + 4, v.y + 4}}));
      }
    }
  }
  return probes;
}

void expectLiteralAnswers(const FitIndex& index, const PartList& parts,
                          const std::vector<Part>& probes) {
  int n = 0;
  for (const Part& probe : probes) {
    SCOPED_TRACE("probe " + std::to_string(n++));
    ASSERT_EQ(index.fits(probe), literalFits(parts, probe, nullptr));
    for (const Part& skipped : parts) {
      ASSERT_EQ(index.fits(probe, &skipped), literalFits(parts, probe, &skipped));
    }
    // The same probe as a translation of a shape near the origin.
    Part shape(probe);
    translate(shape, -probe.bbox.xmin, -probe.bbox.ymin);
    Part moved(shape);
    translate(moved, probe.bbox.xmin, probe.bbox.ymin);
    ASSERT_EQ(index.fitsTranslated(shape, probe.bbox.xmin, probe.bbox.ymin),
              literalFits(parts, moved, nullptr));
  }
}

TEST(FitIndex, AnswersAsTheLiteralTestOnBothSidesOfEveryThreshold) {
  const PartList parts = thresholdObstacles();
  const FitIndex index(kPlate, parts);
  // The parts just beyond an edge are left out; those just within, filed.
  EXPECT_EQ(index.size(), static_cast<std::size_t>(parts.count() - 4));
  expectLiteralAnswers(index, parts, thresholdProbes(parts));
}

}  // namespace
}  // namespace tarn::test
