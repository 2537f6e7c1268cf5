#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>

#include "job/job_operations.h"
#include "job/packing_job.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "support/mixed_library.h"
#include "support/pose_dump.h"
#include "support/test_support.h"

namespace tarn::test {
namespace {

TEST(SnapshotOf, KeepsEveryListInOrderAndEveryField) {
  ScratchDir scratch;
  std::filesystem::create_directory(scratch.path() / "out");
  std::ostringstream errors;
  PackingJob job(errors, scratch.path() / "out");
  // The generated mixed library: sources with arcs, parts with up to two holes.
  writeBytes(scratch.path() / "mixed.txt", mixedTextLibrary(7));
  openLibrary(job, scratch.path() / "mixed.txt", LibraryFormat::TextLibrary);
  job.params.rotationNumber = 3;
  // chordTol is what the records' own copies leave behind.
  job.sources.front().chordTol = 0.75;
  job.workingParts.front().chordTol = 0.25;
  job.trueParts.back().chordTol = 0.5;
  std::next(job.workingParts.begin(), 2)->selected = true;
  Layout(job, false);  // a grid with marks
  ASSERT_FALSE(job.gridPending);

  PackingJob snapshot = snapshotOf(job);
  EXPECT_EQ(firstDifference(dumpJob(job), dumpJob(snapshot)), "");
  // Its report is its own, in memory.
  const std::string reportBefore = errors.str();
  snapshot.errorReport() << "worker line\n";
  EXPECT_EQ(errors.str(), reportBefore);
  // A move keeps everything too.
  const PackingJob moved = std::move(snapshot);
  EXPECT_EQ(firstDifference(dumpJob(job), dumpJob(moved)), "");
}

}  // namespace
}  // namespace tarn::test
