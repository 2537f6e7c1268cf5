#pragma once

#include "geometry/part.h"
#include "geometry/region.h"

namespace tarn {

inline constexpr double kRectTolerance = 1e-10;  // withinRect
inline constexpr double kDisjointBoxGap = 1e-5;  // regionsDisjoint, boxes closer count as apart

// Crossing rule on the stored bbox and vertices; on an axis-aligned square the
// right and bottom sides are inside, the left and top sides outside.
bool pointInRegion(const Region& region, double px, double py);
// Inside the outer region and inside none of the holes.
bool pointInPart(const Part& part, const Point& p);
// Some edge of a and some edge of b intersect or touch.
bool edgesCross(const Region& a, const Region& b);
// Every vertex of b is inside a (true for a b without vertices).
bool verticesInside(const Region& a, const Region& b);
bool regionsDisjoint(const Region& a, const Region& b);
// A part lying in a hole of the other is disjoint from it.
bool partsDisjoint(const Part& a, const Part& b);
// The outer bbox lies inside the rectangle, each side within kRectTolerance.
bool withinRect(const Part& part, double xlo, double xhi, double ylo, double yhi);
bool withinRect(const Part& part, const BBox& rect);
// The part is not disjoint from the rectangle.
bool overlapsRect(const Part& part, double xlo, double xhi, double ylo, double yhi);
bool overlapsRect(const Part& part, const BBox& rect);

}  // namespace tarn
