#pragma once

#include "geometry/part.h"
#include "geometry/region.h"
#include "job/fit_index.h"
#include "job/run_context.h"

namespace tarn {

// The fit test of one search during which no part moves: a FitIndex over a
// plate box and a set of parts, built at once, one of them skipped. Over the
// job's plate and working parts its answers are those of PartFits (a part
// skipped) or CandidateFits (none skipped). It keeps pointers into `parts`.
//
// The tests it made are added to `counters`, when given, as it goes out of
// scope; an instance serves one thread (see FitIndex).
class FitTester {
 public:
  // Indexes every part of `parts`; `skipped` (which may be null) is never asked.
  FitTester(const BBox& plate, const PartList& parts, const Part* skipped,
            RunCounters* counters = nullptr)
      : index_(plate, parts), skipped_(skipped), counters_(counters) {}
  // Adds the tests it made to the counters.
  ~FitTester() {
    if (counters_ != nullptr) {
      counters_->fitTests += index_.tests();
    }
  }
  FitTester(const FitTester&) = delete;
  FitTester& operator=(const FitTester&) = delete;

  bool fits(const Part& part) const { return index_.fits(part, skipped_); }
  // fits() of `shape` translated by (dx, dy).
  bool fitsTranslated(const Part& shape, double dx, double dy) const {
    return index_.fitsTranslated(shape, dx, dy, skipped_);
  }

 private:
  FitIndex index_;
  const Part* skipped_ = nullptr;
  RunCounters* counters_ = nullptr;
};

}  // namespace tarn
