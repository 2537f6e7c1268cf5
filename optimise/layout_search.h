#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "job/packing_job.h"

namespace tarn {

// How long a layout search may go on. Either bound, or both (whichever is
// reached first); with neither the search goes on until it is stopped. An
// evaluation budget makes the result reproducible: the same job, seed, thread
// count and evaluations give the same layout on any machine.
struct SearchBudget {
  std::optional<double> seconds;            // wall clock, > 0
  std::optional<std::uint64_t> evaluations;  // per search thread, > 0
};

struct SearchSettings {
  std::uint64_t seed = 1;
  int threads = 0;  // 0: one per core
  SearchBudget budget;
};

// The figures a layout is judged by, in this order: the net area of the parts
// on the plate (more is better), the packed length (largest x of the placed
// true outlines; shorter is better), then the packed bounding area (smaller).
struct LayoutFigures {
  int placedCount = 0;
  double placedArea = 0.0;    // net area of the placed parts, mm^2
  double packedLength = 0.0;  // mm
  double boundingArea = 0.0;  // of the placed true outlines' box, mm^2
  double utilisation = 0.0;   // placedArea / (packedLength x plate width); 0 when empty
};

// True when `a` is better than `b` by the order above.
bool BetterLayout(const LayoutFigures& a, const LayoutFigures& b);

// The figures of a job's layout as it is.
LayoutFigures FiguresOf(const PackingJob& job);

// Reported by the search, on one of its threads, one report at a time.
struct SearchProgress {
  LayoutFigures best;               // the best layout so far
  std::uint64_t evaluations = 0;    // all threads together
  double elapsedSeconds = 0.0;
  // Set only when this report carries a new best: a snapshot of the job holding
  // it, valid during the call (copy it with snapshotOf to keep it).
  const PackingJob* bestLayout = nullptr;
};
using SearchProgressHook = std::function<void(const SearchProgress&)>;

struct SearchResult {
  // The job's snapshot with the best layout found: the greedy layout (LayoutAll
  // of the job's waiting parts) when nothing better was found. Every placed
  // part passes PartFits; parts that stay off the plate wait where they were.
  PackingJob best;
  LayoutFigures greedy;  // of the greedy start
  LayoutFigures final;   // of `best`
  std::uint64_t evaluations = 0;  // all threads together
  double seconds = 0.0;
  int threads = 0;  // the search threads used
  // Notices the search raised (on any thread), in the order raised, for the
  // caller to show on its own thread. None are raised while it runs.
  std::vector<std::string> notices;
};

// Searches for a better layout of `job` than the greedy one, within the job's
// rules (its rotation set and turn-over rule, the gap, parts in holes allowed).
// The job itself is not changed: each thread works on its own snapshot. Writes
// no file. A stop request ends it within 0.2 s with the best found so far. A job
// with no part to place returns at once with the job as it is. Throws
// std::invalid_argument for a budget or thread count out of range (0 or
// negative seconds or evaluations, more than 256 threads).
SearchResult OptimiseLayout(const PackingJob& job, const SearchSettings& settings,
                            std::stop_token stop = {}, const SearchProgressHook& progress = {});

}  // namespace tarn
