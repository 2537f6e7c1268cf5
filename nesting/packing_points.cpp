#include "nesting/packing_points.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/predicates.h"
#include "geometry/texts.h"
#include "job/packing_job.h"

namespace tarn {
namespace {

struct GridSize {
  double countX = 0.0;
  double countY = 0.0;
};

// A plate side below zero (loaded after the plate warning) gives no positions
// along it: an empty grid, on which nothing is placed.
GridSize gridSizeFor(const PackingJob& job, double distance) {
  return {std::max(0.0, std::trunc(job.params.plateLength / distance) + 1.0),
          std::max(0.0, std::trunc(job.params.plateWidth / distance) + 1.0)};
}

// The refusal names the distance and the plate it was refused for.
CoreError refusedDistance(const PackingJob& job, double distance) {
  char detail[160];
  std::snprintf(detail, sizeof detail, std::string(text::kBadPackingPointDistanceDetail).c_str(),
                distance, job.params.plateLength, job.params.plateWidth);
  return CoreError(std::string(text::kBadPackingPointDistance) + detail);
}

}  // namespace

bool PackingPointDistanceValid(const PackingJob& job, double distance) {
  if (!(distance > 0.0) || !std::isfinite(distance)) {
    return false;
  }
  const GridSize size = gridSizeFor(job, distance);
  // Each count on its own too: beside an empty side the product says nothing,
  // and the counts become ints.
  return size.countX <= kMaxPackingPoints && size.countY <= kMaxPackingPoints &&
         size.countX * size.countY <= kMaxPackingPoints;
}

void RebuildPackingPoints(PackingJob& job) {
  const double distance = job.params.packingPointDistance;
  if (!PackingPointDistanceValid(job, distance)) {
    throw refusedDistance(job, distance);
  }
  const GridSize size = gridSizeFor(job, distance);
  job.gridCountX = static_cast<int>(size.countX);
  job.gridCountY = static_cast<int>(size.countY);
  std::vector<PackingPoint> grid(static_cast<std::size_t>(job.gridCountX) *
                                 static_cast<std::size_t>(job.gridCountY));
  // Positions are running sums of the distance, as the grid has always been laid.
  double x = 0.0;
  std::size_t index = 0;
  for (int i = 0; i < job.gridCountX; ++i) {
    double y = 0.0;
    for (int j = 0; j < job.gridCountY; ++j) {
      grid[index].position.x = x;
      grid[index].position.y = y;
      ++index;
      y += distance;
    }
    x += distance;
  }
  job.packingPoints = std::move(grid);
  for (const Part& part : job.workingParts) {
    if (withinRect(part, job.plateExtents)) {
      MarkOccupied(job, part);
    }
  }
}

void RenewPackingPointDistance(PackingJob& job, double distance) {
  if (!PackingPointDistanceValid(job, distance)) {
    throw refusedDistance(job, distance);
  }
  job.params.packingPointDistance = distance;
  RebuildPackingPoints(job);
}

void MarkOccupied(PackingJob& job, const Part& part) {
  if (job.gridCountX <= 0 || job.gridCountY <= 0 || job.packingPoints.empty()) {
    return;
  }
  // Only columns and rows near the part's box can hold a point inside it; the
  // exact test below decides, so the margin of one step keeps the result.
  const double distance = job.params.packingPointDistance;
  const BBox& box = part.outer.bbox;
  const auto clampIndex = [](double value, int count) {
    if (!(value > 0.0)) {
      return 0;
    }
    return value >= count ? count : static_cast<int>(value);
  };
  const int iFirst = clampIndex(std::floor(box.xmin / distance) - 1.0, job.gridCountX);
  const int iLast = clampIndex(std::ceil(box.xmax / distance) + 2.0, job.gridCountX);
  const int jFirst = clampIndex(std::floor(box.ymin / distance) - 1.0, job.gridCountY);
  const int jLast = clampIndex(std::ceil(box.ymax / distance) + 2.0, job.gridCountY);
  for (int i = iFirst; i < iLast; ++i) {
    for (int j = jFirst; j < jLast; ++j) {
      PackingPoint& point =
          job.packingPoints[static_cast<std::size_t>(i) * static_cast<std::size_t>(job.gridCountY) +
                            static_cast<std::size_t>(j)];
      if (!point.occupied && pointInPart(part, point.position)) {
        point.occupied = true;
      }
    }
  }
}

}  // namespace tarn
