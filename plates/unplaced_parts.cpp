#include "plates/unplaced_parts.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geometry/predicates.h"

namespace tarn {
namespace {

constexpr double kSizeTolerance = 1e-6;  // mm: less than this past the plate is not "larger"
constexpr int kQuarterTurns = 4;

struct BoxSize {
  double length = 0.0;
  double width = 0.0;
};

// The box of the outline turned by `angle` (radians); the size does not depend
// on the centre, taken at the outline's box corner to keep the numbers small.
BoxSize rotatedBox(const Region& outline, double angle) {
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  double xmin = std::numeric_limits<double>::infinity();
  double xmax = -xmin;
  double ymin = xmin;
  double ymax = -xmin;
  for (const Point& p : outline.points) {
    const double dx = p.x - outline.bbox.xmin;
    const double dy = p.y - outline.bbox.ymin;
    const double x = dx * c - dy * s;
    const double y = dx * s + dy * c;
    xmin = std::min(xmin, x);
    xmax = std::max(xmax, x);
    ymin = std::min(ymin, y);
    ymax = std::max(ymax, y);
  }
  return {xmax - xmin, ymax - ymin};
}

bool boxFits(const PackingJob& job, const BoxSize& box) {
  return box.length <= job.params.plateLength + kSizeTolerance &&
         box.width <= job.params.plateWidth + kSizeTolerance;
}

}  // namespace

bool LargerThanPlate(const PackingJob& job, const Part& part) {
  if (part.outer.points.empty()) {
    return false;
  }
  const double pi = std::acos(-1.0);
  const int rotations = job.params.rotationNumber;
  for (int k = 0; k < rotations; ++k) {
    if (boxFits(job, rotatedBox(part.outer, k * (2.0 * pi / rotations)))) {
      return false;
    }
  }
  for (int k = 0; k < kQuarterTurns; ++k) {
    if (boxFits(job, rotatedBox(part.outer, k * pi / 2.0))) {
      return false;
    }
  }
  return true;
}

std::vector<UnplacedPart> FindUnplacedParts(const PackingJob& job, UnplacedReason otherwise,
                                            int plateIndex) {
  std::vector<UnplacedPart> unplaced;
  for (const Part& part : job.workingParts) {
    if (withinRect(part, job.plateExtents)) {
      continue;
    }
    unplaced.push_back({
        .id = part.id,
        .name = part.nameLabel.text,
        .plate = plateIndex,
        .reason = LargerThanPlate(job, part) ? UnplacedReason::LargerThanPlate : otherwise,
        .boxLength = part.bbox.xmax - part.bbox.xmin,
        .boxWidth = part.bbox.ymax - part.bbox.ymin,
    });
  }
  return unplaced;
}

}  // namespace tarn
