#pragma once

#include <cstdint>
#include <vector>

#include "geometry/part.h"
#include "geometry/region.h"
#include "job/run_context.h"

namespace tarn {

// The fit test over a plate box and a set of parts: a part fits when it lies
// within the plate (withinRect) and is disjoint from every indexed part. Built
// for one search during which no indexed part moves; it keeps pointers into
// `parts`. Holds the parts that can meet a part inside the plate, with their
// boxes, in one flat array and in buckets of a coarse grid over the plate.
// Over the job's plate and working parts its answers are those of PartFits (a
// part skipped) or CandidateFits (none skipped).
//
// The tests are const but keep caches of their own (the last part that
// refused, visit marks): an instance serves one thread. The tests it made are
// added to `counters`, when given, as it goes out of scope.
class FitTester {
 public:
  // Indexes every part of `parts` but `skipped` (which may be null).
  FitTester(const BBox& plate, const PartList& parts, const Part* skipped,
            RunCounters* counters = nullptr);
  // Adds the tests it made to the counters.
  ~FitTester();
  FitTester(const FitTester&) = delete;
  FitTester& operator=(const FitTester&) = delete;

  bool fits(const Part& part) const;
  // fits() of `shape` translated by (dx, dy). The outlines of `scratch` are
  // overwritten; a sameOrderCopy of `shape` needs no allocation.
  bool fitsTranslated(const Part& shape, double dx, double dy, Part& scratch) const;

 private:
  struct Neighbour {
    BBox box;
    const Part* part = nullptr;
  };

  // Calls visit(neighbour) once for every neighbour whose box might meet `box`
  // (a box inside the plate) until it returns false; returns false then.
  template <class Visit>
  bool visitNear(const BBox& box, Visit&& visit) const;
  // Whether `disjoint` holds for every neighbour near `box`, the one that
  // refused last asked first.
  template <class Disjoint>
  bool disjointFromAll(const BBox& box, Disjoint&& disjoint) const;
  // Calls visitCell(c) for every bucket c that `box` touches, column by column,
  // until it returns false; returns false then.
  template <class VisitCell>
  bool forEachCell(const BBox& box, VisitCell&& visitCell) const;
  void cellRange(double lo, double hi, double origin, int count, int& first, int& last) const;

  BBox plate_;
  RunCounters* counters_ = nullptr;
  std::vector<Neighbour> neighbours_;
  // Bucket c holds cellItems_[cellStart_[c]] up to cellItems_[cellStart_[c + 1]].
  int cellsX_ = 0;
  int cellsY_ = 0;
  double cellSize_ = 0.0;
  std::vector<int> cellStart_;
  std::vector<int> cellItems_;
  mutable std::vector<std::uint32_t> seen_;
  mutable std::uint32_t visit_ = 0;
  mutable std::uint64_t tests_ = 0;  // made so far, added to counters_ at the end
  mutable std::size_t lastBlocker_ = static_cast<std::size_t>(-1);  // neighbour that last refused
};

}  // namespace tarn
