#include "library/library_loader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/packing_job.h"
#include "app/view.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using Names = std::vector<std::string>;

void expectParked(const PackingJob& job) {
  for (const Part& part : job.workingParts) {
    EXPECT_NEAR(part.bbox.xmin, job.params.plateLength, 1e-9) << part.nameLabel.text;
    EXPECT_NEAR(part.bbox.ymax, 0.0, 1e-9) << part.nameLabel.text;
  }
}

TEST(OpenLibrary, SortsEqualAreasByTheSelectionProcedureAndParks) {
  std::ostringstream report;
  PackingJob job(report);
  View view;
  openLibrary(job, libraryData("text/areas_3_3_4.txt"), &view, LibraryFormat::TextLibrary);
  // Areas 3, 3, 4 in reading order.
  EXPECT_EQ(test::namesOf(job.workingParts), (Names{"third#2", "second#1", "first#0"}));
  // True parts: reading order reversed, never sorted, oriented or parked.
  EXPECT_EQ(test::namesOf(job.trueParts), (Names{"third#2", "second#1", "first#0"}));
  EXPECT_EQ(job.trueParts.back().bbox.xmin, 0.0);
  EXPECT_EQ(job.view, &view);
  expectParked(job);
}

TEST(OpenLibrary, DerivesThePackingPointDistanceFromTheSmallestPart) {
  const std::pair<const char*, double> rows[] = {{"text/smallest_200x500.txt", 30.0},
                                                 {"text/smallest_1000x400.txt", 40.0},
                                                 {"text/empty_library.txt", 0.5}};
  for (const auto& [file, distance] : rows) {
    SCOPED_TRACE(file);
    std::ostringstream report;
    PackingJob job(report);
    openLibrary(job, libraryData(file), nullptr, LibraryFormat::TextLibrary);
    EXPECT_EQ(job.params.packingPointDistance, distance);
  }
}

TEST(OpenLibrary, GrowsWorkingPartsByHalfTheGapAfterMeasuringThem) {
  std::ostringstream report;
  PackingJob job(report);
  openLibrary(job, libraryData("text/gap_10.txt"), nullptr, LibraryFormat::TextLibrary);
  ASSERT_EQ(job.workingParts.count(), 1);
  const BBox& grown = job.workingParts.front().bbox;
  EXPECT_NEAR(grown.xmax - grown.xmin, 110.0, 1e-9);
  EXPECT_NEAR(grown.ymax - grown.ymin, 60.0, 1e-9);
  EXPECT_EQ(job.trueParts.front().bbox.xmax, 100.0);
  EXPECT_EQ(job.params.packingPointDistance, 30.0);
  expectParked(job);
}

TEST(OpenLibrary, DropsSourcesThatFailTheLoadCheckNewestFirst) {
  std::ostringstream report;
  PackingJob job(report);
  openLibrary(job, libraryData("text/load_check.txt"), nullptr, LibraryFormat::TextLibrary);
  EXPECT_EQ(test::namesOf(job.sources), Names{"GOOD#2"});
  EXPECT_EQ(test::namesOf(job.workingParts), Names{"GOOD#2"});
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
  const Part& bulge = test::named(job.trueParts, "BULGE");
  const Part& dent = test::named(job.trueParts, "DENT");
  EXPECT_NEAR(bulge.area, 225.0, 1e-9);
  EXPECT_NEAR(bulge.bbox.xmax, 25.0, 1e-9);
  EXPECT_NEAR(dent.area, 175.0, 1e-9);
  EXPECT_NEAR(dent.bbox.xmax, 20.0, 1e-9);
}

TEST(OpenLibrary, LoadsEveryFormatAndReadsNothingForAnUnknownOne) {
  test::ScratchDir scratch;
  struct Row {
    std::filesystem::path file;
    LibraryFormat format;
    int parts;
  };
  const Row rows[] = {
      {libraryData("partlist/three.lst"), LibraryFormat::PartListFile, 2},
      {libraryData("presrc/square.preSrc"), LibraryFormat::PreSrcFile, 1},
      {libraryData("text/two_parts.txt"), static_cast<LibraryFormat>(7), 0},
      {test::sourcePath("examples/brackets.txt"), LibraryFormat::TextLibrary, -1},
      {test::sourcePath("examples/flanges.preSrc"), LibraryFormat::PreSrcFile, -1},
      {test::sourcePath("examples/panels.lst"), LibraryFormat::PartListFile, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file.string());
    test::NoticeRecorder notices;
    std::ostringstream report;
    PackingJob job(report);
    openLibrary(job, row.file, nullptr, row.format);
    if (row.parts >= 0) {
      EXPECT_EQ(job.workingParts.count(), row.parts);
    } else {
      EXPECT_GT(job.workingParts.count(), 0);
    }
    EXPECT_EQ(job.trueParts.count(), job.workingParts.count());
    expectParked(job);
  }
}

}  // namespace
}  // namespace tarn
