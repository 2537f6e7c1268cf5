#pragma once

#include "geometry/point.h"

namespace tarn {

struct PackingJob;

inline constexpr double kMinDefaultPackingPointDistance = 30.0;  // mm

// A candidate placement position of the grid (the grid itself is the engine's).
struct PackingPoint {
  Point position;
  bool occupied = false;  // inside the material of a laid-out part
};

// One tenth of the smaller box side of the working part with the smallest net
// area, at least 30 mm; the current distance when there is no part.
double DefaultPackingPointDistance(PackingJob& job);

}  // namespace tarn
