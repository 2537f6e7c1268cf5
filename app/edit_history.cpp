#include "app/edit_history.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "geometry/core_error.h"
#include "nesting/packing_points.h"

namespace tarn {
namespace {

bool samePoints(const Region& a, const Region& b) {
  return a.points.size() == b.points.size() &&
         std::equal(a.points.begin(), a.points.end(), b.points.begin(),
                    [](const Point& p, const Point& q) { return p.x == q.x && p.y == q.y; });
}

bool sameBox(const BBox& a, const BBox& b) {
  return a.xmin == b.xmin && a.xmax == b.xmax && a.ymin == b.ymin && a.ymax == b.ymax;
}

// Everything a move, rotation, turn-over or selection can change.
bool samePose(const Part& a, const Part& b) {
  if (a.selected != b.selected || a.turnedOver != b.turnedOver || a.rotation != b.rotation ||
      a.refPoint.x != b.refPoint.x || a.refPoint.y != b.refPoint.y ||
      a.centroid.x != b.centroid.x || a.centroid.y != b.centroid.y || !sameBox(a.bbox, b.bbox) ||
      !samePoints(a.outer, b.outer) || a.holes.count() != b.holes.count()) {
    return false;
  }
  return std::equal(a.holes.begin(), a.holes.end(), b.holes.begin(), samePoints);
}

std::size_t stringHeapBytes(const std::string& text) {
  constexpr std::size_t kInlineCapacity = 15;  // the library's short-string buffer
  return text.capacity() > kInlineCapacity ? text.capacity() + 1 : 0;
}

// What a part holds besides its own record.
std::size_t partHeapBytes(const Part& part) {
  constexpr std::size_t kListNodeLinks = 2 * sizeof(void*);
  std::size_t bytes = part.outer.points.capacity() * sizeof(Point);
  for (const Region& hole : part.holes) {
    bytes += sizeof(Region) + kListNodeLinks + hole.points.capacity() * sizeof(Point);
  }
  return bytes + stringHeapBytes(part.nameLabel.text) + stringHeapBytes(part.thickLabel.text);
}

std::size_t gridBytes(const GridState& grid) {
  return sizeof(GridState) + grid.occupied.capacity() / 8;
}

}  // namespace

GridState captureGrid(const PackingJob& job) {
  GridState grid;
  grid.pending = job.gridPending;
  grid.countX = job.gridCountX;
  grid.countY = job.gridCountY;
  grid.distance = job.params.packingPointDistance;
  grid.occupied.reserve(job.packingPoints.size());
  for (const PackingPoint& point : job.packingPoints) {
    grid.occupied.push_back(point.occupied);
  }
  return grid;
}

void restoreGrid(PackingJob& job, const GridState& grid) {
  const auto clear = [&job] {
    job.packingPoints.clear();
    job.gridCountX = 0;
    job.gridCountY = 0;
  };
  job.gridPending = grid.pending;
  if (grid.occupied.empty()) {
    clear();
    return;
  }
  try {
    if (job.params.packingPointDistance != grid.distance) {
      RebuildPackingPoints(job);
      return;
    }
    if (job.gridCountX != grid.countX || job.gridCountY != grid.countY ||
        job.packingPoints.size() != grid.occupied.size()) {
      RebuildPackingPoints(job);
    }
  } catch (const CoreError&) {
    // Not reached for a distance the grid was once built with; the next layout
    // builds the grid and says what is wrong with it.
    clear();
    job.gridPending = true;
    return;
  }
  if (job.packingPoints.size() == grid.occupied.size()) {
    for (std::size_t i = 0; i < grid.occupied.size(); ++i) {
      job.packingPoints[i].occupied = grid.occupied[i];
    }
  }
}

Part exactPartCopy(const Part& part) {
  Part copy = sameOrderCopy(part);
  copy.chordTol = part.chordTol;
  return copy;
}

WorkingLayout takeWorkingLayout(PackingJob& job) {
  WorkingLayout layout;
  layout.workingParts = std::move(job.workingParts);
  layout.packingPoints = std::move(job.packingPoints);
  layout.gridCountX = job.gridCountX;
  layout.gridCountY = job.gridCountY;
  layout.gridPending = job.gridPending;
  job.workingParts = PartList();
  job.packingPoints.clear();
  return layout;
}

void EditHistory::reset(const PackingJob* job) {
  ++revision_;
  std::vector<Part>().swap(mirror_);
  mirrorBytes_ = 0;
  mirrorGrid_ = GridState();
  done_.clear();
  undone_.clear();
  stepBytes_ = 0;
  if (job == nullptr) {
    return;
  }
  mirror_.reserve(static_cast<std::size_t>(job->workingParts.count()));
  for (const Part& part : job->workingParts) {
    mirror_.push_back(exactPartCopy(part));
    mirrorBytes_ += partHeapBytes(mirror_.back());
  }
  mirrorGrid_ = captureGrid(*job);
}

bool EditHistory::record(const PackingJob& job, std::string_view label, bool withGrid,
                         int mergeKey) {
  if (mirror_.size() != static_cast<std::size_t>(job.workingParts.count())) {
    // Not the job the history knows: it starts again from this one.
    reset(&job);
    return false;
  }
  Step step;
  step.label = std::string(label);
  step.mergeKey = mergeKey;
  std::size_t position = 0;
  for (const Part& part : job.workingParts) {
    Part& known = mirror_[position];
    if (!samePose(part, known)) {
      mirrorBytes_ -= partHeapBytes(known);
      step.parts.emplace_back(position, std::exchange(known, exactPartCopy(part)));
      mirrorBytes_ += partHeapBytes(known);
    }
    ++position;
  }
  if (withGrid) {
    GridState now = captureGrid(job);
    if (now != mirrorGrid_) {
      step.grid = std::exchange(mirrorGrid_, std::move(now));
    }
  }
  if (step.parts.empty() && !step.grid) {
    return false;
  }
  ++revision_;
  ++recordedSteps_;
  const bool extends =
      mergeKey != 0 && undone_.empty() && !done_.empty() && done_.back().mergeKey == mergeKey;
  dropRedo();
  if (extends) {
    stepBytes_ -= done_.back().bytes;
    merge(done_.back(), std::move(step));
    stepBytes_ += done_.back().bytes;
  } else {
    step.bytes = sizeof(Step) + step.parts.capacity() * sizeof(step.parts.front());
    for (const auto& entry : step.parts) {
      step.bytes += partHeapBytes(entry.second);
    }
    step.bytes += step.grid ? gridBytes(*step.grid) : 0;
    stepBytes_ += step.bytes;
    done_.push_back(std::move(step));
  }
  trim();
  return true;
}

// The earlier step keeps its own "before" of a part both changed.
void EditHistory::merge(Step& into, Step&& later) const {
  std::vector<std::pair<std::size_t, Part>> parts;
  parts.reserve(into.parts.size() + later.parts.size());
  auto a = into.parts.begin();
  auto b = later.parts.begin();
  while (a != into.parts.end() || b != later.parts.end()) {
    if (b == later.parts.end() || (a != into.parts.end() && a->first <= b->first)) {
      if (b != later.parts.end() && a->first == b->first) {
        ++b;
      }
      parts.push_back(std::move(*a++));
    } else {
      parts.push_back(std::move(*b++));
    }
  }
  into.parts = std::move(parts);
  if (!into.grid) {
    into.grid = std::move(later.grid);
  }
  into.bytes = sizeof(Step) + into.parts.capacity() * sizeof(into.parts.front());
  for (const auto& entry : into.parts) {
    into.bytes += partHeapBytes(entry.second);
  }
  into.bytes += into.grid ? gridBytes(*into.grid) : 0;
}

void EditHistory::dropRedo() {
  if (!undone_.empty()) {
    ++revision_;
  }
  for (const Step& dropped : undone_) {
    stepBytes_ -= dropped.bytes;
  }
  undone_.clear();
}

void EditHistory::resyncGrid(const PackingJob& job) {
  mirrorGrid_ = captureGrid(job);
}

void EditHistory::replaceWorkingLayout(PackingJob& job, WorkingLayout layout,
                                       std::string_view label) {
  job.workingParts = std::move(layout.workingParts);
  job.packingPoints = std::move(layout.packingPoints);
  job.gridCountX = layout.gridCountX;
  job.gridCountY = layout.gridCountY;
  job.gridPending = layout.gridPending;
  record(job, label, true);
}

void EditHistory::swapIn(PackingJob& job, Step& step) {
  ++revision_;
  stepBytes_ -= step.bytes;
  step.bytes = sizeof(Step) + step.parts.capacity() * sizeof(step.parts.front());
  auto node = job.workingParts.begin();
  std::size_t at = 0;
  for (auto& [position, part] : step.parts) {
    std::advance(node, static_cast<std::ptrdiff_t>(position - at));
    at = position;
    std::swap(*node, part);
    mirrorBytes_ -= partHeapBytes(mirror_[position]);
    mirror_[position] = exactPartCopy(*node);
    mirrorBytes_ += partHeapBytes(mirror_[position]);
    step.bytes += partHeapBytes(part);
  }
  if (step.grid) {
    GridState before = captureGrid(job);
    restoreGrid(job, *step.grid);
    mirrorGrid_ = captureGrid(job);
    step.grid = std::move(before);
    step.bytes += gridBytes(*step.grid);
  }
  stepBytes_ += step.bytes;
}

bool EditHistory::undo(PackingJob& job) {
  if (done_.empty() || mirror_.size() != static_cast<std::size_t>(job.workingParts.count())) {
    return false;
  }
  Step step = std::move(done_.back());
  done_.pop_back();
  swapIn(job, step);
  undone_.push_back(std::move(step));
  return true;
}

bool EditHistory::redo(PackingJob& job) {
  if (undone_.empty() || mirror_.size() != static_cast<std::size_t>(job.workingParts.count())) {
    return false;
  }
  Step step = std::move(undone_.back());
  undone_.pop_back();
  swapIn(job, step);
  done_.push_back(std::move(step));
  return true;
}

void EditHistory::setLimits(std::size_t steps, std::size_t bytes) {
  stepLimit_ = steps;
  byteLimit_ = bytes;
  trim();
}

std::size_t EditHistory::bytes() const {
  return stepBytes_ + mirrorBytes_ + mirror_.capacity() * sizeof(Part) + gridBytes(mirrorGrid_);
}

// The oldest steps go first; the newest stays even when it alone is over the limit.
void EditHistory::trim() {
  while (done_.size() > 1 &&
         (done_.size() + undone_.size() > stepLimit_ || stepBytes_ > byteLimit_)) {
    stepBytes_ -= done_.front().bytes;
    done_.pop_front();
  }
}

}  // namespace tarn
