#pragma once

#include "geometry/part.h"
#include "job/packing_point.h"

namespace tarn {

struct PackingJob;

inline constexpr double kMaxPackingPoints = 50'000'000.0;  // grid size we agree to build

// Whether `distance` gives a grid we can build on the job's plate.
bool PackingPointDistanceValid(const PackingJob& job, double distance);

// Rebuilds the grid from the packing point distance, the plate size and the
// parts inside the plate. Element (i, j) is packingPoints[i * gridCountY + j].
// Throws CoreError (kBadPackingPointDistance followed by the distance and the
// plate size) and keeps the old grid when the distance is not valid.
void RebuildPackingPoints(PackingJob& job);
// Stores a new distance and rebuilds the grid; an invalid distance throws
// CoreError and changes nothing.
void RenewPackingPointDistance(PackingJob& job, double distance);
// Marks every grid point inside the part occupied; never frees a point.
void MarkOccupied(PackingJob& job, const Part& part);

}  // namespace tarn
