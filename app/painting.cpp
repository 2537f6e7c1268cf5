#include "app/painting.h"

#include "geometry/region.h"
#include "job/packing_job.h"
#include "job/placed_part.h"

namespace tarn {
namespace {

constexpr int kMarkerHalfSize = 5;  // pixels, each arm of the rotation marker

void drawOutline(Canvas& canvas, const View& view, const Region& region, Rgb colour, int width) {
  const std::size_t count = region.points.size();
  for (std::size_t i = 0; i < count; ++i) {
    canvas.line(view.worldToScreen(region.points[i]),
                view.worldToScreen(region.points[(i + 1) % count]), colour, width, false);
  }
}

// Yellow nearly vanishes on white, so turned-over parts are drawn darker there.
void drawPart(Canvas& canvas, const View& view, const Part& part, bool whiteBackground) {
  Rgb colour = kGreen;
  int width = 1;
  if (part.selected) {
    colour = kRed;
    width = 2;
  } else if (part.turnedOver) {
    colour = whiteBackground ? kDarkYellow : kYellow;
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

void drawJob(Canvas& canvas, const View& view, const PackingJob& job, bool withWorkingOutlines,
             bool whiteBackground) {
  drawPlate(canvas, view, job);
  const PartLookup parts(job);
  for (const Part& truePart : job.trueParts) {
    const Part* workingCopy = parts.workingCopy(truePart.id);
    if (workingCopy == nullptr) {
      continue;
    }
    Part placed = placedPart(truePart, *workingCopy);
    placed.selected = workingCopy->selected;
    drawPart(canvas, view, placed, whiteBackground);
    if (withWorkingOutlines) {
      drawPart(canvas, view, *workingCopy, whiteBackground);
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

}  // namespace

void paintState(const AppState& state, Canvas& canvas) {
  canvas.fill(state.options.backgroundIndex == 0 ? kBlack : kWhite);
  if (!state.job) {
    return;
  }
  const View& view = state.viewport.view;
  const PackingJob& shown = state.preview ? *state.preview : *state.job;
  drawJob(canvas, view, shown, state.options.offsetPartsVisible,
          state.options.backgroundIndex == 1);
  if (state.options.packingPointsVisible) {
    drawPackingPoints(canvas, view, shown);
  }
  const ScreenPoint c = state.gesture.rotationCentreScreen;
  if (state.gesture.mode == InteractionMode::Rotate) {
    canvas.line({c.x - kMarkerHalfSize, c.y - kMarkerHalfSize},
                {c.x + kMarkerHalfSize, c.y + kMarkerHalfSize}, kRed, 1, false);
    canvas.line({c.x - kMarkerHalfSize, c.y + kMarkerHalfSize},
                {c.x + kMarkerHalfSize, c.y - kMarkerHalfSize}, kRed, 1, false);
  }
  if (state.gesture.mode == InteractionMode::Select && state.gesture.clickCount == 1 &&
      !state.gesture.pickedPart) {
    drawRubberBand(canvas, state.gesture.anchor, state.gesture.rubberEnd, kMagenta,
                   state.gesture.rubberEnd.x < state.gesture.anchor.x);
  }
  if (state.gesture.mode == InteractionMode::ZoomWindow && state.gesture.clickCount == 1) {
    drawRubberBand(canvas, state.gesture.anchor, state.gesture.rubberEnd, kWhite, false);
  }
}

}  // namespace tarn
