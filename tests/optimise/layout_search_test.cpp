#include "optimise/layout_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "geometry/predicates.h"
#include "job/placed_part.h"
#include "layout_oracle.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "nesting/nesting_fixtures.h"
#include "support/pose_dump.h"
#include "support/test_support.h"

namespace tarn {
namespace {

// A text library loaded into a job, not laid out.
struct TestJob {
  explicit TestJob(const std::string& library, int rotationNumber = 4, bool turnover = true) {
    test::writeBytes(scratch.path() / "job.txt", library);
    job = std::make_unique<PackingJob>(errors);
    openLibrary(*job, scratch.path() / "job.txt", LibraryFormat::TextLibrary);
    job->params.rotationNumber = rotationNumber;
    job->params.allowTurnover = turnover;
  }

  test::ScratchDir scratch;
  std::ostringstream errors;
  std::unique_ptr<PackingJob> job;
};

std::string header(double length, double width, double gap) {
  std::ostringstream text;
  text << "PlateLength = " << length << "\nPlateWidth = " << width << "\nPartToPartGap= " << gap
       << "\n";
  return text.str();
}

std::string rectangles(int count, double w, double h) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += test::rectangleText("R" + std::to_string(i), w, h);
  }
  return text;
}

const std::string kMixed =
    "NAME T1\n4 0 0\n0 70 0\n0 0 40\n0\n"
    "NAME T2\n4 0 0\n0 70 0\n0 0 40\n0\n"
    "NAME L1\n7 0 0\n0 50 0\n0 50 15\n0 15 15\n0 15 50\n0 0 50\n0\n"
    "NAME B1\n5 0 0\n0 30 0\n0 30 20\n0 0 20\n0\n";

// The oracle's verdict on the true outlines where the job's placed working
// parts put them: inside the plate and apart (touching counts as overlap).
std::string trueLayoutFault(const PackingJob& job) {
  StripProblem problem;
  problem.width = job.params.plateWidth;
  problem.maxLength = job.params.plateLength;
  const PartLookup parts(job);
  for (const Part& working : job.workingParts) {
    if (withinRect(working, job.plateExtents)) {
      const Part placed = placedPart(*parts.truePart(working.id), working);
      ItemOrientation pose{placed.outer, {}};
      for (const Region& hole : placed.holes) {
        pose.holes.push_back(hole);
      }
      problem.items.push_back(StripItem{{pose}});
    }
  }
  return test::layoutFault(problem, std::vector<ItemPose>(problem.items.size()));
}

SearchSettings evaluations(std::uint64_t count, int threads = 1, std::uint64_t seed = 1) {
  SearchSettings settings;
  settings.seed = seed;
  settings.threads = threads;
  settings.budget.evaluations = count;
  return settings;
}

// Never worse, sound, turned over only where allowed, and turned by multiples of
// the rotation step from the greedy pose (also for parts laid out again).
TEST(LayoutSearch, NeverReturnsAWorseOrUnsoundLayout) {
  struct Row {
    const char* label;
    std::string library;
    int rotationNumber;
    bool turnover;
  };
  const Row rows[] = {
      {"mixed outlines, the gap kept", header(1000, 100, 2) + kMixed + kMixed, 4, true},
      {"parts left off a short plate", header(150, 100, 1) + rectangles(4, 60, 48), 4, true},
      {"parts left off, thirds of a turn", header(150, 100, 1) + rectangles(4, 60, 48), 3, true},
      {"one turn only", header(1000, 100, 3) + kMixed, 1, false},
      {"thirds of a turn, never turned over", header(1000, 100, 0.5) + kMixed, 3, false},
      {"a part larger than the plate", header(1000, 100, 2) + kMixed + rectangles(1, 120, 120), 2,
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(row.library, row.rotationNumber, row.turnover);
    const SearchResult result = OptimiseLayout(*t.job, evaluations(40'000, 2));
    EXPECT_FALSE(BetterLayout(result.greedy, result.final));
    EXPECT_EQ(trueLayoutFault(result.best), "");
    EXPECT_EQ(FiguresOf(result.best).packedLength, result.final.packedLength);
    EXPECT_EQ(FiguresOf(result.best).placedArea, result.final.placedArea);
    EXPECT_EQ(result.best.workingParts.count(), t.job->workingParts.count());
    EXPECT_EQ(result.threads, 2);
    PackingJob greedy = snapshotOf(*t.job);
    RunContext run;
    PlaceWaiting(greedy, run);
    std::map<int, const Part*> loaded;
    for (const Part& part : greedy.workingParts) {
      loaded[part.id] = &part;
    }
    const double step = 2.0 * std::acos(-1.0) / row.rotationNumber;
    for (const Part& part : result.best.workingParts) {
      SCOPED_TRACE(part.id);
      const Part& before = *loaded.at(part.id);
      if (!withinRect(part, result.best.plateExtents)) {  // waits where it was
        EXPECT_TRUE(part.bbox.xmin == before.bbox.xmin && part.bbox.ymin == before.bbox.ymin);
      }
      EXPECT_TRUE(row.turnover || !part.turnedOver);
      const bool flipped = part.turnedOver != before.turnedOver;
      const double turns = ((flipped ? -part.rotation : part.rotation) - before.rotation) / step;
      EXPECT_NEAR(turns, std::round(turns), 1e-9);
    }
  }
}

TEST(LayoutSearch, SameSeedThreadsAndEvaluationsGiveTheSameLayout) {
  TestJob t(header(1000, 100, 2) + kMixed + kMixed);
  const SearchResult first = OptimiseLayout(*t.job, evaluations(30'000, 2, 7));
  const SearchResult second = OptimiseLayout(*t.job, evaluations(30'000, 2, 7));
  EXPECT_TRUE(BetterLayout(first.final, first.greedy));
  for (const Part& part : t.job->workingParts) {  // the job given still waits
    EXPECT_FALSE(withinRect(part, t.job->plateExtents));
  }
  EXPECT_EQ(first.evaluations, second.evaluations);
  EXPECT_EQ(test::dumpPoses(first.best), test::dumpPoses(second.best));
}

TEST(LayoutSearch, RefusesBadSettingsAndStopsWithASoundLayout) {
  TestJob t(header(1000, 100, 2) + kMixed);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const double seconds : {0.0, -1.0, nan, inf, 2e9}) {
    SearchSettings settings;
    settings.budget.seconds = seconds;
    EXPECT_THROW(OptimiseLayout(*t.job, settings), std::invalid_argument) << seconds;
  }
  for (const SearchSettings& settings : {evaluations(10, -1), evaluations(10, 257)}) {
    EXPECT_THROW(OptimiseLayout(*t.job, settings), std::invalid_argument);
    EXPECT_THROW(OptimisingPlateDriver(settings), std::invalid_argument);
  }
  EXPECT_THROW(OptimiseLayout(*t.job, evaluations(0)), std::invalid_argument);

  // Nothing to place: back at once, without a thread or an evaluation.
  std::ostringstream errors;
  const PackingJob empty(errors);
  const SearchResult none = OptimiseLayout(empty, SearchSettings{});
  EXPECT_EQ(none.evaluations, 0u);
  EXPECT_EQ(none.final.placedCount, 0);

  // Stopped before it starts: the greedy layout.
  std::stop_source stopped;
  stopped.request_stop();
  const SearchResult early = OptimiseLayout(*t.job, SearchSettings{}, stopped.get_token());
  EXPECT_EQ(early.evaluations, 0u);
  EXPECT_FALSE(BetterLayout(early.final, early.greedy));

  // Without a budget, stopped at the first new best: that best, or better; and
  // the layout shown with a report is the one its figures describe.
  std::stop_source source;
  int bests = 0;
  const SearchProgressHook stopAtFirstBest = [&](const SearchProgress& step) {
    if (step.bestLayout != nullptr) {
      ++bests;
      EXPECT_EQ(FiguresOf(*step.bestLayout).packedLength, step.best.packedLength);
      source.request_stop();
    }
  };
  SearchSettings unbounded;
  unbounded.threads = 2;
  const SearchResult stoppedLater =
      OptimiseLayout(*t.job, unbounded, source.get_token(), stopAtFirstBest);
  EXPECT_GE(bests, 1);
  EXPECT_TRUE(BetterLayout(stoppedLater.final, stoppedLater.greedy));
  EXPECT_EQ(trueLayoutFault(stoppedLater.best), "");
}

}  // namespace
}  // namespace tarn
