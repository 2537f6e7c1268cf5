#include "library/library_loader.h"

#include <gtest/gtest.h>

#include "app/view.h"
#include "geometry/texts.h"
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

TEST(OpenLibrary, DerivesThePackingPointDistanceFromTheSmallestPart) {
  const std::pair<const char*, double> rows[] = {{"text/smallest_200x500.txt", 30.0},
                                                 {"text/smallest_1000x400.txt", 40.0},
                                                 {"text/empty_library.txt", 0.5}};
  for (const auto& [file, distance] : rows) {
    SCOPED_TRACE(file);
    test::MemoryJob m;
    openLibrary(m.job, libraryData(file), LibraryFormat::TextLibrary);
    EXPECT_EQ(m.job.params.packingPointDistance, distance);
  }
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

TEST(OpenLibrary, BuildsArcsOnTheSideTheRadiusSignChooses) {
  test::MemoryJob m;
  openLibrary(m.job, libraryData("text/arc_signs.txt"), LibraryFormat::TextLibrary);
  // A half circle of radius 5 on the right edge of a 20 x 10 rectangle, in two
  // pieces through (25, 5) or (15, 5): a triangle of 25 added or taken away.
  ASSERT_EQ(test::namesOf(m.job.trueParts), (Texts{"DENT#1", "BULGE#0"}));
  const Part& bulge = m.job.trueParts.back();
  const Part& dent = m.job.trueParts.front();
  EXPECT_NEAR(bulge.bbox.xmax, 25.0, 1e-9);
  EXPECT_NEAR(dent.area, 175.0, 1e-9);
}

TEST(ReadTextLibrary, ReadsHeaderNamesLoopsAndIdsAlikeWithLfAndCrLf) {
  test::readBothLineEnds(readTextLibrary, "text/two_parts.txt", [](const PackingJob& job) {
    EXPECT_EQ(job.plateExtents.xmax, 6000.0);
    EXPECT_EQ(job.plateExtents.ymax, 4000.0);
    // "NAME P-01" and "NAME:P-02"; newest first, ids in file order, nothing after "#end".
    EXPECT_EQ(test::namesOf(job.sources), (Texts{"P-02#1", "P-01#0"}));
    const PartSource& p01 = job.sources.back();
    EXPECT_EQ(test::coordinates(p01.outer.points),
              (std::vector<double>{0, 0, 100, 0, 100, 50, 0, 50}));
    EXPECT_EQ(p01.outer.radii, (std::vector<double>{0, 0, 0, 0}));
    const PartSource& p02 = job.sources.front();
    ASSERT_EQ(p02.holes.count(), 1);
    EXPECT_EQ(test::coordinates(p02.holes.front().points),
              (std::vector<double>{20, 20, 20, 40, 40, 40, 40, 20}));
    EXPECT_EQ(p02.area, 3600.0 - 400.0);
  });
}

TEST(ReadTextLibrary, LoadsANegativePlateWithAWarning) {
  test::NoticeRecorder notices;
  test::MemoryJob negative;
  readTextLibrary(negative.job, test::libraryData("text/negative_width.txt"));
  EXPECT_EQ(notices.texts(), Texts{std::string(text::kPlateDataError)});
  EXPECT_EQ(negative.job.sources.count(), 1);
}

TEST(ReadTextLibrary, RejectsAPartWithoutLoopButCountsItsId) {
  test::MemoryJob m;
  readTextLibrary(m.job, test::libraryData("text/part_without_loop.txt"));
  EXPECT_EQ(test::namesOf(m.job.sources), Texts{"KEPT#1"});
  EXPECT_EQ(m.reportLines(), test::gbkLines("\t零件没有轮廓, 错误!\n以上错误发生于零件:EMPTY\n"));
}

}  // namespace
}  // namespace tarn
