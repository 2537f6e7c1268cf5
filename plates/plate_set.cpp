#include "plates/plate_set.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <unordered_set>
#include <utility>

#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "nesting/layout.h"

namespace tarn {
namespace {

using Clock = std::chrono::steady_clock;
using IdSet = std::unordered_set<int>;
using Rank = std::unordered_map<int, int>;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool onPlate(const PackingJob& job, const Part& part) {
  return withinRect(part, job.plateExtents);
}

int placedCount(const PackingJob& job) {
  int count = 0;
  for (const Part& part : job.workingParts) {
    count += onPlate(job, part) ? 1 : 0;
  }
  return count;
}

IdSet waitingIds(const PackingJob& job) {
  IdSet ids;
  for (const Part& part : job.workingParts) {
    if (!onPlate(job, part)) {
      ids.insert(part.id);
    }
  }
  return ids;
}

template <class Record>
Rank rankOf(const SentinelList<Record>& list) {
  Rank rank;
  int position = 0;
  for (const Record& record : list) {
    rank.emplace(record.id, position++);
  }
  return rank;
}

// Drops the records whose id is (keep false) or is not (keep true) in `ids`;
// the others keep their order.
template <class Record>
void filterRecords(SentinelList<Record>& list, const IdSet& ids, bool keep) {
  for (auto it = list.begin(); it != list.end();) {
    it = ids.contains(it->id) == keep ? std::next(it) : list.remove(it);
  }
}

// The records whose id is in `ids`, moved out of the list in its order. A
// moved record keeps its holes' order and its chord tolerance; a copy would not.
template <class Record>
std::vector<Record> takeRecords(SentinelList<Record>& list, const IdSet& ids) {
  std::vector<Record> taken;
  for (auto it = list.begin(); it != list.end();) {
    if (ids.contains(it->id)) {
      taken.push_back(std::move(*it));
      it = list.remove(it);
    } else {
      ++it;
    }
  }
  return taken;
}

// The list's own records and `incoming`, ordered by their rank at load (ids
// unknown to it last); records of equal rank keep their order, the list's first.
template <class Record>
void mergeRecords(SentinelList<Record>& list, std::vector<Record>&& incoming, const Rank& rank) {
  std::vector<Record> all;
  for (Record& record : list) {
    all.push_back(std::move(record));
  }
  for (Record& record : incoming) {
    all.push_back(std::move(record));
  }
  const auto rankOfId = [&rank](int id) {
    const auto found = rank.find(id);
    return found == rank.end() ? INT_MAX : found->second;
  };
  std::stable_sort(all.begin(), all.end(), [&](const Record& a, const Record& b) {
    return rankOfId(a.id) < rankOfId(b.id);
  });
  // Front insertion: the last record goes in first.
  SentinelList<Record> merged;
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    merged.insert(std::move(*it));
  }
  list = std::move(merged);
}

// A plate with the settings of `like` holding exact copies of the parts of
// `like` whose ids are in `ids`, in its order; its grid is built at its first
// layout; its error report is kept in memory (loading is over).
PackingJob freshPlate(const PackingJob& like, const IdSet& ids,
                      const std::filesystem::path& folder) {
  PackingJob plate = snapshotOf(like);
  filterRecords(plate.workingParts, ids, true);
  filterRecords(plate.trueParts, ids, true);
  filterRecords(plate.sources, ids, true);
  plate.packingPoints.clear();
  plate.gridCountX = 0;
  plate.gridCountY = 0;
  plate.gridPending = true;
  plate.outputFolder = folder;
  return plate;
}

std::filesystem::path plateFolder(const PlateSet& set, std::size_t index) {
  return set.folder / PlateFolderName(static_cast<int>(index) + 1);
}

struct SetRunState {
  const PlateSetOptions& options;
  RunContext& ctx;
  Clock::time_point start;
  int parts = 0;
};

// ctx.progress given back when a plate's driver is done (or throws).
struct ProgressRestore {
  RunContext& ctx;
  ProgressHook outer;
  ~ProgressRestore() { ctx.progress = std::move(outer); }
};

// The driver on one plate; its time in seconds. While it runs, ctx.progress
// hears it with the time counted from the set's start, and so does the set's
// own hook; without either no progress is asked for (the walks then skip
// counting).
double drive(SetRunState& state, PackingJob& plate, int plateNumber, int placedBefore) {
  const Clock::time_point plateStart = Clock::now();
  ProgressRestore restore{state.ctx, std::move(state.ctx.progress)};
  state.ctx.progress = nullptr;
  if (restore.outer || state.options.progress) {
    state.ctx.progress = [&](const LayoutProgress& step) {
      LayoutProgress setStep = step;
      setStep.elapsedSeconds = secondsSince(state.start);
      if (restore.outer) {
        restore.outer(setStep);
      }
      if (state.options.progress) {
        state.options.progress({plateNumber, placedBefore, state.parts, setStep});
      }
    };
  }
  state.options.driver(plate, state.ctx);
  return secondsSince(plateStart);
}

int placedOnPlatesBefore(const PlateSet& set, std::size_t index) {
  int placed = 0;
  for (std::size_t k = 0; k < index && k < set.plates.size(); ++k) {
    placed += placedCount(set.plates[k]);
  }
  return placed;
}

bool allLargerThanPlate(const PackingJob& plate) {
  for (const Part& part : plate.workingParts) {
    if (!onPlate(plate, part) && !LargerThanPlate(plate, part)) {
      return false;
    }
  }
  return true;
}

void dropRecords(PackingJob& plate, const IdSet& ids) {
  filterRecords(plate.workingParts, ids, false);
  filterRecords(plate.trueParts, ids, false);
  filterRecords(plate.sources, ids, false);
}

// The parts `ids` leave `from` for `to`, joining its lists in the loaded
// order; their records come from `origin`, which is `from` itself or a copy
// of it as it was earlier.
void handOn(PlateSet& set, const PackingJob& origin, const IdSet& ids, PackingJob& from,
            PackingJob& to) {
  if (&origin == &from) {
    mergeRecords(to.workingParts, takeRecords(from.workingParts, ids), set.loadedOrder.working);
    mergeRecords(to.trueParts, takeRecords(from.trueParts, ids), set.loadedOrder.truth);
    mergeRecords(to.sources, takeRecords(from.sources, ids), set.loadedOrder.sources);
    return;
  }
  PackingJob copies = freshPlate(origin, ids, to.outputFolder);
  mergeRecords(to.workingParts, takeRecords(copies.workingParts, ids), set.loadedOrder.working);
  mergeRecords(to.trueParts, takeRecords(copies.trueParts, ids), set.loadedOrder.truth);
  mergeRecords(to.sources, takeRecords(copies.sources, ids), set.loadedOrder.sources);
  dropRecords(from, ids);
}

UnplacedReason reasonFor(PlateSetEnd end) {
  switch (end) {
    case PlateSetEnd::NothingFits:
      return UnplacedReason::NoRoomOnEmptyPlate;
    case PlateSetEnd::PlateLimit:
      return UnplacedReason::PlateLimit;
    case PlateSetEnd::Stopped:
      return UnplacedReason::Stopped;
    case PlateSetEnd::AllPlaced:
      break;
  }
  return UnplacedReason::NoRoom;
}

}  // namespace

void LayOutAllWaiting(PackingJob& job, RunContext& ctx) {
  PlaceWaiting(job, ctx);
}

void LayOutInSteps(PackingJob& job, RunContext& ctx) {
  SelectAll(job);
  PlaceSelectedInSteps(job, ctx);
}

std::string PlateFolderName(int plate) {
  return "plate-" + std::to_string(plate);
}

PlateSet MakePlateSet(PackingJob&& loaded, const std::filesystem::path& folder) {
  PlateSet set;
  set.folder = folder;
  set.loadedOrder.working = rankOf(loaded.workingParts);
  set.loadedOrder.truth = rankOf(loaded.trueParts);
  set.loadedOrder.sources = rankOf(loaded.sources);
  set.plates.push_back(std::move(loaded));
  set.plates.front().outputFolder = plateFolder(set, 0);
  return set;
}

int MoveWaitingPartsToNextPlate(PlateSet& set, std::size_t index) {
  if (index >= set.plates.size()) {
    return 0;
  }
  const IdSet ids = waitingIds(set.plates[index]);
  if (ids.empty()) {
    return 0;
  }
  if (index + 1 == set.plates.size()) {
    set.plates.push_back(freshPlate(set.plates[index], {}, plateFolder(set, index + 1)));
  }
  handOn(set, set.plates[index], ids, set.plates[index], set.plates[index + 1]);
  return static_cast<int>(ids.size());
}

PlateSetRun LayOutPlateSet(PlateSet& set, const PlateSetOptions& options, RunContext& ctx) {
  PlateSetRun run;
  SetRunState state{options, ctx, Clock::now()};
  for (const PackingJob& plate : set.plates) {
    state.parts += plate.workingParts.count();
  }
  run.plateSeconds.assign(set.plates.size(), 0.0);
  const std::size_t maxPlates = static_cast<std::size_t>(std::max(1, options.maxPlates));

  // The parts a driver could not place go on as they were before it tried
  // them: a failed attempt may still have refreshed a part's centroid, and a
  // driver may leave a part it gave up on elsewhere. So every plate is laid
  // out as its parts would be on a plate of their own.
  std::optional<PackingJob> before;  // the plate at `index` before its driver ran
  std::size_t index = 0;
  bool driven = false;  // the plate at `index` was laid out on trial already
  while (index < set.plates.size()) {
    PackingJob& plate = set.plates[index];
    const int plateNumber = static_cast<int>(index) + 1;
    if (!driven) {
      before.reset();
      if (!ctx.stop.stop_requested() && !waitingIds(plate).empty()) {
        before = snapshotOf(plate);
        run.plateSeconds[index] +=
            drive(state, plate, plateNumber, placedOnPlatesBefore(set, index));
      }
    }
    driven = false;
    if (ctx.stop.stop_requested()) {
      run.end = PlateSetEnd::Stopped;
      break;
    }
    const IdSet waiting = waitingIds(plate);
    if (waiting.empty()) {
      ++index;
      continue;
    }
    const PackingJob& origin = before ? *before : plate;
    if (index + 1 < set.plates.size()) {
      handOn(set, origin, waiting, plate, set.plates[index + 1]);
      ++index;
      continue;
    }
    if (set.plates.size() >= maxPlates) {
      run.end = PlateSetEnd::PlateLimit;
      break;
    }
    if (allLargerThanPlate(plate)) {
      run.end = PlateSetEnd::NothingFits;
      break;
    }
    // Decided on a copy: the set changes only when the fresh plate takes a part.
    PackingJob trial = freshPlate(origin, waiting, plateFolder(set, index + 1));
    PackingJob trialBefore = snapshotOf(trial);
    const double seconds =
        drive(state, trial, plateNumber + 1, placedOnPlatesBefore(set, index + 1));
    if (placedCount(trial) == 0) {
      run.end = ctx.stop.stop_requested() ? PlateSetEnd::Stopped : PlateSetEnd::NothingFits;
      break;
    }
    dropRecords(plate, waiting);
    set.plates.push_back(std::move(trial));
    run.plateSeconds.push_back(seconds);
    before = std::move(trialBefore);
    ++index;
    driven = true;
  }

  for (std::size_t k = 0; k < set.plates.size(); ++k) {
    std::vector<UnplacedPart> left =
        FindUnplacedParts(set.plates[k], reasonFor(run.end), static_cast<int>(k));
    run.unplaced.insert(run.unplaced.end(), std::make_move_iterator(left.begin()),
                        std::make_move_iterator(left.end()));
  }
  run.seconds = secondsSince(state.start);
  return run;
}

PlateSetSummary SummarisePlateSet(const PlateSet& set) {
  PlateSetSummary summary;
  if (set.plates.empty()) {
    return summary;
  }
  for (const PackingJob& plate : set.plates) {
    const LayoutSummary& figures = summary.plates.emplace_back(SummariseLayout(plate));
    summary.partCount += plate.workingParts.count();
    summary.packedCount += figures.packedCount;
    summary.packedArea += figures.packedArea;
  }
  for (std::size_t k = 0; k + 1 < set.plates.size(); ++k) {
    summary.usedArea += set.plates[k].params.plateLength * set.plates[k].params.plateWidth;
  }
  const PackingJob& last = set.plates.back();
  const double lastLength = summary.plates.back().packedLength;
  summary.usedArea += lastLength * last.params.plateWidth;
  if (summary.usedArea != 0.0) {
    summary.utilisation = summary.packedArea / summary.usedArea;
  }
  summary.remnant = {
      .plate = static_cast<int>(set.plates.size()),
      .x = lastLength,
      .length = std::max(0.0, last.params.plateLength - lastLength),
      .width = last.params.plateWidth,
  };
  return summary;
}

}  // namespace tarn
