#include "job/job_operations.h"

#include <gtest/gtest.h>

#include "nesting/nesting_fixtures.h"

namespace tarn::test {
namespace {

TEST(SelectInRectangle, WindowTakesContainedBoxesCrossingTakesTouchedParts) {
  // Opposite corners: the rectangle is the same whichever corner comes first.
  const Point topLeft{100, 300};
  const Point bottomRight{300, 100};
  for (const bool crossing : {false, true}) {
    SCOPED_TRACE(crossing);
    TestJob t(1000, 1000, 30);
    t.add({rectanglePart(150, 150, 50, 50), rectanglePart(250, 250, 100, 100),
           rectanglePart(100 - 1e-11, 200, 50, 100 + 1e-11), rectanglePart(600, 600, 50, 50)});
    EXPECT_TRUE(crossing ? SelectInRectangle(t.job, bottomRight, topLeft)
                         : SelectInRectangle(t.job, topLeft, bottomRight));
    EXPECT_TRUE(t.part(0).selected);
    EXPECT_EQ(t.part(1).selected, crossing);
    EXPECT_TRUE(t.part(2).selected);  // on the edges within 1e-10
    EXPECT_FALSE(t.part(3).selected);
    EXPECT_FALSE(SelectInRectangle(t.job, Point{0, 0}, Point{10, 10}));
  }
}

TEST(MoveSelectedChecked, KeepsTheFreeAxisOfABlockedDrag) {
  TestJob t(1000, 1000, 30);
  t.add({rectanglePart(100, 100, 100, 100), rectanglePart(300, 0, 100, 1000)});
  t.part(0).selected = true;
  // Diagonally into the wall on the right: x is refused, y goes through.
  MoveSelectedChecked(t.job, Point{0, 0}, Point{150, 200});
  EXPECT_EQ(t.part(0).bbox.xmin, 100);
  EXPECT_EQ(t.part(0).bbox.ymin, 300);
  // Off the plate downwards: y is refused, x goes through.
  MoveSelectedChecked(t.job, Point{0, 0}, Point{-50, -400});
  EXPECT_EQ(t.part(0).bbox.xmin, 50);
  EXPECT_EQ(t.part(0).bbox.ymin, 300);
  MoveSelected(t.job, Point{0, 0}, Point{160, 0});
  EXPECT_EQ(t.part(0).bbox.xmin, 210);  // unchecked: into the wall
  EXPECT_FALSE(FindUnfitParts(t.job));
  EXPECT_TRUE(t.part(1).selected);
}

}  // namespace
}  // namespace tarn::test
