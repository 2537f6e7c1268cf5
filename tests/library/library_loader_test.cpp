#include "library/library_loader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/packing_job.h"
#include "app/view.h"
#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;

void expectParked(const PackingJob& job) {
  for (const Part& part : job.workingParts) {
    SCOPED_TRACE(part.nameLabel.text);
    EXPECT_NEAR(part.bbox.xmin, job.params.plateLength, 1e-9);
    EXPECT_NEAR(part.bbox.ymax, 0.0, 1e-9);
  }
}

TEST(OpenLibrary, SortsEqualAreasByTheSelectionProcedure) {
  std::ostringstream report;
  PackingJob job(report);
  View view;
  openLibrary(job, libraryData("text/areas_3_3_4.txt"), &view, LibraryFormat::TextLibrary);
  EXPECT_EQ(test::namesOf(job.workingParts),
            (std::vector<std::string>{"third", "second", "first"}));
  EXPECT_EQ(test::idsOf(job.workingParts), (std::vector<int>{2, 1, 0}));
  // True parts: reading order reversed, never sorted.
  EXPECT_EQ(test::namesOf(job.trueParts), (std::vector<std::string>{"third", "second", "first"}));
  EXPECT_EQ(job.view, &view);
  expectParked(job);
}

TEST(OpenLibrary, KeepsTheReadingOrderReversedInTrueParts) {
  std::ostringstream report;
  PackingJob job(report);
  openLibrary(job, libraryData("text/smallest_1000x400.txt"), nullptr, LibraryFormat::TextLibrary);
  EXPECT_EQ(test::namesOf(job.workingParts), (std::vector<std::string>{"BIG", "WIDE"}));
  EXPECT_EQ(test::namesOf(job.trueParts), (std::vector<std::string>{"WIDE", "BIG"}));
  // True parts keep the drawn place.
  EXPECT_EQ(test::findNamed(job.trueParts, "BIG")->bbox.xmin, 0.0);
}

TEST(OpenLibrary, DerivesThePackingPointDistanceFromTheSmallestPart) {
  struct Row {
    const char* file;
    double distance;
  };
  const Row rows[] = {
      {"text/smallest_200x500.txt", 30.0},
      {"text/smallest_1000x400.txt", 40.0},
      {"text/empty_library.txt", 0.5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    std::ostringstream report;
    PackingJob job(report);
    openLibrary(job, libraryData(row.file), nullptr, LibraryFormat::TextLibrary);
    EXPECT_EQ(job.params.packingPointDistance, row.distance);
  }
}

TEST(OpenLibrary, GrowsWorkingPartsByHalfTheGapAndParksThem) {
  std::ostringstream report;
  PackingJob job(report);
  openLibrary(job, libraryData("text/gap_10.txt"), nullptr, LibraryFormat::TextLibrary);
  ASSERT_EQ(job.workingParts.count(), 1);
  const Part& working = job.workingParts.front();
  EXPECT_NEAR(working.bbox.xmax - working.bbox.xmin, 110.0, 1e-9);
  EXPECT_NEAR(working.bbox.ymax - working.bbox.ymin, 60.0, 1e-9);
  EXPECT_NEAR(working.bbox.xmin, 3000.0, 1e-9);
  const Part& drawn = job.trueParts.front();
  EXPECT_EQ(drawn.bbox.xmax - drawn.bbox.xmin, 100.0);
  EXPECT_EQ(job.params.packingPointDistance, 30.0);  // measured before growing
}

TEST(OpenLibrary, DropsSourcesThatFailTheLoadCheck) {
  std::ostringstream report;
  PackingJob job(report);
  openLibrary(job, libraryData("text/load_check.txt"), nullptr, LibraryFormat::TextLibrary);
  EXPECT_EQ(test::namesOf(job.sources), std::vector<std::string>{"GOOD"});
  EXPECT_EQ(test::namesOf(job.workingParts), std::vector<std::string>{"GOOD"});
  EXPECT_EQ(job.workingParts.front().id, 2);
  // The newest source is checked first.
  EXPECT_EQ(test::afterTimestamp(report.str()),
            test::gbkLines({"\t报警圆弧:起点(0,0),终点(10,0), 错误细节:起讫点距离d=10超过两倍半径"
                            "的绝对值=2*|R|=2*4=8, 半径绝对值太小, 圆弧生成失败!",
                            "以上错误发生于零件:FAR",
                            "\t报警圆弧:起点(0,0),终点(1,0), 错误细节:圆弧半径的绝对值=0.8<弓高误"
                            "差=1, 半径绝对值太小!",
                            "以上错误发生于零件:TINY"}));
}

TEST(OpenLibrary, BuildsArcsOnTheSideTheRadiusSignChooses) {
  std::ostringstream report;
  PackingJob job(report);
  openLibrary(job, libraryData("text/arc_signs.txt"), nullptr, LibraryFormat::TextLibrary);
  // A half circle of radius 5 on the right edge of a 20 x 10 rectangle, in two
  // pieces through (25, 5) or (15, 5): a triangle of 25 added or taken away.
  const Part* bulge = test::findNamed(job.trueParts, "BULGE");
  const Part* dent = test::findNamed(job.trueParts, "DENT");
  ASSERT_NE(bulge, nullptr);
  ASSERT_NE(dent, nullptr);
  EXPECT_NEAR(bulge->area, 225.0, 1e-9);
  EXPECT_NEAR(bulge->bbox.xmax, 25.0, 1e-9);
  EXPECT_NEAR(dent->area, 175.0, 1e-9);
  EXPECT_NEAR(dent->bbox.xmax, 20.0, 1e-9);
}

TEST(OpenLibrary, LoadsAPartListAndAPreSrcFile) {
  test::ScratchDir scratch;
  {
    test::NoticeRecorder notices;
    std::ostringstream report;
    PackingJob job(report);
    openLibrary(job, libraryData("partlist/three.lst"), nullptr, LibraryFormat::PartListFile);
    EXPECT_EQ(test::idsOf(job.workingParts), (std::vector<int>{1, 0}));  // 200 x 50 first
    EXPECT_EQ(job.trueParts.count(), 2);
    EXPECT_TRUE(job.params.allowTurnover);
    expectParked(job);
  }
  {
    std::ostringstream report;
    PackingJob job(report);
    openLibrary(job, libraryData("presrc/square.preSrc"), nullptr, LibraryFormat::PreSrcFile);
    ASSERT_EQ(job.workingParts.count(), 1);
    EXPECT_EQ(job.workingParts.front().nameLabel.text, "SQ-1");
    EXPECT_NEAR(job.workingParts.front().bbox.xmax - job.workingParts.front().bbox.xmin, 104.0,
                1e-9);
    EXPECT_FALSE(job.params.allowTurnover);
    expectParked(job);
  }
}

TEST(OpenLibrary, AnUnknownFormatReadsNothing) {
  std::ostringstream report;
  PackingJob job(report);
  openLibrary(job, libraryData("text/two_parts.txt"), nullptr, static_cast<LibraryFormat>(7));
  EXPECT_TRUE(job.sources.empty());
  EXPECT_TRUE(job.workingParts.empty());
  EXPECT_EQ(job.params.packingPointDistance, 0.5);
}

TEST(OpenLibrary, LoadsTheBundledExamples) {
  test::ScratchDir scratch;
  struct Row {
    const char* file;
    LibraryFormat format;
  };
  const Row rows[] = {{"examples/brackets.txt", LibraryFormat::TextLibrary},
                      {"examples/flanges.preSrc", LibraryFormat::PreSrcFile},
                      {"examples/panels.lst", LibraryFormat::PartListFile}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    std::ostringstream report;
    PackingJob job(report);
    openLibrary(job, test::sourcePath(row.file), nullptr, row.format);
    EXPECT_GT(job.workingParts.count(), 0);
    EXPECT_EQ(job.workingParts.count(), job.trueParts.count());
    expectParked(job);
  }
}

}  // namespace
}  // namespace tarn
