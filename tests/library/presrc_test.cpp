#include "library/presrc.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/packing_job.h"
#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::gbkLines;
using test::libraryData;
using Names = std::vector<std::string>;

const std::string kTooFar =
    "\t报警圆弧:起点(0,0),终点(10,0), 错误细节:起讫点距离d=10超过两倍半径的绝对值=2*|R|=2*";
const std::string kNeeded = "圆弧半径绝对值|R|需要适当增加，以连接零件轮廓某段起讫点。";
const std::string kTrailer = "以上错误发生于零件:";

TEST(ReadPreSrcFile, AppliesTheSettingsAndBuildsTheSquare) {
  test::ScratchDir scratch;
  const auto lf = libraryData("presrc/square.preSrc");
  for (const auto& path : {lf, test::crlfCopy(lf)}) {
    SCOPED_TRACE(path.string());
    std::ostringstream report;
    PackingJob job(report);
    readPreSrcFile(job, path);
    EXPECT_EQ(job.plateExtents.xmax, 2000.0);
    EXPECT_EQ(job.plateExtents.ymax, 1000.0);
    EXPECT_EQ(job.params.partGap, 4.0);
    EXPECT_FALSE(job.params.allowTurnover);
    EXPECT_EQ(test::namesOf(job.sources), Names{"SQ-1#0"});
    // Record 5 closes the square; its own x and y are not a vertex.
    EXPECT_EQ(job.sources.front().outer.count(), 4);
    EXPECT_EQ(job.sources.front().area, 10000.0);
  }
}

TEST(ReadPreSrcFile, ReportsCheckAndRepairAndKeepsIdsOfDroppedParts) {
  test::ScratchDir scratch;
  test::writeBytes("PackError.txt", "earlier\r\n");
  std::ostringstream report;
  PackingJob job(report);
  readPreSrcFile(job, libraryData("presrc/two_sections.preSrc"));
  EXPECT_TRUE(job.params.allowTurnover);
  EXPECT_EQ(test::namesOf(job.sources), Names{"GOOD#1"});
  readPreSrcFile(job, libraryData("presrc/repair.preSrc"));
  EXPECT_EQ(test::named(job.sources, "PLUS").outer.radii[0], 4.96 + 0.1);
  EXPECT_EQ(test::named(job.sources, "MINUS").outer.radii[0], -4.96 - 0.1);
  const std::string done = "圆弧半径绝对值|R|增加了0.1mm，问题得到修正。";
  EXPECT_EQ(
      test::readBytes("PackError.txt"),
      "earlier\r\n" +
          gbkLines({kTooFar + "4.8=9.6, 圆弧无法生成!", kTrailer + "BAD", kNeeded,
                    "圆弧半径绝对值|R|增加了0.1mm，依然无法连接零件轮廓某段起讫点！",
                    kTooFar + "4.96=9.92, 圆弧无法生成!", kTrailer + "PLUS", kNeeded, done,
                    kTooFar + "4.96=9.92, 圆弧无法生成!", kTrailer + "MINUS", kNeeded, done}));
  EXPECT_EQ(test::afterTimestamp(report.str()), "");
}

TEST(ReadPreSrcFile, RejectsBadLoopCountsWithLineFive) {
  test::ScratchDir scratch;
  std::ostringstream report;
  PackingJob job(report);
  readPreSrcFile(job, libraryData("presrc/bad_counts.preSrc"));
  EXPECT_EQ(test::namesOf(job.sources), Names{"GOOD#4"});
  const std::string count = "\t某个面域点的数目<=0, 错误!";
  const std::string number = "\t顶点坐标或圆弧半径数值无效, 错误!";
  EXPECT_EQ(test::readBytes("PackError.txt"),
            gbkLines({count, kTrailer + "ONE", count,   // count 1: no vertex
                      count, kTrailer + "PAST", count,  // runs past the last record
                      count, kTrailer + "BACK", count,  // count -1 does not advance
                      number, kTrailer + "NANS", number}));
}

TEST(ReadPreSrcFile, KeysCountOnlyAsTheirPaddedField) {
  std::ostringstream report;
  PackingJob job(report);
  EXPECT_EQ(test::errorOf([&] { readPreSrcFile(job, libraryData("presrc/key_padding.preSrc")); }),
            text::kPlateSizeZero);
  std::istringstream in(
      "precision_length= 0.25\nmaxNestPartNum  = 12 parts\nbMirror         = 7\n"
      "xnestType        = 9 bMirror         = 0\n_end_\nstaPlate_0      = 99\n");
  LineReader file(in, kPreSrcLineBytes, "mem");
  ConfigInfo config;
  config.bPartTurnover = true;
  readConfigInfo(file, config);
  EXPECT_EQ(config.precision_length, 0.25F);
  EXPECT_EQ(config.maxNestPartNum, 12);
  EXPECT_EQ(config.nestType, 9);  // tested before bMirror
  EXPECT_TRUE(config.bMirror);
  EXPECT_FALSE(config.bPartTurnover);
  EXPECT_EQ(config.staPlate_0, 0.0F);
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
  const PartInfoPoint& p0 = info.points[0];
  EXPECT_EQ(std::vector<double>({double(p0.code), p0.aux1, p0.value, p0.y}),
            (std::vector<double>{1, 2.5, 7, 9}));
  EXPECT_EQ(p0.note, "txt");
  EXPECT_EQ(std::vector<double>({info.points[1].value, info.points[1].x}),
            (std::vector<double>{5, 1}));
  EXPECT_EQ(info.points[2].value, 0.0);

  for (const char* text : {"pointNum=5\n0\n1\n2\n3\n_end_\n", "pointNum=3\n0\n1\nno index\n_end_\n",
                           "pointNum=2\n0\n1\n_end_\n", "pointNum=-3\n0\n1\n2\n_end_\n",
                           "pointNum=2147483647\n0\n1\n2\n"}) {
    SCOPED_TRACE(text);
    std::istringstream dropped(text);
    LineReader droppedFile(dropped, kPreSrcLineBytes, "mem");
    EXPECT_FALSE(readPartInfo(droppedFile, info));
  }
}

}  // namespace
}  // namespace tarn
