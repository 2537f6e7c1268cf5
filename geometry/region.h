#pragma once

#include <vector>

#include "geometry/point.h"
#include "geometry/segment.h"
#include "geometry/sentinel_list.h"

namespace tarn {

// Always xmin, xmax, ymin, ymax.
struct BBox {
  double xmin = 0.0;
  double xmax = 0.0;
  double ymin = 0.0;
  double ymax = 0.0;
};

// One closed polygon: the edge after the last vertex returns to vertex 0.
// The vertex order is whatever the builder produced; turning over flips it.
struct Region {
  std::vector<Point> points;  // contiguous, so the predicates run by index
  double area = 0.0;          // absolute area, as last computed
  BBox bbox;                  // as last computed

  Region() = default;
  Region(const Region&) = default;  // copying an empty region gives an empty region
  Region(Region&&) noexcept = default;
  // Throws CoreError when `other` has no vertices.
  Region& operator=(const Region& other);
  Region& operator=(Region&&) noexcept = default;
  ~Region() = default;

  int count() const { return static_cast<int>(points.size()); }
};

using RegionList = SentinelList<Region>;

// Replaces the vertices, then recomputes bbox and area.
void setPoints(Region& region, const std::vector<Point>& pts);
Point vertex(const Region& region, int i);
// A region without vertices gets an all-zero box.
BBox computeBBox(Region& region);
double computeArea(Region& region);
bool isCounterClockwise(const Region& region);
// Independent of the vertex order. Without area (a line, a collapsed hole) the
// mean of the vertices; (0, 0) without vertices.
Point computeCentroid(const Region& region);
// The lowest index wins on equal distances; (0, 0) without vertices.
Point nearestVertex(const Region& region, const Point& p);
void translate(BBox& box, double dx, double dy);
void translate(Region& region, double dx, double dy);
// Radians, counter-clockwise positive (also for the vertices of RadiusPolylines).
void rotatePoints(std::vector<Point>& points, const Point& centre, double angle);
// Radians, counter-clockwise positive; recomputes the bbox.
void rotate(Region& region, const Point& centre, double angle);
// Reflects every vertex across the line of s (the orientation flips).
void mirror(Region& region, const Segment& s);

}  // namespace tarn
