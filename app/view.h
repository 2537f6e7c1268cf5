#pragma once

#include "geometry/point.h"
#include "geometry/region.h"

namespace tarn {

// A pixel of the main window's client area (y grows downwards).
struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// Maps plate millimetres (y up) to client pixels (y down) and back.
struct View {
  double xmin = 0.0;  // the extent FitAll shows
  double xmax = 0.0;
  double ymin = 0.0;
  double ymax = 0.0;
  int width = 0;  // client size in pixels
  int height = 0;
  int originX = 0;  // pixel where the centre is shown
  int originY = 0;
  double centreX = 0.0;  // world point shown at the origin
  double centreY = 0.0;
  double scale = 1.0;  // pixels per millimetre

  void initialise(int clientWidth, int clientHeight, const BBox& extent);
  void FitAll();
  ScreenPoint worldToScreen(const Point& p) const;
  Point screenToWorld(const ScreenPoint& pixel) const;
  void pan(int dx, int dy);
  // The world point under `pixel` stays put.
  void zoomAbout(const ScreenPoint& pixel, double newScale);
  // Ignored when the rectangle has zero width or height.
  void zoomToRectangle(const ScreenPoint& a, const ScreenPoint& b);
};

}  // namespace tarn
