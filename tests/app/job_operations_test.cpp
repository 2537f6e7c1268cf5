#include "app/job_operations.h"

#include <gtest/gtest.h>

#include "nesting/nesting_fixtures.h"

namespace tarn {
namespace {

using test::makePart;
using test::rectangle;
using test::rectanglePart;
using test::TestJob;

TEST(SelectInRectangle, WindowTakesContainedBoxesCrossingTakesTouchedParts) {
  // A view that flips y: the screen corners come out swapped on the plate.
  View view;
  view.initialise(1000, 1000, BBox{0, 1000, 0, 1000});
  view.scale = 1.0;
  const ScreenPoint topLeft = view.worldToScreen(test::at(100, 300));
  const ScreenPoint bottomRight = view.worldToScreen(test::at(300, 100));
  const struct {
    const char* label;
    ScreenPoint anchor, end;
    bool inside, touching, edge;
  } rows[] = {
      {"left to right: window", topLeft, bottomRight, true, false, true},
      {"right to left: crossing", bottomRight, topLeft, true, true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.job->view = &view;
    t.add({rectanglePart(150, 150, 50, 50), rectanglePart(250, 250, 100, 100),
           rectanglePart(100 - 1e-11, 200, 50, 100 + 1e-11), rectanglePart(600, 600, 50, 50)});
    EXPECT_TRUE(SelectInRectangle(*t.job, row.anchor, row.end));
    EXPECT_EQ(t.part(0).selected, row.inside);
    EXPECT_EQ(t.part(1).selected, row.touching);
    EXPECT_EQ(t.part(2).selected, row.edge);  // on the edges within 1e-10
    EXPECT_FALSE(t.part(3).selected);
  }
  TestJob empty(1000, 1000, 30);
  empty.add({rectanglePart(600, 600, 50, 50)});
  EXPECT_FALSE(SelectInRectangle(*empty.job, ScreenPoint{0, 0}, ScreenPoint{10, 10}));
}

TEST(TogglePartAt, SkipsAPointInAHole) {
  TestJob t(1000, 1000, 30);
  t.add({makePart(rectangle(0, 0, 300, 300), {rectangle(100, 100, 100, 100)})});
  EXPECT_FALSE(TogglePartAt(*t.job, ScreenPoint{150, 150}));
  EXPECT_FALSE(t.part(0).selected);
  EXPECT_TRUE(TogglePartAt(*t.job, ScreenPoint{50, 150}));
  EXPECT_TRUE(t.part(0).selected);
  EXPECT_TRUE(TogglePartAt(*t.job, ScreenPoint{50, 150}));
  EXPECT_FALSE(t.part(0).selected);
}

TEST(MoveSelectedChecked, KeepsTheFreeAxisOfABlockedDrag) {
  TestJob t(1000, 1000, 30);
  t.add({rectanglePart(100, 100, 100, 100), rectanglePart(300, 0, 100, 1000)});
  t.part(0).selected = true;
  // Diagonally into the wall on the right: x is refused, y goes through.
  MoveSelectedChecked(*t.job, ScreenPoint{0, 0}, ScreenPoint{150, 200});
  EXPECT_EQ(t.part(0).bbox.xmin, 100);
  EXPECT_EQ(t.part(0).bbox.ymin, 300);
  // Off the plate downwards: y is refused, x goes through.
  MoveSelectedChecked(*t.job, ScreenPoint{0, 0}, ScreenPoint{-50, -400});
  EXPECT_EQ(t.part(0).bbox.xmin, 50);
  EXPECT_EQ(t.part(0).bbox.ymin, 300);
  MoveSelected(*t.job, ScreenPoint{0, 0}, ScreenPoint{160, 0});
  EXPECT_EQ(t.part(0).bbox.xmin, 210);  // unchecked: into the wall
  EXPECT_FALSE(FindUnfitParts(*t.job));
  EXPECT_TRUE(t.part(1).selected);
}

TEST(StageNextPart, BringsTheFirstWaitingPartToTheTopRightCorner) {
  TestJob t(1000, 800, 30);
  t.add({rectanglePart(0, 0, 100, 100), rectanglePart(2000, -300, 50, 40),
         rectanglePart(1000, -100, 60, 60)});
  t.part(0).selected = true;
  StageNextPart(*t.job);
  EXPECT_EQ(t.part(1).bbox.xmin, 1000);
  EXPECT_EQ(t.part(1).bbox.ymax, 800);
  EXPECT_FALSE(t.part(0).selected);
  EXPECT_TRUE(t.part(1).selected);
  EXPECT_FALSE(t.part(2).selected);

  TestJob inside(1000, 800, 30);
  inside.add({rectanglePart(0, 0, 100, 100), rectanglePart(200, 0, 100, 100)});
  inside.part(1).selected = true;
  StageNextPart(*inside.job);
  EXPECT_FALSE(inside.part(0).selected);
  EXPECT_TRUE(inside.part(1).selected);
  EXPECT_EQ(inside.part(1).bbox.xmin, 200);
}

TEST(TurnOverFirstSelected, TurnsOnlyTheFirstSelectedPart) {
  TestJob t(1000, 1000, 30);
  t.add({makePart({{0, 0}, {100, 0}, {0, 30}}), makePart({{200, 0}, {300, 0}, {200, 30}})});
  TurnOverFirstSelected(*t.job);
  EXPECT_FALSE(t.part(0).turnedOver);
  SelectAll(*t.job);
  TurnOverFirstSelected(*t.job);
  EXPECT_TRUE(t.part(0).turnedOver);
  EXPECT_FALSE(t.part(1).turnedOver);
  // About the horizontal line through the centroid (y = 10).
  EXPECT_NEAR(t.part(0).bbox.ymin, -10, 1e-9);
  EXPECT_NEAR(t.part(0).bbox.ymax, 20, 1e-9);
  EXPECT_NEAR(t.part(0).centroid.y, 10, 1e-9);
  SelectNone(*t.job);
  EXPECT_FALSE(t.part(0).selected || t.part(1).selected);
}

}  // namespace
}  // namespace tarn
