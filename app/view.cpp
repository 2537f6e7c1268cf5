#include "app/view.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarn {
namespace {

constexpr double kFitMargin = 0.95;
// Screen offsets are kept well inside int so that origin + offset cannot overflow.
constexpr double kPixelLimit = std::numeric_limits<int>::max() / 4;

bool usableScale(double scale) {
  return std::isfinite(scale) && scale > 0.0;
}

int truncatedPixels(double value) {
  if (!(value > -kPixelLimit)) {
    return static_cast<int>(-kPixelLimit);
  }
  if (!(value < kPixelLimit)) {
    return static_cast<int>(kPixelLimit);
  }
  return static_cast<int>(std::trunc(value));
}

}  // namespace

void View::initialise(int clientWidth, int clientHeight, const BBox& extent) {
  width = clientWidth;
  height = clientHeight;
  xmin = extent.xmin;
  xmax = extent.xmax;
  ymin = extent.ymin;
  ymax = extent.ymax;
  FitAll();
}

void View::FitAll() {
  const double fitted =
      kFitMargin * std::min(width / std::abs(xmax - xmin), height / std::abs(ymax - ymin));
  // An empty extent or client area has no scale of its own: keep the last one.
  if (usableScale(fitted)) {
    scale = fitted;
  } else if (!usableScale(scale)) {
    scale = 1.0;
  }
  originX = width / 2;
  originY = height / 2;
  centreX = (xmax + xmin) * 0.5;
  centreY = (ymax + ymin) * 0.5;
}

ScreenPoint View::worldToScreen(const Point& p) const {
  const int sx = truncatedPixels((p.x - centreX) * scale);
  const int sy = truncatedPixels((p.y - centreY) * scale);
  return ScreenPoint{originX + sx, originY - sy};
}

Point View::screenToWorld(const ScreenPoint& pixel) const {
  const double dx = pixel.x - originX;
  const double dy = originY - pixel.y;
  Point world;
  world.x = dx / scale + centreX;
  world.y = dy / scale + centreY;
  return world;
}

void View::pan(int dx, int dy) {
  originX += dx;
  originY += dy;
}

void View::zoomAbout(const ScreenPoint& pixel, double newScale) {
  if (!usableScale(newScale)) {
    return;
  }
  const Point under = screenToWorld(pixel);
  centreX = under.x;
  centreY = under.y;
  originX = pixel.x;
  originY = pixel.y;
  scale = newScale;
}

void View::zoomToRectangle(const ScreenPoint& a, const ScreenPoint& b) {
  if (a.x == b.x || a.y == b.y) {
    return;
  }
  const Point wa = screenToWorld(a);
  const Point wb = screenToWorld(b);
  const double zoomed = std::min(height / std::abs(wa.y - wb.y), width / std::abs(wa.x - wb.x));
  if (!usableScale(zoomed)) {
    return;
  }
  centreX = (wa.x + wb.x) * 0.5;
  centreY = (wa.y + wb.y) * 0.5;
  scale = zoomed;
  originX = width / 2;
  originY = height / 2;
}

}  // namespace tarn
