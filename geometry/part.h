#pragma once

#include "geometry/point.h"
#include "geometry/region.h"
#include "geometry/sentinel_list.h"
#include "geometry/text_label.h"

namespace tarn {

inline constexpr double kDefaultChordTol = 1.0;  // mm, chord height for arcs and circles

// The unit that is nested: an outer boundary, its holes, two labels and the
// state that nesting and editing change.
//
// Invariant kept by translate, rotate and turnOver: refPoint, centroid, bbox and
// the name label's insertion point describe the current place of `outer`;
// `rotation` sums the angles applied since setGeometry, its sign flipped at
// every turn-over; `turnedOver` is true after an odd number of turn-overs.
struct Part {
  Region outer;
  RegionList holes;
  TextLabel nameLabel;
  TextLabel thickLabel;  // moves with the part, never rotated or mirrored
  double area = 0.0;     // net: outer minus holes
  BBox bbox;             // of the outer region
  Point centroid;        // of the net area
  double chordTol = kDefaultChordTol;
  bool selected = false;
  int id = 0;
  bool turnedOver = false;
  Point refPoint;
  double rotation = 0.0;  // radians
  double fillRatio = 1.0;
  double aspectRatio = 1.0;

  Part() = default;
  // Copies every field but chordTol (which stays 1.0); the holes come out in
  // reverse order. Throws CoreError when `other` has no outer vertices.
  Part(const Part& other);
  Part& operator=(const Part& other);
  Part(Part&&) noexcept = default;
  Part& operator=(Part&&) noexcept = default;
  ~Part() = default;
};

using PartList = SentinelList<Part>;

// Copies outer and holes (holes reversed) and computes area, centroid, bbox,
// ratios; refPoint = vertex 0 of outer, rotation = 0. Labels, selected, id,
// turnedOver and chordTol are left as they were.
// Throws CoreError when `outer` has no vertices.
void setGeometry(Part& part, const Region& outer, const RegionList& holes);
double computeNetArea(Part& part);
// Without net area the centroid of the outer region stands in.
Point computePartCentroid(Part& part);
BBox computePartBBox(Part& part);
// Outer area / box area, capped at 1; 1 for a box of zero width or height.
double computeFillRatio(Part& part);
// Longer box side / shorter side; 1 for a box of zero width or height.
double computeAspectRatio(Part& part);
Point centroidOf(const Part& part);

void translate(Part& part, double dx, double dy);
// Radians, counter-clockwise positive. aspectRatio is not recomputed.
void rotate(Part& part, const Point& centre, double angle);
// Mirrors across the horizontal line through p (y' = 2 * p.y - y), also for a
// part whose box is a single point.
void turnOver(Part& part, const Point& p);
Point nearestVertexToCentroid(Part& part);
// A copy whose holes keep their order (a single copy reverses them); like
// every copy it leaves chordTol at its default.
Part sameOrderCopy(const Part& part);
// Turns the part about refPoint (0 to 89.9 degrees, 0.1-degree steps) to the
// smallest bounding measure of its outer region; ties keep the smaller angle.
// A part without vertices is left alone.
void autoOrient(Part& part);

}  // namespace tarn
