#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "job/packing_job.h"
#include "job/run_context.h"

namespace tarn {

// How long a layout search may go on. Either bound, or both (whichever is
// reached first); with neither the search goes on until it is stopped. An
// evaluation budget makes the result reproducible: the same job, seed, thread
// count and evaluations give the same layout on any machine.
struct SearchBudget {
  std::optional<double> seconds;             // wall clock, > 0
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

// Reported by the search, one report at a time, on one of its threads or on
// the thread that called it (plain reports, at most about ten a second).
struct SearchProgress {
  LayoutFigures best;             // the best layout so far
  std::uint64_t evaluations = 0;  // all threads together
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
  LayoutFigures greedy;           // of the greedy start
  LayoutFigures final;            // of `best`
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
// negative seconds or evaluations, seconds that are not finite or above 1e9,
// threads below 0 or above 256).
//
// The greedy start is laid out with LayoutAll's walk and the grid as the job
// has it (CoreError when a pending grid is refused, as LayoutAll). When parts
// stay off the plate, each thread first searches the order the walks place
// them in (and LayoutAll's walk against the multi-step one) with half its
// budget; then it shortens the layout of the parts on the plate with
// MinimiseStripLength on their working outlines. An evaluation is one part
// tried by a walk or one placement evaluation of the strip search.
SearchResult OptimiseLayout(const PackingJob& job, const SearchSettings& settings,
                            std::stop_token stop = {}, const SearchProgressHook& progress = {});

// A plate driver (plates/plate_set.h's PlateDriver) that lays a plate's job out
// with OptimiseLayout under `settings` and ctx.stop, and keeps its best layout:
// the parts' poses and list order and the grid; no part is added or removed.
// The search's notices are raised on the calling thread through ctx;
// ctx.progress hears the best layout's placed and waiting parts; `finished`,
// when set, hears each plate's result (its `best` already taken) on the calling
// thread. Throws std::invalid_argument at once for invalid settings.
std::function<void(PackingJob& job, RunContext& ctx)> OptimisingPlateDriver(
    const SearchSettings& settings, std::function<void(const SearchResult& result)> finished = {});

// Takes the layout of `layout`, a snapshot of `job` that a search laid out:
// the working parts (poses and list order) and the grid. The true parts,
// sources and settings of `job` stay; `layout` is left with job's old lists.
void AdoptLayout(PackingJob& job, PackingJob& layout);

}  // namespace tarn
