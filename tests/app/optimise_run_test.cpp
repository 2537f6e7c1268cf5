#include "app/optimise_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/plate_tabs.h"
#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "support/pose_dump.h"
#include "support/test_support.h"

namespace tarn {
namespace {

std::vector<int> idsOf(const PackingJob& job) {
  std::vector<int> ids;
  for (const Part& part : job.workingParts) {
    ids.push_back(part.id);
  }
  return ids;
}

// Three plates' worth of parts on one plate: the search reorders the parts it
// places, and the job must get them back in its own order, laid out validly,
// as one undo step.
TEST(OptimiseRun, AppliesTheBestLayoutInTheJobsOrderAsOneStep) {
  test::ScratchDir scratch;
  ASSERT_EQ(setenv("XDG_STATE_HOME", scratch.path().c_str(), 1), 0);
  AppState state;
  openLibraryFile(state, test::dataPath("plates/three_plates.txt"), LibraryFormat::TextLibrary);
  const std::vector<int> loadedOrder = idsOf(*state.job);
  const std::string loaded = test::dumpJob(*state.job);

  auto watch = std::make_shared<SearchWatch>();
  const OptimiseWork work = prepareOptimise(state, {1, 2, {std::nullopt, 40}}, watch);
  RunContext ctx;
  OptimiseOutcome outcome = work(ctx);
  ASSERT_TRUE(outcome.result.has_value()) << outcome.refusal;
  EXPECT_EQ(test::dumpJob(*state.job), loaded);  // the work had a snapshot only
  state.preview = std::make_shared<const PackingJob>(snapshotOf(*state.job));
  finishOptimise(state, outcome);
  EXPECT_EQ(state.preview, nullptr);
  EXPECT_EQ(idsOf(*state.job), loadedOrder);
  int placed = 0;
  for (const Part& part : state.job->workingParts) {
    if (overlapsRect(part, state.job->plateExtents)) {
      ++placed;
      EXPECT_TRUE(PartFits(*state.job, part)) << part.id;
    }
  }
  EXPECT_EQ(placed, outcome.result->final.placedCount);
  EXPECT_GE(placed, 2);
  EXPECT_EQ(undoOffer(state).label, "Optimise");
  ASSERT_TRUE(undoEdit(state));
  EXPECT_EQ(test::firstDifference(loaded, test::dumpJob(*state.job)), "");
  EXPECT_FALSE(undoOffer(state).possible);
  unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace tarn
