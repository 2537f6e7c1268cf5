// The worker side of the desktop's long runs. Built once under ThreadSanitizer
// (the tsan preset), this checks that a run shares nothing unguarded with its owner.
#include "app/background_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>

#include "app/commands.h"
#include "app/job_runs.h"
#include "geometry/core_error.h"
#include "geometry/predicates.h"
#include "geometry/texts.h"
#include "job/job_operations.h"
#include "support/mixed_library.h"
#include "support/test_support.h"

namespace tarn {
namespace {

using namespace std::chrono_literals;
constexpr auto kPatience = 60s;

TEST(BackgroundRun, HandsBackItsResultAndTheNoticesOfItsThreadInOrder) {
  test::NoticeRecorder owner;
  std::atomic<bool> woken = false;
  {
    BackgroundRun<std::string> run(
        [](RunContext& ctx) {
          notifyWarning("first");
          announce("second");
          ctx.progress(LayoutProgress{3, 4, 0.0});
          return std::string("result");
        },
        [&woken] { woken = true; });
    ASSERT_TRUE(run.waitFor(kPatience));
    EXPECT_EQ(run.takeResult(), "result");
    const std::vector<Notice> notices = run.takeNotices();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].text, "first");
    EXPECT_EQ(notices[1].kind, Notice::Kind::Announcement);
    EXPECT_TRUE(run.progress().tried == 3 && run.progress().waiting == 4);
  }
  EXPECT_TRUE(woken);
  EXPECT_TRUE(owner.notices().empty());  // none reached the owner's thread
}

TEST(BackgroundRun, ThrowsWhatTheWorkThrewAtTheOwner) {
  BackgroundRun<int> run([](RunContext&) -> int { throw CoreError("broken"); });
  ASSERT_TRUE(run.waitFor(kPatience));
  EXPECT_THROW(run.takeResult(), CoreError);
}

TEST(BackgroundRun, DestroyedWhileRunningItStopsTheWorkAndWaits) {
  std::atomic<bool> ended = false;
  {
    BackgroundRun<int> run([&ended](RunContext& ctx) {
      while (!ctx.stop.stop_requested()) {
        std::this_thread::sleep_for(1ms);
      }
      ended = true;
      return 0;
    });
    EXPECT_FALSE(run.waitFor(5ms));
  }
  EXPECT_TRUE(ended);
}

// Layout All of a job of 150 parts on a worker, stopped after its third part.
TEST(BackgroundRun, AStoppedLayoutKeepsThePartsPlacedAndTheRestWaitingUntouched) {
  test::ScratchDir scratch;
  ASSERT_EQ(setenv("XDG_STATE_HOME", scratch.path().c_str(), 1), 0);
  test::writeBytes(scratch.path() / "large.txt",
                   test::repeatedTextLibrary(test::mixedTextLibrary(7), 6));
  AppState state;
  state.outputFolder = scratch.path();
  openLibraryFile(state, scratch.path() / "large.txt", LibraryFormat::TextLibrary);
  const PackingJob& job = *state.job;
  std::vector<Point> parked;
  for (const Part& part : job.workingParts) {
    parked.push_back(part.refPoint);
  }

  const RunRequest request{RunKind::LayoutAll, true, {}, LibraryFormat::TextLibrary, {}};
  constexpr int kStopAfter = 3;
  // The work holds still after its third part until the stop has been asked for.
  RunWork work = [inner = prepareRun(state, request)](RunContext& ctx) {
    const ProgressHook report = ctx.progress;
    ctx.progress = [report, &ctx](const LayoutProgress& progress) {
      report(progress);
      while (progress.tried == kStopAfter && !ctx.stop.stop_requested()) {
        std::this_thread::sleep_for(1ms);
      }
    };
    return inner(ctx);
  };
  BackgroundRun<RunResult> run(work);
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (run.progress().tried < kStopAfter && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  run.requestStop();
  ASSERT_TRUE(run.waitFor(kPatience));
  const std::vector<Notice> notices = run.takeNotices();
  finishRun(state, request, run.takeResult());

  int packed = 0;
  std::size_t index = 0;
  for (const Part& part : job.workingParts) {
    if (withinRect(part, job.plateExtents)) {
      ++packed;
      EXPECT_TRUE(PartFits(job, part)) << part.id;
    } else {
      EXPECT_EQ(part.refPoint.x, parked[index].x) << part.id;
      EXPECT_EQ(part.refPoint.y, parked[index].y) << part.id;
    }
    ++index;
  }
  EXPECT_EQ(packed, kStopAfter);
  // Ended as a completed run of that length: the timing notice and file, the report.
  ASSERT_FALSE(notices.empty());
  EXPECT_EQ(notices.front().kind, Notice::Kind::Announcement);
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / std::string(text::kTimingFileName)));
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "Report.txt"));
  EXPECT_EQ(state.history.undoLabel(), "Layout All");
  unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace tarn
