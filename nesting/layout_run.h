#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "geometry/part.h"
#include "job/fit_index.h"
#include "job/packing_job.h"
#include "job/run_context.h"
#include "nesting/partner.h"

namespace tarn {

// One trial of the searches beside a laid-out part: the part's copy moved to
// a spot beside it (PlaceNextToLaidOut), or slid against it as well
// (PlaceBySimilarPair), as the search met it.
struct PartnerTrial {
  PlacementPose pose;
  Point centroid;
  BBox box;
  double score = 0.0;   // mm², as BestPairingBeside scores it (pairing only)
  bool failed = false;  // its fit test failed, so it fails for the rest of the run
};

inline constexpr std::size_t kMaxPartnerTrials = 1u << 18;  // kept per run, about 25 MB

// What a layout walk keeps from one part to the next, for one job on one
// thread: the fit index of the working parts, each filed once and followed as
// the placed part moves, and memories of the tests that failed.
//
// The memories rest on this: while the walk runs, the only part that moves is
// the one handed to a routine. As long as parts are only added, a test that
// failed once fails again, for every part of the same shape. When a part that
// could block (one filed in the index) moves, the tests that its old place can
// have failed are forgotten: those of candidates whose boxes reach the box it
// left. When anything changed behind the run's back (a part's box differs
// from the one the run saw last, or the list has another length), every
// memory goes and the index is built again.
//
// Two parts have the same shape when every field the placement routines read
// (outer and hole vertices, areas and boxes, the part's box, centroid, net
// area, refPoint, rotation, turn-over and ratios) is equal bit for bit: they
// build the same candidates, whose tests give the same answers.
class LayoutRun {
 public:
  // Installs itself as ctx's run for `job` until it goes. The job's grid must
  // be built: a rebuild frees points, which the memories do not allow.
  LayoutRun(PackingJob& job, RunContext& ctx);
  ~LayoutRun();
  LayoutRun(const LayoutRun&) = delete;
  LayoutRun& operator=(const LayoutRun&) = delete;

  // ctx's run when it lays out `job`, else null.
  static LayoutRun* of(const PackingJob& job, const RunContext& ctx);

  const FitIndex& index() const { return *index_; }

  // Call before a routine is handed `part`, and after. Before: when the job
  // changed since the run last looked, it starts afresh. After: the index
  // follows the part, and when the part was filed and moved, what its old
  // place decided is forgotten.
  void trying(const Part& part);
  void tried(const Part& part);

  // Where the first-fit scan of the grid placements starts for a part: every
  // (packing point, candidate) pair before it failed for a part of the same
  // shape. The scan records its stride and how far right of the scan origin
  // its candidates reach, which tell the pairs a vacated box can free.
  struct ScanStart {
    int column = 0;
    int row = 0;
    std::size_t candidate = 0;
    bool exhausted = false;   // nothing fitted anywhere
    int stride = 1;           // of the scan
    double reachRight = 0.0;  // mm, the largest box xmax of a candidate less the origin's x
  };
  enum class Routine : std::uint8_t { Grid, GridTurnover, BoundingRectangle };
  ScanStart& scanStart(std::size_t shape, Routine routine);

  // The shape of `part` (see above), as an index of this run.
  std::size_t shapeOf(const Part& part);

  // The trials of a search of `kind` for a part of `shape` beside `laidOut`,
  // in search order: empty when not made yet, null when the run keeps no more
  // of them. The caller fills an empty one and reports how many it kept.
  enum class Search : std::uint8_t { Spot, Pairing };
  std::vector<PartnerTrial>* partnerTrials(std::size_t shape, const Part& laidOut, Search kind);
  void keptPartnerTrials(std::size_t count);

 private:
  struct Shape {
    std::vector<double> signature;
    std::optional<ScanStart> starts[3];  // by Routine
  };
  struct PairHash {
    std::size_t operator()(const std::pair<std::size_t, const Part*>& key) const {
      return std::hash<std::size_t>()(key.first) * 31u ^ std::hash<const Part*>()(key.second);
    }
  };
  struct Seen {
    const Part* part = nullptr;
    BBox box;
  };

  // The memories that `vacated`, a box `moved` left, may have decided.
  void forget(const BBox& vacated, const Part& moved);
  void reset();
  void see();
  bool unchanged() const;

  PackingJob& job_;
  RunContext& ctx_;
  LayoutRun* previous_ = nullptr;
  std::optional<FitIndex> index_;  // built again when the job changed behind the run
  std::vector<Seen> seen_;         // every working part in list order, as last seen
  std::unordered_map<const Part*, std::size_t> seenAt_;
  std::deque<Shape> shapes_;  // scanStart hands out references into it
  std::unordered_multimap<std::uint64_t, std::size_t> shapeByHash_;
  // By (shape and search, laid-out part).
  std::unordered_map<std::pair<std::size_t, const Part*>, std::vector<PartnerTrial>, PairHash>
      partnerTrials_;
  std::size_t partnerTrialCount_ = 0;
  std::optional<Part> before_;  // the filed part being tried, as it was
  const Part* trying_ = nullptr;
};

// The fit test for a routine: the run's index while a walk lays out this job,
// else an index of its own over the job's working parts, whose tests are added
// to ctx.counters when it goes (the run adds those of its index when it ends).
class RunObstacles {
 public:
  RunObstacles(const PackingJob& job, RunContext& ctx);
  ~RunObstacles();
  RunObstacles(const RunObstacles&) = delete;
  RunObstacles& operator=(const RunObstacles&) = delete;

  const FitIndex& index() const { return *index_; }
  // The walk's run, or null outside a walk.
  LayoutRun* run() const { return run_; }

 private:
  LayoutRun* run_ = nullptr;
  std::optional<FitIndex> own_;
  const FitIndex* index_ = nullptr;
  RunCounters& counters_;
};

}  // namespace tarn
