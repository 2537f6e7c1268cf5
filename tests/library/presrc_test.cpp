#include "library/presrc.h"

#include <gtest/gtest.h>

#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::Texts;

TEST(ReadPreSrcFile, AppliesTheSettingsAndBuildsTheSquare) {
  test::readBothLineEnds(readPreSrcFile, "presrc/square.preSrc", [](const PackingJob& job) {
    EXPECT_EQ(job.plateExtents.xmax, 2000.0);
    EXPECT_EQ(job.plateExtents.ymax, 1000.0);
    EXPECT_EQ(job.params.partGap, 4.0);
    EXPECT_FALSE(job.params.allowTurnover);
    EXPECT_EQ(test::namesOf(job.sources), Texts{"SQ-1#0"});
    // Record 5 closes the square; its own x and y are not a vertex.
    EXPECT_EQ(job.sources.front().outer.count(), 4);
    EXPECT_EQ(job.sources.front().area, 10000.0);
  });
}

// The report goes into the job's output folder (the working directory when it
// has none), after what the file held.
TEST(ReadPreSrcFile, ReportsCheckAndRepairAndKeepsIdsOfDroppedParts) {
  test::ScratchDir scratch;
  std::filesystem::create_directory("out");
  for (const char* folder : {"", "out"}) {
    SCOPED_TRACE(folder);
    const std::filesystem::path report = std::filesystem::path(folder) / "PackError.txt";
    test::writeBytes(report, "earlier\r\n");
    test::MemoryJob m;
    if (*folder != '\0') {
      m.job.outputFolder = scratch.path() / folder;
    }
    readPreSrcFile(m.job, test::libraryData("presrc/two_sections.preSrc"));
    EXPECT_TRUE(m.job.params.allowTurnover);
    EXPECT_EQ(test::namesOf(m.job.sources), Texts{"GOOD#1"});
    readPreSrcFile(m.job, test::libraryData("presrc/repair.preSrc"));
    ASSERT_EQ(test::namesOf(m.job.sources), (Texts{"MINUS#1", "PLUS#0", "GOOD#1"}));
    EXPECT_EQ(m.job.sources.front().outer.radii[0], -4.96 - 0.1);
    EXPECT_EQ(std::next(m.job.sources.begin())->outer.radii[0], 4.96 + 0.1);
    EXPECT_EQ(test::readBytes(report),
              "earlier\r\n" + test::expectedReport("presrc/repair.expected"));
    EXPECT_EQ(m.reportLines(), "");
    test::writeBytes(report, "");
  }
  // A folder that is not there is a report that cannot be opened.
  test::MemoryJob m;
  m.job.outputFolder = scratch.path() / "missing";
  EXPECT_EQ(
      test::errorOf([&] { readPreSrcFile(m.job, test::libraryData("presrc/repair.preSrc")); }),
      text::kErrorReportWriteFailed);
}

TEST(ReadPreSrcFile, DropsBrokenSectionsAndRejectsBadLoopCounts) {
  test::ScratchDir scratch;
  test::MemoryJob m;
  readPreSrcFile(m.job, test::libraryData("presrc/bad_counts.preSrc"));
  // Sections with fewer point lines or points than announced take no id; the
  // long name is cut to the label; the file's end closes LAST.
  EXPECT_EQ(test::namesOf(m.job.sources), (Texts{"LAST#7", std::string(49, 'L') + "#6", "GOOD#4"}));
  // Counts 1, past the last record, -1 (not advancing) and 1e300; a NaN vertex.
  EXPECT_EQ(test::readBytes("PackError.txt"), test::expectedReport("presrc/bad_counts.expected"));
}

TEST(ReadPartInfo, FindsTheIndexAnywhereAndReadsFieldsAfterCommas) {
  std::istringstream in(
      "NameID= Bracket A\npointNum=3\njunk 0,1,txt,1.5,2.5,7,8,9\n"
      "10,2,P1,0,0,5,1,2\n"  // index 1 found inside "10"
      "2,9,P2\n_end_\n");    // fields after a missing comma keep their reset values
  LineReader file(in, kPreSrcLineBytes, "mem");
  PartInfo info;
  ASSERT_TRUE(readPartInfo(file, info));
  EXPECT_EQ(info.nameId, " Bracket A");
  ASSERT_EQ(info.points.size(), 3U);
  std::vector<double> values;
  for (const PartInfoPoint& p : info.points) {
    values.insert(values.end(), {p.value, p.x, p.y});
  }
  EXPECT_EQ(values, (std::vector<double>{7, 8, 9, 5, 1, 2, 0, 0, 0}));
  EXPECT_EQ(info.points[0].note, "txt");
}

}  // namespace
}  // namespace tarn
