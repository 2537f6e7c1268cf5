// The poses every layout driver gives the bundled examples and a generated
// mixed library, compared exactly with dumps made before the engine was last
// reworked. A change in any bit of any pose fails here; and each layout is
// checked by an overlap test of its own, so the dumps hold no overlap either.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "nesting/nesting_fixtures.h"
#include "support/layout_check.h"
#include "support/mixed_library.h"
#include "support/pose_dump.h"
#include "support/test_support.h"

namespace tarn::test {
namespace {

constexpr std::uint32_t kMixedSeed = 20240611;

struct Library {
  const char* name;  // of the golden files: tests/data/poses/<name>_<scenario>.txt
  std::filesystem::path path;
  LibraryFormat format;
};

struct Scenario {
  const char* name;
  // Lays the loaded job out and returns the dump to compare.
  std::function<std::string(PackingJob&)> run;
};

// Every third working part, counted from the first.
void selectEveryThird(PackingJob& job) {
  int index = 0;
  for (Part& part : job.workingParts) {
    part.selected = index++ % 3 == 0;
  }
}

const Scenario kScenarios[] = {
    {"all",
     [](PackingJob& job) {
       LayoutAll(job, false);
       return dumpPoses(job);
     }},
    {"multi",
     [](PackingJob& job) {
       SelectAll(job);
       LayoutMultipleSteps(job, false);
       return dumpPoses(job);
     }},
    // Layout on a selection, then LayoutAll around the parts it placed.
    {"selected",
     [](PackingJob& job) {
       selectEveryThird(job);
       Layout(job, false);
       std::string dump = "# Layout of every third part\n" + dumpPoses(job);
       LayoutAll(job, false);
       return dump + "# LayoutAll of the rest\n" + dumpPoses(job);
     }},
};

// A missing golden reads as empty, so its first run leaves the dump to look at.
std::string golden(const std::string& name) {
  const std::filesystem::path path = dataPath("poses/" + name + ".txt");
  return std::filesystem::exists(path) ? readBytes(path) : std::string();
}

TEST(PoseIdentity, EveryDriverGivesTheRecordedPoses) {
  ScratchDir scratch;  // the timing file and the preSrc report land here
  writeBytes(scratch.path() / "mixed.txt", mixedTextLibrary(kMixedSeed));
  const Library libraries[] = {
      {"brackets", sourcePath("examples/brackets.txt"), LibraryFormat::TextLibrary},
      {"flanges", sourcePath("examples/flanges.preSrc"), LibraryFormat::PreSrcFile},
      {"panels", sourcePath("examples/panels.lst"), LibraryFormat::PartListFile},
      {"mixed", scratch.path() / "mixed.txt", LibraryFormat::TextLibrary},
  };
  const std::filesystem::path actualFolder(TARN_POSE_DUMP_DIR);
  std::filesystem::create_directories(actualFolder);
  for (const Library& library : libraries) {
    for (const Scenario& scenario : kScenarios) {
      const std::string name = std::string(library.name) + "_" + scenario.name;
      SCOPED_TRACE(name);
      std::ostringstream errors;
      PackingJob job(errors);
      openLibrary(job, library.path, library.format);
      const std::string actual = scenario.run(job);
      EXPECT_EQ(layoutFault(job), "");
      const std::string difference = firstDifference(golden(name), actual);
      if (!difference.empty()) {
        // Kept for a look with diff; the goldens are never rewritten by the test.
        writeBytes(actualFolder / (name + ".txt"), actual);
      }
      EXPECT_EQ(difference, "") << "actual dump in " << (actualFolder / (name + ".txt"));
    }
  }
}

TEST(LayoutFault, SeesOverlapsAndPartsHalfOnThePlate) {
  const Part frame = makePart(rectangle(0, 0, 30, 30), {rectangle(10, 10, 10, 10)});
  EXPECT_TRUE(materialOverlaps(frame, rectanglePart(5, 5, 3, 3)));
  EXPECT_TRUE(materialOverlaps(rectanglePart(0, 10, 30, 10), rectanglePart(10, 0, 10, 30)));
  EXPECT_FALSE(materialOverlaps(frame, rectanglePart(10, 10, 10, 10)));  // fills the hole
  EXPECT_FALSE(materialOverlaps(frame, rectanglePart(30, 0, 10, 10)));   // touching
  TestJob t(100, 100, 30);
  t.add({frame, rectanglePart(200, -50, 10, 10), rectanglePart(95, 50, 10, 10)});
  const auto place = [&t](double x, double y) {
    t.part(2) = rectanglePart(x, y, 10, 10);
    t.part(2).id = 2;
  };
  place(95, 50);
  EXPECT_EQ(layoutFault(t.job), "part 2 is not on the plate");
  place(40, 40);
  EXPECT_EQ(layoutFault(t.job), "");
  EXPECT_NE(layoutFault(t.job, true), "");  // part 1 waits beside the plate
  place(25, 25);
  EXPECT_EQ(layoutFault(t.job), "part 2 overlaps part 0");
}

// The mixed library must stay a test of everything: holes, arcs, every pass
// of the multi-step layout and parts that do not fit.
TEST(PoseIdentity, TheMixedLibraryCoversWhatItClaims) {
  ScratchDir scratch;
  writeBytes(scratch.path() / "mixed.txt", mixedTextLibrary(kMixedSeed));
  EXPECT_EQ(mixedTextLibrary(kMixedSeed), mixedTextLibrary(kMixedSeed));
  std::ostringstream errors;
  PackingJob job(errors);
  openLibrary(job, scratch.path() / "mixed.txt", LibraryFormat::TextLibrary);
  int withHoles = 0, huge = 0, large = 0, medium = 0, turned = 0, waiting = 0;
  for (const Part& part : job.workingParts) {
    withHoles += part.holes.empty() ? 0 : 1;
    huge += part.outer.area >= 1'000'000 && part.fillRatio >= 0.8 ? 1 : 0;
    large += part.outer.area >= 500'000 && part.fillRatio < 0.9 ? 1 : 0;
    medium += part.outer.area >= 200'000 && part.outer.area < 500'000 ? 1 : 0;
  }
  EXPECT_GE(job.workingParts.count(), 20);
  EXPECT_GE(withHoles, 4);
  EXPECT_EQ(huge, 1);
  EXPECT_GE(large, 2);
  EXPECT_GE(medium, 3);
  LayoutAll(job, false);
  for (const Part& part : job.workingParts) {
    turned += part.turnedOver ? 1 : 0;
    waiting += withinRect(part, job.plateExtents) ? 0 : 1;
  }
  EXPECT_GE(turned, 1);
  EXPECT_GE(waiting, 1);
}

}  // namespace
}  // namespace tarn::test
