#include "library/text_library.h"

#include <gtest/gtest.h>

#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::Texts;

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
