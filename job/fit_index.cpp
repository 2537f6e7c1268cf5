#include "job/fit_index.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "geometry/predicates.h"

namespace tarn {
namespace {

// Half the box gap: a box this close beyond a plate edge is parted by the box
// rule from every box that passes withinRect (whose tolerance is far smaller).
constexpr double kBeyondMargin = 0.5 * kDisjointBoxGap;
constexpr double kCellsAlongLongerSide = 48.0;  // without parts to size the buckets after
constexpr double kMaxCells = 65536.0;
constexpr std::size_t kMaxBandEntriesPerEdge = 16;  // beyond this the plain walk serves

BBox translated(const BBox& box, double dx, double dy) {
  return BBox{box.xmin + dx, box.xmax + dx, box.ymin + dy, box.ymax + dy};
}

bool finite(const BBox& box) {
  return std::isfinite(box.xmin) && std::isfinite(box.xmax) && std::isfinite(box.ymin) &&
         std::isfinite(box.ymax);
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
      entries_[slot].bands.clear();
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

// A region of the tested part as the literal test reads it: vertex i is the
// region's plus (dx, dy), its box likewise, as a translated copy would hold
// them; without shift, the region as it is.
struct FitIndex::Moved {
  const Region& region;
  bool shift;
  double dx;
  double dy;

  std::size_t count() const { return region.points.size(); }
  Point at(std::size_t i) const {
    Point p;
    p.x = shift ? region.points[i].x + dx : region.points[i].x;
    p.y = shift ? region.points[i].y + dy : region.points[i].y;
    return p;
  }
  BBox box() const { return shift ? translated(region.bbox, dx, dy) : region.bbox; }
  // pointInRegion over every edge.
  bool contains(double px, double py) const {
    const BBox b = box();
    if (px < b.xmin || px > b.xmax || py < b.ymin || py > b.ymax) {
      return false;
    }
    int crossings = 0;
    const std::size_t n = count();
    for (std::size_t i = 0; i < n; ++i) {
      const Point p1 = at(i);
      const Point p2 = at(i + 1 == n ? 0 : i + 1);
      crossings += rayCrossing(p1.x, p1.y, p2.x, p2.y, px, py);
    }
    return crossings % 2 == 1;
  }
};

FitIndex::Bands FitIndex::bandsOf(const Region& region) {
  Bands b;
  const std::vector<Point>& points = region.points;
  const std::size_t n = points.size();
  for (const Point& p : points) {
    if (std::isnan(p.y)) {
      return b;
    }
    b.heights.push_back(p.y);
  }
  std::sort(b.heights.begin(), b.heights.end());
  b.heights.erase(std::unique(b.heights.begin(), b.heights.end()), b.heights.end());
  const auto level = [&b](double y) {
    return static_cast<std::size_t>(std::lower_bound(b.heights.begin(), b.heights.end(), y) -
                                    b.heights.begin());
  };
  const std::size_t bands = b.heights.empty() ? 0 : b.heights.size() - 1;
  b.start.assign(bands + 1, 0);
  std::vector<std::pair<std::size_t, std::size_t>> spans(n);  // bands [first, last)
  std::size_t entries = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double y1 = points[i].y;
    const double y2 = points[i + 1 == n ? 0 : i + 1].y;
    if (y1 == y2) {
      b.level.push_back(static_cast<std::uint32_t>(i));
      continue;
    }
    spans[i] = {level(std::min(y1, y2)), level(std::max(y1, y2))};
    entries += spans[i].second - spans[i].first;
  }
  if (entries > kMaxBandEntriesPerEdge * n) {
    return Bands{};
  }
  // Count, then fill.
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t k = spans[i].first; k < spans[i].second; ++k) {
      ++b.start[k + 1];
    }
  }
  for (std::size_t k = 0; k < bands; ++k) {
    b.start[k + 1] += b.start[k];
  }
  b.edges.resize(entries);
  std::vector<std::uint32_t> fill(b.start.begin(), b.start.end() - 1);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t k = spans[i].first; k < spans[i].second; ++k) {
      b.edges[fill[k]++] = static_cast<std::uint32_t>(i);
    }
  }
  b.built = true;
  return b;
}

// pointInRegion: only the edges that can count at py are visited, each with
// the same rule, so the count and its parity are the same.
bool FitIndex::inside(const Region& region, const Bands& bands, double px, double py) {
  const BBox& box = region.bbox;
  if (px < box.xmin || px > box.xmax || py < box.ymin || py > box.ymax) {
    return false;
  }
  if (!bands.built || std::isnan(py)) {
    return pointInRegion(region, px, py);
  }
  // The band from heights[k] up to heights[k + 1] holds py; above the top
  // height or below the bottom one no edge counts.
  const auto above = std::upper_bound(bands.heights.begin(), bands.heights.end(), py);
  if (above == bands.heights.begin() || above == bands.heights.end()) {
    return false;
  }
  const auto k = static_cast<std::size_t>(above - bands.heights.begin()) - 1;
  const std::vector<Point>& points = region.points;
  const std::size_t n = points.size();
  int crossings = 0;
  for (std::uint32_t e = bands.start[k]; e < bands.start[k + 1]; ++e) {
    const std::size_t i = bands.edges[e];
    const Point& p1 = points[i];
    const Point& p2 = points[i + 1 == n ? 0 : i + 1];
    crossings += rayCrossing(p1.x, p1.y, p2.x, p2.y, px, py);
  }
  return crossings % 2 == 1;
}

// edgesCross of the moved region and the banded one (the banded one as the
// first argument with kBandedFirst): for each moved edge only the banded edges
// whose heights can reach its own are asked, each pair with the same test and
// the arguments in the same order; an "or" does not depend on the pairs' order.
template <bool kBandedFirst>
bool FitIndex::edgesCrossBanded(const Moved& moved, const Region& region, const Bands& bands) {
  const std::vector<Point>& points = region.points;
  const std::size_t n = points.size();
  const std::size_t m = moved.count();
  const auto pair = [&](const Point& p1, const Point& p2, std::size_t j) {
    const Point& q1 = points[j];
    const Point& q2 = points[j + 1 == n ? 0 : j + 1];
    return kBandedFirst ? segmentsCross(q1, q2, p1, p2) : segmentsCross(p1, p2, q1, q2);
  };
  const std::vector<double>& h = bands.heights;
  const auto bandOf = [&h](double y) {
    return static_cast<std::ptrdiff_t>(std::upper_bound(h.begin(), h.end(), y) - h.begin()) - 1;
  };
  const std::ptrdiff_t last = static_cast<std::ptrdiff_t>(h.size()) - 2;
  for (std::size_t i = 0; i < m; ++i) {
    const Point p1 = moved.at(i);
    const Point p2 = moved.at(i + 1 == m ? 0 : i + 1);
    const double lo = std::min(p1.y, p2.y);
    const double hi = std::max(p1.y, p2.y);
    if (!bands.built || std::isnan(lo) || std::isnan(hi)) {
      for (std::size_t j = 0; j < n; ++j) {
        if (pair(p1, p2, j)) {
          return true;
        }
      }
      continue;
    }
    // From the band below the one holding lo (edges that end at lo) to the
    // one holding hi, then the edges at one height.
    const std::ptrdiff_t k0 = std::max<std::ptrdiff_t>(bandOf(lo) - 1, 0);
    const std::ptrdiff_t k1 = std::min(bandOf(hi), last);
    for (std::ptrdiff_t k = k0; k <= k1; ++k) {
      const auto band = static_cast<std::size_t>(k);
      for (std::uint32_t e = bands.start[band]; e < bands.start[band + 1]; ++e) {
        if (pair(p1, p2, bands.edges[e])) {
          return true;
        }
      }
    }
    for (const std::uint32_t j : bands.level) {
      if (pair(p1, p2, j)) {
        return true;
      }
    }
  }
  return false;
}

bool FitIndex::disjointFrom(const Part& shape, bool shift, double dx, double dy,
                            const Entry& e) const {
  const Part& other = *e.part;
  if (e.bands.empty()) {
    e.bands.push_back(bandsOf(other.outer));
    for (const Region& hole : other.holes) {
      e.bands.push_back(bandsOf(hole));
    }
  }
  const Moved outer{shape.outer, shift, dx, dy};
  const std::vector<Point>& otherOuter = other.outer.points;
  // polygonsDisjoint of the outer regions past the box rule: a vertex of one
  // inside the other, or crossing edges, make them meet.
  bool meet = false;
  for (std::size_t i = 0; i < outer.count() && !meet; ++i) {
    const Point v = outer.at(i);
    meet = inside(other.outer, e.bands[0], v.x, v.y);
  }
  for (std::size_t j = 0; j < otherOuter.size() && !meet; ++j) {
    meet = outer.contains(otherOuter[j].x, otherOuter[j].y);
  }
  if (!meet && !edgesCrossBanded<false>(outer, other.outer, e.bands[0])) {
    return true;
  }
  // The other part in a hole of the tested one (liesInHole).
  for (const Region& hole : shape.holes) {
    const Moved h{hole, shift, dx, dy};
    bool all = true;
    for (std::size_t j = 0; j < otherOuter.size() && all; ++j) {
      all = h.contains(otherOuter[j].x, otherOuter[j].y);
    }
    if (all && !edgesCrossBanded<false>(h, other.outer, e.bands[0])) {
      return true;
    }
  }
  // The tested part in a hole of the other.
  std::size_t k = 1;
  for (const Region& hole : other.holes) {
    const Bands& bands = e.bands[k++];
    bool all = true;
    for (std::size_t i = 0; i < outer.count() && all; ++i) {
      const Point v = outer.at(i);
      all = inside(hole, bands, v.x, v.y);
    }
    if (all && !edgesCrossBanded<true>(outer, hole, bands)) {
      return true;
    }
  }
  return false;
}

bool FitIndex::fits(const Part& part, const Part* skipped) const {
  ++tests_;
  if (!withinRect(part, plate_)) {
    return false;
  }
  const BBox& box = part.outer.bbox;
  return disjointFromAll(box, skipped, [&](const Entry& e) {
    return boxesApart(box, e.part->outer.bbox) || disjointFrom(part, false, 0.0, 0.0, e);
  });
}

bool FitIndex::fitsTranslated(const Part& shape, double dx, double dy, const Part* skipped) const {
  ++tests_;
  const BBox box = translated(shape.outer.bbox, dx, dy);
  // withinRect reads the outer box alone.
  if (!boxWithinRect(box, plate_)) {
    return false;
  }
  return disjointFromAll(box, skipped, [&](const Entry& e) {
    return boxesApart(box, e.part->outer.bbox) || disjointFrom(shape, true, dx, dy, e);
  });
}

}  // namespace tarn
