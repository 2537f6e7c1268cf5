// Every driver's poses on the examples and the mixed library, bit for bit as
// recorded, and free of overlaps by a check of their own.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "job/job_operations.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
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

// Lays the loaded job out as `scenario` says and returns the dump to compare.
std::string layOut(PackingJob& job, const std::string& scenario) {
  if (scenario == "selected") {  // Layout on every third part, then LayoutAll around them
    int index = 0;
    for (Part& part : job.workingParts) {
      part.selected = index++ % 3 == 0;
    }
    Layout(job, false);
    std::string dump = "# Layout of every third part\n" + dumpPoses(job);
    LayoutAll(job, false);
    return dump + "# LayoutAll of the rest\n" + dumpPoses(job);
  }
  if (scenario == "multi") {
    SelectAll(job);
    LayoutMultipleSteps(job, false);
  } else {
    LayoutAll(job, false);
  }
  return dumpPoses(job);
}

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
    for (const char* scenario : {"all", "multi", "selected"}) {
      const std::string name = std::string(library.name) + "_" + scenario;
      SCOPED_TRACE(name);
      std::ostringstream errors;
      PackingJob job(errors);
      openLibrary(job, library.path, library.format);
      const std::string actual = layOut(job, scenario);
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

}  // namespace
}  // namespace tarn::test
