#pragma once

#include <cstdint>
#include <vector>

#include "geometry/part.h"
#include "geometry/region.h"

namespace tarn {

struct PackingJob;

// Fit tests made since the last reset (CandidateFits, PartFits and the searches'
// own tests); read by the benchmarks. Single-threaded, like the rest of the core.
std::uint64_t fitTestCount();
void resetFitTestCount();
void countFitTest();

// The box rule that partsDisjoint applies first: boxes apart along either axis,
// or closer than kDisjointBoxGap, make the parts disjoint without a look at
// their vertices.
bool boxesApart(const BBox& a, const BBox& b);

// A copy of `part` whose holes keep their order (a single copy reverses them).
Part sameOrderCopy(const Part& part);

// Sets `scratch` to `shape` translated by (dx, dy): the vertices, the boxes, the
// centroid and the refPoint hold what a copy of `shape` translated by (dx, dy)
// would hold. Reuses the scratch's storage when the vertex counts match.
void placeTranslated(Part& scratch, const Part& shape, double dx, double dy);

// The fit tests of one search during which no working part moves except the
// skipped one. Holds the working parts that can meet a part inside the plate,
// with their boxes, in one flat array; the answers are those of PartFits (a
// part skipped) or CandidateFits (none skipped).
class FitTester {
 public:
  FitTester(const PackingJob& job, const Part* skipped);

  bool fits(const Part& part) const;
  // fits() of `shape` translated by (dx, dy). `scratch` is overwritten; it must
  // have the holes of `shape` (sameOrderCopy) so that no allocation is needed.
  bool fitsTranslated(const Part& shape, double dx, double dy, Part& scratch) const;

 private:
  struct Neighbour {
    BBox box;
    const Part* part = nullptr;
  };

  BBox plate_;
  std::vector<Neighbour> neighbours_;
};

}  // namespace tarn
