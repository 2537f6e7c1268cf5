#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "geometry/part.h"
#include "geometry/region.h"

namespace tarn {

// The fit test over a plate box and a set of parts: a part fits when it lies
// within the plate (withinRect) and is disjoint (partsDisjoint) from every
// indexed part. The parts are filed by address in buckets of a uniform grid
// over the plate, sized after the parts, and can be added, followed after a
// move and removed one at a time, so that a whole layout run keeps one index.
// The answers are those of the literal test over every part: the buckets only
// leave out parts whose boxes the box rule of partsDisjoint already calls
// apart, and the order in which parts are asked does not change an "and".
//
// The tests are const but keep caches of their own (the part that refused
// last, visit marks): an instance serves one thread.
class FitIndex {
 public:
  // Files every part of `parts` that can meet a part inside the plate.
  FitIndex(const BBox& plate, const PartList& parts);
  FitIndex(const FitIndex&) = delete;
  FitIndex& operator=(const FitIndex&) = delete;

  // Files `part` where it lies now, or leaves it out when it can no longer
  // meet a part inside the plate. Returns whether it was filed before, that
  // is, whether it could block a part until now.
  bool update(const Part& part);
  // Whether `part` is filed, and with the box it has now.
  bool holds(const Part& part) const;
  bool holdsAt(const Part& part, const BBox& box) const;

  // `skipped` (may be null) is not asked, as PartFits skips a part's own node.
  bool fits(const Part& part, const Part* skipped = nullptr) const;
  // fits() of a copy of `shape` translated by (dx, dy), its vertices read
  // as shape's plus (dx, dy) and not made at all where the boxes decide.
  bool fitsTranslated(const Part& shape, double dx, double dy, const Part* skipped = nullptr) const;

  // Calls of fits and fitsTranslated so far.
  std::uint64_t tests() const { return tests_; }
  std::size_t size() const { return slotOf_.size(); }

  // Whether a part with this box is never asked: wholly beyond a plate edge,
  // or so close beyond it that the box rule parts it from every box within
  // the plate.
  static bool beyondPlate(const BBox& box, const BBox& plate);

 private:
  // The edges of an outline that can count in pointInRegion at a height:
  // the distinct vertex heights in order, and for each band between two of
  // them (from one, up to but not including the next) the edges spanning it.
  // Edges at one height span no band. Not built (the plain walk over every
  // edge serves) for heights that are not numbers or too many band entries.
  struct Bands {
    bool built = false;
    std::vector<double> heights;
    std::vector<std::uint32_t> start;  // band b holds edges[start[b]] up to edges[start[b + 1]]
    std::vector<std::uint32_t> edges;  // edge i runs from vertex i to the next
    std::vector<std::uint32_t> level;  // edges at one height
  };
  struct Entry {
    BBox box;
    const Part* part = nullptr;            // null: a free slot
    int i0 = 0, i1 = -1, j0 = 0, j1 = -1;  // the buckets it is filed in
    // The bands of the outer region, then of each hole in list order, made
    // when a test first needs the vertices.
    mutable std::vector<Bands> bands;
  };
  struct Moved;

  static Bands bandsOf(const Region& region);
  static bool inside(const Region& region, const Bands& bands, double px, double py);
  template <bool kBandedFirst>
  static bool edgesCrossBanded(const Moved& moved, const Region& region, const Bands& bands);
  // partsDisjoint(shape moved by (dx, dy), the entry's part) once their boxes
  // are not apart; `shift` false reads shape as it is.
  bool disjointFrom(const Part& shape, bool shift, double dx, double dy, const Entry& e) const;

  void file(std::size_t slot);
  void unfile(std::size_t slot);
  void cellRange(double lo, double hi, double origin, int count, int& first, int& last) const;
  // Whether `disjoint` holds for every filed part near `box` but `skipped`,
  // the one that refused last asked first.
  template <class Disjoint>
  bool disjointFromAll(const BBox& box, const Part* skipped, Disjoint&& disjoint) const;

  BBox plate_;
  double cellSize_ = 1.0;
  int cellsX_ = 1;
  int cellsY_ = 1;
  std::vector<std::vector<std::uint32_t>> cells_;  // slots, column-major
  std::vector<Entry> entries_;
  std::vector<std::size_t> freeSlots_;
  std::unordered_map<const Part*, std::size_t> slotOf_;
  mutable std::vector<std::uint32_t> seen_;
  mutable std::uint32_t visit_ = 0;
  mutable std::uint64_t tests_ = 0;
  mutable std::size_t lastBlocker_ = static_cast<std::size_t>(-1);
};

}  // namespace tarn
