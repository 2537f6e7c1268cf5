#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <stop_token>
#include <vector>

#include "optimise/strip_layout.h"

namespace tarn {

// When a search ends: after this many placement evaluations (reproducible; the
// count is looked at between two items' moves, so it may be passed by one move's
// few hundred), at the deadline (if any), or when a stop is requested, whichever
// comes first.
struct SeparatorBudget {
  std::uint64_t evaluations = std::numeric_limits<std::uint64_t>::max();
  std::optional<std::chrono::steady_clock::time_point> deadline;
};

// The search's parameters; the defaults are the measured ones.
struct SeparatorSettings {
  // Share of the budget (of the evaluations or of the time to the deadline,
  // whichever is spent faster) given to exploration before the fine compression.
  // Without either bound the search explores until it is stopped.
  double exploreShare = 0.8;
  // First and smallest exploration shrink, as shares of the length.
  double exploreStepFirst = 0.02;
  double exploreStepMin = 0.001;
  // A step that succeeded grows by this factor for the next shrink (up to the first).
  double exploreStepGrowth = 1.0;
  // At the smallest step, restart a failed layout from a pool of failed ones with
  // two large items swapped (true), or shrink the best layout again (false).
  bool exploreDisrupt = true;
  // Compression shrinks, from the first to the last, as shares of the length.
  double compressStepFirst = 0.002;
  double compressStepLast = 0.0001;
  // A separation gives up after this many strikes, each a run of passes without a
  // clear improvement.
  int exploreStrikes = 3;
  int exploreIterations = 50;
  int compressStrikes = 3;
  int compressIterations = 50;
  // Placement search per moved item: samples near it, over the strip, and the
  // number of best samples refined.
  int focusedSamples = 25;
  int stripSamples = 50;
  int refinedSamples = 3;
  // Added clearance of every outline, as a share of the strip width; the exact
  // check still decides.
  double clearanceShare = 1e-7;
};

struct SeparatorResult {
  std::vector<ItemPose> poses;  // the start poses themselves when nothing shorter was found
  double length = 0.0;          // packed length of `poses`
  double startLength = 0.0;
  std::uint64_t evaluations = 0;
  bool startFeasible = false;  // false: the start was returned untouched, unsearched
};

// Called on the searching thread with each shorter checked layout and the
// evaluations spent so far.
using SeparatorProgress = std::function<void(const std::vector<ItemPose>& poses, double length,
                                             std::uint64_t evaluations)>;

// Shortens a feasible layout of `problem` (LayoutFeasible) by overlap
// minimisation: the strip is shrunk, the items pushed out of it and out of one
// another by a guided local search over positions and the allowed orientations,
// and a layout that is free of collisions again, and passes LayoutFeasible,
// becomes the new best. The result is never longer than the start and always
// feasible; it depends only on the problem, start, seed, settings and the
// evaluation budget, unless the deadline or a stop ends the search first. A
// stop is noticed within one item's move. Throws std::invalid_argument when
// `start` does not hold one pose per item or an orientation index is out of range.
SeparatorResult MinimiseStripLength(const StripProblem& problem, const std::vector<ItemPose>& start,
                                    std::uint64_t seed, const SeparatorBudget& budget,
                                    std::stop_token stop = {},
                                    const SeparatorSettings& settings = {},
                                    const SeparatorProgress& progress = {});

}  // namespace tarn
