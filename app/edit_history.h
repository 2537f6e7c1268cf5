#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "geometry/part.h"
#include "job/packing_job.h"

namespace tarn {

// What laying out changes in the packing point grid besides the parts: whether
// it is built and which points are occupied.
struct GridState {
  bool pending = true;
  int countX = 0;
  int countY = 0;
  double distance = 0.0;  // mm, the packing point distance it was built with
  std::vector<bool> occupied;
  bool operator==(const GridState&) const = default;
};

GridState captureGrid(const PackingJob& job);
// Puts the grid back as `grid` describes it. A grid built at another distance
// than the job's present one (the distance was renewed since) is rebuilt at the
// present distance from the parts as they now lie.
void restoreGrid(PackingJob& job, const GridState& grid);

// A copy of a part that is equal in every field and keeps the order of its
// holes (a plain copy reverses them and resets chordTol).
Part exactPartCopy(const Part& part);

// What a run that replaces the working parts hands back: the working parts in
// list order (the same parts as the job's, in the same order, at other poses or
// selections) and the grid they were laid out on. A layout on a worker thread,
// the optimiser's best layout: both come back as this.
struct WorkingLayout {
  PartList workingParts;
  std::vector<PackingPoint> packingPoints;
  int gridCountX = 0;
  int gridCountY = 0;
  bool gridPending = true;
};

// Moves the working parts and the grid out of a job (a worker's snapshot).
WorkingLayout takeWorkingLayout(PackingJob& job);

// Undo and redo of the commands that change poses or the selection. The
// history keeps a copy of the working parts as they were after the last step;
// recording compares the job with it and keeps, for each part that changed, its
// state before (and the grid's, when asked). Undo swaps those back in and keeps
// what it replaced, for redo. Parts are matched by their place in the list,
// which no command changes after an Open.
class EditHistory {
 public:
  // The oldest steps go first. A step that touches every part of a 1,584-part
  // job holds about 1 MB, one that moves a few parts a few kilobytes.
  static constexpr std::size_t kDefaultStepLimit = 200;
  static constexpr std::size_t kDefaultByteLimit = 64u << 20;

  // Forgets every step and takes the job as it is now (after an Open); nullptr
  // empties the history.
  void reset(const PackingJob* job);
  // Records what changed in the job since the last step as one step called
  // `label`; `withGrid` compares the packing point grid too. When `mergeKey` is
  // not 0 and equals the last step's, that step is extended instead (every
  // mouse step of one drag is one step). Steps undone are dropped. Returns
  // whether anything had changed.
  bool record(const PackingJob& job, std::string_view label, bool withGrid = false,
              int mergeKey = 0);
  // Takes the job's grid as it is now without a step (after the distance was
  // renewed, which is not undone).
  void resyncGrid(const PackingJob& job);

  // Replaces the working parts and the grid with `layout` and records it as
  // one step. The layout must hold the job's parts in the job's order.
  void replaceWorkingLayout(PackingJob& job, WorkingLayout layout, std::string_view label);

  bool canUndo() const { return !done_.empty(); }
  bool canRedo() const { return !undone_.empty(); }
  std::string undoLabel() const { return canUndo() ? done_.back().label : std::string(); }
  std::string redoLabel() const { return canRedo() ? undone_.back().label : std::string(); }
  // Each returns false when there was nothing to undo or redo.
  bool undo(PackingJob& job);
  bool redo(PackingJob& job);

  // Changes whenever the history records, undoes, redoes or starts again.
  std::size_t revision() const { return revision_; }
  // Counts the records that changed something (a new step or a longer one).
  std::size_t recordedSteps() const { return recordedSteps_; }
  // Forgets the steps undone, as a new step would (a change the history does
  // not hold itself, such as moving parts to another plate).
  void dropRedo();

  void setLimits(std::size_t steps, std::size_t bytes);
  std::size_t stepCount() const { return done_.size() + undone_.size(); }
  // Heap and record bytes held by the steps and by the copy of the working parts.
  std::size_t bytes() const;

 private:
  struct Step {
    std::string label;
    int mergeKey = 0;
    std::vector<std::pair<std::size_t, Part>> parts;  // by ascending list position
    std::optional<GridState> grid;
    std::size_t bytes = 0;
  };

  // Swaps the step's parts and grid with the job's (and the copy's).
  void swapIn(PackingJob& job, Step& step);
  void merge(Step& into, Step&& later) const;
  void trim();

  std::vector<Part> mirror_;     // the working parts as of the last step, in list order
  std::size_t mirrorBytes_ = 0;  // what the copies hold besides their records
  GridState mirrorGrid_;
  std::deque<Step> done_;
  std::vector<Step> undone_;
  std::size_t stepBytes_ = 0;
  std::size_t stepLimit_ = kDefaultStepLimit;
  std::size_t byteLimit_ = kDefaultByteLimit;
  std::size_t revision_ = 0;
  std::size_t recordedSteps_ = 0;
};

}  // namespace tarn
