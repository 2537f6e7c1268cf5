#include "app/edit_history.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/commands.h"
#include "app/job_runs.h"
#include "job/job_operations.h"
#include "nesting/packing_points.h"
#include "support/mixed_library.h"
#include "support/pose_dump.h"
#include "support/test_support.h"

namespace tarn {
namespace {

constexpr std::uint32_t kSeed = 20240611;

// The mixed library opened as the desktop opens it, its files in a scratch folder.
class LoadedJob : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(setenv("XDG_STATE_HOME", scratch.path().c_str(), 1), 0);
    test::writeBytes(scratch.path() / "mixed.txt", test::mixedTextLibrary(kSeed));
    state.outputFolder = scratch.path();
    openLibraryFile(state, scratch.path() / "mixed.txt", LibraryFormat::TextLibrary);
  }
  void TearDown() override { unsetenv("XDG_STATE_HOME"); }

  void layOut(int kitButton) {
    const Effects effects = pressPackingKitButton(state, kitButton);
    ASSERT_TRUE(effects.run.has_value());
    runNow(state, *effects.run);
  }
  std::string dump() const { return test::dumpJob(*state.job); }

  test::ScratchDir scratch;
  test::NoticeRecorder notices;
  AppState state;
};

TEST_F(LoadedJob, UndoAfterLayoutAllRestoresTheWholeJobAndRedoReappliesIt) {
  const std::string loaded = dump();
  layOut(kKitLayoutAll);
  const std::string laidOut = dump();
  EXPECT_EQ(state.history.undoLabel(), "Layout All");
  runMenuCommand(state, kUndo);
  EXPECT_EQ(test::firstDifference(loaded, dump()), "");  // poses, selection and the grid
  runMenuCommand(state, kRedo);
  EXPECT_EQ(test::firstDifference(laidOut, dump()), "");
  // Laid out again after an undo: the same layout, as the grid came back free.
  runMenuCommand(state, kUndo);
  layOut(kKitLayoutAll);
  EXPECT_EQ(test::firstDifference(laidOut, dump()), "");
  EXPECT_FALSE(state.history.canRedo());
}

TEST_F(LoadedJob, ADistanceRenewedAfterALayoutIsKeptByItsUndo) {
  layOut(kKitLayoutAll);
  const double distance = state.job->params.packingPointDistance * 2;
  pressRenewDialogButton(state, kRenewDistance, {"4", std::to_string(distance)});
  runMenuCommand(state, kUndo);
  PackingJob& job = *state.job;
  EXPECT_EQ(job.params.packingPointDistance, distance);
  EXPECT_TRUE(job.gridPending && job.packingPoints.empty());  // as before the layout
  runMenuCommand(state, kRedo);
  // Rebuilt at the present distance for the parts as they lie again.
  EXPECT_EQ(job.packingPoints.size(),
            static_cast<std::size_t>(job.gridCountX) * static_cast<std::size_t>(job.gridCountY));
  EXPECT_GT(job.gridCountX, 0);
  EXPECT_NEAR(job.packingPoints[static_cast<std::size_t>(job.gridCountY)].position.x, distance,
              1e-9);
}

TEST(EditHistory, KeepsTheNewestStepsWithinItsLimitsAndCountsTheirBytes) {
  std::ostringstream errors;
  PackingJob job(errors);
  Part part;
  Region outer;
  setPoints(outer, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  setGeometry(part, outer, {});
  job.workingParts.insert(part);
  EditHistory history;
  history.reset(&job);
  const std::size_t empty = history.bytes();
  history.setLimits(2, EditHistory::kDefaultByteLimit);
  for (int step = 1; step <= 3; ++step) {
    translate(job.workingParts.front(), 5.0, 0.0);
    EXPECT_TRUE(history.record(job, "Move"));
  }
  EXPECT_FALSE(history.record(job, "Move"));  // nothing changed since
  EXPECT_GT(history.bytes(), empty);
  EXPECT_TRUE(history.undo(job));
  EXPECT_TRUE(history.undo(job));
  EXPECT_FALSE(history.undo(job));  // the first step was dropped
  EXPECT_EQ(job.workingParts.front().bbox.xmin, 5.0);
  history.reset(&job);
  EXPECT_EQ(history.bytes(), empty);
}

}  // namespace
}  // namespace tarn
