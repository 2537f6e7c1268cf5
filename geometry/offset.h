#pragma once

#include "geometry/part.h"
#include "geometry/region.h"

namespace tarn {

// Moves every edge by d along its outward normal (inward for d < 0), whatever
// the vertex order, with mitred corners; recomputes area and bbox. Regions of
// fewer than 3 vertices are left unchanged.
void offsetRegion(Region& region, double d);

// Outer outward by d, holes inward; nothing for d == 0. Labels, refPoint,
// rotation and the ratios are unchanged.
void offsetPart(Part& part, double d);

}  // namespace tarn
