#include "library/library_loader.h"

#include <gtest/gtest.h>

#include "app/view.h"
#include "geometry/texts.h"
#include "library/presrc.h"
#include "library/text_library.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using test::Texts;

void expectParked(const PackingJob& job) {
  for (const Part& part : job.workingParts) {
    EXPECT_NEAR(part.bbox.xmin, job.params.plateLength, 1e-9) << part.nameLabel.text;
    EXPECT_NEAR(part.bbox.ymax, 0.0, 1e-9) << part.nameLabel.text;
  }
}

TEST(OpenLibrary, SortsEqualAreasByTheSelectionProcedureAndParks) {
  test::MemoryJob m;
  openLibrary(m.job, libraryData("text/areas_3_3_4.txt"), LibraryFormat::TextLibrary);
  // Areas 3, 3, 4 in reading order.
  EXPECT_EQ(test::namesOf(m.job.workingParts), (Texts{"third#2", "second#1", "first#0"}));
  // True parts are never oriented or parked.
  EXPECT_EQ(m.job.trueParts.back().bbox.xmin, 0.0);
  expectParked(m.job);
}

TEST(OpenLibrary, GrowsWorkingPartsByHalfTheGapAfterMeasuringThem) {
  test::MemoryJob m;
  openLibrary(m.job, libraryData("text/gap_10.txt"), LibraryFormat::TextLibrary);
  ASSERT_EQ(m.job.workingParts.count(), 1);
  const BBox& grown = m.job.workingParts.front().bbox;
  EXPECT_NEAR(grown.xmax - grown.xmin, 110.0, 1e-9);
  EXPECT_NEAR(grown.ymax - grown.ymin, 60.0, 1e-9);
  EXPECT_EQ(m.job.trueParts.front().bbox.xmax, 100.0);
  expectParked(m.job);
}

TEST(OpenLibrary, DropsSourcesThatFailTheLoadCheckNewestFirst) {
  test::MemoryJob m;
  openLibrary(m.job, libraryData("text/load_check.txt"), LibraryFormat::TextLibrary);
  // EDGE: chord 10 = 2 |R| can be built. Only the first failing arc of FAR is reported.
  EXPECT_EQ(test::namesOf(m.job.sources), (Texts{"GOOD#5", "EDGE#3"}));
  // The hole's failure comes with the GBK name bytes as read.
  EXPECT_EQ(m.reportLines(), test::expectedReport("text/load_check.expected"));
}

TEST(ReadTextLibrary, ReadsHeaderNamesLoopsAndIdsAlikeWithLfAndCrLf) {
  test::readBothLineEnds(readTextLibrary, "text/two_parts.txt", [](const PackingJob& job) {
    EXPECT_EQ(job.plateExtents.ymax, 4000.0);
    // "NAME P-01" and "NAME:P-02"; newest first, ids in file order, nothing after "#end".
    EXPECT_EQ(test::namesOf(job.sources), (Texts{"P-02#1", "P-01#0"}));
    const PartSource& p01 = job.sources.back();
    EXPECT_EQ(test::coordinates(p01.outer.points),
              (std::vector<double>{0, 0, 100, 0, 100, 50, 0, 50}));
    const PartSource& p02 = job.sources.front();
    ASSERT_EQ(p02.holes.count(), 1);
    EXPECT_EQ(test::coordinates(p02.holes.front().points),
              (std::vector<double>{20, 20, 20, 40, 40, 40, 40, 20}));
    EXPECT_EQ(p02.area, 3600.0 - 400.0);
  });
}

TEST(ReadPreSrcFile, AppliesTheSettingsAndBuildsTheSquare) {
  test::readBothLineEnds(readPreSrcFile, "presrc/square.preSrc", [](const PackingJob& job) {
    EXPECT_EQ(job.plateExtents.ymax, 1000.0);
    EXPECT_EQ(job.params.partGap, 4.0);
    EXPECT_EQ(test::namesOf(job.sources), Texts{"SQ-1#0"});
    // Record 5 closes the square; its own x and y are not a vertex.
    EXPECT_EQ(job.sources.front().outer.count(), 4);
    EXPECT_EQ(job.sources.front().area, 10000.0);
  });
}

// The report goes after what the output folder's held (else the working directory's: below).
TEST(ReadPreSrcFile, ReportsCheckAndRepairAndKeepsIdsOfDroppedParts) {
  test::ScratchDir scratch;
  std::filesystem::create_directory("out");
  {
    const std::filesystem::path report = "out/PackError.txt";
    test::writeBytes(report, "earlier\r\n");
    test::MemoryJob m;
    m.job.outputFolder = scratch.path() / "out";
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

}  // namespace
}  // namespace tarn
