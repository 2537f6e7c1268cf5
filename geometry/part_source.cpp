#include "geometry/part_source.h"

#include <cmath>

#include "geometry/core_error.h"
#include "geometry/region.h"
#include "geometry/segment.h"
#include "geometry/texts.h"

namespace tarn {
namespace {

constexpr double kLabelHeightPerDiagonal = 0.1;

void copyAllButChordTol(PartSource& to, const PartSource& from) {
  to.outer = from.outer;
  to.holes = from.holes;  // the list copy reverses them
  to.nameLabel = from.nameLabel;
  to.turnedOver = from.turnedOver;
  to.refPoint = from.refPoint;
  to.rotation = from.rotation;
  to.id = from.id;
  to.area = from.area;
  to.centroid = from.centroid;
}

// Box of the outline's vertices; radii are not looked at.
BBox vertexBox(const RadiusPolyline& poly) {
  Region region;
  region.points = poly.points;
  return computeBBox(region);
}

void mirrorInPlace(Point& p, const Segment& line) {
  const Point m = mirrorAcross(p, line);
  p.x = m.x;
  p.y = m.y;
}

}  // namespace

PartSource::PartSource(const PartSource& other) {
  if (other.outer.points.empty()) {
    throw CoreError(text::kEmptyOutline);
  }
  copyAllButChordTol(*this, other);
}

PartSource& PartSource::operator=(const PartSource& other) {
  if (other.outer.points.empty()) {
    throw CoreError(text::kEmptyOutline);
  }
  copyAllButChordTol(*this, other);
  return *this;
}

void initSource(PartSource& source, const RadiusPolyline& outer, const RadiusPolylineList& holes) {
  source.outer = outer;
  source.holes = holes;
  const BBox box = vertexBox(source.outer);
  const double w = box.xmax - box.xmin;
  const double h = box.ymax - box.ymin;
  const Point first = source.outer.points.front();
  source.nameLabel.angle = 0.0;
  source.nameLabel.height = std::sqrt(w * w + h * h) * kLabelHeightPerDiagonal;
  source.nameLabel.x = first.x;
  source.nameLabel.y = first.y;
  source.refPoint = first;
  source.rotation = 0.0;
  sourceArea(source);
  sourceCentroid(source);
}

double sourceArea(PartSource& source) {
  Region outer = polylineToRegion(source.outer, source.chordTol);
  double area = computeArea(outer);
  for (const RadiusPolyline& hole : source.holes) {
    Region region = polylineToRegion(hole, source.chordTol);
    area -= computeArea(region);
  }
  source.area = area;
  return area;
}

Point sourceCentroid(PartSource& source) {
  Region outer = polylineToRegion(source.outer, source.chordTol);
  const double a0 = computeArea(outer);
  const Point c0 = computeCentroid(outer);
  double a = a0;
  double x = a0 * c0.x;
  double y = a0 * c0.y;
  for (const RadiusPolyline& hole : source.holes) {
    Region region = polylineToRegion(hole, source.chordTol);
    const double ah = computeArea(region);
    const Point ch = computeCentroid(region);
    a -= ah;
    x -= ah * ch.x;
    y -= ah * ch.y;
  }
  Point c;
  c.x = x / a;
  c.y = y / a;
  // Without net area the outer outline's own centroid stands in.
  if (a == 0.0 || !std::isfinite(c.x) || !std::isfinite(c.y)) {
    c.x = c0.x;
    c.y = c0.y;
  }
  source.centroid.x = c.x;
  source.centroid.y = c.y;
  return source.centroid;
}

void buildPart(const PartSource& source, Part& part) {
  const Region outer = polylineToRegion(source.outer, source.chordTol);
  RegionList holes;
  for (const RadiusPolyline& hole : source.holes) {
    holes.insert(polylineToRegion(hole, source.chordTol));
  }
  setGeometry(part, outer, holes);
  part.turnedOver = source.turnedOver;
  part.refPoint = source.refPoint;
  part.rotation = source.rotation;
  part.nameLabel = source.nameLabel;
  part.id = source.id;
}

void translate(PartSource& source, double dx, double dy) {
  translate(source.outer, dx, dy);
  for (RadiusPolyline& hole : source.holes) {
    translate(hole, dx, dy);
  }
  source.nameLabel.x += dx;
  source.nameLabel.y += dy;
  source.refPoint.x += dx;
  source.refPoint.y += dy;
  source.centroid.x += dx;
  source.centroid.y += dy;
}

void rotate(PartSource& source, const Point& centre, double angle) {
  const Point c = centre;  // the caller may pass one of the source's own points
  rotate(source.outer, c, angle);
  for (RadiusPolyline& hole : source.holes) {
    rotate(hole, c, angle);
  }
  Point label{source.nameLabel.x, source.nameLabel.y};
  rotateAbout(label, c, angle);
  source.nameLabel.x = label.x;
  source.nameLabel.y = label.y;
  source.nameLabel.angle += angle / std::acos(-1.0) * 180.0;
  rotateAbout(source.refPoint, c, angle);
  rotateAbout(source.centroid, c, angle);
  source.rotation += angle;
}

void turnOver(PartSource& source, const Point& p) {
  const BBox box = polylineToRegion(source.outer, source.chordTol).bbox;
  double length = (box.ymax - box.ymin) * 0.5 + (box.xmax - box.xmin) * 0.5;
  // A source without extent gets a mirror line of unit length.
  if (!(length * length > 0.0) || !std::isfinite(length * length)) {
    length = 1.0;
  }
  Point far = p;
  far.x = p.x + length;
  far.y = p.y;
  const Segment line = makeSegment(p, far);
  mirror(source.outer, line);
  for (RadiusPolyline& hole : source.holes) {
    mirror(hole, line);
  }
  Point label{source.nameLabel.x, source.nameLabel.y};
  mirrorInPlace(label, line);
  source.nameLabel.x = label.x;
  source.nameLabel.y = label.y;
  mirrorInPlace(source.refPoint, line);
  // The centroid follows the outline, as it does under translate and rotate.
  mirrorInPlace(source.centroid, line);
  source.rotation = -source.rotation;
  source.turnedOver = !source.turnedOver;
}

}  // namespace tarn
