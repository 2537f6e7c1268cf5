#include "nesting/fit_tester.h"

#include <cmath>
#include <vector>

#include "app/packing_job.h"
#include "geometry/predicates.h"

namespace tarn {
namespace {

std::uint64_t& fitTests() {
  static std::uint64_t count = 0;
  return count;
}

BBox translated(const BBox& box, double dx, double dy) {
  return BBox{box.xmin + dx, box.xmax + dx, box.ymin + dy, box.ymax + dy};
}

void placeRegion(Region& to, const Region& from, double dx, double dy) {
  to.points.resize(from.points.size());
  for (std::size_t i = 0; i < from.points.size(); ++i) {
    to.points[i].x = from.points[i].x + dx;
    to.points[i].y = from.points[i].y + dy;
    to.points[i].tol = from.points[i].tol;
  }
  to.area = from.area;
  to.bbox = translated(from.bbox, dx, dy);
}

// A part wholly on the far side of a plate edge can never meet a part that lies
// inside the plate (within kRectTolerance, far below kDisjointBoxGap).
bool outsidePlate(const BBox& box, const BBox& plate) {
  return box.xmin >= plate.xmax || box.xmax <= plate.xmin || box.ymin >= plate.ymax ||
         box.ymax <= plate.ymin;
}

}  // namespace

std::uint64_t fitTestCount() {
  return fitTests();
}
void resetFitTestCount() {
  fitTests() = 0;
}
void countFitTest() {
  ++fitTests();
}

bool boxesApart(const BBox& a, const BBox& b) {
  return a.xmin > b.xmax || std::abs(a.xmin - b.xmax) < kDisjointBoxGap || a.xmax < b.xmin ||
         std::abs(a.xmax - b.xmin) < kDisjointBoxGap || a.ymin > b.ymax ||
         std::abs(a.ymin - b.ymax) < kDisjointBoxGap || b.ymin > a.ymax ||
         std::abs(a.ymax - b.ymin) < kDisjointBoxGap;
}

Part sameOrderCopy(const Part& part) {
  const Part reversed(part);
  return Part(reversed);
}

void placeTranslated(Part& scratch, const Part& shape, double dx, double dy) {
  placeRegion(scratch.outer, shape.outer, dx, dy);
  if (scratch.holes.count() != shape.holes.count()) {
    scratch.holes.clear();
    std::vector<const Region*> holes;
    for (const Region& hole : shape.holes) {
      holes.push_back(&hole);
    }
    // Front insertion: the last hole first keeps the order of `shape`.
    for (auto it = holes.rbegin(); it != holes.rend(); ++it) {
      scratch.holes.insert(**it);
    }
  }
  auto to = scratch.holes.begin();
  for (const Region& hole : shape.holes) {
    placeRegion(*to, hole, dx, dy);
    ++to;
  }
  scratch.area = shape.area;
  scratch.bbox = translated(shape.bbox, dx, dy);
  scratch.centroid.x = shape.centroid.x + dx;
  scratch.centroid.y = shape.centroid.y + dy;
  scratch.centroid.tol = shape.centroid.tol;
  scratch.refPoint.x = shape.refPoint.x + dx;
  scratch.refPoint.y = shape.refPoint.y + dy;
  scratch.refPoint.tol = shape.refPoint.tol;
  // Only the label positions: the predicates never read the texts.
  scratch.nameLabel.x = shape.nameLabel.x + dx;
  scratch.nameLabel.y = shape.nameLabel.y + dy;
  scratch.thickLabel.x = shape.thickLabel.x + dx;
  scratch.thickLabel.y = shape.thickLabel.y + dy;
  scratch.selected = shape.selected;
  scratch.id = shape.id;
  scratch.turnedOver = shape.turnedOver;
  scratch.rotation = shape.rotation;
  scratch.fillRatio = shape.fillRatio;
  scratch.aspectRatio = shape.aspectRatio;
}

FitTester::FitTester(const PackingJob& job, const Part* skipped) : plate_(job.plateExtents) {
  neighbours_.reserve(static_cast<std::size_t>(job.workingParts.count()));
  for (const Part& part : job.workingParts) {
    if (&part != skipped && !outsidePlate(part.outer.bbox, plate_)) {
      neighbours_.push_back(Neighbour{part.outer.bbox, &part});
    }
  }
}

bool FitTester::fits(const Part& part) const {
  countFitTest();
  if (!withinRect(part, plate_)) {
    return false;
  }
  for (const Neighbour& neighbour : neighbours_) {
    if (!boxesApart(part.outer.bbox, neighbour.box) && !partsDisjoint(part, *neighbour.part)) {
      return false;
    }
  }
  return true;
}

bool FitTester::fitsTranslated(const Part& shape, double dx, double dy, Part& scratch) const {
  countFitTest();
  // withinRect reads the outer box alone, so the vertices wait until a
  // neighbour's box says they are needed.
  scratch.outer.bbox = translated(shape.outer.bbox, dx, dy);
  if (!withinRect(scratch, plate_)) {
    return false;
  }
  const BBox box = scratch.outer.bbox;
  bool placed = false;
  for (const Neighbour& neighbour : neighbours_) {
    if (boxesApart(box, neighbour.box)) {
      continue;
    }
    if (!placed) {
      placeTranslated(scratch, shape, dx, dy);
      placed = true;
    }
    if (!partsDisjoint(scratch, *neighbour.part)) {
      return false;
    }
  }
  return true;
}

}  // namespace tarn
