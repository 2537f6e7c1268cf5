#include "app/commands.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/job_operations.h"
#include "library/library_loader.h"
#include "nesting/contact.h"
#include "nesting/layout.h"
#include "nesting/packing_points.h"
#include "output/layout_dxf.h"
#include "output/packing_report.h"
#include "output/part_export.h"
#include "output/placement.h"

namespace tarn {
namespace {

constexpr int kMarkerHalfSize = 5;  // pixels, each arm of the rotation marker

Effects repaint() {
  Effects effects;
  effects.repaint = true;
  return effects;
}

Effects repaintWithErase() {
  Effects effects = repaint();
  effects.erase = true;
  return effects;
}

Effects focusBack(Effects effects) {
  effects.focusMainWindow = true;
  return effects;
}

// Every switch clears the click count except those to Select and ZoomWindow,
// so a gesture begun in another mode can be finished there.
void switchMode(AppState& state, InteractionMode mode) {
  state.mode = mode;
  if (mode != InteractionMode::Select && mode != InteractionMode::ZoomWindow) {
    state.clickCount = 0;
  }
}

void contactSelected(PackingJob& job, ArrowKey direction) {
  for (Part& part : job.workingParts) {
    if (!part.selected) {
      continue;
    }
    switch (direction) {
      case ArrowKey::Left:
        ContactLeft(job, part);
        break;
      case ArrowKey::Right:
        ContactRight(job, part);
        break;
      case ArrowKey::Up:
        ContactUp(job, part);
        break;
      case ArrowKey::Down:
        ContactDown(job, part);
        break;
    }
  }
}

// One drag step of Move (checked while Shift is held) or MoveChecked.
void moveSelection(AppState& state, ScreenPoint point, bool shiftHeld) {
  if (state.mode == InteractionMode::MoveChecked || shiftHeld) {
    MoveSelectedChecked(*state.job, state.lastMouse, point);
  } else {
    MoveSelected(*state.job, state.lastMouse, point);
  }
  state.lastMouse = point;
}

// Folds the letters to upper case; everything else passes unchanged.
char32_t upper(char32_t character) {
  return character >= U'a' && character <= U'z' ? character - U'a' + U'A' : character;
}

Effects openRequest(AppState& state, FileRequest request, LibraryFormat format) {
  Effects effects;
  state.packingKitOpen = false;
  state.renewDialogOpen = false;
  effects.closePackingKit = true;
  effects.closeRenewDialog = true;
  effects.fileRequest = request;
  effects.openFormat = format;
  return effects;
}

Effects selectBackground(AppState& state, int id) {
  state.checkedBackgroundItem = id;
  state.backgroundIndex = id - kBlackBackground;
  return repaintWithErase();
}

void drawOutline(Canvas& canvas, const View& view, const Region& region, Rgb colour, int width) {
  const std::size_t count = region.points.size();
  for (std::size_t i = 0; i < count; ++i) {
    canvas.line(view.worldToScreen(region.points[i]),
                view.worldToScreen(region.points[(i + 1) % count]), colour, width, false);
  }
}

void drawPart(Canvas& canvas, const View& view, const Part& part) {
  Rgb colour = kGreen;
  int width = 1;
  if (part.selected) {
    colour = kRed;
    width = 2;
  } else if (part.turnedOver) {
    colour = kYellow;
  }
  drawOutline(canvas, view, part.outer, colour, width);
  for (const Region& hole : part.holes) {
    drawOutline(canvas, view, hole, colour, width);
  }
}

void drawPlate(Canvas& canvas, const View& view, const PackingJob& job) {
  const double length = job.params.plateLength;
  const double width = job.params.plateWidth;
  const Point corners[] = {{0.0, 0.0}, {length, 0.0}, {length, width}, {0.0, width}};
  for (int i = 0; i < 4; ++i) {
    canvas.line(view.worldToScreen(corners[i]), view.worldToScreen(corners[(i + 1) % 4]), kBlue, 1,
                false);
  }
}

void drawJob(Canvas& canvas, const View& view, const PackingJob& job, bool withWorkingOutlines) {
  drawPlate(canvas, view, job);
  for (const Part& truePart : job.trueParts) {
    const Part* workingCopy = findWorkingCopy(job, truePart.id);
    if (workingCopy == nullptr) {
      continue;
    }
    Part placed = placedPart(truePart, *workingCopy);
    placed.selected = workingCopy->selected;
    drawPart(canvas, view, placed);
    if (withWorkingOutlines) {
      drawPart(canvas, view, *workingCopy);
    }
  }
}

// Points off the client area are skipped, so a fine grid costs no more pixels
// than the window has.
void drawPackingPoints(Canvas& canvas, const View& view, const PackingJob& job) {
  if (job.gridCountX <= 0 || job.gridCountY <= 0) {
    return;
  }
  for (const PackingPoint& point : job.packingPoints) {
    if (point.occupied) {
      continue;
    }
    const ScreenPoint pixel = view.worldToScreen(point.position);
    if (pixel.x >= 0 && pixel.y >= 0 && pixel.x < view.width && pixel.y < view.height) {
      canvas.pixel(pixel, kBlue);
    }
  }
}

void drawRubberBand(Canvas& canvas, ScreenPoint a, ScreenPoint b, Rgb colour, bool dashed) {
  const ScreenPoint corners[] = {a, {b.x, a.y}, b, {a.x, b.y}};
  for (int i = 0; i < 4; ++i) {
    canvas.line(corners[i], corners[(i + 1) % 4], colour, 1, dashed);
  }
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
      return openRequest(state, FileRequest::OpenTextLibrary, LibraryFormat::TextLibrary);
    case kOpenPartListFile:
      return openRequest(state, FileRequest::OpenTextLibrary, LibraryFormat::PartListFile);
    case kOpenPreSrcFile:
      return openRequest(state, FileRequest::OpenPreSrc, LibraryFormat::PreSrcFile);
    case kLayoutInDxf: {
      Effects effects;
      if (state.job) {
        effects.fileRequest = FileRequest::SaveLayoutDxf;
      }
      return effects;
    }
    case kExportParts:
      if (state.job) {
        ExportParts(*state.job);
      }
      return {};
    case kShowPackingKit: {
      Effects effects;
      state.packingKitOpen = true;
      effects.openPackingKit = true;
      return effects;
    }
    case kShowRenewDialog: {
      Effects effects;
      state.renewDialogOpen = true;
      effects.openRenewDialog = true;
      return effects;
    }
    case kBlackBackground:
    case kWhiteBackground:
      return selectBackground(state, id);
    case kPackingPointsVisible:
      state.packingPointsVisible = !state.packingPointsVisible;
      return repaintWithErase();
    case kOffsetPartsVisible:
      state.offsetPartsVisible = !state.offsetPartsVisible;
      return repaintWithErase();
    default:
      return {};
  }
}

Effects openLibraryFile(AppState& state, const std::filesystem::path& path, LibraryFormat format) {
  auto job = std::make_unique<PackingJob>(defaultErrorReportPath());
  auto view = std::make_unique<View>();
  openLibrary(*job, path, view.get(), format);
  // Handed over only now: a failed load above leaves the old job and view in place.
  state.job = std::move(job);
  state.view = std::move(view);
  state.savedExtent = state.job->plateExtents;
  state.view->initialise(state.clientWidth, state.clientHeight, state.savedExtent);
  Effects effects = repaint();
  state.packingKitOpen = true;
  effects.openPackingKit = true;
  return effects;
}

Effects writeLayoutFile(AppState& state, const std::filesystem::path& path) {
  if (state.job) {
    WriteLayoutDxf(*state.job, path);
  }
  return {};
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
  switch (upper(character)) {
    case kEscapeCharacter:
      SelectNone(job);
      state.clickCount = 0;
      return repaint();
    case U'A':
      if (shiftHeld) {
        SelectAll(job);
        return repaint();
      }
      if (state.mode == InteractionMode::Rotate) {
        RotateSelected(job, state.rotationCentre, state.rotationStep);
        return repaint();
      }
      return {};
    case U'B':
      Layout(job, state.announceLayout);
      state.announceLayout = true;
      return repaint();
    case U'C':
      if (state.mode == InteractionMode::Rotate) {
        RotateSelected(job, state.rotationCentre, -state.rotationStep);
        return repaint();
      }
      return {};
    case U'E': {
      WritePackingReport(job, std::filesystem::path(kReportPath));
      Effects effects = repaint();
      effects.showReport = true;
      return effects;
    }
    case U'M':
      switchMode(state, InteractionMode::Move);
      return repaint();
    case U'N':
      StageNextPart(job);
      state.announceLayout = false;
      return repaint();
    case U'O':
      switchMode(state, InteractionMode::MoveChecked);
      return repaint();
    case U'P':
      switchMode(state, InteractionMode::Pan);
      return repaint();
    case U'R':
      switchMode(state, InteractionMode::Rotate);
      return repaint();
    case U'S':
      switchMode(state, InteractionMode::Select);
      return repaint();
    case U'T':
      TurnOverFirstSelected(job);
      return repaint();
    case U'X':
      state.view->FitAll();
      return repaint();
    case U'Z':
      switchMode(state, InteractionMode::ZoomWindow);
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
  View& view = *state.view;
  const int n = state.clickCount++;
  state.currentMouse = point;
  switch (state.mode) {
    case InteractionMode::Select:
      if (n == 0) {
        state.anchor = point;
        if (TogglePartAt(job, point)) {
          state.pickedPart = true;
          state.clickCount = 0;
          return repaint();
        }
        state.pickedPart = false;
      } else if (n == 1) {
        state.rubberEnd = point;
        state.clickCount = 0;
        SelectInRectangle(job, state.anchor, point);
        return repaint();
      }
      return {};
    case InteractionMode::Pan:
      if (n == 0) {
        state.lastMouse = point;
      } else if (n == 1) {
        view.pan(point.x - state.lastMouse.x, point.y - state.lastMouse.y);
        state.clickCount = 0;
        return repaint();
      }
      return {};
    case InteractionMode::Move:
    case InteractionMode::MoveChecked:
      if (n == 0) {
        state.lastMouse = point;
      } else if (n == 1) {
        moveSelection(state, point, shiftHeld);
        state.clickCount = 0;
        return repaint();
      }
      return {};
    case InteractionMode::ZoomWindow:
      if (n == 0) {
        state.anchor = point;
      } else if (n == 1) {
        state.rubberEnd = point;
        state.clickCount = 0;
        view.zoomToRectangle(state.anchor, point);
        return repaint();
      }
      return {};
    case InteractionMode::Rotate:
      state.rotationCentreScreen = point;
      state.rotationCentre = view.screenToWorld(point);
      return repaint();
    case InteractionMode::Idle:
      state.clickCount = 0;
      return {};
  }
  return {};
}

Effects moveMouse(AppState& state, ScreenPoint point, bool shiftHeld) {
  state.currentMouse = point;
  if (!state.job || state.clickCount != 1) {
    return {};
  }
  switch (state.mode) {
    case InteractionMode::Select:
      if (state.pickedPart) {
        return {};
      }
      state.rubberEnd = point;
      return repaint();
    case InteractionMode::Pan:
      state.view->pan(point.x - state.lastMouse.x, point.y - state.lastMouse.y);
      state.lastMouse = point;
      return repaint();
    case InteractionMode::Move:
    case InteractionMode::MoveChecked:
      moveSelection(state, point, shiftHeld);
      return repaint();
    case InteractionMode::ZoomWindow:
      state.rubberEnd = point;
      return repaint();
    case InteractionMode::Idle:
    case InteractionMode::Rotate:
      return {};
  }
  return {};
}

Effects turnWheel(AppState& state, ScreenPoint point, int delta) {
  if (state.mode == InteractionMode::Rotate) {
    if (!state.job) {
      return {};
    }
    RotateSelected(*state.job, state.rotationCentre,
                   delta > 0 ? state.rotationStep : -state.rotationStep);
    return repaint();
  }
  View& view = *state.view;
  view.zoomAbout(point, delta > 0 ? view.scale * 1.1 : view.scale / 1.1);
  return repaint();
}

Effects resizeClient(AppState& state, int width, int height) {
  state.clientWidth = width;
  state.clientHeight = height;
  state.view->initialise(width, height, state.savedExtent);
  return repaint();
}

Effects pressPackingKitButton(AppState& state, int id) {
  PackingJob* job = state.job.get();
  switch (id) {
    case kKitOk:
    case kKitCancel:
      return closePackingKit(state);
    case kKitPan:
      switchMode(state, InteractionMode::Pan);
      return focusBack({});
    case kKitZoom:
      switchMode(state, InteractionMode::ZoomWindow);
      return focusBack({});
    case kKitFitAll:
      state.view->FitAll();
      state.clickCount = 0;
      return focusBack(repaint());
    case kKitSelectParts:
      switchMode(state, InteractionMode::Select);
      return focusBack({});
    case kKitMoveParts:
      switchMode(state, InteractionMode::Move);
      return focusBack({});
    case kKitRotateParts:
      switchMode(state, InteractionMode::Rotate);
      return focusBack({});
    case kKitMoveChecked:
      switchMode(state, InteractionMode::MoveChecked);
      return focusBack({});
    case kKitContactLeft:
    case kKitContactRight:
    case kKitContactUp:
    case kKitContactDown: {
      const ArrowKey direction = id == kKitContactLeft    ? ArrowKey::Left
                                 : id == kKitContactRight ? ArrowKey::Right
                                 : id == kKitContactUp    ? ArrowKey::Up
                                                          : ArrowKey::Down;
      return focusBack(pressArrowKey(state, direction));
    }
    case kKitLayout:
      if (job == nullptr) {
        return focusBack({});
      }
      Layout(*job, state.announceLayout);
      return focusBack(repaint());
    case kKitSelectAll:
    case kKitSelectNone:
      switchMode(state, InteractionMode::Select);
      if (job == nullptr) {
        return focusBack({});
      }
      if (id == kKitSelectAll) {
        SelectAll(*job);
      } else {
        SelectNone(*job);
      }
      return focusBack(repaint());
    case kKitLayoutAll:
      if (job == nullptr) {
        return focusBack({});
      }
      LayoutAll(*job, true);
      WritePackingReport(*job, std::filesystem::path(kReportPath));
      return focusBack(repaint());
    case kKitPackingReport: {
      if (job == nullptr) {
        return focusBack({});
      }
      WritePackingReport(*job, std::filesystem::path(kReportPath));
      Effects effects = focusBack(repaint());
      effects.showReport = true;
      return effects;
    }
    case kKitLayoutInDxf: {
      Effects effects;
      if (job != nullptr) {
        effects.fileRequest = FileRequest::SaveLayoutDxf;
      }
      return effects;
    }
    case kKitLayoutNext:
      if (job == nullptr) {
        return focusBack({});
      }
      StageNextPart(*job);
      Layout(*job, false);
      return focusBack(repaint());
    case kKitLayoutMultipleSteps:
      if (job == nullptr) {
        return focusBack({});
      }
      LayoutMultipleSteps(*job, state.announceLayout);
      return focusBack(repaint());
    default:
      return {};
  }
}

Effects closePackingKit(AppState& state) {
  Effects effects;
  state.packingKitOpen = false;
  effects.closePackingKit = true;
  return effects;
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
  Effects effects;
  switch (id) {
    case kRenewOk:
      if (job != nullptr) {
        // The distance first: a refused one throws before anything changed.
        RenewPackingPointDistance(*job, parseLenientDouble(fields.packingPointDistance));
        job->params.rotationNumber = parseLenientInt(fields.rotationNumber);
        effects.repaint = true;
      }
      state.renewDialogOpen = false;
      effects.closeRenewDialog = true;
      return effects;
    case kRenewCancel:
      state.renewDialogOpen = false;
      effects.closeRenewDialog = true;
      return effects;
    case kRenewDistance:
      if (job != nullptr) {
        RenewPackingPointDistance(*job, parseLenientDouble(fields.packingPointDistance));
        effects.repaint = true;
      }
      return effects;
    case kRenewRotationNumber:
      if (job != nullptr) {
        job->params.rotationNumber = parseLenientInt(fields.rotationNumber);
        effects.repaint = true;
      }
      return effects;
    default:
      return effects;
  }
}

bool menuCommandRunsLayout(int) {
  return false;
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

void paintState(const AppState& state, Canvas& canvas) {
  canvas.fill(state.backgroundIndex == 0 ? kBlack : kWhite);
  if (!state.job || !state.view) {
    return;
  }
  const View& view = *state.view;
  drawJob(canvas, view, *state.job, state.offsetPartsVisible);
  if (state.packingPointsVisible) {
    drawPackingPoints(canvas, view, *state.job);
  }
  const ScreenPoint c = state.rotationCentreScreen;
  if (state.mode == InteractionMode::Rotate) {
    canvas.line({c.x - kMarkerHalfSize, c.y - kMarkerHalfSize},
                {c.x + kMarkerHalfSize, c.y + kMarkerHalfSize}, kRed, 1, false);
    canvas.line({c.x - kMarkerHalfSize, c.y + kMarkerHalfSize},
                {c.x + kMarkerHalfSize, c.y - kMarkerHalfSize}, kRed, 1, false);
  }
  if (state.mode == InteractionMode::Select && state.clickCount == 1 && !state.pickedPart) {
    drawRubberBand(canvas, state.anchor, state.rubberEnd, kMagenta,
                   state.rubberEnd.x < state.anchor.x);
  }
  if (state.mode == InteractionMode::ZoomWindow && state.clickCount == 1) {
    drawRubberBand(canvas, state.anchor, state.rubberEnd, kWhite, false);
  }
}

}  // namespace tarn
