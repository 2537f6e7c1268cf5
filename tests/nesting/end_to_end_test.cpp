#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <vector>

#include "app/job_operations.h"
#include "app/packing_job.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "support/test_support.h"

namespace tarn {
namespace {

// An overlap test of its own, apart from the kernel's predicates: edges that
// cross properly, or a vertex deep inside the other part's material.
constexpr double kDepth = 1e-4;  // mm; contact and the kernel's 1e-5 box rule stay below

using Ring = std::vector<Point>;

double sideOf(const Point& p, const Point& a, const Point& b) {
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  return ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / length;
}

bool straddles(double d1, double d2) {
  return (d1 > kDepth && d2 < -kDepth) || (d1 < -kDepth && d2 > kDepth);
}

double distanceToSegment(const Point& p, const Point& a, const Point& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
  t = std::max(0.0, std::min(1.0, t));
  return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

bool deepInsideRing(const Ring& ring, const Point& p) {
  bool inside = false;
  double nearest = 1e300;
  for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    const Point& a = ring[i];
    const Point& b = ring[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
      inside = !inside;
    }
    nearest = std::min(nearest, distanceToSegment(p, a, b));
  }
  return inside && nearest > kDepth;
}

bool deepOutsideRing(const Ring& ring, const Point& p) {
  bool inside = false;
  double nearest = 1e300;
  for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    const Point& a = ring[i];
    const Point& b = ring[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
      inside = !inside;
    }
    nearest = std::min(nearest, distanceToSegment(p, a, b));
  }
  return !inside && nearest > kDepth;
}

std::vector<Ring> ringsOf(const Part& part) {
  std::vector<Ring> rings{part.outer.points};
  for (const Region& hole : part.holes) {
    rings.push_back(hole.points);
  }
  return rings;
}

bool inMaterial(const Part& part, const Point& p) {
  if (!deepInsideRing(part.outer.points, p)) {
    return false;
  }
  for (const Region& hole : part.holes) {
    if (!deepOutsideRing(hole.points, p)) {
      return false;
    }
  }
  return true;
}

bool overlap(const Part& a, const Part& b) {
  for (const Ring& ra : ringsOf(a)) {
    for (const Ring& rb : ringsOf(b)) {
      for (std::size_t i = 0; i < ra.size(); ++i) {
        const Point& p1 = ra[i];
        const Point& p2 = ra[(i + 1) % ra.size()];
        for (std::size_t j = 0; j < rb.size(); ++j) {
          const Point& q1 = rb[j];
          const Point& q2 = rb[(j + 1) % rb.size()];
          if (straddles(sideOf(q1, p1, p2), sideOf(q2, p1, p2)) &&
              straddles(sideOf(p1, q1, q2), sideOf(p2, q1, q2))) {
            return true;
          }
        }
      }
    }
  }
  for (const Point& v : a.outer.points) {
    if (inMaterial(b, v)) {
      return true;
    }
  }
  for (const Point& v : b.outer.points) {
    if (inMaterial(a, v)) {
      return true;
    }
  }
  return false;
}

struct Pose {
  double x, y, rotation;
  bool turnedOver;
  bool operator==(const Pose&) const = default;
};

struct LayoutRun {
  std::vector<Pose> poses;
  int placed = 0;
};

// Loads the library into a fresh job, lays it out and checks the result.
LayoutRun layOut(const std::filesystem::path& path, LibraryFormat format, bool multipleSteps) {
  std::ostringstream errors;
  auto job = std::make_unique<PackingJob>(errors);
  openLibrary(*job, path, nullptr, format);
  if (multipleSteps) {
    SelectAll(*job);
    LayoutMultipleSteps(*job, false);
  } else {
    LayoutAll(*job, false);
  }
  LayoutRun run;
  std::vector<const Part*> laidOut;
  const BBox& plate = job->plateExtents;
  for (const Part& part : job->workingParts) {
    run.poses.push_back(Pose{part.refPoint.x, part.refPoint.y, part.rotation, part.turnedOver});
    const BBox& box = part.bbox;
    if (box.xmin >= plate.xmin - 1e-9 && box.xmax <= plate.xmax + 1e-9 &&
        box.ymin >= plate.ymin - 1e-9 && box.ymax <= plate.ymax + 1e-9) {
      laidOut.push_back(&part);
    }
  }
  run.placed = static_cast<int>(laidOut.size());
  EXPECT_GE(run.placed * 2, job->workingParts.count());
  for (std::size_t i = 0; i < laidOut.size(); ++i) {
    for (std::size_t j = i + 1; j < laidOut.size(); ++j) {
      EXPECT_FALSE(overlap(*laidOut[i], *laidOut[j]))
          << "parts " << laidOut[i]->id << " and " << laidOut[j]->id;
    }
  }
  return run;
}

TEST(EndToEnd, BundledLibrariesLayOutWithoutOverlapAndRepeatably) {
  const struct {
    const char* file;
    LibraryFormat format;
  } libraries[] = {
      {"examples/brackets.txt", LibraryFormat::TextLibrary},
      {"examples/flanges.preSrc", LibraryFormat::PreSrcFile},
      {"examples/panels.lst", LibraryFormat::PartListFile},
  };
  test::ScratchDir scratch;
  for (const auto& library : libraries) {
    SCOPED_TRACE(library.file);
    const auto path = test::sourcePath(library.file);
    const LayoutRun all = layOut(path, library.format, false);
    EXPECT_TRUE(all.poses == layOut(path, library.format, false).poses);
    const LayoutRun steps = layOut(path, library.format, true);
    EXPECT_GT(steps.placed, 0);
  }
}

TEST(EndToEnd, TheOverlapTestSeesOverlaps) {
  const auto square = [](double x, double y, double size) {
    Region outer;
    setPoints(outer,
              {Point{x, y}, Point{x + size, y}, Point{x + size, y + size}, Point{x, y + size}});
    Part part;
    setGeometry(part, outer, RegionList{});
    return part;
  };
  EXPECT_TRUE(overlap(square(0, 0, 10), square(5, 5, 10)));
  EXPECT_TRUE(overlap(square(0, 0, 10), square(2, 2, 5)));
  EXPECT_FALSE(overlap(square(0, 0, 10), square(10, 0, 10)));  // touching
}

}  // namespace
}  // namespace tarn
