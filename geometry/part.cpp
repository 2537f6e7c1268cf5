#include "geometry/part.h"

#include <algorithm>
#include <cmath>

#include "geometry/core_error.h"
#include "geometry/segment.h"
#include "geometry/texts.h"

namespace tarn {
namespace {

constexpr int kOrientTrials = 900;  // 0 to 89.9 degrees in tenths
constexpr double kOrientStepDeg = 0.1;

// Every field but chordTol; the list copy reverses the holes.
void copyAllButChordTol(Part& to, const Part& from) {
  to.outer = from.outer;
  to.holes = from.holes;
  to.area = from.area;
  to.centroid = from.centroid;
  to.bbox = from.bbox;
  to.selected = from.selected;
  to.nameLabel = from.nameLabel;
  to.thickLabel = from.thickLabel;
  to.turnedOver = from.turnedOver;
  to.refPoint = from.refPoint;
  to.rotation = from.rotation;
  to.id = from.id;
  to.fillRatio = from.fillRatio;
  to.aspectRatio = from.aspectRatio;
}

double boundingMeasure(const BBox& b) {
  const double w = b.xmax - b.xmin;
  const double h = b.ymax - b.ymin;
  return w * h + std::max(w, h);
}

// The horizontal mirror line through p, as long as half the box's sides; a
// part without extent gets a line of unit length.
Segment turnOverLine(const Point& p, const BBox& box) {
  double length = (box.ymax - box.ymin) * 0.5 + (box.xmax - box.xmin) * 0.5;
  if (!(length * length > 0.0) || !std::isfinite(length * length)) {
    length = 1.0;
  }
  Point far = p;
  far.x = p.x + length;
  far.y = p.y;
  return makeSegment(p, far);
}

void mirrorInPlace(Point& p, const Segment& line) {
  const Point m = mirrorAcross(p, line);
  p.x = m.x;
  p.y = m.y;
}

}  // namespace

Part::Part(const Part& other) {
  if (other.outer.points.empty()) {
    throw CoreError(text::kEmptyOutline);
  }
  copyAllButChordTol(*this, other);
}

Part& Part::operator=(const Part& other) {
  if (other.outer.points.empty()) {
    throw CoreError(text::kEmptyOutline);
  }
  copyAllButChordTol(*this, other);
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
  double area = computeArea(part.outer);
  for (Region& hole : part.holes) {
    area -= computeArea(hole);
  }
  part.area = area;
  return area;
}

Point computePartCentroid(Part& part) {
  const double a0 = computeArea(part.outer);
  const Point c0 = computeCentroid(part.outer);
  double a = a0;
  double x = a0 * c0.x;
  double y = a0 * c0.y;
  for (Region& hole : part.holes) {
    const double ah = computeArea(hole);
    const Point ch = computeCentroid(hole);
    a -= ah;
    x -= ah * ch.x;
    y -= ah * ch.y;
  }
  Point c;
  c.x = x / a;
  c.y = y / a;
  // Without net area the outer region's own centroid stands in.
  if (a == 0.0 || !std::isfinite(c.x) || !std::isfinite(c.y)) {
    c.x = c0.x;
    c.y = c0.y;
  }
  part.centroid.x = c.x;
  part.centroid.y = c.y;
  return part.centroid;
}

BBox computePartBBox(Part& part) {
  part.bbox = computeBBox(part.outer);
  return part.bbox;
}

double computeFillRatio(Part& part) {
  const BBox b = computePartBBox(part);
  const double w = b.xmax - b.xmin;
  const double h = b.ymax - b.ymin;
  // A box without area has no meaningful ratio: keep the neutral 1.
  double ratio = 1.0;
  if (w > 0.0 && h > 0.0) {
    ratio = part.outer.area / w / h;
    if (ratio > 1.0 || !std::isfinite(ratio)) {
      ratio = 1.0;
    }
  }
  part.fillRatio = ratio;
  return ratio;
}

double computeAspectRatio(Part& part) {
  const BBox b = computePartBBox(part);
  const double w = b.xmax - b.xmin;
  const double h = b.ymax - b.ymin;
  // A box without area has no meaningful ratio: keep the neutral 1.
  double ratio = 1.0;
  if (w > 0.0 && h > 0.0) {
    ratio = h < w ? w / h : h / w;
    if (!std::isfinite(ratio)) {
      ratio = 1.0;
    }
  }
  part.aspectRatio = ratio;
  return ratio;
}

Point centroidOf(const Part& part) {
  return part.centroid;
}

void translate(Part& part, double dx, double dy) {
  translate(part.outer, dx, dy);
  for (Region& hole : part.holes) {
    translate(hole, dx, dy);
  }
  part.bbox.xmin += dx;
  part.bbox.xmax += dx;
  part.bbox.ymin += dy;
  part.bbox.ymax += dy;
  part.centroid.x += dx;
  part.centroid.y += dy;
  part.nameLabel.x += dx;
  part.nameLabel.y += dy;
  part.thickLabel.x += dx;
  part.thickLabel.y += dy;
  part.refPoint.x += dx;
  part.refPoint.y += dy;
}

void rotate(Part& part, const Point& centre, double angle) {
  const Point c = centre;  // the caller may pass one of the part's own points
  rotate(part.outer, c, angle);
  for (Region& hole : part.holes) {
    rotate(hole, c, angle);
  }
  rotateAbout(part.centroid, c, angle);
  computePartBBox(part);
  computeFillRatio(part);
  Point label{part.nameLabel.x, part.nameLabel.y};
  rotateAbout(label, c, angle);
  part.nameLabel.x = label.x;
  part.nameLabel.y = label.y;
  part.nameLabel.angle += angle / std::acos(-1.0) * 180.0;
  rotateAbout(part.refPoint, c, angle);
  part.rotation += angle;
}

void turnOver(Part& part, const Point& p) {
  const Segment line = turnOverLine(p, part.bbox);
  mirror(part.outer, line);
  for (Region& hole : part.holes) {
    mirror(hole, line);
  }
  computePartCentroid(part);
  computePartBBox(part);
  Point label{part.nameLabel.x, part.nameLabel.y};
  mirrorInPlace(label, line);
  part.nameLabel.x = label.x;
  part.nameLabel.y = label.y;
  mirrorInPlace(part.refPoint, line);
  part.rotation = -part.rotation;
  part.turnedOver = !part.turnedOver;
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

}  // namespace tarn
