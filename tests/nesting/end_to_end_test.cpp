#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "job/job_operations.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "nesting/nesting_fixtures.h"
#include "support/test_support.h"

namespace tarn::test {
namespace {

// An overlap test of its own, apart from the kernel's predicates: edges that
// cross properly, or a vertex deep inside the other part's material.
constexpr double kDepth = 1e-4;  // mm; contact and the kernel's 1e-5 box rule stay below

using Edge = std::pair<Point, Point>;

std::vector<Edge> edgesOf(const Part& part) {
  std::vector<Edge> edges;
  const auto ring = [&edges](const std::vector<Point>& p) {
    for (std::size_t i = 0; i < p.size(); ++i) {
      edges.emplace_back(p[i], p[(i + 1) % p.size()]);
    }
  };
  ring(part.outer.points);
  std::ranges::for_each(part.holes, [&ring](const Region& hole) { ring(hole.points); });
  return edges;
}

// Each edge has the other's ends deeper than kDepth on both of its sides.
bool cross(const Edge& e, const Edge& f) {
  const auto side = [](const Point& p, const Edge& g) {
    const auto& [a, b] = g;
    return ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) /
           std::hypot(b.x - a.x, b.y - a.y);
  };
  const auto apart = [](double d1, double d2) {
    return d1 * d2 < 0 && std::min(std::abs(d1), std::abs(d2)) > kDepth;
  };
  return apart(side(f.first, e), side(f.second, e)) && apart(side(e.first, f), side(e.second, f));
}

// Even-odd over the outline and the holes, and farther than kDepth from each edge.
bool deepInMaterial(const std::vector<Edge>& edges, const Point& p) {
  bool inside = false;
  for (const auto& [a, b] : edges) {
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
      inside = !inside;
    }
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double t =
        std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    if (std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy) <= kDepth) {
      return false;
    }
  }
  return inside;
}

bool overlap(const Part& a, const Part& b) {
  const std::vector<Edge> edgesA = edgesOf(a);
  const std::vector<Edge> edgesB = edgesOf(b);
  const auto anyCross = [&edgesB](const Edge& e) {
    return std::ranges::any_of(edgesB, [&e](const Edge& f) { return cross(e, f); });
  };
  return std::ranges::any_of(edgesA, anyCross) ||
         std::ranges::any_of(a.outer.points,
                             [&](const Point& v) { return deepInMaterial(edgesB, v); }) ||
         std::ranges::any_of(b.outer.points,
                             [&](const Point& v) { return deepInMaterial(edgesA, v); });
}

TEST(EndToEnd, TheOverlapTestSeesOverlaps) {
  const Part frame = makePart(rectangle(0, 0, 30, 30), {rectangle(10, 10, 10, 10)});
  EXPECT_TRUE(overlap(frame, rectanglePart(5, 5, 3, 3)));
  EXPECT_TRUE(overlap(rectanglePart(0, 10, 30, 10), rectanglePart(10, 0, 10, 30)));  // a cross
  EXPECT_FALSE(overlap(frame, rectanglePart(10, 10, 10, 10)));  // fills the hole
  EXPECT_FALSE(overlap(frame, rectanglePart(30, 0, 10, 10)));   // touching
}

// Lays a bundled library out in a fresh job, checks that every part lies on
// the plate and none overlaps another, and returns the poses.
std::vector<double> layOut(const char* file, LibraryFormat format, bool multipleSteps) {
  std::ostringstream errors;
  PackingJob job(errors);
  openLibrary(job, sourcePath(file), format);
  SelectAll(job);
  if (multipleSteps) {
    LayoutMultipleSteps(job, false);
  } else {
    LayoutAll(job, false);
  }
  std::vector<double> poses;
  std::vector<const Part*> done;
  const BBox& plate = job.plateExtents;
  for (const Part& part : job.workingParts) {
    poses.insert(poses.end(),
                 {part.refPoint.x, part.refPoint.y, part.rotation, 1.0 * part.turnedOver});
    const BBox& box = part.bbox;
    EXPECT_TRUE(box.xmin >= plate.xmin - 1e-9 && box.xmax <= plate.xmax + 1e-9 &&
                box.ymin >= plate.ymin - 1e-9 && box.ymax <= plate.ymax + 1e-9)
        << "part " << part.id;
    for (const Part* other : done) {
      EXPECT_FALSE(overlap(part, *other)) << "parts " << part.id << " and " << other->id;
    }
    done.push_back(&part);
  }
  return poses;
}

TEST(EndToEnd, BundledLibrariesLayOutWithoutOverlapAndRepeatably) {
  ScratchDir scratch;
  for (const auto& [file, format] :
       {std::pair{"examples/brackets.txt", LibraryFormat::TextLibrary},
        std::pair{"examples/flanges.preSrc", LibraryFormat::PreSrcFile},
        std::pair{"examples/panels.lst", LibraryFormat::PartListFile}}) {
    for (const bool multipleSteps : {false, true}) {
      SCOPED_TRACE(testing::Message() << file << (multipleSteps ? ", multiple steps" : ""));
      EXPECT_EQ(layOut(file, format, multipleSteps), layOut(file, format, multipleSteps));
    }
  }
}

}  // namespace
}  // namespace tarn::test
