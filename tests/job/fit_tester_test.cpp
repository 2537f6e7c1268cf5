#include "job/fit_tester.h"

#include <gtest/gtest.h>

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
