#include "geometry/part.h"

#include <algorithm>
#include <cmath>

#include "geometry/core_error.h"
#include "geometry/part_shape.h"
#include "geometry/segment.h"
#include "geometry/texts.h"

namespace tarn {
namespace {

constexpr int kOrientTrials = 900;  // 0 to 89.9 degrees in tenths
constexpr double kOrientStepDeg = 0.1;

double boundingMeasure(const BBox& b) {
  const double w = b.xmax - b.xmin;
  const double h = b.ymax - b.ymin;
  return w * h + std::max(w, h);
}

// A ratio of the box's sides through ratioOf(w, h); a box without area, or a
// ratio that is not finite, keeps the neutral 1.
template <class RatioOf>
double boxRatio(Part& part, RatioOf ratioOf) {
  const BBox b = computePartBBox(part);
  const double w = b.xmax - b.xmin;
  const double h = b.ymax - b.ymin;
  if (!(w > 0.0 && h > 0.0)) {
    return 1.0;
  }
  const double ratio = ratioOf(w, h);
  return std::isfinite(ratio) ? ratio : 1.0;
}

Region& asIs(Region& hole) {
  return hole;
}

}  // namespace

// Delegates to the assignment, so chordTol keeps its construction value.
Part::Part(const Part& other) {
  *this = other;
}

// Every field but chordTol; the list copy reverses the holes.
Part& Part::operator=(const Part& other) {
  if (other.outer.points.empty()) {
    throw CoreError(text::kEmptyOutline);
  }
  outer = other.outer;
  holes = other.holes;
  area = other.area;
  centroid = other.centroid;
  bbox = other.bbox;
  selected = other.selected;
  nameLabel = other.nameLabel;
  thickLabel = other.thickLabel;
  turnedOver = other.turnedOver;
  refPoint = other.refPoint;
  rotation = other.rotation;
  id = other.id;
  fillRatio = other.fillRatio;
  aspectRatio = other.aspectRatio;
  return *this;
}

void setGeometry(Part& part, const Region& outer, const RegionList& holes) {
  part.outer = outer;
  part.holes = holes;
  computeNetArea(part);
  computePartCentroid(part);
  part.bbox = part.outer.bbox;
  computeFillRatio(part);
  computeAspectRatio(part);
  part.refPoint = vertex(part.outer, 0);
  part.rotation = 0.0;
}

double computeNetArea(Part& part) {
  part.area = detail::netArea(part.outer, part.holes, asIs);
  return part.area;
}

Point computePartCentroid(Part& part) {
  const Point c = detail::netCentroid(part.outer, part.holes, asIs);
  part.centroid.x = c.x;
  part.centroid.y = c.y;
  return part.centroid;
}

BBox computePartBBox(Part& part) {
  part.bbox = computeBBox(part.outer);
  return part.bbox;
}

double computeFillRatio(Part& part) {
  part.fillRatio = boxRatio(part, [&part](double w, double h) {
    const double ratio = part.outer.area / w / h;
    return ratio > 1.0 ? 1.0 : ratio;
  });
  return part.fillRatio;
}

double computeAspectRatio(Part& part) {
  part.aspectRatio = boxRatio(part, [](double w, double h) { return h < w ? w / h : h / w; });
  return part.aspectRatio;
}

Point centroidOf(const Part& part) {
  return part.centroid;
}

void translate(Part& part, double dx, double dy) {
  detail::translateShape(part, dx, dy);
  translate(part.bbox, dx, dy);
  translateXY(part.thickLabel, dx, dy);
}

void rotate(Part& part, const Point& centre, double angle) {
  detail::rotateShape(part, centre, angle);
  computePartBBox(part);
  computeFillRatio(part);
}

void turnOver(Part& part, const Point& p) {
  detail::turnOverShape(part, p, part.bbox);
  computePartCentroid(part);
  computePartBBox(part);
}

Point nearestVertexToCentroid(Part& part) {
  const Point c = computePartCentroid(part);
  Point candidate = nearestVertex(part.outer, c);
  double best = distance(candidate, c);
  for (const Region& hole : part.holes) {
    if (hole.points.empty()) {
      continue;
    }
    const Point v = nearestVertex(hole, c);
    const double d = distance(v, c);
    if (d < best) {
      best = d;
      candidate = v;
    }
  }
  return candidate;
}

void autoOrient(Part& part) {
  if (part.outer.points.empty()) {
    return;
  }
  const double step = std::acos(-1.0) * kOrientStepDeg / 180.0;
  double best = boundingMeasure(part.bbox);
  int bestIndex = 0;
  Region trial;
  for (int i = 1; i < kOrientTrials; ++i) {
    trial.points = part.outer.points;  // a fresh copy each time, capacity reused
    rotate(trial, part.refPoint, i * step);
    const double measure = boundingMeasure(trial.bbox);
    if (best > measure) {
      best = measure;
      bestIndex = i;
    }
  }
  rotate(part, part.refPoint, bestIndex * step);
}

Part sameOrderCopy(const Part& part) {
  const Part reversed(part);
  return Part(reversed);
}

}  // namespace tarn
