#include "library/text_library.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/packing_job.h"
#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "library/line_reader.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::afterTimestamp;
using test::gbkLines;
using test::libraryData;

void expectPoints(const RadiusPolyline& poly, const std::vector<std::pair<double, double>>& xy) {
  ASSERT_EQ(poly.points.size(), xy.size());
  for (std::size_t i = 0; i < xy.size(); ++i) {
    EXPECT_EQ(poly.points[i].x, xy[i].first) << i;
    EXPECT_EQ(poly.points[i].y, xy[i].second) << i;
  }
}

TEST(ReadTextLibrary, ReadsHeaderNamesLoopsAndIdsAlikeWithLfAndCrLf) {
  test::ScratchDir scratch;
  for (const auto& path :
       {libraryData("text/two_parts.txt"), test::crlfCopy(libraryData("text/two_parts.txt"))}) {
    SCOPED_TRACE(path.string());
    std::ostringstream report;
    PackingJob job(report);
    readTextLibrary(job, path);
    EXPECT_EQ(job.params.plateLength, 6000.0);
    EXPECT_EQ(job.params.plateWidth, 4000.0);
    EXPECT_EQ(job.params.partGap, 0.0);
    // Newest first; the first part of the file has id 0; nothing after "#end".
    EXPECT_EQ(test::namesOf(job.sources), (std::vector<std::string>{"P-02", "P-01"}));
    EXPECT_EQ(test::idsOf(job.sources), (std::vector<int>{1, 0}));
    const PartSource& p01 = job.sources.back();
    expectPoints(p01.outer, {{0, 0}, {100, 0}, {100, 50}, {0, 50}});
    EXPECT_EQ(p01.outer.radii, (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(p01.area, 5000.0);
    const PartSource& p02 = job.sources.front();
    ASSERT_EQ(p02.holes.count(), 1);
    expectPoints(p02.holes.front(), {{20, 20}, {20, 40}, {40, 40}, {40, 20}});
    EXPECT_EQ(p02.area, 3600.0 - 400.0);
    EXPECT_EQ(afterTimestamp(report.str()), "");
  }
}

TEST(ReadTextLibrary, ReadsHeaderValuesFromFixedOffsets) {
  std::ostringstream report;
  PackingJob job(report);
  // "Platelength:" is one character short, so "000" is read: a zero plate.
  try {
    readTextLibrary(job, libraryData("text/short_label.txt"));
    FAIL() << "no error";
  } catch (const CoreError& e) {
    EXPECT_EQ(std::string(e.what()), text::kPlateSizeZero);
  }
  EXPECT_EQ(job.sources.count(), 0);
}

TEST(ReadTextLibrary, WarnsOfANegativePlateAndLoadsAnyway) {
  test::NoticeRecorder notices;
  std::ostringstream report;
  PackingJob job(report);
  readTextLibrary(job, libraryData("text/negative_width.txt"));
  EXPECT_EQ(notices.texts(), std::vector<std::string>{std::string(text::kPlateDataError)});
  EXPECT_EQ(job.plateExtents.ymax, -4000.0);
  EXPECT_EQ(job.sources.count(), 1);
}

TEST(ReadTextLibrary, RejectsAPartWithoutLoopButCountsItsId) {
  test::ScratchDir scratch;
  std::ostringstream report;
  PackingJob job(report);
  readTextLibrary(job, libraryData("text/part_without_loop.txt"));
  EXPECT_EQ(test::namesOf(job.sources), std::vector<std::string>{"KEPT"});
  EXPECT_EQ(job.sources.front().id, 1);
  EXPECT_EQ(afterTimestamp(report.str()),
            gbkLines({"\t零件没有轮廓, 错误!", "以上错误发生于零件:EMPTY"}));
}

TEST(ReadTextLibrary, StopsAtTheEndOfAFileWithoutEndLine) {
  std::ostringstream report;
  PackingJob job(report);
  readTextLibrary(job, libraryData("text/no_end.txt"));
  ASSERT_EQ(job.sources.count(), 1);
  EXPECT_EQ(job.sources.front().outer.radii.size(), 4U);
}

TEST(ReadTextLibrary, NamesFileLineAndPartOfAMalformedLoop) {
  struct Row {
    const char* file;
    std::string_view message;
    int line;
  };
  const Row rows[] = {
      {"text/loop_count_one.txt", text::kLoopCountError, 5},
      {"text/blank_line_in_part.txt", text::kLoopCountError, 10},
      {"text/cut_short.txt", text::kLoopCutShort, 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    std::ostringstream report;
    PackingJob job(report);
    const auto path = libraryData(row.file);
    try {
      readTextLibrary(job, path);
      FAIL() << "no error";
    } catch (const CoreError& e) {
      EXPECT_EQ(std::string(e.what()),
                fileLineMessage(row.message, path.string(), row.line, "P-01"));
    }
  }
}

TEST(ReadTextLibrary, RejectsPartsWithUnusableNumbers) {
  std::ostringstream report;
  PackingJob job(report);
  readTextLibrary(job, libraryData("text/bad_numbers.txt"));
  EXPECT_EQ(test::namesOf(job.sources), std::vector<std::string>{"OK"});
  EXPECT_EQ(job.sources.front().id, 2);
  EXPECT_EQ(afterTimestamp(report.str()),
            gbkLines({"\t顶点坐标或圆弧半径数值无效, 错误!", "以上错误发生于零件:NAN",
                      "\t顶点坐标或圆弧半径数值无效, 错误!", "以上错误发生于零件:HUGE"}));
}

TEST(ReadTextLibrary, RefusesAnUnusablePlateNamingTheLine) {
  std::ostringstream report;
  PackingJob job(report);
  const auto path = libraryData("text/nan_plate.txt");
  try {
    readTextLibrary(job, path);
    FAIL() << "no error";
  } catch (const CoreError& e) {
    EXPECT_EQ(std::string(e.what()), fileLineMessage(text::kNumberUnusable, path.string(), 1));
  }
}

TEST(ReadTextLibrary, FailsOnAMissingFile) {
  std::ostringstream report;
  PackingJob job(report);
  EXPECT_THROW(
      {
        try {
          readTextLibrary(job, libraryData("text/no_such_file.txt"));
        } catch (const CoreError& e) {
          EXPECT_EQ(std::string(e.what()), text::kPartFileReadFailed);
          throw;
        }
      },
      CoreError);
}

TEST(ReadLoop, KeepsRadiiWithTheirEdgesAndPutsTheNextPartBack) {
  std::istringstream in("4 1 2 junk\n-3.5 5 2\n2.5 5 6\n0 trailing text\nNAME next\n");
  LineReader file(in, kTextLibraryLineBytes, "mem");
  RadiusPolyline loop;
  bool done = false;
  EXPECT_TRUE(readLoop(file, loop, done, "P"));
  EXPECT_FALSE(done);
  expectPoints(loop, {{1, 2}, {5, 2}, {5, 6}});
  EXPECT_EQ(loop.radii, (std::vector<double>{-3.5, 2.5, 0}));
  EXPECT_TRUE(readLoop(file, loop, done, "P"));
  EXPECT_TRUE(done);
  EXPECT_EQ(file.next(), "NAME next");
}

}  // namespace
}  // namespace tarn
