#include "app/commands.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <utility>

#include "app/app_texts.h"
#include "app/job_runs.h"
#include "app/plate_tabs.h"
#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "job/job_operations.h"
#include "library/line_reader.h"
#include "nesting/contact.h"
#include "nesting/packing_points.h"
#include "output/layout_dxf.h"
#include "output/packing_report.h"
#include "output/part_export.h"

namespace tarn {
namespace {

Effects repaint() {
  Effects effects;
  effects.repaint = true;
  return effects;
}

Effects focusBack(Effects effects) {
  effects.focusMainWindow = true;
  return effects;
}

// Every switch clears the click count except those to Select and ZoomWindow,
// so a gesture begun in another mode can be finished there.
void switchMode(AppState& state, InteractionMode mode) {
  state.gesture.mode = mode;
  if (mode != InteractionMode::Select && mode != InteractionMode::ZoomWindow) {
    state.gesture.clickCount = 0;
  }
}

// The letters and Packing Kit buttons that only switch the mode.
constexpr std::pair<char32_t, InteractionMode> kModeLetters[] = {
    {U'M', InteractionMode::Move},   {U'O', InteractionMode::MoveChecked},
    {U'P', InteractionMode::Pan},    {U'R', InteractionMode::Rotate},
    {U'S', InteractionMode::Select}, {U'Z', InteractionMode::ZoomWindow},
};
constexpr std::pair<int, InteractionMode> kModeButtons[] = {
    {kKitPan, InteractionMode::Pan},
    {kKitZoom, InteractionMode::ZoomWindow},
    {kKitSelectParts, InteractionMode::Select},
    {kKitMoveParts, InteractionMode::Move},
    {kKitRotateParts, InteractionMode::Rotate},
    {kKitMoveChecked, InteractionMode::MoveChecked},
};
constexpr std::pair<int, ArrowKey> kContactButtons[] = {
    {kKitContactLeft, ArrowKey::Left},
    {kKitContactRight, ArrowKey::Right},
    {kKitContactUp, ArrowKey::Up},
    {kKitContactDown, ArrowKey::Down},
};

template <class Key, class Value, std::size_t N>
std::optional<Value> lookUp(const std::pair<Key, Value> (&table)[N], Key key) {
  for (const auto& [k, value] : table) {
    if (k == key) {
      return value;
    }
  }
  return std::nullopt;
}

// Indexed by ArrowKey.
constexpr void (*kContactMoves[])(PackingJob&, Part&, RunContext&) = {ContactLeft, ContactRight,
                                                                      ContactUp, ContactDown};

void contactSelected(PackingJob& job, ArrowKey direction) {
  for (Part& part : job.workingParts) {
    if (part.selected) {
      kContactMoves[static_cast<int>(direction)](job, part, defaultRunContext());
    }
  }
}

// The job a command may change: none while there is no job or a run holds it.
PackingJob* editableJob(AppState& state) {
  return state.jobLocked ? nullptr : state.job.get();
}

// What the command changed in the poses or the selection becomes one undo step.
Effects recorded(AppState& state, std::string_view label, Effects effects, int mergeKey = 0) {
  if (state.job) {
    state.history.record(*state.job, label, false, mergeKey);
  }
  return effects;
}

// A or C (or the wheel) in Rotate mode: the selection turns about the rotation centre.
Effects rotateSelection(AppState& state, double angle) {
  PackingJob* job = editableJob(state);
  if (state.gesture.mode != InteractionMode::Rotate || job == nullptr) {
    return {};
  }
  RotateSelected(*job, state.gesture.rotationCentre, angle);
  return recorded(state, app_text::kStepRotate, repaint());
}

// A plate of a set writes into a folder of its own, made when first needed; a
// folder that cannot be made fails the write that follows, with its message.
void makePlateFolder(const AppState& state, const PackingJob& job) {
  if (plateCount(state) > 1 && !job.outputFolder.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(job.outputFolder, ignored);
  }
}

// Writing the report selects the parts in conflict.
Effects writeAndShowReport(AppState& state, PackingJob& job) {
  makePlateFolder(state, job);
  WritePackingReport(job, job.outputFile(kReportFileName));
  Effects effects = repaint();
  effects.showReport = true;
  return recorded(state, app_text::kStepReport, effects);
}

Effects layoutRun(RunKind kind, bool announce) {
  Effects effects;
  effects.run = RunRequest{kind, announce, {}, LibraryFormat::TextLibrary, {}};
  return effects;
}

// The folder the job's files go to, as the user reads it.
std::string absoluteFolder(const PackingJob& job) {
  std::error_code error;
  const std::filesystem::path folder =
      std::filesystem::absolute(job.outputFolder.empty() ? "." : job.outputFolder, error);
  return (error ? job.outputFolder : folder.lexically_normal()).string();
}

// One file per distinct safe name: a later part of the same name replaces the file.
Effects exportParts(const AppState& state, PackingJob& job) {
  makePlateFolder(state, job);
  ExportParts(job);
  std::set<std::string> names;
  for (const Part& part : job.trueParts) {
    if (isSafePartFileName(part.nameLabel.text)) {
      names.insert(part.nameLabel.text);
    }
  }
  Effects effects;
  effects.message = app_text::printed(app_text::kPartsExported, static_cast<int>(names.size()),
                                      absoluteFolder(job).c_str());
  return effects;
}

BBox unite(BBox a, const BBox& b) {
  a.xmin = std::min(a.xmin, b.xmin);
  a.xmax = std::max(a.xmax, b.xmax);
  a.ymin = std::min(a.ymin, b.ymin);
  a.ymax = std::max(a.ymax, b.ymax);
  return a;
}

void fitTo(AppState& state, const BBox& extent) {
  state.viewport.savedExtent = extent;
  state.viewport.view.initialise(state.viewport.clientWidth, state.viewport.clientHeight, extent);
}

void fitPlate(AppState& state) {
  if (state.job) {
    fitTo(state, state.job->plateExtents);
  } else {
    state.viewport.view.FitAll();
  }
}

// Whether the part's box lies wholly in the client area.
bool onScreen(const View& view, const Part& part) {
  const ScreenPoint a = view.worldToScreen({part.bbox.xmin, part.bbox.ymax});
  const ScreenPoint b = view.worldToScreen({part.bbox.xmax, part.bbox.ymin});
  return a.x >= 0 && a.y >= 0 && b.x <= view.width && b.y <= view.height;
}

// N stages a part above the plate's right end; the view follows when it is off screen.
Effects stageNextPart(AppState& state, PackingJob& job) {
  StageNextPart(job);
  for (const Part& part : job.workingParts) {
    if (part.selected && !onScreen(state.viewport.view, part)) {
      fitAllParts(state);
      break;
    }
  }
  return recorded(state, app_text::kStepStageNext, repaint());
}

Effects saveLayoutRequest(const AppState& state) {
  Effects effects;
  if (state.job) {
    effects.fileRequest = FileRequest::SaveLayoutDxf;
  }
  return effects;
}

Effects openPackingKit(Effects effects) {
  effects.openPackingKit = true;
  return effects;
}

Effects closePackingKit() {
  Effects effects;
  effects.closePackingKit = true;
  return effects;
}

// The Packing Kit buttons that work on the job. The layouts run on a worker.
Effects runKitJobButton(AppState& state, PackingJob& job, int id) {
  switch (id) {
    case kKitLayout:
      return layoutRun(RunKind::Layout, state.announceLayout);
    case kKitSelectAll:
      SelectAll(job);
      return recorded(state, app_text::kStepSelect, repaint());
    case kKitSelectNone:
      SelectNone(job);
      return recorded(state, app_text::kStepSelect, repaint());
    case kKitLayoutAll:
      return layoutRun(RunKind::LayoutAll, true);
    case kKitPackingReport:
      return writeAndShowReport(state, job);
    case kKitLayoutNext:
      return layoutRun(RunKind::LayoutNext, false);
    case kKitLayoutMultipleSteps:
      return layoutRun(RunKind::LayoutMultipleSteps, state.announceLayout);
  }
  return repaint();
}

// One drag step of Move (checked while Shift is held) or MoveChecked; all the
// steps of one drag are one undo step. While a run holds the job the mouse is
// only followed, so the drag goes on from where it is once the run has ended.
Effects moveSelection(AppState& state, ScreenPoint point, bool shiftHeld) {
  const Point from = state.viewport.view.screenToWorld(state.gesture.lastMouse);
  const Point to = state.viewport.view.screenToWorld(point);
  state.gesture.lastMouse = point;
  PackingJob* job = editableJob(state);
  if (job == nullptr) {
    return {};
  }
  if (state.gesture.mode == InteractionMode::MoveChecked || shiftHeld) {
    MoveSelectedChecked(*job, from, to);
  } else {
    MoveSelected(*job, from, to);
  }
  return recorded(state, app_text::kStepMove, repaint(), state.gesture.dragSerial);
}

// Folds the letters to upper case; everything else passes unchanged.
char32_t upper(char32_t character) {
  return character >= U'a' && character <= U'z' ? character - U'a' + U'A' : character;
}

Effects openRequest(FileRequest request, LibraryFormat format) {
  Effects effects;
  effects.closePackingKit = true;
  effects.closeRenewDialog = true;
  effects.fileRequest = request;
  effects.openFormat = format;
  return effects;
}

Effects selectBackground(AppState& state, int id) {
  state.options.checkedBackgroundItem = id;
  state.options.backgroundIndex = id - kBlackBackground;
  return repaint();
}

}  // namespace

Effects runMenuCommand(AppState& state, int id) {
  if (state.jobLocked && menuCommandChangesJob(id)) {
    return {};
  }
  switch (id) {
    case kOpenTextLibrary:
      return openRequest(FileRequest::OpenTextLibrary, LibraryFormat::TextLibrary);
    case kOpenPartListFile:
      return openRequest(FileRequest::OpenPartList, LibraryFormat::PartListFile);
    case kOpenPreSrcFile:
      return openRequest(FileRequest::OpenPreSrc, LibraryFormat::PreSrcFile);
    case kOpenDrawings:
      return openRequest(FileRequest::OpenDrawings, LibraryFormat::PartListFile);
    case kOptimise: {
      Effects effects;
      effects.openOptimiser = state.job != nullptr;
      return effects;
    }
    case kLayoutInDxf:
      return saveLayoutRequest(state);
    case kExportParts:
      return state.job ? exportParts(state, *state.job) : Effects{};
    case kShowPackingKit:
      return openPackingKit({});
    case kShowRenewDialog: {
      Effects effects;
      effects.openRenewDialog = true;
      return effects;
    }
    case kBlackBackground:
    case kWhiteBackground:
      return selectBackground(state, id);
    case kPackingPointsVisible:
      state.options.packingPointsVisible = !state.options.packingPointsVisible;
      return repaint();
    case kOffsetPartsVisible:
      state.options.offsetPartsVisible = !state.options.offsetPartsVisible;
      return repaint();
    case kUndo:
      return undoEdit(state) ? repaint() : Effects{};
    case kRedo:
      return redoEdit(state) ? repaint() : Effects{};
    case kFitAllParts:
      fitAllParts(state);
      return repaint();
    case kLayOutOnPlates:
      return state.job ? layoutRun(RunKind::PlateSet, true) : Effects{};
    case kLayOutOnPlatesInSteps:
      return state.job ? layoutRun(RunKind::PlateSetInSteps, true) : Effects{};
    case kMoveToNextPlate:
      return moveWaitingPartsToNextPlate(state);
    case kSaveLayouts: {
      Effects effects;
      if (state.job) {
        effects.fileRequest = FileRequest::SaveLayoutsFolder;
      }
      return effects;
    }
    case kNextPlate:
      return switchPlate(state, currentPlate(state) + 1);
    case kPreviousPlate:
      return currentPlate(state) > 0 ? switchPlate(state, currentPlate(state) - 1) : Effects{};
    default:
      return {};
  }
}

Effects openLibraryFile(AppState& state, const std::filesystem::path& path, LibraryFormat format) {
  return runNow(state, RunRequest{RunKind::Open, true, path, format, {}});
}

void fitAllParts(AppState& state) {
  if (!state.job) {
    state.viewport.view.FitAll();
    return;
  }
  BBox extent = state.job->plateExtents;
  for (const Part& part : state.job->workingParts) {
    extent = unite(extent, part.bbox);
  }
  fitTo(state, extent);
}

Effects writeLayoutFile(AppState& state, const std::filesystem::path& path) {
  if (state.job) {
    WriteLayoutDxf(*state.job, path);
  }
  return {};
}

std::filesystem::path reportFile(const AppState& state) {
  return state.job ? state.job->outputFile(kReportFileName) : std::filesystem::path();
}

Effects pressArrowKey(AppState& state, ArrowKey key) {
  PackingJob* job = editableJob(state);
  if (job == nullptr) {
    return {};
  }
  contactSelected(*job, key);
  return recorded(state, app_text::kStepContactMove, repaint());
}

Effects typeCharacter(AppState& state, char32_t character, bool shiftHeld) {
  if (!state.job) {
    return {};
  }
  const char32_t key = upper(character);
  if (const std::optional<InteractionMode> mode = lookUp(kModeLetters, key)) {
    switchMode(state, *mode);
    return repaint();
  }
  if (key == U'X') {
    // Shift+X shows the waiting parts too; X the plate alone.
    shiftHeld ? fitAllParts(state) : fitPlate(state);
    return repaint();
  }
  if (key == kEscapeCharacter) {
    state.gesture.clickCount = 0;
  }
  PackingJob* job = editableJob(state);
  if (job == nullptr) {
    return {};
  }
  switch (key) {
    case kEscapeCharacter:
      SelectNone(*job);
      return recorded(state, app_text::kStepSelect, repaint());
    case U'A':
      if (shiftHeld) {
        SelectAll(*job);
        return recorded(state, app_text::kStepSelect, repaint());
      }
      return rotateSelection(state, state.gesture.rotationStep);
    case U'B': {
      const bool announce = state.announceLayout;
      state.announceLayout = true;
      return layoutRun(RunKind::Layout, announce);
    }
    case U'C':
      return rotateSelection(state, -state.gesture.rotationStep);
    case U'E':
      return writeAndShowReport(state, *job);
    case U'N':
      state.announceLayout = false;
      return stageNextPart(state, *job);
    case U'T':
      TurnOverFirstSelected(*job);
      return recorded(state, app_text::kStepTurnOver, repaint());
    default:
      return {};
  }
}

Effects pressLeftButton(AppState& state, ScreenPoint point, bool shiftHeld) {
  // While a run holds the job a Select click is refused whole; Move only follows the mouse.
  if (!state.job || (state.jobLocked && state.gesture.mode == InteractionMode::Select)) {
    return {};
  }
  PackingJob& job = *state.job;
  View& view = state.viewport.view;
  const int n = state.gesture.clickCount++;
  state.gesture.currentMouse = point;
  if (state.gesture.mode == InteractionMode::Rotate) {
    state.gesture.rotationCentreScreen = point;
    state.gesture.rotationCentre = view.screenToWorld(point);
    return repaint();
  }
  if (state.gesture.mode == InteractionMode::Idle) {
    state.gesture.clickCount = 0;
    return {};
  }
  // The other modes are two-click gestures. The first click holds a corner
  // (Select, ZoomWindow) or grabs (Pan, Move); in Select it may pick a part instead.
  if (n == 0) {
    const bool corner = state.gesture.mode == InteractionMode::Select ||
                        state.gesture.mode == InteractionMode::ZoomWindow;
    (corner ? state.gesture.anchor : state.gesture.lastMouse) = point;
    if (state.gesture.mode == InteractionMode::Select) {
      state.gesture.pickedPart = TogglePartAt(job, view.screenToWorld(point));
      if (state.gesture.pickedPart) {
        state.gesture.clickCount = 0;
        return recorded(state, app_text::kStepSelect, repaint());
      }
    } else if (!corner && state.gesture.mode != InteractionMode::Pan) {
      ++state.gesture.dragSerial;
    }
    return {};
  }
  if (n != 1) {
    return {};
  }
  state.gesture.clickCount = 0;
  switch (state.gesture.mode) {
    case InteractionMode::Select:
      state.gesture.rubberEnd = point;
      SelectInRectangle(job, view.screenToWorld(state.gesture.anchor), view.screenToWorld(point));
      return recorded(state, app_text::kStepSelect, repaint());
    case InteractionMode::ZoomWindow:
      state.gesture.rubberEnd = point;
      view.zoomToRectangle(state.gesture.anchor, point);
      break;
    case InteractionMode::Pan:
      view.pan(point.x - state.gesture.lastMouse.x, point.y - state.gesture.lastMouse.y);
      break;
    default:  // Move and MoveChecked
      moveSelection(state, point, shiftHeld);
      break;
  }
  return repaint();
}

Effects moveMouse(AppState& state, ScreenPoint point, bool shiftHeld) {
  state.gesture.currentMouse = point;
  if (!state.job || state.gesture.clickCount != 1) {
    return {};
  }
  switch (state.gesture.mode) {
    case InteractionMode::Select:
      if (state.gesture.pickedPart) {
        return {};
      }
      state.gesture.rubberEnd = point;
      return repaint();
    case InteractionMode::Pan:
      state.viewport.view.pan(point.x - state.gesture.lastMouse.x,
                              point.y - state.gesture.lastMouse.y);
      state.gesture.lastMouse = point;
      return repaint();
    case InteractionMode::Move:
    case InteractionMode::MoveChecked:
      return moveSelection(state, point, shiftHeld);
    case InteractionMode::ZoomWindow:
      state.gesture.rubberEnd = point;
      return repaint();
    case InteractionMode::Idle:
    case InteractionMode::Rotate:
      return {};
  }
  return {};
}

Effects turnWheel(AppState& state, ScreenPoint point, int delta) {
  if (state.gesture.mode == InteractionMode::Rotate) {
    return rotateSelection(state,
                           delta > 0 ? state.gesture.rotationStep : -state.gesture.rotationStep);
  }
  View& view = state.viewport.view;
  view.zoomAbout(point, delta > 0 ? view.scale * 1.1 : view.scale / 1.1);
  return repaint();
}

Effects resizeClient(AppState& state, int width, int height) {
  state.viewport.clientWidth = width;
  state.viewport.clientHeight = height;
  state.viewport.view.initialise(width, height, state.viewport.savedExtent);
  return repaint();
}

Effects pressPackingKitButton(AppState& state, int id) {
  if (const std::optional<InteractionMode> mode = lookUp(kModeButtons, id)) {
    switchMode(state, *mode);
    return focusBack({});
  }
  if (const std::optional<ArrowKey> direction = lookUp(kContactButtons, id)) {
    return focusBack(pressArrowKey(state, *direction));
  }
  switch (id) {
    case kKitOk:
    case kKitCancel:
      return closePackingKit();
    case kKitLayoutInDxf:
      return saveLayoutRequest(state);
    case kKitFitAll:
      fitPlate(state);
      state.gesture.clickCount = 0;
      return focusBack(repaint());
    case kKitSelectAll:
    case kKitSelectNone:
      switchMode(state, InteractionMode::Select);
      break;
    case kKitLayout:
    case kKitLayoutAll:
    case kKitPackingReport:
    case kKitLayoutNext:
    case kKitLayoutMultipleSteps:
      break;
    default:
      return {};
  }
  PackingJob* job = editableJob(state);
  return focusBack(job != nullptr ? runKitJobButton(state, *job, id) : Effects{});
}

RenewFields renewDialogFields(const AppState& state) {
  RenewFields fields;
  if (!state.job) {
    return fields;
  }
  fields.rotationNumber = app_text::printed("%d", state.job->params.rotationNumber);
  fields.packingPointDistance = app_text::printed("%lf", state.job->params.packingPointDistance);
  return fields;
}

Effects pressRenewDialogButton(AppState& state, int id, const RenewFields& fields) {
  PackingJob* job = editableJob(state);
  if (job == nullptr && state.job) {
    Effects effects;
    effects.closeRenewDialog = id == kRenewCancel;
    return effects;
  }
  const bool renewsDistance = job != nullptr && (id == kRenewOk || id == kRenewDistance);
  const bool renewsRotationNumber =
      job != nullptr && (id == kRenewOk || id == kRenewRotationNumber);
  const int rotationNumber = parseInt(fields.rotationNumber);
  // Both numbers are checked before either changes; the distance checks its own.
  // Below 1 no angle would be tried and the next layout would place nothing.
  if (renewsRotationNumber && rotationNumber > kMaxRotationNumber) {
    throw CoreError(text::kBadRotationNumber);
  }
  if (renewsRotationNumber && rotationNumber < 1) {
    throw CoreError(app_text::kRotationNumberTooSmall);
  }
  Effects effects;
  if (renewsDistance) {
    RenewPackingPointDistance(*job, parseDouble(fields.packingPointDistance));
    // A renewed distance is not undone; steps before it rebuild the grid at it.
    state.history.resyncGrid(*job);
    effects.repaint = true;
  }
  if (renewsRotationNumber) {
    job->params.rotationNumber = rotationNumber;
    effects.repaint = true;
  }
  if (id == kRenewOk || id == kRenewCancel) {
    effects.closeRenewDialog = true;
  }
  return effects;
}

Effects selectPartsById(AppState& state, const std::vector<int>& ids) {
  PackingJob* job = editableJob(state);
  if (job == nullptr) {
    return {};
  }
  const std::set<int> chosen(ids.begin(), ids.end());
  for (Part& part : job->workingParts) {
    part.selected = chosen.count(part.id) != 0;
  }
  return recorded(state, app_text::kStepSelect, repaint());
}

bool packingKitButtonChangesJob(int id) {
  return id == kKitSelectAll || id == kKitSelectNone || id == kKitLayout || id == kKitLayoutAll ||
         id == kKitPackingReport || id == kKitLayoutNext || id == kKitLayoutMultipleSteps ||
         lookUp(kContactButtons, id).has_value();
}

bool menuCommandChangesJob(int id) {
  return id == kOpenTextLibrary || id == kOpenPartListFile || id == kOpenPreSrcFile ||
         id == kOpenDrawings || id == kOptimise || id == kUndo || id == kRedo ||
         id == kLayOutOnPlates || id == kLayOutOnPlatesInSteps || id == kMoveToNextPlate ||
         id == kNextPlate || id == kPreviousPlate;
}

}  // namespace tarn
