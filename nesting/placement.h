#pragma once

#include <cmath>
#include <vector>

#include "geometry/part.h"
#include "job/packing_job.h"
#include "job/run_context.h"

namespace tarn {

inline constexpr double kCentroidTieBand = 0.1;  // mm: centroid x closer than this ranks by y

// Whether a centroid at (cx, cy) beats the best at (bx, by): further left by
// the tie band, or as far left within it and lower.
inline bool leftThenLower(double cx, double cy, double bx, double by) {
  return cx < bx - kCentroidTieBand || (std::abs(cx - bx) < kCentroidTieBand && cy < by);
}

// The angles the grid placement turns a part by: k * 2π / RN for k = 0 … RN − 1;
// none for RN <= 0.
std::vector<double> RotationAngles(int rotationNumber);

// Every-s-th packing point in both directions for a part with this box: 1
// unless a tenth of the smaller side exceeds two packing point distances.
int PlacementStride(const BBox& box, double packingPointDistance);

// Each lays out the waiting node `part` of job.workingParts at the free packing
// point whose candidate centroid lies furthest left (then lowest), pushes it
// left and down, marks the grid and returns true. When nothing fits, false and
// the part keeps its pose.
// Rotations only.
bool PlaceByGrid(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());
// Rotations, each followed by its turned-over twin.
bool PlaceByGridTurnover(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());
// The part's bounding rectangle in quarter turns; strictly further left wins.
bool PlaceByBoundingRectangle(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());
// PlaceByGridTurnover when the job allows turning over, else PlaceByGrid.
bool PlaceOne(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());

}  // namespace tarn
