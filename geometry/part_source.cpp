#include "geometry/part_source.h"

#include <cmath>

#include "geometry/core_error.h"
#include "geometry/part_shape.h"
#include "geometry/region.h"
#include "geometry/segment.h"
#include "geometry/texts.h"

namespace tarn {
namespace {

constexpr double kLabelHeightPerDiagonal = 0.1;

// A hole as the Region its part is measured by.
auto discretised(const PartSource& source) {
  return [h = source.chordTol](const RadiusPolyline& hole) { return polylineToRegion(hole, h); };
}

// Box of the outline's vertices; radii are not looked at.
BBox vertexBox(const RadiusPolyline& poly) {
  Region region;
  region.points = poly.points;
  return computeBBox(region);
}

}  // namespace

// Delegates to the assignment, so chordTol keeps its construction value.
PartSource::PartSource(const PartSource& other) {
  *this = other;
}

PartSource& PartSource::operator=(const PartSource& other) {
  if (other.outer.points.empty()) {
    throw CoreError(text::kEmptyOutline);
  }
  outer = other.outer;
  holes = other.holes;  // the list copy reverses them
  nameLabel = other.nameLabel;
  turnedOver = other.turnedOver;
  refPoint = other.refPoint;
  rotation = other.rotation;
  id = other.id;
  area = other.area;
  centroid = other.centroid;
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
  source.area = detail::netArea(outer, source.holes, discretised(source));
  return source.area;
}

Point sourceCentroid(PartSource& source) {
  Region outer = polylineToRegion(source.outer, source.chordTol);
  const Point c = detail::netCentroid(outer, source.holes, discretised(source));
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
  detail::translateShape(source, dx, dy);
}

void rotate(PartSource& source, const Point& centre, double angle) {
  detail::rotateShape(source, centre, angle);
}

void turnOver(PartSource& source, const Point& p) {
  const Segment line =
      detail::turnOverShape(source, p, polylineToRegion(source.outer, source.chordTol).bbox);
  // The centroid follows the outline, as it does under translate and rotate.
  mirrorInPlace(source.centroid, line);
}

}  // namespace tarn
