#pragma once

// Joins the chains of a drawing into closed outlines and sorts the outlines
// into parts: outer outlines, their holes, and parts lying in holes.

#include <cstddef>
#include <memory>
#include <vector>

#include "geometry/arc.h"
#include "geometry/point.h"
#include "geometry/region.h"
#include "library/dxf_shapes.h"

namespace tarn::dxf {

// One part's outlines.
struct Outline {
  RadiusPolyline outer;               // counter-clockwise
  std::vector<RadiusPolyline> holes;  // clockwise, largest first
  std::vector<Point> ring;            // the outer outline finely flattened, for point tests
  BBox box;                           // of `ring`
  double area = 0.0;                  // enclosed by the outer outline, arcs exact, mm²
};

// The two loose ends of a chain that does not close.
struct OpenChain {
  Point first;
  Point last;
};

struct Contours {
  // Ordered by the left edge of their box, then by its bottom edge.
  std::vector<Outline> outlines;
  std::vector<OpenChain> open;  // in the order of their first path
  std::vector<Point> crowded;   // where too many ends crowd (at most a few places)
};

// Ends of different chains closer than `joinTol` are joined, the closest pairs
// first, so that ends that coincide are never parted by a nearer stranger.
// Exact duplicates of a path are dropped, and of loops that run within
// `joinTol` of each other all along (an outline drawn twice) only the largest
// is kept. Loops without area are dropped.
// A loop inside an odd number of others is a hole of the smallest of them;
// inside an even number it is a part of its own. Loops that cross are not
// detected. Stops (outlines empty) once `budget` is exceeded.
Contours buildContours(std::vector<Path>& paths, double joinTol, WorkBudget& budget);

// Signed area of a closed path with its arcs, counter-clockwise positive.
double signedArea(const std::vector<Point>& points, const std::vector<double>& radii);

// The kernel's chaining scans the arc pieces not yet chained at every vertex:
// vertices times arc pieces, for all the outlines of a drawing together.
inline constexpr double kMaxChainWork = 5e7;

// Rewrites arc edges as the straight pieces polylineToRegion would cut them
// into, wherever an arc piece lies within twice the kernel's chaining radius
// of another vertex (the kernel's chaining could then take a wrong turn), or
// where the outline's chaining would cost more than is left of `chainWork`
// (which it then uses up); then turns the outline so that it starts with an
// arc edge, if any is left. The Region that polylineToRegion(poly, h) builds
// is the same either way, and is built in time linear in its vertices when
// no arc is left.
void keepArcsSafely(RadiusPolyline& poly, double h, double& chainWork);

// Finds the outline a text belongs to: the innermost outer outline that holds
// the point, else the outline whose box is nearest (ties to the earlier one).
class OutlineLocator {
 public:
  explicit OutlineLocator(const std::vector<Outline>& outlines);
  ~OutlineLocator();
  OutlineLocator(const OutlineLocator&) = delete;
  OutlineLocator& operator=(const OutlineLocator&) = delete;

  // Index into the outlines; 0 when there is only one. Needs at least one.
  // Each outline tested costs its ring's points; once the budget is exceeded
  // the answer is 0.
  std::size_t locate(const Point& p, WorkBudget& budget) const;

 private:
  struct Index;
  const std::vector<Outline>& outlines_;
  std::unique_ptr<Index> index_;
};

// Even-odd test against a closed polygon.
bool insideRing(const std::vector<Point>& ring, const Point& p);

}  // namespace tarn::dxf
