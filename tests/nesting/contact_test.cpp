#include "nesting/contact.h"

#include <gtest/gtest.h>

#include "job/job_operations.h"
#include "nesting/nesting_fixtures.h"

namespace tarn::test {
namespace {

using Move = void (*)(PackingJob&, Part&, RunContext&);

TEST(ContactMoves, StopWithinAHundredthOfTheObstacleOrDoNotMove) {
  const std::vector<Move> all = {ContactLeft, ContactRight, ContactUp, ContactDown};
  const struct {
    const char* label;
    Part part;
    std::vector<Move> moves;
    double dx, dy;
  } rows[] = {
      {"right against a part", rectanglePart(400, 500, 100, 40), {ContactRight}, 200, 0},
      {"up against a part", rectanglePart(400, 500, 100, 40), {ContactUp}, 0, 260},
      {"left against a hole wall", rectanglePart(150, 150, 50, 50), {ContactLeft}, -30, 0},
      {"sliver to the plate edge", rectanglePart(400, 500, 100, 1e-7), {ContactLeft}, -400, 0},
      {"overlapping another part", rectanglePart(10, 10, 50, 50), all, 0, 0},
      {"waiting outside the plate", rectanglePart(1500, -200, 50, 50), all, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    t.add({row.part, rectanglePart(700, 0, 100, 1000), rectanglePart(0, 800, 700, 100),
           makePart(rectangle(20, 20, 300, 300), {rectangle(120, 120, 100, 100)})});
    Part& part = t.part(0);
    const BBox before = part.bbox;
    const bool fitted = PartFits(t.job, part);
    for (const Move& move : row.moves) {
      move(t.job, part, defaultRunContext());
    }
    EXPECT_NEAR(part.bbox.xmin - before.xmin, row.dx, row.dx == 0 ? 1e-9 : 0.01);
    EXPECT_NEAR(part.bbox.ymin - before.ymin, row.dy, row.dy == 0 ? 1e-9 : 0.01);
    EXPECT_EQ(PartFits(t.job, part), fitted);
  }
}

TEST(SlideLeftToward, ReturnsAPartThatPassesItsTarget) {
  // A thin leg steps over a thin bar while the top bar clears it: the slide
  // would never end, so the hook goes back to where it started, holes in order.
  TestJob t(1000, 1000, 30);
  Part hook = makePart({{302, 0}, {304, 0}, {304, 60}, {402, 60}, {402, 100}, {302, 100}},
                       {rectangle(320, 70, 10, 10), rectangle(350, 70, 10, 10)});
  SlideLeftToward(t.job, hook, rectanglePart(300, 0, 2, 50));
  EXPECT_EQ(hook.bbox.xmin, 302);
  EXPECT_EQ(hook.holes.front().bbox.xmin, 320);
}

}  // namespace
}  // namespace tarn::test
