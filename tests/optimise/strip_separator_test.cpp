#include "optimise/strip_separator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "layout_oracle.h"
#include "nesting/nesting_fixtures.h"
#include "optimise/part_poses.h"

namespace tarn {
namespace {

using test::box;
using test::regionOf;

StripItem itemOf(const Region& outer, const std::vector<Region>& holes, int rotationNumber,
                 bool turnover) {
  RegionList list;
  for (const Region& hole : holes) {
    list.insert(hole);
  }
  Part part;
  setGeometry(part, outer, list);
  return MakeStripItem(part, rotationNumber, turnover);
}

StripProblem strip(double width, double maxLength, std::vector<StripItem> items) {
  return {width, maxLength, std::move(items)};
}

SeparatorBudget evaluations(std::uint64_t count) {
  SeparatorBudget budget;
  budget.evaluations = count;
  return budget;
}

void expectSoundResult(const StripProblem& problem, const SeparatorResult& result) {
  EXPECT_EQ(test::layoutFault(problem, result.poses), "");
  EXPECT_TRUE(LayoutFeasible(problem, result.poses));
  EXPECT_LE(result.length, result.startLength);
  EXPECT_DOUBLE_EQ(result.length, PackedLength(problem, result.poses));
}

// Mixed outlines in a row along the strip, 2 apart: a loose start.
StripProblem mixedRow(std::vector<ItemPose>& start) {
  const std::vector<Region> outlines = {
      regionOf({{0, 0}, {30, 0}, {0, 20}}),
      regionOf({{0, 0}, {25, 0}, {25, 8}, {8, 8}, {8, 25}, {0, 25}}),
      box(0, 0, 18, 12),
      regionOf({{0, 0}, {20, 0}, {20, 20}, {10, 6}, {0, 20}}),
      regionOf({{0, 0}, {30, 0}, {0, 20}}),
      box(0, 0, 9, 22),
  };
  StripProblem problem = strip(40, 1000, {});
  double x = 0.0;
  start.clear();
  for (const Region& outline : outlines) {
    problem.items.push_back(itemOf(outline, {}, 4, true));
    start.push_back(ItemPose{0, x, 0});
    x += outline.bbox.xmax + 2;
  }
  return problem;
}

TEST(StripSeparator, PutsAPartIntoAnotherPartsHole) {
  const StripProblem problem = strip(30, 100,
                                     {itemOf(box(0, 0, 30, 30), {box(10, 10, 20, 20)}, 4, false),
                                      itemOf(box(0, 0, 6, 6), {}, 4, false)});
  const std::vector<ItemPose> start = {{0, 0, 0}, {0, 31, 0}};
  const SeparatorResult result = MinimiseStripLength(problem, start, 5, evaluations(200000));
  expectSoundResult(problem, result);
  EXPECT_DOUBLE_EQ(result.length, 30.0);
  const Part small = PosedPart(problem.items[1], result.poses[1]);
  EXPECT_GT(small.bbox.xmin, 10);
  EXPECT_LT(small.bbox.xmax, 20);
}

TEST(StripSeparator, StopsAtOnceWhenAsked) {
  std::vector<ItemPose> start;
  const StripProblem problem = mixedRow(start);

  std::stop_source stopped;
  stopped.request_stop();
  const SeparatorResult before = MinimiseStripLength(problem, start, 1, {}, stopped.get_token());
  EXPECT_EQ(before.evaluations, 0u);
  EXPECT_EQ(before.poses[3].dx, start[3].dx);

  SeparatorBudget past;
  past.deadline = std::chrono::steady_clock::now() - std::chrono::seconds(1);
  EXPECT_EQ(MinimiseStripLength(problem, start, 1, past).evaluations, 0u);

  // A stop requested at the first shorter layout ends the search within one move:
  // a few hundred evaluations, not the rest of an unbounded budget.
  std::stop_source source;
  std::uint64_t atStop = 0;
  const SeparatorProgress stopAtFirst = [&](const std::vector<ItemPose>&, double,
                                            std::uint64_t evaluationsSoFar) {
    if (!source.stop_requested()) {
      atStop = evaluationsSoFar;
      source.request_stop();
    }
  };
  const SeparatorResult stoppedLater =
      MinimiseStripLength(problem, start, 1, {}, source.get_token(), {}, stopAtFirst);
  ASSERT_TRUE(source.stop_requested());
  EXPECT_LE(stoppedLater.evaluations - atStop, 2000u);
  expectSoundResult(problem, stoppedLater);
  EXPECT_LT(stoppedLater.length, stoppedLater.startLength);
}

TEST(StripSeparator, RefusesPosesThatDoNotMatchTheItems) {
  const StripProblem problem = strip(10, 100, {itemOf(box(0, 0, 5, 5), {}, 2, false)});
  for (const std::vector<ItemPose>& poses : {std::vector<ItemPose>{}, {{2, 0, 0}}, {{-1, 0, 0}}}) {
    EXPECT_THROW(MinimiseStripLength(problem, poses, 1, evaluations(10)), std::invalid_argument);
  }
}

TEST(StripLayout, RefusesMalformedPosesAndMeasuresTheOuterOutline) {
  const StripProblem problem = strip(
      10, 100, {itemOf(box(0, 0, 5, 5), {}, 2, false), itemOf(box(0, 0, 3, 3), {}, 2, false)});
  struct Row {
    const char* label;
    std::vector<ItemPose> poses;
    bool feasible;
  };
  const Row rows[] = {
      {"apart", {{0, 0, 0}, {1, 9, 4}}, true},  // turned half round: 6..9 x 1..4
      {"one pose short", {{0, 0, 0}}, false},
      {"orientation past the set", {{0, 0, 0}, {2, 9, 4}}, false},
      {"negative orientation", {{-1, 0, 0}, {0, 9, 4}}, false},
      {"translation not a number", {{0, 0, 0}, {0, NAN, 4}}, false},
      {"beyond the plate's length", {{0, 0, 0}, {0, 97.5, 0}}, false},
      {"off the plate's width", {{0, 0, 0}, {0, 9, 7.5}}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(LayoutFeasible(problem, row.poses), row.feasible);
  }
  EXPECT_DOUBLE_EQ(PackedLength(problem, rows[0].poses), 9.0);
  EXPECT_EQ(PackedLength(StripProblem{}, {}), 0.0);
}

TEST(LayoutOracle, SeesWhatItMustSee) {
  const StripProblem problem = strip(30, 100,
                                     {itemOf(box(0, 0, 30, 30), {box(10, 10, 20, 20)}, 1, false),
                                      itemOf(box(0, 0, 6, 6), {}, 1, false)});
  struct Row {
    const char* label;
    double x, y;
    bool sound;
  };
  const Row rows[] = {
      {"beside", 31, 0, true},
      {"touching the outside", 30, 0, false},
      {"in the hole", 12, 12, true},
      {"touching the hole's edge", 14, 12, false},
      {"across the hole's edge", 16, 12, false},
      {"over the material", 2, 2, false},
      {"off the strip", 95, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(test::layoutFault(problem, {{0, 0, 0}, {0, row.x, row.y}}).empty(), row.sound);
  }
}

}  // namespace
}  // namespace tarn
