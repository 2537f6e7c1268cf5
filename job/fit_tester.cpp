#include "job/fit_tester.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/predicates.h"

namespace tarn {
namespace {

constexpr std::size_t kFewNeighbours = 8;       // below this a walk beats the buckets
constexpr double kCellsAlongLongerSide = 48.0;  // buckets along the plate's longer side

BBox translated(const BBox& box, double dx, double dy) {
  return BBox{box.xmin + dx, box.xmax + dx, box.ymin + dy, box.ymax + dy};
}

void placeRegion(Region& to, const Region& from, double dx, double dy) {
  if (to.points.size() != from.points.size()) {
    to.points = from.points;  // the tolerances come with the first copy
  }
  const Point* source = from.points.data();
  Point* target = to.points.data();
  const std::size_t count = from.points.size();
  for (std::size_t i = 0; i < count; ++i) {
    target[i].x = source[i].x + dx;
    target[i].y = source[i].y + dy;
  }
  to.area = from.area;
  to.bbox = translated(from.bbox, dx, dy);
}

// The box rule that partsDisjoint applies first: boxes apart along either axis,
// or closer than kDisjointBoxGap, make the parts disjoint without a look at
// their vertices.
bool boxesApart(const BBox& a, const BBox& b) {
  return a.xmin > b.xmax || std::abs(a.xmin - b.xmax) < kDisjointBoxGap || a.xmax < b.xmin ||
         std::abs(a.xmax - b.xmin) < kDisjointBoxGap || a.ymin > b.ymax ||
         std::abs(a.ymin - b.ymax) < kDisjointBoxGap || b.ymin > a.ymax ||
         std::abs(a.ymax - b.ymin) < kDisjointBoxGap;
}

// Sets the outer region and the holes of `scratch` to those of `shape`
// translated by (dx, dy), all the predicates read. Reuses the scratch's storage
// when the counts match.
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
}

// A part wholly on the far side of a plate edge can never meet a part that lies
// inside the plate (within kRectTolerance, far below kDisjointBoxGap).
bool outsidePlate(const BBox& box, const BBox& plate) {
  return box.xmin >= plate.xmax || box.xmax <= plate.xmin || box.ymin >= plate.ymax ||
         box.ymax <= plate.ymin;
}

}  // namespace

template <class VisitCell>
bool FitTester::forEachCell(const BBox& box, VisitCell&& visitCell) const {
  int i0 = 0, i1 = 0, j0 = 0, j1 = 0;
  cellRange(box.xmin, box.xmax, plate_.xmin, cellsX_, i0, i1);
  cellRange(box.ymin, box.ymax, plate_.ymin, cellsY_, j0, j1);
  for (int i = i0; i <= i1; ++i) {
    for (int j = j0; j <= j1; ++j) {
      if (!visitCell(static_cast<std::size_t>(i) * static_cast<std::size_t>(cellsY_) +
                     static_cast<std::size_t>(j))) {
        return false;
      }
    }
  }
  return true;
}

FitTester::FitTester(const BBox& plate, const PartList& parts, const Part* skipped,
                     RunCounters* counters)
    : plate_(plate), counters_(counters) {
  neighbours_.reserve(static_cast<std::size_t>(parts.count()));
  for (const Part& part : parts) {
    if (&part != skipped && !outsidePlate(part.outer.bbox, plate_)) {
      neighbours_.push_back(Neighbour{part.outer.bbox, &part});
    }
  }
  const double width = plate_.xmax - plate_.xmin;
  const double height = plate_.ymax - plate_.ymin;
  if (neighbours_.size() < kFewNeighbours || !(width > 0.0) || !(height > 0.0) ||
      !std::isfinite(width) || !std::isfinite(height)) {
    return;  // a plain walk is as quick
  }
  cellSize_ = std::max(width, height) / kCellsAlongLongerSide;
  cellsX_ = std::max(1, static_cast<int>(std::ceil(width / cellSize_)));
  cellsY_ = std::max(1, static_cast<int>(std::ceil(height / cellSize_)));
  const std::size_t cells = static_cast<std::size_t>(cellsX_) * static_cast<std::size_t>(cellsY_);
  cellStart_.assign(cells + 1, 0);
  // Count, then fill: every neighbour goes into each bucket its box touches.
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<int> fill;
    if (pass == 1) {
      for (std::size_t c = 0; c < cells; ++c) {
        cellStart_[c + 1] += cellStart_[c];
      }
      cellItems_.resize(static_cast<std::size_t>(cellStart_[cells]));
      fill.assign(cellStart_.begin(), cellStart_.end() - 1);
    }
    for (std::size_t n = 0; n < neighbours_.size(); ++n) {
      forEachCell(neighbours_[n].box, [&](std::size_t c) {
        if (pass == 0) {
          ++cellStart_[c + 1];
        } else {
          cellItems_[static_cast<std::size_t>(fill[c]++)] = static_cast<int>(n);
        }
        return true;
      });
    }
  }
  seen_.assign(neighbours_.size(), 0);
}

FitTester::~FitTester() {
  if (counters_ != nullptr) {
    counters_->fitTests += tests_;
  }
}

// Flooring is monotonic, so two boxes that share a point share a bucket.
void FitTester::cellRange(double lo, double hi, double origin, int count, int& first,
                          int& last) const {
  const auto index = [&](double value) {
    const double cell = std::floor((value - origin) / cellSize_);
    if (!(cell > 0.0)) {
      return 0;
    }
    return cell < count - 1 ? static_cast<int>(cell) : count - 1;
  };
  first = index(lo);
  last = index(hi);
}

template <class Visit>
bool FitTester::visitNear(const BBox& box, Visit&& visit) const {
  if (cellsX_ == 0) {
    for (const Neighbour& neighbour : neighbours_) {
      if (!visit(neighbour)) {
        return false;
      }
    }
    return true;
  }
  if (++visit_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    visit_ = 1;
  }
  return forEachCell(box, [&](std::size_t c) {
    for (int k = cellStart_[c]; k < cellStart_[c + 1]; ++k) {
      const std::size_t n = static_cast<std::size_t>(cellItems_[static_cast<std::size_t>(k)]);
      if (seen_[n] == visit_) {
        continue;
      }
      seen_[n] = visit_;
      if (!visit(neighbours_[n])) {
        return false;
      }
    }
    return true;
  });
}

template <class Disjoint>
bool FitTester::disjointFromAll(const BBox& box, Disjoint&& disjoint) const {
  // Nearby positions are mostly blocked by the same part: ask it first.
  if (lastBlocker_ < neighbours_.size() && !disjoint(neighbours_[lastBlocker_])) {
    return false;
  }
  return visitNear(box, [&](const Neighbour& neighbour) {
    const auto index = static_cast<std::size_t>(&neighbour - neighbours_.data());
    if (index == lastBlocker_ || disjoint(neighbour)) {
      return true;
    }
    lastBlocker_ = index;
    return false;
  });
}

bool FitTester::fits(const Part& part) const {
  ++tests_;
  if (!withinRect(part, plate_)) {
    return false;
  }
  const BBox& box = part.outer.bbox;
  return disjointFromAll(box, [&](const Neighbour& neighbour) {
    return boxesApart(box, neighbour.box) || partsDisjoint(part, *neighbour.part);
  });
}

bool FitTester::fitsTranslated(const Part& shape, double dx, double dy, Part& scratch) const {
  ++tests_;
  // withinRect reads the outer box alone, so the vertices wait until a
  // neighbour's box says they are needed.
  scratch.outer.bbox = translated(shape.outer.bbox, dx, dy);
  if (!withinRect(scratch, plate_)) {
    return false;
  }
  const BBox box = scratch.outer.bbox;
  bool placed = false;
  return disjointFromAll(box, [&](const Neighbour& neighbour) {
    if (boxesApart(box, neighbour.box)) {
      return true;
    }
    if (!placed) {
      placeTranslated(scratch, shape, dx, dy);
      placed = true;
    }
    return partsDisjoint(scratch, *neighbour.part);
  });
}

}  // namespace tarn
