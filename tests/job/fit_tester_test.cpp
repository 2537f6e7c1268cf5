#include "job/fit_tester.h"

#include <gtest/gtest.h>

#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "nesting/nesting_fixtures.h"

namespace tarn::test {
namespace {

const BBox kPlate{0, 100, 0, 100};

TEST(FitTester, SkipsItsPartAndAddsEveryTestToTheGivenCounters) {
  PartList parts;
  parts.insert(rectanglePart(60, 60, 20, 20));
  parts.insert(rectanglePart(10, 10, 20, 20));
  const Part& own = parts.front();
  RunCounters counters{10};
  {
    const FitTester tester(kPlate, parts, &own, &counters);
    EXPECT_TRUE(tester.fits(own));
    EXPECT_TRUE(tester.fits(rectanglePart(15, 15, 5, 5)));   // only over the skipped part
    EXPECT_FALSE(tester.fits(rectanglePart(65, 65, 5, 5)));  // inside the other
    EXPECT_FALSE(tester.fits(rectanglePart(95, 95, 10, 10)));
    const Part shape = rectanglePart(0, 0, 5, 5);
    EXPECT_FALSE(tester.fitsTranslated(shape, 62, 62));
    EXPECT_TRUE(tester.fitsTranslated(shape, 40, 40));
  }
  EXPECT_EQ(counters.fitTests, 10u + 6u);  // added when the tester goes
  EXPECT_TRUE(FitTester(kPlate, parts, nullptr).fits(rectanglePart(40, 40, 5, 5)));
}

// With many parts the tester files them in buckets; its answers stay those of
// the plain walk over every part.
TEST(FitTester, BucketsAnswerAsTheWalkOverEveryPart) {
  PartList parts;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      parts.insert(rectanglePart(5 + 25 * i, 5 + 25 * j, 10 + i, 10 + j));
    }
  }
  parts.insert(rectanglePart(150, 10, 10, 10));  // off the plate: never met
  const FitTester tester(kPlate, parts, nullptr);
  for (double x = -2; x < 100; x += 3.5) {
    for (double y = -2; y < 100; y += 3.5) {
      const Part probe = rectanglePart(x, y, 4, 4);
      bool walk = withinRect(probe, kPlate);
      for (const Part& part : parts) {
        walk = walk && partsDisjoint(probe, part);
      }
      ASSERT_EQ(tester.fits(probe), walk) << x << ", " << y;
    }
  }
}

TEST(PartFits, CountsIntoTheContextItIsGiven) {
  TestJob t(1000, 1000, 30);
  t.add({rectanglePart(0, 0, 100, 100), rectanglePart(50, 50, 100, 100)});
  RunContext run;
  EXPECT_FALSE(PartFits(t.job, t.part(0), run));
  EXPECT_TRUE(PartFits(t.job, rectanglePart(500, 500, 10, 10), run));
  EXPECT_EQ(run.counters.fitTests, 2u);
}

}  // namespace
}  // namespace tarn::test
