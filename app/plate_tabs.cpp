#include "app/plate_tabs.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "app/app_texts.h"
#include "app/edit_history.h"
#include "geometry/core_error.h"
#include "geometry/notify.h"
#include "geometry/predicates.h"
#include "geometry/texts.h"
#include "job/job_operations.h"
#include "nesting/layout.h"
#include "output/file_output.h"
#include "output/layout_dxf.h"
#include "output/packing_report.h"
#include "plates/plate_set_report.h"

namespace tarn {
namespace {

// Set steps kept for Undo; each holds whole jobs and their histories.
constexpr std::size_t kSetStepLimit = 16;
// Parts a message names before it only counts the rest.
constexpr std::size_t kNamedPartLimit = 8;
constexpr std::string_view kLayoutDrawingName = "layout.dxf";  // tarnpack's default --dxf

bool inSet(const AppState& state) {
  return state.plates.tabs.size() > 1;
}

bool hasWaitingParts(const PackingJob& job) {
  return std::any_of(job.workingParts.begin(), job.workingParts.end(),
                     [&job](const Part& part) { return !withinRect(part, job.plateExtents); });
}

std::vector<int> workingIds(const PackingJob& job) {
  std::vector<int> ids;
  for (const Part& part : job.workingParts) {
    ids.push_back(part.id);
  }
  return ids;
}

BBox extentOfAllParts(const PackingJob& job) {
  BBox extent = job.plateExtents;
  for (const Part& part : job.workingParts) {
    extent.xmin = std::min(extent.xmin, part.bbox.xmin);
    extent.xmax = std::max(extent.xmax, part.bbox.xmax);
    extent.ymin = std::min(extent.ymin, part.bbox.ymin);
    extent.ymax = std::max(extent.ymax, part.bbox.ymax);
  }
  return extent;
}

// A new plate is first seen as Open shows a job: the plate and every part.
Viewport fittedViewport(const Viewport& like, const PackingJob& job) {
  Viewport viewport;
  viewport.clientWidth = like.clientWidth;
  viewport.clientHeight = like.clientHeight;
  viewport.savedExtent = extentOfAllParts(job);
  viewport.view.initialise(like.clientWidth, like.clientHeight, viewport.savedExtent);
  return viewport;
}

// Puts the plate on show back into its slot, so that every tab holds its job;
// a job without a set becomes a set of one plate.
void stow(AppState& state) {
  PlateTabs& plates = state.plates;
  if (plates.tabs.empty()) {
    plates.tabs.resize(1);
    plates.current = 0;
  }
  PlateTab& slot = plates.tabs[plates.current];
  slot.job = std::move(state.job);
  slot.history = std::exchange(state.history, EditHistory());
  slot.viewport = state.viewport;
}

// Shows plate `index` (or the last one) once every tab holds its job.
void show(AppState& state, std::size_t index) {
  PlateTabs& plates = state.plates;
  index = std::min(index, plates.tabs.size() - 1);
  PlateTab& slot = plates.tabs[index];
  state.job = std::move(slot.job);
  state.history = std::exchange(slot.history, EditHistory());
  Viewport viewport = slot.viewport;
  // The window may have been resized while the plate was hidden: fitted again, as a resize does.
  if (viewport.clientWidth != state.viewport.clientWidth ||
      viewport.clientHeight != state.viewport.clientHeight) {
    viewport.clientWidth = state.viewport.clientWidth;
    viewport.clientHeight = state.viewport.clientHeight;
    viewport.view.initialise(viewport.clientWidth, viewport.clientHeight, viewport.savedExtent);
  }
  state.viewport = viewport;
  plates.current = index;
  ++plates.changes;
}

PlateTab newTab(PackingJob&& job, Viewport viewport) {
  PlateTab tab;
  tab.job = std::make_unique<PackingJob>(std::move(job));
  tab.history.reset(tab.job.get());
  tab.viewport = std::move(viewport);
  return tab;
}

// Doing, undoing and redoing a step: its plates and the set's change places.
// Every tab must hold its job.
void swapIn(PlateTabs& plates, PlateSetStep& step) {
  std::size_t count = plates.tabs.size();
  for (const auto& entry : step.plates) {
    count = std::max(count, entry.first + 1);
  }
  plates.tabs.resize(count);
  for (auto& [index, tab] : step.plates) {
    std::swap(plates.tabs[index], tab);
  }
  // Plates are only ever added at the end, so the ones a side lacks are the last.
  while (plates.tabs.size() > 1 && !plates.tabs.back().job) {
    plates.tabs.pop_back();
  }
  std::swap(plates.unplaced, step.unplaced);
}

// `step` holds the new side of the plates it changes; every tab holds its job.
void doStep(PlateTabs& plates, PlateSetStep step) {
  for (const auto& entry : step.plates) {
    if (entry.first < plates.tabs.size()) {
      plates.tabs[entry.first].history.dropRedo();
    }
  }
  swapIn(plates, step);
  plates.undone.clear();
  plates.done.push_back(std::move(step));
  if (plates.done.size() > kSetStepLimit) {
    plates.done.erase(plates.done.begin());
  }
}

const EditHistory& historyOf(const AppState& state, std::size_t index) {
  return index == state.plates.current ? state.history : state.plates.tabs[index].history;
}

bool changes(const PlateSetStep& step, std::size_t index) {
  return std::any_of(step.plates.begin(), step.plates.end(),
                     [index](const auto& entry) { return entry.first == index; });
}

const PlateSetStep* undoableStep(const AppState& state) {
  const PlateTabs& plates = state.plates;
  if (!state.job || plates.done.empty() || state.history.canUndo() ||
      !changes(plates.done.back(), plates.current)) {
    return nullptr;
  }
  const PlateSetStep& step = plates.done.back();
  for (const auto& entry : step.plates) {
    if (entry.first < plates.tabs.size() && historyOf(state, entry.first).canUndo()) {
      return nullptr;
    }
  }
  return &step;
}

const PlateSetStep* redoableStep(const AppState& state) {
  const PlateTabs& plates = state.plates;
  if (!state.job || plates.undone.empty() || state.history.canRedo() ||
      !changes(plates.undone.back(), plates.current)) {
    return nullptr;
  }
  const PlateSetStep& step = plates.undone.back();
  for (std::size_t i = 0; i < step.plates.size(); ++i) {
    const std::size_t index = step.plates[i].first;
    if (index >= plates.tabs.size()) {
      continue;
    }
    const EditHistory& history = historyOf(state, index);
    if (history.canRedo() || history.recordedSteps() != step.recordedSteps[i]) {
      return nullptr;
    }
  }
  return &step;
}

// Swaps the step in with the plate on show kept (or the last, when it went).
void applyStep(AppState& state, PlateSetStep& step) {
  const std::size_t shown = state.plates.current;
  stow(state);
  swapIn(state.plates, step);
  show(state, shown);
}

// Lends every plate's job to a set while it lives: the set's figures and
// report work on a PlateSet. The jobs keep their addresses.
class LentPlates {
 public:
  explicit LentPlates(AppState& state) : state_(state), shown_(state.plates.current) {
    stow(state_);
    set_.folder = state_.plates.folder;
    try {
      for (PlateTab& tab : state_.plates.tabs) {
        set_.plates.push_back(std::move(*tab.job));
      }
    } catch (...) {
      giveBack();
      throw;
    }
  }
  ~LentPlates() { giveBack(); }
  LentPlates(const LentPlates&) = delete;
  LentPlates& operator=(const LentPlates&) = delete;

  PlateSet& set() { return set_; }

 private:
  void giveBack() {
    for (std::size_t k = 0; k < set_.plates.size(); ++k) {
      *state_.plates.tabs[k].job = std::move(set_.plates[k]);
    }
    set_.plates.clear();
    show(state_, shown_);
  }

  AppState& state_;
  std::size_t shown_;
  PlateSet set_;
};

// The parts waiting beside the plates now, with the last run's reasons.
std::vector<UnplacedPart> partsLeftOff(const PlateSet& set,
                                       const std::vector<UnplacedPart>& lastRun) {
  std::unordered_map<int, UnplacedReason> reasons;
  for (const UnplacedPart& part : lastRun) {
    reasons.emplace(part.id, part.reason);
  }
  std::vector<UnplacedPart> left;
  for (std::size_t k = 0; k < set.plates.size(); ++k) {
    for (UnplacedPart& part :
         FindUnplacedParts(set.plates[k], UnplacedReason::NoRoom, static_cast<int>(k))) {
      const auto known = reasons.find(part.id);
      if (part.reason != UnplacedReason::LargerThanPlate && known != reasons.end()) {
        part.reason = known->second;
      }
      left.push_back(std::move(part));
    }
  }
  return left;
}

std::string_view leftOffReason(UnplacedReason reason) {
  switch (reason) {
    case UnplacedReason::LargerThanPlate:
      return app_text::kLeftOffLargerThanPlate;
    case UnplacedReason::NoRoomOnEmptyPlate:
      return app_text::kLeftOffNoRoomOnEmptyPlate;
    case UnplacedReason::PlateLimit:
      return app_text::kLeftOffPlateLimit;
    case UnplacedReason::Stopped:
      return app_text::kLeftOffStopped;
    case UnplacedReason::NoRoom:
      break;
  }
  return app_text::kLeftOffNoRoom;
}

// Names the parts a set run left off and why; nothing after Cancel.
std::string leftOffMessage(const PlateSetRun& run) {
  if (run.unplaced.empty() || run.end == PlateSetEnd::Stopped) {
    return {};
  }
  std::string names;
  for (std::size_t i = 0; i < run.unplaced.size() && i < kNamedPartLimit; ++i) {
    const UnplacedPart& part = run.unplaced[i];
    names += (i == 0 ? "\"" : ", \"") + part.name + "\" (" +
             std::string(leftOffReason(part.reason)) + ")";
  }
  if (run.unplaced.size() > kNamedPartLimit) {
    names += app_text::printed(app_text::kMoreParts,
                               static_cast<int>(run.unplaced.size() - kNamedPartLimit));
  }
  return app_text::printed(app_text::kPartsLeftOff, static_cast<int>(run.unplaced.size()),
                           run.unplaced.back().plate + 1, names.c_str());
}

Effects repaint() {
  Effects effects;
  effects.repaint = true;
  return effects;
}

}  // namespace

std::size_t plateCount(const AppState& state) {
  if (!state.job) {
    return 0;
  }
  return std::max<std::size_t>(1, state.plates.tabs.size());
}

std::size_t currentPlate(const AppState& state) {
  return inSet(state) ? state.plates.current : 0;
}

std::string plateTabTitle(std::size_t index) {
  return app_text::printed(app_text::kPlateTab, static_cast<int>(index + 1));
}

Effects switchPlate(AppState& state, std::size_t index) {
  if (state.jobLocked || !inSet(state) || !state.job || index >= state.plates.tabs.size() ||
      index == state.plates.current) {
    return {};
  }
  stow(state);
  show(state, index);
  state.gesture.clickCount = 0;
  return repaint();
}

RunWork prepareSetRun(const AppState& state, const RunRequest& request) {
  if (!state.job) {
    return [](RunContext&) { return RunResult{}; };
  }
  auto set = std::make_shared<PlateSet>();
  if (!inSet(state)) {
    *set = MakePlateSet(snapshotOf(*state.job), state.job->outputFolder);
  } else {
    set->folder = state.plates.folder;
    set->loadedOrder = state.plates.loadedOrder;
    for (std::size_t k = 0; k < state.plates.tabs.size(); ++k) {
      set->plates.push_back(
          snapshotOf(k == state.plates.current ? *state.job : *state.plates.tabs[k].job));
    }
  }
  const PlateDriver driver =
      request.kind == RunKind::PlateSetInSteps ? PlateDriver(LayOutInSteps) : LayOutAllWaiting;
  return [set, driver](RunContext& ctx) {
    // Opened before anything moves, as the timed drivers open theirs.
    const std::filesystem::path timingPath =
        set->folder / std::filesystem::path(std::string(text::kTimingFileName));
    std::ofstream timing(timingPath, std::ios::binary | std::ios::trunc);
    if (!timing) {
      throw CoreError(text::kTimingFileWriteFailed);
    }
    PlateSetOptions options;
    options.driver = driver;
    options.maxPlates = kMaxPlateCount;
    PlateSetRun run = LayOutPlateSet(*set, options, ctx);
    {
      const ContextNoticeRoute route(ctx);
      announce(TimingNoticeText(run.seconds));
    }
    timing << TimingFileText(run.seconds) << text::kLineEnd;
    RunResult result;
    result.plates = PlateSetResult{std::move(*set), std::move(run)};
    return result;
  };
}

Effects finishSetRun(AppState& state, const RunRequest& request, PlateSetResult result) {
  if (!state.job) {
    return {};
  }
  const std::string_view label = request.kind == RunKind::PlateSetInSteps
                                     ? app_text::kStepLayOutOnPlatesInSteps
                                     : app_text::kStepLayOutOnPlates;
  Effects effects = repaint();
  effects.message = leftOffMessage(result.run);
  const std::size_t shown = currentPlate(state);
  stow(state);
  PlateTabs& plates = state.plates;
  std::deque<PackingJob>& laidOut = result.set.plates;
  const std::size_t before = plates.tabs.size();
  // A plate changed when it is new, lost or gained parts, or had parts waiting to lay out.
  bool moved = laidOut.size() != before;
  std::vector<bool> changed(laidOut.size(), true);
  for (std::size_t k = 0; k < before && k < laidOut.size(); ++k) {
    const PackingJob& old = *plates.tabs[k].job;
    const bool sameParts = workingIds(old) == workingIds(laidOut[k]);
    moved = moved || !sameParts;
    changed[k] = !sameParts || hasWaitingParts(old);
  }
  if (!moved) {
    for (std::size_t k = 0; k < laidOut.size(); ++k) {
      if (changed[k]) {
        PlateTab& tab = plates.tabs[k];
        tab.history.replaceWorkingLayout(*tab.job, takeWorkingLayout(laidOut[k]), label);
      }
    }
    plates.unplaced = std::move(result.run.unplaced);
  } else {
    if (before == 1) {
      plates.folder = result.set.folder;
      plates.loadedOrder = std::move(result.set.loadedOrder);
    }
    PlateSetStep step;
    step.label = std::string(label);
    step.unplaced = result.run.unplaced;
    for (std::size_t k = 0; k < laidOut.size(); ++k) {
      if (changed[k]) {
        Viewport viewport = k < before ? plates.tabs[k].viewport
                                       : fittedViewport(plates.tabs.front().viewport, laidOut[k]);
        step.plates.emplace_back(k, newTab(std::move(laidOut[k]), std::move(viewport)));
      }
    }
    doStep(plates, std::move(step));
  }
  show(state, shown);
  return effects;
}

Effects moveWaitingPartsToNextPlate(AppState& state) {
  if (state.jobLocked || !state.job) {
    return {};
  }
  const std::size_t index = currentPlate(state);
  if (!hasWaitingParts(*state.job)) {
    Effects effects;
    effects.message = app_text::printed(app_text::kNoWaitingParts, static_cast<int>(index + 1));
    return effects;
  }
  stow(state);
  PlateTabs& plates = state.plates;
  std::vector<PlateTab>& tabs = plates.tabs;
  // Worked on copies of this plate and the next; the step swaps them in.
  PlateSet pair;
  if (tabs.size() == 1) {
    pair = MakePlateSet(snapshotOf(*tabs.front().job), tabs.front().job->outputFolder);
    plates.folder = pair.folder;
    plates.loadedOrder = pair.loadedOrder;
  } else {
    pair.folder = plates.folder;
    pair.loadedOrder = plates.loadedOrder;
    pair.plates.push_back(snapshotOf(*tabs[index].job));
    if (index + 1 < tabs.size()) {
      pair.plates.push_back(snapshotOf(*tabs[index + 1].job));
    }
  }
  const bool makesPlate = index + 1 == tabs.size();
  MoveWaitingPartsToNextPlate(pair, 0);
  if (makesPlate) {
    pair.plates[1].outputFolder = plates.folder / PlateFolderName(static_cast<int>(index) + 2);
  }
  PlateSetStep step;
  step.label = std::string(app_text::kStepMoveToNextPlate);
  step.unplaced = plates.unplaced;
  Viewport nextView =
      makesPlate ? fittedViewport(tabs[index].viewport, pair.plates[1]) : tabs[index + 1].viewport;
  step.plates.emplace_back(index, newTab(std::move(pair.plates[0]), tabs[index].viewport));
  step.plates.emplace_back(index + 1, newTab(std::move(pair.plates[1]), std::move(nextView)));
  doStep(plates, std::move(step));
  show(state, index);
  return repaint();
}

void writeSetReport(AppState& state, std::ostream& out) {
  if (!state.job) {
    return;
  }
  const std::vector<UnplacedPart> lastRun = state.plates.unplaced;
  LentPlates lent(state);
  const PlateSet& set = lent.set();
  WritePlateSetReport(set, SummarisePlateSet(set), partsLeftOff(set, lastRun), out);
}

Effects writeLayoutsFolder(AppState& state, const std::filesystem::path& folder) {
  if (!state.job) {
    return {};
  }
  int written = 0;
  {
    LentPlates lent(state);
    PlateSet& set = lent.set();
    for (std::size_t k = 0; k < set.plates.size(); ++k) {
      const std::filesystem::path plateFolder = folder / PlateFolderName(static_cast<int>(k) + 1);
      std::error_code error;
      std::filesystem::create_directories(plateFolder, error);
      if (error) {
        throw CoreError(
            app_text::printed(app_text::kFolderNotCreated, plateFolder.string().c_str()));
      }
      WriteLayoutDxf(set.plates[k], plateFolder / std::string(kLayoutDrawingName));
      ++written;
    }
  }
  std::ostringstream report;
  writeSetReport(state, report);
  writeWholeFile(folder / std::string(kReportFileName), report.str(), text::kReportFileOpenError);
  Effects effects;
  std::error_code error;
  const std::filesystem::path shown = std::filesystem::absolute(folder, error);
  effects.message = app_text::printed(app_text::kLayoutsWritten, written,
                                      (error ? folder : shown.lexically_normal()).string().c_str());
  return effects;
}

UndoOffer undoOffer(const AppState& state) {
  if (state.job && state.history.canUndo()) {
    return {true, state.history.undoLabel()};
  }
  const PlateSetStep* step = undoableStep(state);
  return step != nullptr ? UndoOffer{true, step->label} : UndoOffer{};
}

UndoOffer redoOffer(const AppState& state) {
  if (state.job && state.history.canRedo()) {
    return {true, state.history.redoLabel()};
  }
  const PlateSetStep* step = redoableStep(state);
  return step != nullptr ? UndoOffer{true, step->label} : UndoOffer{};
}

bool undoEdit(AppState& state) {
  if (!state.job) {
    return false;
  }
  if (state.history.canUndo()) {
    return state.history.undo(*state.job);
  }
  if (undoableStep(state) == nullptr) {
    return false;
  }
  PlateTabs& plates = state.plates;
  PlateSetStep step = std::move(plates.done.back());
  plates.done.pop_back();
  applyStep(state, step);
  step.recordedSteps.clear();
  for (const auto& entry : step.plates) {
    step.recordedSteps.push_back(
        entry.first < plates.tabs.size() ? historyOf(state, entry.first).recordedSteps() : 0);
  }
  plates.undone.push_back(std::move(step));
  return true;
}

bool redoEdit(AppState& state) {
  if (!state.job) {
    return false;
  }
  if (state.history.canRedo()) {
    return state.history.redo(*state.job);
  }
  if (redoableStep(state) == nullptr) {
    return false;
  }
  PlateTabs& plates = state.plates;
  PlateSetStep step = std::move(plates.undone.back());
  plates.undone.pop_back();
  applyStep(state, step);
  plates.done.push_back(std::move(step));
  return true;
}

void forgetPlates(AppState& state) {
  const std::size_t changes = state.plates.changes;
  state.plates = PlateTabs();
  state.plates.changes = changes + 1;
}

}  // namespace tarn
