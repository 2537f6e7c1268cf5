#include "app/view.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarn {
namespace {

View fittedView(int width, int height, const BBox& extent) {
  View view;
  view.initialise(width, height, extent);
  return view;
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

TEST(View, StaysUsableWithoutExtentClientAreaOrZoomRectangle) {
  for (View view : {fittedView(800, 600, BBox{5, 5, 7, 7}), fittedView(0, 0, BBox{0, 10, 0, 10}),
                    fittedView(800, 600, BBox{0, 10, 0, 10})}) {
    const double scale = view.scale;
    EXPECT_TRUE(std::isfinite(scale) && scale > 0);
    view.zoomToRectangle(ScreenPoint{100, 100}, ScreenPoint{100, 250});  // no width
    view.zoomToRectangle(ScreenPoint{100, 100}, ScreenPoint{300, 100});  // no height
    EXPECT_EQ(view.scale, scale);
  }
  const View huge = fittedView(800, 600, BBox{0, 1e-9, 0, 1e-9});
  const ScreenPoint far = huge.worldToScreen(Point{1e6, -1e6});  // beyond the int range
  EXPECT_GT(far.x, 0);
  EXPECT_GT(far.y, 0);
}

}  // namespace
}  // namespace tarn
