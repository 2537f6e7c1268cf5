#pragma once

// What Part and PartSource have in common: the net measures of an outline less
// its holes and the shared steps of their rigid transforms. Both records have
// `outer`, `holes`, `nameLabel`, `refPoint`, `centroid` and `rotation`.

#include <cmath>

#include "geometry/point.h"
#include "geometry/region.h"
#include "geometry/segment.h"

namespace tarn::detail {

template <class Shape, class Transform>
void forEachOutline(Shape& shape, Transform transform) {
  transform(shape.outer);
  for (auto& hole : shape.holes) {
    transform(hole);
  }
}

// asRegion(hole) gives a hole as a Region: the hole itself or a fresh one.
template <class Holes, class AsRegion>
double netArea(Region& outer, Holes& holes, AsRegion asRegion) {
  double area = computeArea(outer);
  for (auto& hole : holes) {
    decltype(auto) region = asRegion(hole);
    area -= computeArea(region);
  }
  return area;
}

// Without net area the outer region's own centroid stands in.
template <class Holes, class AsRegion>
Point netCentroid(Region& outer, Holes& holes, AsRegion asRegion) {
  const double a0 = computeArea(outer);
  const Point c0 = computeCentroid(outer);
  double a = a0;
  double x = a0 * c0.x;
  double y = a0 * c0.y;
  for (auto& hole : holes) {
    decltype(auto) region = asRegion(hole);
    const double ah = computeArea(region);
    const Point ch = computeCentroid(region);
    a -= ah;
    x -= ah * ch.x;
    y -= ah * ch.y;
  }
  Point c;
  c.x = x / a;
  c.y = y / a;
  if (a == 0.0 || !std::isfinite(c.x) || !std::isfinite(c.y)) {
    c.x = c0.x;
    c.y = c0.y;
  }
  return c;
}

template <class Shape>
void translateShape(Shape& shape, double dx, double dy) {
  forEachOutline(shape, [&](auto& outline) { translate(outline, dx, dy); });
  translateXY(shape.nameLabel, dx, dy);
  translateXY(shape.refPoint, dx, dy);
  translateXY(shape.centroid, dx, dy);
}

// The centroid turns with the outlines; the name label's angle turns with them.
template <class Shape>
void rotateShape(Shape& shape, const Point& centre, double angle) {
  const Point c = centre;  // the caller may pass one of the shape's own points
  forEachOutline(shape, [&](auto& outline) { rotate(outline, c, angle); });
  Point label{shape.nameLabel.x, shape.nameLabel.y};
  rotateAbout(label, c, angle);
  shape.nameLabel.x = label.x;
  shape.nameLabel.y = label.y;
  shape.nameLabel.angle += angle / std::acos(-1.0) * 180.0;
  rotateAbout(shape.refPoint, c, angle);
  rotateAbout(shape.centroid, c, angle);
  shape.rotation += angle;
}

// Mirrors across the horizontal line from p, as long as half the box's sides
// (a box without extent gets a line of unit length). The centroid is left to
// the caller, with the mirror line returned; the name label keeps its angle.
template <class Shape>
Segment turnOverShape(Shape& shape, const Point& p, const BBox& box) {
  double length = (box.ymax - box.ymin) * 0.5 + (box.xmax - box.xmin) * 0.5;
  if (!(length * length > 0.0) || !std::isfinite(length * length)) {
    length = 1.0;
  }
  Point far = p;
  far.x = p.x + length;
  far.y = p.y;
  const Segment line = makeSegment(p, far);
  forEachOutline(shape, [&](auto& outline) { mirror(outline, line); });
  Point label{shape.nameLabel.x, shape.nameLabel.y};
  mirrorInPlace(label, line);
  shape.nameLabel.x = label.x;
  shape.nameLabel.y = label.y;
  mirrorInPlace(shape.refPoint, line);
  shape.rotation = -shape.rotation;
  shape.turnedOver = !shape.turnedOver;
  return line;
}

}  // namespace tarn::detail
