#include "library/text_library.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/packing_job.h"
#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using Names = std::vector<std::string>;

std::vector<double> coordinates(const RadiusPolyline& poly) {
  std::vector<double> xy;
  for (const Point& p : poly.points) {
    xy.insert(xy.end(), {p.x, p.y});
  }
  return xy;
}

TEST(ReadTextLibrary, ReadsHeaderNamesLoopsAndIdsAlikeWithLfAndCrLf) {
  test::ScratchDir scratch;
  const auto lf = libraryData("text/two_parts.txt");
  for (const auto& path : {lf, test::crlfCopy(lf)}) {
    SCOPED_TRACE(path.string());
    std::ostringstream report;
    PackingJob job(report);
    readTextLibrary(job, path);
    EXPECT_EQ(job.params.plateLength, 6000.0);
    EXPECT_EQ(job.params.plateWidth, 4000.0);
    // Newest first, ids in file order; nothing after "#end" is read.
    EXPECT_EQ(test::namesOf(job.sources), (Names{"P-02#1", "P-01#0"}));
    const PartSource& p01 = job.sources.back();
    EXPECT_EQ(coordinates(p01.outer), (std::vector<double>{0, 0, 100, 0, 100, 50, 0, 50}));
    EXPECT_EQ(p01.outer.radii, (std::vector<double>{0, 0, 0, 0}));
    const PartSource& p02 = job.sources.front();
    ASSERT_EQ(p02.holes.count(), 1);
    EXPECT_EQ(coordinates(p02.holes.front()),
              (std::vector<double>{20, 20, 20, 40, 40, 40, 40, 20}));
    EXPECT_EQ(p02.area, 3600.0 - 400.0);
  }
}

TEST(ReadTextLibrary, HeaderOffsetsPlateChecksAndMissingEnd) {
  std::ostringstream report;
  PackingJob job(report);
  // "Platelength:" is one character short, so "000" is read: a zero plate.
  EXPECT_EQ(test::errorOf([&] { readTextLibrary(job, libraryData("text/short_label.txt")); }),
            text::kPlateSizeZero);
  EXPECT_EQ(job.sources.count(), 0);

  test::NoticeRecorder notices;
  PackingJob negative(report);
  readTextLibrary(negative, libraryData("text/negative_width.txt"));
  EXPECT_EQ(notices.texts(), Names{std::string(text::kPlateDataError)});
  EXPECT_EQ(negative.sources.count(), 1);

  PackingJob noEnd(report);
  readTextLibrary(noEnd, libraryData("text/no_end.txt"));
  ASSERT_EQ(noEnd.sources.count(), 1);
  EXPECT_EQ(noEnd.sources.front().outer.radii.size(), 4U);
}

TEST(ReadTextLibrary, RejectsAPartWithoutLoopButCountsItsId) {
  std::ostringstream report;
  PackingJob job(report);
  readTextLibrary(job, libraryData("text/part_without_loop.txt"));
  EXPECT_EQ(test::namesOf(job.sources), Names{"KEPT#1"});
  EXPECT_EQ(test::afterTimestamp(report.str()),
            test::gbkLines({"\t零件没有轮廓, 错误!", "以上错误发生于零件:EMPTY"}));
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
    EXPECT_EQ(test::errorOf([&] { readTextLibrary(job, path); }),
              fileLineMessage(row.message, path.string(), row.line, "P-01"));
  }
}

}  // namespace
}  // namespace tarn
