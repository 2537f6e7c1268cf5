#include "app/view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace tarn {
namespace {

View fittedView(int width, int height, const BBox& extent) {
  View view;
  view.initialise(width, height, extent);
  return view;
}

Point world(double x, double y) {
  Point p;
  p.x = x;
  p.y = y;
  return p;
}

TEST(View, FitAllCentresTheExtentWithAMargin) {
  const View view = fittedView(1001, 600, BBox{0, 100, 0, 100});
  EXPECT_DOUBLE_EQ(view.scale, 0.95 * 6.0);  // the height limits
  EXPECT_EQ(view.originX, 500);
  EXPECT_EQ(view.originY, 300);
  // 10.1 mm are 57.57 pixels, truncated toward zero on both sides of the centre;
  // y grows downwards on the screen.
  const ScreenPoint p = view.worldToScreen(world(60.1, 39.9));
  EXPECT_EQ(p.x, 500 + 57);
  EXPECT_EQ(p.y, 300 + 57);
  const Point back = view.screenToWorld(p);
  EXPECT_NEAR(back.x, 60, 1e-9);
  EXPECT_NEAR(back.y, 40, 1e-9);
}

TEST(View, WheelZoomKeepsTheWorldPointUnderTheCursor) {
  View view = fittedView(800, 600, BBox{0, 6000, 0, 4000});
  view.pan(37, -12);
  const ScreenPoint cursor{613, 71};
  const Point before = view.screenToWorld(cursor);
  for (const double factor : {1.1, 1.1, 1 / 1.1, 1.1}) {
    view.zoomAbout(cursor, view.scale * factor);
    const ScreenPoint now = view.worldToScreen(before);
    EXPECT_LE(std::abs(now.x - cursor.x), 1);
    EXPECT_LE(std::abs(now.y - cursor.y), 1);
  }
}

TEST(View, ZoomRectangleIgnoresTheDragDirectionAndEmptyRectangles) {
  const View start = fittedView(800, 600, BBox{0, 6000, 0, 4000});
  const ScreenPoint a{100, 100};
  const ScreenPoint b{300, 250};
  View forward = start;
  forward.zoomToRectangle(a, b);
  View backward = start;
  backward.zoomToRectangle(ScreenPoint{b.x, a.y}, ScreenPoint{a.x, b.y});
  EXPECT_DOUBLE_EQ(forward.scale, backward.scale);
  EXPECT_DOUBLE_EQ(forward.centreX, backward.centreX);
  EXPECT_DOUBLE_EQ(forward.centreY, backward.centreY);
  // The 200 x 150 pixel rectangle fills the 800 x 600 client area.
  EXPECT_DOUBLE_EQ(forward.scale, start.scale * 4);
  for (const ScreenPoint& end : {a, ScreenPoint{a.x, 400}, ScreenPoint{400, a.y}}) {
    View view = start;
    view.zoomToRectangle(a, end);
    EXPECT_EQ(view.scale, start.scale);
    EXPECT_EQ(view.centreX, start.centreX);
  }
  forward.FitAll();  // the extent is kept
  EXPECT_DOUBLE_EQ(forward.scale, start.scale);
}

TEST(View, StaysFiniteWithoutExtentOrClientArea) {
  for (const View& view :
       {fittedView(800, 600, BBox{5, 5, 7, 7}), fittedView(0, 0, BBox{0, 10, 0, 10})}) {
    EXPECT_TRUE(std::isfinite(view.scale));
    EXPECT_GT(view.scale, 0);
    const Point p = view.screenToWorld(ScreenPoint{10, 10});
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
  }
  const View huge = fittedView(800, 600, BBox{0, 1e-9, 0, 1e-9});
  const ScreenPoint far = huge.worldToScreen(world(1e6, -1e6));  // beyond the int range
  EXPECT_GT(far.x, 0);
  EXPECT_GT(far.y, 0);
}

}  // namespace
}  // namespace tarn
