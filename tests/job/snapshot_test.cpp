#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>
#include <stdexcept>
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

constexpr std::uint32_t kSeed = 7;

// The generated mixed library: sources with arcs, parts with up to two holes.
void loadMixed(PackingJob& job, const ScratchDir& scratch) {
  writeBytes(scratch.path() / "mixed.txt", mixedTextLibrary(kSeed));
  openLibrary(job, scratch.path() / "mixed.txt", LibraryFormat::TextLibrary);
}

Part& partWithTwoHoles(PackingJob& job) {
  for (Part& part : job.workingParts) {
    if (part.holes.count() >= 2) {
      return part;
    }
  }
  throw std::logic_error("no part with two holes");
}

TEST(SnapshotOf, KeepsEveryListInOrderAndEveryField) {
  ScratchDir scratch;
  std::filesystem::create_directory(scratch.path() / "out");
  std::ostringstream errors;
  PackingJob job(errors, scratch.path() / "out");
  loadMixed(job, scratch);
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

  // The comparison sees what a plain copy loses: the hole order and chordTol.
  PackingJob copied = snapshotOf(job);
  Part& holed = partWithTwoHoles(copied);
  holed = Part(holed);
  EXPECT_NE(firstDifference(dumpJob(job), dumpJob(copied)), "");
  PackingJob retolerated = snapshotOf(job);
  retolerated.workingParts.front().chordTol = 1.0;
  EXPECT_NE(firstDifference(dumpJob(job), dumpJob(retolerated)), "");
}

}  // namespace
}  // namespace tarn::test
