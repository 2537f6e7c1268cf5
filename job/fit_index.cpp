#include "job/fit_index.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/predicates.h"

namespace tarn {
namespace {

// Half the box gap: a box this close beyond a plate edge is parted by the box
// rule from every box that passes withinRect (whose tolerance is far smaller).
constexpr double kBeyondMargin = 0.5 * kDisjointBoxGap;
constexpr double kCellsAlongLongerSide = 48.0;  // without parts to size the buckets after
constexpr double kMaxCells = 65536.0;

BBox translated(const BBox& box, double dx, double dy) {
  return BBox{box.xmin + dx, box.xmax + dx, box.ymin + dy, box.ymax + dy};
}

bool finite(const BBox& box) {
  return std::isfinite(box.xmin) && std::isfinite(box.xmax) && std::isfinite(box.ymin) &&
         std::isfinite(box.ymax);
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

// The median of the parts' longer box sides: buckets of about one part.
double typicalSide(const PartList& parts) {
  std::vector<double> sides;
  sides.reserve(static_cast<std::size_t>(parts.count()));
  for (const Part& part : parts) {
    const BBox& b = part.outer.bbox;
    const double side = std::max(b.xmax - b.xmin, b.ymax - b.ymin);
    if (side > 0.0 && std::isfinite(side)) {
      sides.push_back(side);
    }
  }
  if (sides.empty()) {
    return 0.0;
  }
  auto middle = sides.begin() + static_cast<std::ptrdiff_t>(sides.size() / 2);
  std::nth_element(sides.begin(), middle, sides.end());
  return *middle;
}

}  // namespace

bool FitIndex::beyondPlate(const BBox& box, const BBox& plate) {
  return box.xmin >= plate.xmax - kBeyondMargin || box.xmax <= plate.xmin + kBeyondMargin ||
         box.ymin >= plate.ymax - kBeyondMargin || box.ymax <= plate.ymin + kBeyondMargin;
}

FitIndex::FitIndex(const BBox& plate, const PartList& parts) : plate_(plate) {
  const double width = plate_.xmax - plate_.xmin;
  const double height = plate_.ymax - plate_.ymin;
  if (width > 0.0 && height > 0.0 && std::isfinite(width) && std::isfinite(height)) {
    double size = typicalSide(parts);
    if (!(size > 0.0)) {
      size = std::max(width, height) / kCellsAlongLongerSide;
    }
    // Never more buckets than kMaxCells: larger ones then.
    const double cells = std::ceil(width / size) * std::ceil(height / size);
    if (!(cells <= kMaxCells)) {
      size *= std::sqrt(cells / kMaxCells) * 1.01;
    }
    cellSize_ = size;
    cellsX_ = std::max(1, static_cast<int>(std::ceil(width / size)));
    cellsY_ = std::max(1, static_cast<int>(std::ceil(height / size)));
  }
  cells_.resize(static_cast<std::size_t>(cellsX_) * static_cast<std::size_t>(cellsY_));
  for (const Part& part : parts) {
    update(part);
  }
}

// Flooring is monotonic, so two boxes that share a point share a bucket.
void FitIndex::cellRange(double lo, double hi, double origin, int count, int& first,
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

void FitIndex::file(std::size_t slot) {
  Entry& e = entries_[slot];
  if (finite(e.box)) {
    cellRange(e.box.xmin, e.box.xmax, plate_.xmin, cellsX_, e.i0, e.i1);
    cellRange(e.box.ymin, e.box.ymax, plate_.ymin, cellsY_, e.j0, e.j1);
  } else {
    // A box that is not a number meets every box: filed everywhere.
    e.i0 = 0;
    e.i1 = cellsX_ - 1;
    e.j0 = 0;
    e.j1 = cellsY_ - 1;
  }
  for (int i = e.i0; i <= e.i1; ++i) {
    for (int j = e.j0; j <= e.j1; ++j) {
      cells_[static_cast<std::size_t>(i) * static_cast<std::size_t>(cellsY_) +
             static_cast<std::size_t>(j)]
          .push_back(static_cast<std::uint32_t>(slot));
    }
  }
}

void FitIndex::unfile(std::size_t slot) {
  const Entry& e = entries_[slot];
  for (int i = e.i0; i <= e.i1; ++i) {
    for (int j = e.j0; j <= e.j1; ++j) {
      auto& cell = cells_[static_cast<std::size_t>(i) * static_cast<std::size_t>(cellsY_) +
                          static_cast<std::size_t>(j)];
      cell.erase(std::find(cell.begin(), cell.end(), static_cast<std::uint32_t>(slot)));
    }
  }
}

bool FitIndex::update(const Part& part) {
  const auto found = slotOf_.find(&part);
  const bool wasFiled = found != slotOf_.end();
  const bool filed = !beyondPlate(part.outer.bbox, plate_);
  if (wasFiled) {
    const std::size_t slot = found->second;
    unfile(slot);
    if (filed) {
      entries_[slot].box = part.outer.bbox;
      file(slot);
    } else {
      entries_[slot] = Entry{};
      freeSlots_.push_back(slot);
      slotOf_.erase(found);
    }
    return true;
  }
  if (filed) {
    std::size_t slot = 0;
    if (freeSlots_.empty()) {
      slot = entries_.size();
      entries_.emplace_back();
      seen_.push_back(0);
    } else {
      slot = freeSlots_.back();
      freeSlots_.pop_back();
    }
    entries_[slot].box = part.outer.bbox;
    entries_[slot].part = &part;
    file(slot);
    slotOf_.emplace(&part, slot);
  }
  return false;
}

bool FitIndex::holds(const Part& part) const {
  return slotOf_.count(&part) != 0;
}

bool FitIndex::holdsAt(const Part& part, const BBox& box) const {
  const auto found = slotOf_.find(&part);
  if (found == slotOf_.end()) {
    return false;
  }
  const BBox& filed = entries_[found->second].box;
  return filed.xmin == box.xmin && filed.xmax == box.xmax && filed.ymin == box.ymin &&
         filed.ymax == box.ymax;
}

template <class Disjoint>
bool FitIndex::disjointFromAll(const BBox& box, const Part* skipped, Disjoint&& disjoint) const {
  // Nearby positions are mostly blocked by the same part: ask it first.
  if (lastBlocker_ < entries_.size()) {
    const Entry& e = entries_[lastBlocker_];
    if (e.part != nullptr && e.part != skipped && !disjoint(e)) {
      return false;
    }
  }
  if (++visit_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    visit_ = 1;
  }
  int i0 = 0, i1 = 0, j0 = 0, j1 = 0;
  if (finite(box)) {
    cellRange(box.xmin, box.xmax, plate_.xmin, cellsX_, i0, i1);
    cellRange(box.ymin, box.ymax, plate_.ymin, cellsY_, j0, j1);
  } else {
    i1 = cellsX_ - 1;
    j1 = cellsY_ - 1;
  }
  for (int i = i0; i <= i1; ++i) {
    for (int j = j0; j <= j1; ++j) {
      const auto& cell = cells_[static_cast<std::size_t>(i) * static_cast<std::size_t>(cellsY_) +
                                static_cast<std::size_t>(j)];
      for (const std::uint32_t slot : cell) {
        if (seen_[slot] == visit_) {
          continue;
        }
        seen_[slot] = visit_;
        const Entry& e = entries_[slot];
        if (slot == lastBlocker_ || e.part == skipped || disjoint(e)) {
          continue;
        }
        lastBlocker_ = slot;
        return false;
      }
    }
  }
  return true;
}

bool FitIndex::fits(const Part& part, const Part* skipped) const {
  ++tests_;
  if (!withinRect(part, plate_)) {
    return false;
  }
  const BBox& box = part.outer.bbox;
  return disjointFromAll(box, skipped, [&](const Entry& e) {
    return boxesApart(box, e.part->outer.bbox) || partsDisjoint(part, *e.part);
  });
}

bool FitIndex::fitsTranslated(const Part& shape, double dx, double dy, Part& scratch,
                              const Part* skipped) const {
  ++tests_;
  // withinRect reads the outer box alone, so the vertices wait until a
  // filed part's box says they are needed.
  scratch.outer.bbox = translated(shape.outer.bbox, dx, dy);
  if (!withinRect(scratch, plate_)) {
    return false;
  }
  const BBox box = scratch.outer.bbox;
  bool placed = false;
  return disjointFromAll(box, skipped, [&](const Entry& e) {
    if (boxesApart(box, e.part->outer.bbox)) {
      return true;
    }
    if (!placed) {
      placeTranslated(scratch, shape, dx, dy);
      placed = true;
    }
    return partsDisjoint(scratch, *e.part);
  });
}

}  // namespace tarn
