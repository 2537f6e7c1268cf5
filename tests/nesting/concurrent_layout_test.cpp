// Workers lay out snapshots of one job at once (run under the tsan preset too).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <sstream>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "job/job_operations.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "support/mixed_library.h"
#include "support/pose_dump.h"
#include "support/test_support.h"

namespace tarn::test {
namespace {

struct WorkerResult {
  std::string poses;
  std::uint64_t fitTests = 0;
  std::vector<Notice> notices;
  bool stopped = false;
};

// The untimed walk on a snapshot, with a context and notices of the worker's own.
WorkerResult layOut(PackingJob snapshot, bool multipleSteps, std::stop_token stop) {
  NoticeCollector notices;
  RunContext run;
  run.stop = std::move(stop);
  const PlacingOutcome outcome =
      multipleSteps ? PlaceSelectedInSteps(snapshot, run) : PlaceWaiting(snapshot, run);
  return {dumpPoses(snapshot), run.counters.fitTests, notices.notices(), outcome.stopped};
}

// The generated mixed library, loaded.
struct MixedJob {
  MixedJob() {
    writeBytes(scratch.path() / "mixed.txt", mixedTextLibrary(20240611));
    openLibrary(job, scratch.path() / "mixed.txt", LibraryFormat::TextLibrary);
  }
  ScratchDir scratch;
  std::ostringstream errors;
  PackingJob job{errors, scratch.path()};
};

TEST(ConcurrentLayout, SnapshotsLaidOutOnTwoThreadsGiveTheSequentialPoses) {
  MixedJob mixed;
  PackingJob& job = mixed.job;
  SelectAll(job);
  for (const bool multipleSteps : {false, true}) {
    SCOPED_TRACE(multipleSteps ? "multiple steps" : "all");
    const WorkerResult sequential = layOut(snapshotOf(job), multipleSteps, {});
    ASSERT_FALSE(sequential.stopped);
    WorkerResult results[2];
    {
      std::jthread first(
          [&](std::stop_token stop) { results[0] = layOut(snapshotOf(job), multipleSteps, stop); });
      std::jthread second(
          [&](std::stop_token stop) { results[1] = layOut(snapshotOf(job), multipleSteps, stop); });
      // Joined here: a jthread that goes out of scope asks its worker to stop first.
      first.join();
      second.join();
    }
    for (const WorkerResult& result : results) {
      EXPECT_EQ(firstDifference(sequential.poses, result.poses), "");
      EXPECT_EQ(result.fitTests, sequential.fitTests);
      EXPECT_TRUE(result.notices.empty());
      EXPECT_FALSE(result.stopped);
    }
  }
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// Stopped at some moment on another thread, a worker's parts lie either where
// the whole run puts them or where they waited: none is half-moved.
TEST(ConcurrentLayout, AWorkerStoppedMidRunLeavesEveryPartPlacedOrWaiting) {
  MixedJob mixed;
  const PackingJob& job = mixed.job;
  const std::vector<std::string> waiting = linesOf(dumpPoses(job));
  const std::vector<std::string> placed = linesOf(layOut(snapshotOf(job), false, {}).poses);
  for (int delayMs : {0, 2, 5}) {
    SCOPED_TRACE(delayMs);
    WorkerResult result;
    {
      std::jthread worker(
          [&](std::stop_token stop) { result = layOut(snapshotOf(job), false, stop); });
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      worker.request_stop();
    }
    const std::vector<std::string> lines = linesOf(result.poses);
    ASSERT_EQ(lines.size(), placed.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_TRUE(lines[i] == placed[i] || lines[i] == waiting[i]) << lines[i];
    }
  }
}

}  // namespace
}  // namespace tarn::test
