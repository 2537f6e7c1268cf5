#pragma once

#include <cmath>
#include <functional>
#include <vector>

#include "geometry/region.h"

namespace tarn::strip {

// An inscribed circle of an outline's material.
struct Pole {
  double x = 0.0;
  double y = 0.0;
  double r = 0.0;
};

// An edge of a grown outline, with its extent for quick rejection.
struct HitEdge {
  double x1 = 0.0;
  double y1 = 0.0;
  double x2 = 0.0;
  double y2 = 0.0;
  double xmin = 0.0;
  double xmax = 0.0;
  double ymin = 0.0;
  double ymax = 0.0;
};

// One orientation of an item as the search sees it, in the orientation's own
// coordinates (before the layout's translation). Collisions are found on the
// grown outlines, so shapes that do not collide keep a clearance between their
// true outlines; the poles measure how deep a collision is.
struct CollisionShape {
  BBox box;                    // of the true outer outline: what must lie on the strip
  BBox hitBox;                 // of the grown outer outline
  std::vector<HitEdge> edges;  // grown outer outline and holes
  // A point of the material far from its outline (the largest pole's centre, or
  // an outer vertex without poles): where the edges do not meet, it tells whether
  // the shape lies inside the other. A vertex could lie on an edge of the other
  // shape that runs along its own, where rounding hides the contact.
  double probeX = 0.0;
  double probeY = 0.0;
  std::vector<Pole> poles;  // inside the true material, largest first
  // The poles again in single precision, relative to the box centre, for the
  // overlap measure's inner loop.
  double poleOriginX = 0.0;
  double poleOriginY = 0.0;
  std::vector<float> poleX;
  std::vector<float> poleY;
  std::vector<float> poleR;
  double diameter = 0.0;     // largest distance between two outer vertices
  double hullArea = 0.0;     // of the outer outline's convex hull
  double area = 0.0;         // net: outer less holes
  double penaltyRoot = 0.0;  // hullArea^(1/4), the size factor of a collision's loss
};

// Builds a shape from an outline and its holes (at least 3 outer vertices).
// Every edge moves by `clearance` away from the material; convex corners are
// mitred, or bevelled where sharp, so the grown outline holds every point within
// clearance / 2 of the material. Two shapes that do not collide are therefore at
// least `clearance` apart. The poles are computed here unless given: `poles`
// non-empty is taken as the poles of this very outline.
CollisionShape buildCollisionShape(const Region& outer, const std::vector<Region>& holes,
                                   double clearance, const std::vector<Pole>& poles = {},
                                   const std::function<bool()>& cancelled = {});

// The inscribed circles of an outline's material: the largest circle first, then
// each next the largest one outside the circles found, until they cover enough
// of the area (or 32 circles). Asks `cancelled`, if given, before each further
// circle and stops when it answers true.
std::vector<Pole> computePoles(const Region& outer, const std::vector<Region>& holes,
                               const std::function<bool()>& cancelled = {});

// Collision tests between two shapes; b lies translated by (dx, dy) relative to a.
// Scratch space is kept between calls, so one tester serves one thread.
class CollisionTester {
 public:
  // The grown outlines share material (an edge crossing or touching an edge,
  // or one inside the other's material). A shape in the other's hole is free.
  bool collide(const CollisionShape& a, const CollisionShape& b, double dx, double dy);

 private:
  std::vector<HitEdge> nearB_;
};

// True when the largest poles show that the shapes overlap: a cheap sure answer
// before collide(); false says nothing.
bool polesOverlap(const CollisionShape& a, const CollisionShape& b, double dx, double dy);

// Positive for colliding shapes, larger the deeper they overlap: the pole-pair
// penetrations with a smooth tail for poles apart, scaled by the shapes' sizes.
// Once the measure exceeds `cap` it may stop early with infinity.
double collisionLoss(const CollisionShape& a, const CollisionShape& b, double dx, double dy,
                     double cap = INFINITY);

// A point in the grown material, in the shape's own coordinates.
bool containsPoint(const CollisionShape& s, double px, double py);

// True when the shape translated by (x, y) lies within [0, length] x [0, width].
bool insideStrip(const CollisionShape& s, double x, double y, double length, double width);
// Positive for a shape not inside the strip: its box area outside, or for a box
// wholly outside, its area plus the distance to the strip's centre.
double containerLoss(const CollisionShape& s, double x, double y, double length, double width);

}  // namespace tarn::strip
