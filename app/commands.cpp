#include "app/commands.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "job/job_operations.h"
#include "library/library_loader.h"
#include "nesting/contact.h"
#include "nesting/layout.h"
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

// A or C (or the wheel) in Rotate mode: the selection turns about the rotation centre.
Effects rotateSelection(AppState& state, double angle) {
  if (state.gesture.mode != InteractionMode::Rotate || !state.job) {
    return {};
  }
  RotateSelected(*state.job, state.gesture.rotationCentre, angle);
  return repaint();
}

Effects writeAndShowReport(PackingJob& job) {
  WritePackingReport(job, job.outputFile(kReportFileName));
  Effects effects = repaint();
  effects.showReport = true;
  return effects;
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

// The Packing Kit buttons that work on the job.
Effects runKitJobButton(AppState& state, PackingJob& job, int id) {
  switch (id) {
    case kKitLayout:
      Layout(job, state.announceLayout);
      break;
    case kKitSelectAll:
      SelectAll(job);
      break;
    case kKitSelectNone:
      SelectNone(job);
      break;
    case kKitLayoutAll:
      LayoutAll(job, true);
      WritePackingReport(job, job.outputFile(kReportFileName));
      break;
    case kKitPackingReport:
      return writeAndShowReport(job);
    case kKitLayoutNext:
      StageNextPart(job);
      Layout(job, false);
      break;
    case kKitLayoutMultipleSteps:
      LayoutMultipleSteps(job, state.announceLayout);
      break;
  }
  return repaint();
}

// One drag step of Move (checked while Shift is held) or MoveChecked.
void moveSelection(AppState& state, ScreenPoint point, bool shiftHeld) {
  const Point from = state.viewport.view.screenToWorld(state.gesture.lastMouse);
  const Point to = state.viewport.view.screenToWorld(point);
  if (state.gesture.mode == InteractionMode::MoveChecked || shiftHeld) {
    MoveSelectedChecked(*state.job, from, to);
  } else {
    MoveSelected(*state.job, from, to);
  }
  state.gesture.lastMouse = point;
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

// printf of one value, however long the text (a huge distance has hundreds of digits).
template <class T>
std::string printed(const char* format, T value) {
  const int length = std::snprintf(nullptr, 0, format, value);
  if (length <= 0) {
    return {};
  }
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, format, value);
  return text;
}

}  // namespace

Effects runMenuCommand(AppState& state, int id) {
  switch (id) {
    case kOpenTextLibrary:
      return openRequest(FileRequest::OpenTextLibrary, LibraryFormat::TextLibrary);
    case kOpenPartListFile:
      return openRequest(FileRequest::OpenTextLibrary, LibraryFormat::PartListFile);
    case kOpenPreSrcFile:
      return openRequest(FileRequest::OpenPreSrc, LibraryFormat::PreSrcFile);
    case kLayoutInDxf:
      return saveLayoutRequest(state);
    case kExportParts:
      if (state.job) {
        ExportParts(*state.job);
      }
      return {};
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
    default:
      return {};
  }
}

Effects openLibraryFile(AppState& state, const std::filesystem::path& path, LibraryFormat format) {
  auto job = std::make_unique<PackingJob>(defaultErrorReportPath(), state.outputFolder);
  openLibrary(*job, path, format);
  // Handed over only now: a failed load above leaves the old job and view in place.
  state.job = std::move(job);
  state.viewport.view = View{};
  state.viewport.savedExtent = state.job->plateExtents;
  state.viewport.view.initialise(state.viewport.clientWidth, state.viewport.clientHeight,
                                 state.viewport.savedExtent);
  return openPackingKit(repaint());
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
  if (!state.job) {
    return {};
  }
  contactSelected(*state.job, key);
  return repaint();
}

Effects typeCharacter(AppState& state, char32_t character, bool shiftHeld) {
  if (!state.job) {
    return {};
  }
  PackingJob& job = *state.job;
  const char32_t key = upper(character);
  if (const std::optional<InteractionMode> mode = lookUp(kModeLetters, key)) {
    switchMode(state, *mode);
    return repaint();
  }
  switch (key) {
    case kEscapeCharacter:
      SelectNone(job);
      state.gesture.clickCount = 0;
      return repaint();
    case U'A':
      if (shiftHeld) {
        SelectAll(job);
        return repaint();
      }
      return rotateSelection(state, state.gesture.rotationStep);
    case U'B':
      Layout(job, state.announceLayout);
      state.announceLayout = true;
      return repaint();
    case U'C':
      return rotateSelection(state, -state.gesture.rotationStep);
    case U'E':
      return writeAndShowReport(job);
    case U'N':
      StageNextPart(job);
      state.announceLayout = false;
      return repaint();
    case U'T':
      TurnOverFirstSelected(job);
      return repaint();
    case U'X':
      state.viewport.view.FitAll();
      return repaint();
    default:
      return {};
  }
}

Effects pressLeftButton(AppState& state, ScreenPoint point, bool shiftHeld) {
  if (!state.job) {
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
        return repaint();
      }
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
      break;
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
      moveSelection(state, point, shiftHeld);
      return repaint();
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
      state.viewport.view.FitAll();
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
  return focusBack(state.job ? runKitJobButton(state, *state.job, id) : Effects{});
}

RenewFields renewDialogFields(const AppState& state) {
  RenewFields fields;
  if (!state.job) {
    return fields;
  }
  fields.rotationNumber = printed("%d", state.job->params.rotationNumber);
  fields.packingPointDistance = printed("%lf", state.job->params.packingPointDistance);
  return fields;
}

Effects pressRenewDialogButton(AppState& state, int id, const RenewFields& fields) {
  PackingJob* job = state.job.get();
  const bool renewsDistance = job != nullptr && (id == kRenewOk || id == kRenewDistance);
  const bool renewsRotationNumber =
      job != nullptr && (id == kRenewOk || id == kRenewRotationNumber);
  const int rotationNumber = parseLenientInt(fields.rotationNumber);
  // Both numbers are checked before either changes; the distance checks its own.
  if (renewsRotationNumber && rotationNumber > kMaxRotationNumber) {
    throw CoreError(text::kBadRotationNumber);
  }
  Effects effects;
  if (renewsDistance) {
    RenewPackingPointDistance(*job, parseLenientDouble(fields.packingPointDistance));
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

bool characterRunsLayout(char32_t character) {
  return upper(character) == U'B';
}

bool packingKitButtonRunsLayout(int id) {
  return id == kKitLayout || id == kKitLayoutAll || id == kKitLayoutNext ||
         id == kKitLayoutMultipleSteps;
}

int parseLenientInt(std::string_view text) {
  const std::string copy(text);
  const long value = std::strtol(copy.c_str(), nullptr, 10);
  if (value > INT_MAX) {
    return INT_MAX;
  }
  if (value < INT_MIN) {
    return INT_MIN;
  }
  return static_cast<int>(value);
}

double parseLenientDouble(std::string_view text) {
  const std::string copy(text);
  return std::strtod(copy.c_str(), nullptr);
}

}  // namespace tarn
