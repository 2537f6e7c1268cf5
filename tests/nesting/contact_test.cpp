#include "nesting/contact.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "app/job_operations.h"
#include "nesting/fit_tester.h"
#include "nesting/nesting_fixtures.h"

namespace tarn {
namespace {

using test::makePart;
using test::rectangle;
using test::rectanglePart;
using test::TestJob;

using Move = std::function<void(PackingJob&, Part&)>;

TEST(ContactMoves, StopWithinAHundredthOfTheObstacle) {
  const struct {
    const char* label;
    Move move;
    double BBox::*side;
    double expected;
  } rows[] = {
      {"left to the plate edge", ContactLeft, &BBox::xmin, 0.0},
      {"down to the plate edge", ContactDown, &BBox::ymin, 0.0},
      {"right against a part", ContactRight, &BBox::xmax, 700.0},
      {"up against a part", ContactUp, &BBox::ymax, 800.0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.add({rectanglePart(300, 300, 100, 40), rectanglePart(700, 0, 100, 1000),
           rectanglePart(0, 800, 700, 100)});
    Part& part = t.part(0);
    row.move(*t.job, part);
    const double gap = std::abs(part.bbox.*row.side - row.expected);
    EXPECT_LT(gap, 0.01);
    EXPECT_TRUE(PartFits(*t.job, part));
  }
}

TEST(ContactMoves, LeaveAPartThatCannotMoveWhereItIs) {
  const std::vector<Move> all = {ContactLeft, ContactRight, ContactUp, ContactDown};
  const struct {
    const char* label;
    Part part;
    std::vector<Move> moves;
  } rows[] = {
      {"resting on another part", rectanglePart(50, 100, 50, 50), {ContactDown}},
      {"overlapping another part", rectanglePart(80, 80, 50, 50), all},
      {"waiting outside the plate", rectanglePart(1500, -200, 50, 50), all},
      {"straddling the plate edge", rectanglePart(980, 500, 50, 50), all},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.add({row.part, rectanglePart(0, 0, 100, 100)});
    Part& part = t.part(0);
    part.selected = true;
    const Point before = part.outer.points[0];
    for (const Move& move : row.moves) {
      move(*t.job, part);
    }
    EXPECT_NEAR(part.outer.points[0].x, before.x, 1e-9);
    EXPECT_NEAR(part.outer.points[0].y, before.y, 1e-9);
  }
}

TEST(ContactMoves, AHoleWallStopsAPartInside) {
  TestJob t(1000, 1000, 30);
  t.add({rectanglePart(250, 250, 50, 50),
         makePart(rectangle(100, 100, 400, 400), {rectangle(200, 200, 200, 200)})});
  ContactLeft(*t.job, t.part(0));
  EXPECT_NEAR(t.part(0).bbox.xmin, 200, 0.01);
  EXPECT_GT(t.part(0).bbox.xmin, 200 - 1e-5);
}

TEST(SlideToward, StopsAtTheTargetOrReturnsWhenItPassesIt) {
  using Slide = std::function<void(PackingJob&, Part&, const Part&)>;
  const Part target = rectanglePart(0, 0, 100, 100);
  const struct {
    const char* label;
    Slide slide;
    Part moving;
    double BBox::*side;
    double expected;
  } rows[] = {
      {"left", SlideLeftToward, rectanglePart(400, 20, 50, 50), &BBox::xmin, 100},
      {"down", SlideDownToward, rectanglePart(20, 400, 50, 50), &BBox::ymin, 100},
      {"up", SlideUpToward, rectanglePart(20, -400, 50, 50), &BBox::ymax, 0},
      // The plate and other parts do not stop it.
      {"left from outside the plate", SlideLeftToward, rectanglePart(5000, 20, 50, 50), &BBox::xmin,
       100},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.add({rectanglePart(200, 0, 10, 10)});
    Part moving(row.moving);
    row.slide(*t.job, moving, target);
    EXPECT_LT(std::abs(moving.bbox.*row.side - row.expected), 0.01);
    EXPECT_TRUE(partsDisjoint(moving, target));
  }

  // A thin leg steps over a thin bar while the top bar clears it: the slide
  // would never end, so the part goes back to where it started.
  TestJob t(1000, 1000, 30);
  const Part bar = rectanglePart(300, 0, 2, 50);
  Part hook = makePart({{302, 0}, {304, 0}, {304, 98}, {402, 98}, {402, 100}, {302, 100}});
  const std::vector<Point> start = hook.outer.points;
  SlideLeftToward(*t.job, hook, bar);
  ASSERT_EQ(hook.outer.points.size(), start.size());
  for (std::size_t i = 0; i < start.size(); ++i) {
    EXPECT_EQ(hook.outer.points[i].x, start[i].x);
    EXPECT_EQ(hook.outer.points[i].y, start[i].y);
  }
  EXPECT_EQ(hook.bbox.xmin, 302);
}

TEST(FitTests, ATemporaryCopyCollidesWithItsOwnNode) {
  TestJob t(1000, 1000, 30);
  t.add({rectanglePart(0, 0, 100, 100)});
  EXPECT_TRUE(PartFits(*t.job, t.part(0)));
  const Part copy(t.part(0));
  EXPECT_FALSE(CandidateFits(*t.job, copy));

  Part temporary = rectanglePart(300, 300, 50, 50);
  SlideLeftFree(*t.job, temporary);
  SlideDownFree(*t.job, temporary);
  EXPECT_LT(temporary.bbox.xmin, 0.01);
  EXPECT_NEAR(temporary.bbox.ymin, 100, 0.01);
}

TEST(FitTester, TranslatedTestsAnswerAsCandidateFits) {
  TestJob t(1000, 800, 30);
  t.add({makePart(rectangle(0, 0, 300, 300), {rectangle(50, 50, 200, 200)}),
         makePart({{400, 0}, {700, 0}, {550, 260}}), rectanglePart(0, 400, 250, 20),
         rectanglePart(1000, -300, 300, 300)});
  // Enough parts for the bucket index.
  for (int i = 0; i < 8; ++i) {
    t.add({rectanglePart(600 + 45 * i, 500 + 20 * (i % 3), 30, 30)});
  }
  const Part shape = makePart({{0, 0}, {120, 0}, {120, 30}, {30, 30}, {30, 90}, {0, 90}},
                              {{{5, 5}, {20, 5}, {20, 20}}});
  const FitTester tester(*t.job, nullptr);
  Part scratch = sameOrderCopy(shape);
  std::mt19937 random(11);
  std::uniform_real_distribution<double> offset(-60.0, 1000.0);
  int fits = 0;
  for (int n = 0; n < 3000; ++n) {
    const double dx = offset(random);
    const double dy = offset(random);
    Part moved(shape);
    translate(moved, dx, dy);
    const bool expected = CandidateFits(*t.job, moved);
    ASSERT_EQ(tester.fitsTranslated(shape, dx, dy, scratch), expected) << dx << ", " << dy;
    ASSERT_EQ(tester.fits(moved), expected);
    fits += expected ? 1 : 0;
  }
  // Both answers occur, including fits inside the frame's hole.
  EXPECT_GT(fits, 300);
  EXPECT_LT(fits, 2700);
  Part inHole(shape);
  translate(inHole, 100, 100);
  EXPECT_TRUE(tester.fits(inHole));
}

TEST(SelectStraddlingParts, SelectsWaitingPartsThatCrossThePlateEdge) {
  TestJob t(1000, 1000, 30);
  t.add({rectanglePart(950, 100, 100, 100), rectanglePart(1000, 300, 100, 100),
         rectanglePart(100, 100, 100, 100), rectanglePart(2000, 0, 100, 100)});
  t.part(3).selected = true;
  EXPECT_TRUE(SelectStraddlingParts(*t.job));
  EXPECT_TRUE(t.part(0).selected);
  EXPECT_FALSE(t.part(1).selected);  // only touches the edge
  EXPECT_FALSE(t.part(2).selected);  // inside
  EXPECT_TRUE(t.part(3).selected);   // kept
  TestJob clean(1000, 1000, 30);
  clean.add({rectanglePart(1000, 300, 100, 100)});
  EXPECT_FALSE(SelectStraddlingParts(*clean.job));
}

}  // namespace
}  // namespace tarn
