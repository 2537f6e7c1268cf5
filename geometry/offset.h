#pragma once

#include "geometry/part.h"
#include "geometry/region.h"

namespace tarn {

// Moves every edge by d along its outward normal (inward for d < 0), whatever
// the vertex order, with mitred corners and no miter limit; recomputes area and
// bbox. Vertex i of the result belongs to vertex i of the input, except that an
// edge turning straight back on itself gets a square cap of two vertices one
// distance beyond the turn. A zero-length edge moves with the edge before it.
// Regions of fewer than 3 vertices, a single point, or a d that is not finite
// are left unchanged.
void offsetRegion(Region& region, double d);

// Outer outward by d, holes inward; nothing for d == 0. Labels, refPoint,
// rotation and the ratios are unchanged.
void offsetPart(Part& part, double d);

}  // namespace tarn
