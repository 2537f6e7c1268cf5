#include "optimise/strip_separator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "layout_oracle.h"
#include "optimise/part_poses.h"

namespace tarn {
namespace {

Region regionOf(const std::vector<Point>& points) {
  Region r;
  setPoints(r, points);
  return r;
}

Region box(double x0, double y0, double x1, double y1) {
  return regionOf({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

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
  StripProblem problem;
  problem.width = 40;
  problem.maxLength = 1000;
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
  StripProblem problem;
  problem.width = 30;
  problem.maxLength = 100;
  problem.items.push_back(itemOf(box(0, 0, 30, 30), {box(10, 10, 20, 20)}, 4, false));
  problem.items.push_back(itemOf(box(0, 0, 6, 6), {}, 4, false));
  const std::vector<ItemPose> start = {{0, 0, 0}, {0, 31, 0}};
  const SeparatorResult result = MinimiseStripLength(problem, start, 5, evaluations(200000));
  expectSoundResult(problem, result);
  EXPECT_DOUBLE_EQ(result.length, 30.0);
  const Part small = PosedPart(problem.items[1], result.poses[1]);
  EXPECT_GT(small.bbox.xmin, 10);
  EXPECT_LT(small.bbox.xmax, 20);
}

TEST(StripSeparator, CopesWithTheLargestRotationSet) {
  // 720 poses per item (rotation number 360, turning over): the search tries a
  // spread of them and still answers with indices into the full set.
  StripProblem problem;
  problem.width = 40;
  problem.maxLength = 1000;
  std::vector<ItemPose> start;
  for (int k = 0; k < 4; ++k) {
    problem.items.push_back(itemOf(regionOf({{0, 0}, {30, 0}, {5, 18}}), {}, 360, true));
    start.push_back(ItemPose{0, 32.0 * k, 0});
  }
  const SeparatorResult result = MinimiseStripLength(problem, start, 4, evaluations(100000));
  expectSoundResult(problem, result);
  EXPECT_LT(result.length, result.startLength * 0.8);
  for (const ItemPose& pose : result.poses) {
    EXPECT_LT(pose.orientation, 720);
  }
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

TEST(StripSeparator, LeavesAnInfeasibleStartAlone) {
  StripProblem problem;
  problem.width = 10;
  problem.maxLength = 100;
  problem.items.push_back(itemOf(box(0, 0, 5, 5), {}, 4, true));
  problem.items.push_back(itemOf(box(0, 0, 5, 5), {}, 4, true));
  struct Row {
    const char* label;
    std::vector<ItemPose> start;
  };
  const Row rows[] = {
      {"overlapping", {{0, 0, 0}, {0, 4, 0}}},
      {"overlapping at a corner", {{0, 0, 0}, {0, 4.99, 4.99}}},
      {"off the strip", {{0, 0, 0}, {0, 10, 6}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const SeparatorResult result = MinimiseStripLength(problem, row.start, 1, evaluations(1000));
    EXPECT_FALSE(result.startFeasible);
    EXPECT_EQ(result.evaluations, 0u);
    EXPECT_EQ(result.poses[1].dx, row.start[1].dx);
  }
}

TEST(StripSeparator, RefusesPosesThatDoNotMatchTheItems) {
  StripProblem problem;
  problem.width = 10;
  problem.maxLength = 100;
  problem.items.push_back(itemOf(box(0, 0, 5, 5), {}, 2, false));
  EXPECT_THROW(MinimiseStripLength(problem, {}, 1, evaluations(10)), std::invalid_argument);
  EXPECT_THROW(MinimiseStripLength(problem, {{2, 0, 0}}, 1, evaluations(10)),
               std::invalid_argument);
  EXPECT_THROW(MinimiseStripLength(problem, {{-1, 0, 0}}, 1, evaluations(10)),
               std::invalid_argument);
}

TEST(StripLayout, RefusesMalformedPosesAndMeasuresTheOuterOutline) {
  StripProblem problem;
  problem.width = 10;
  problem.maxLength = 100;
  problem.items.push_back(itemOf(box(0, 0, 5, 5), {}, 2, false));
  problem.items.push_back(itemOf(box(0, 0, 3, 3), {}, 2, false));
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
  StripProblem problem;
  problem.width = 30;
  problem.maxLength = 100;
  problem.items.push_back(itemOf(box(0, 0, 30, 30), {box(10, 10, 20, 20)}, 1, false));
  problem.items.push_back(itemOf(box(0, 0, 6, 6), {}, 1, false));
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
