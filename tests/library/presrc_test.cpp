#include "library/presrc.h"

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

using test::gbkLines;
using test::libraryData;

TEST(ReadPreSrcFile, AppliesTheSettingsAndBuildsTheSquare) {
  test::ScratchDir scratch;
  for (const auto& path :
       {libraryData("presrc/square.preSrc"), test::crlfCopy(libraryData("presrc/square.preSrc"))}) {
    SCOPED_TRACE(path.string());
    std::ostringstream report;
    PackingJob job(report);
    readPreSrcFile(job, path);
    EXPECT_EQ(job.params.plateLength, 2000.0);
    EXPECT_EQ(job.params.plateWidth, 1000.0);
    EXPECT_EQ(job.params.partGap, 4.0);
    EXPECT_FALSE(job.params.allowTurnover);
    ASSERT_EQ(job.sources.count(), 1);
    const PartSource& square = job.sources.front();
    EXPECT_EQ(square.nameLabel.text, "SQ-1");
    EXPECT_EQ(square.id, 0);
    // Record 5 closes the square; its own x and y are not a vertex.
    ASSERT_EQ(square.outer.count(), 4);
    EXPECT_EQ(square.outer.points[2].x, 100.0);
    EXPECT_EQ(square.outer.points[2].y, 100.0);
    EXPECT_EQ(square.area, 10000.0);
  }
}

TEST(ReadPreSrcFile, AnUnbuildablePartKeepsItsIdAndReportsCheckAndRepair) {
  test::ScratchDir scratch;
  std::ostringstream report;
  PackingJob job(report);
  readPreSrcFile(job, libraryData("presrc/two_sections.preSrc"));
  EXPECT_TRUE(job.params.allowTurnover);
  EXPECT_EQ(test::namesOf(job.sources), std::vector<std::string>{"GOOD"});
  EXPECT_EQ(job.sources.front().id, 1);
  EXPECT_EQ(test::readBytes("PackError.txt"),
            gbkLines({"\t报警圆弧:起点(0,0),终点(10,0), 错误细节:起讫点距离d=10超过两倍半径的绝对值"
                      "=2*|R|=2*4.8=9.6, 圆弧无法生成!",
                      "以上错误发生于零件:BAD",
                      "圆弧半径绝对值|R|需要适当增加，以连接零件轮廓某段起讫点。",
                      "圆弧半径绝对值|R|增加了0.1mm，依然无法连接零件轮廓某段起讫点！"}));
  EXPECT_EQ(test::afterTimestamp(report.str()), "");
}

TEST(ReadPreSrcFile, RepairsRadiiOfBothSigns) {
  test::ScratchDir scratch;
  test::writeBytes("PackError.txt", "earlier\r\n");
  std::ostringstream report;
  PackingJob job(report);
  readPreSrcFile(job, libraryData("presrc/repair.preSrc"));
  ASSERT_EQ(job.sources.count(), 2);
  EXPECT_EQ(test::findNamed(job.sources, "PLUS")->outer.radii[0], 4.96 + 0.1);
  EXPECT_EQ(test::findNamed(job.sources, "MINUS")->outer.radii[0], -4.96 - 0.1);
  const auto partLines = [](const std::string& name) {
    return gbkLines(
        {"\t报警圆弧:起点(0,0),终点(10,0), 错误细节:起讫点距离d=10超过两倍半径的绝对值"
         "=2*|R|=2*4.96=9.92, 圆弧无法生成!",
         "以上错误发生于零件:" + name, "圆弧半径绝对值|R|需要适当增加，以连接零件轮廓某段起讫点。",
         "圆弧半径绝对值|R|增加了0.1mm，问题得到修正。"});
  };
  EXPECT_EQ(test::readBytes("PackError.txt"),
            "earlier\r\n" + partLines("PLUS") + partLines("MINUS"));
}

TEST(ReadPreSrcFile, RejectsBadLoopCountsWithLineFive) {
  test::ScratchDir scratch;
  std::ostringstream report;
  PackingJob job(report);
  readPreSrcFile(job, libraryData("presrc/bad_counts.preSrc"));
  EXPECT_EQ(test::namesOf(job.sources), std::vector<std::string>{"GOOD"});
  EXPECT_EQ(job.sources.front().id, 4);
  const std::string count = "\t某个面域点的数目<=0, 错误!";
  const std::string number = "\t顶点坐标或圆弧半径数值无效, 错误!";
  const std::string trailer = "以上错误发生于零件:";
  EXPECT_EQ(test::readBytes("PackError.txt"),
            gbkLines({count, trailer + "ONE", count,   // count 1: no vertex
                      count, trailer + "PAST", count,  // runs past the last record
                      count, trailer + "BACK", count,  // count -1 does not advance
                      number, trailer + "NANS", number}));
}

TEST(ReadPreSrcFile, KeysCountOnlyAsTheirPaddedField) {
  std::ostringstream report;
  PackingJob job(report);
  try {
    readPreSrcFile(job, libraryData("presrc/key_padding.preSrc"));
    FAIL() << "no error";
  } catch (const CoreError& e) {
    EXPECT_EQ(std::string(e.what()), text::kPlateSizeZero);
  }
}

TEST(ReadConfigInfo, ZeroesTheRecordAndTakesTheFirstMatchingKey) {
  std::istringstream in(
      "precision_length= 0.25\n"
      "staPlate_1      =  1500.5\n"
      "maxNestPartNum  = 12 parts\n"
      "bMirror         = 7\n"
      "feetLength_0    : 3\n"                       // no "=": ignored
      "xnestType        = 9 bMirror         = 0\n"  // nestType is tested first
      "_end_\n"
      "staPlate_0      = 99\n");
  LineReader file(in, kPreSrcLineBytes, "mem");
  ConfigInfo config;
  config.bPartTurnover = true;
  readConfigInfo(file, config);
  EXPECT_EQ(config.precision_length, 0.25F);
  EXPECT_EQ(config.staPlate_1, 1500.5F);
  EXPECT_EQ(config.maxNestPartNum, 12);
  EXPECT_TRUE(config.bMirror);
  EXPECT_EQ(config.feetLength_0, 0.0F);
  EXPECT_EQ(config.nestType, 9);
  EXPECT_FALSE(config.bPartTurnover);
  EXPECT_EQ(config.staPlate_0, 0.0F);
  EXPECT_EQ(file.next(), "staPlate_0      = 99");
}

TEST(ReadPartInfo, FindsTheIndexAnywhereAndReadsFieldsAfterCommas) {
  std::istringstream in(
      "NameID= Bracket A\n"
      "partinf=4,1,2.5\n"
      "pointNum=3\n"
      "junk 0,1,txt,1.5,2.5,7,8,9\n"
      "10,2,P1,0,0,5,1,2\n"  // index 1 found inside "10"
      "2,9,P2\n"             // fields after the missing comma keep their reset values
      "_end_\n");
  LineReader file(in, kPreSrcLineBytes, "mem");
  PartInfo info;
  ASSERT_TRUE(readPartInfo(file, info));
  EXPECT_EQ(info.nameId, " Bracket A");
  EXPECT_EQ(info.partinf0, 4);
  EXPECT_TRUE(info.partinf1);
  EXPECT_EQ(info.partinf2, 2.5F);
  ASSERT_EQ(info.points.size(), 3U);
  EXPECT_EQ(info.points[0].code, 1);
  EXPECT_EQ(info.points[0].note, "txt");
  EXPECT_EQ(info.points[0].aux1, 2.5F);
  EXPECT_EQ(info.points[0].value, 7.0);
  EXPECT_EQ(info.points[0].y, 9.0);
  EXPECT_EQ(info.points[1].code, 2);
  EXPECT_EQ(info.points[1].value, 5.0);
  EXPECT_EQ(info.points[1].x, 1.0);
  EXPECT_EQ(info.points[2].note, "P2");
  EXPECT_EQ(info.points[2].value, 0.0);
}

TEST(ReadPartInfo, DropsSectionsWithMissingPointsOrFewerThanThree) {
  struct Row {
    const char* label;
    const char* text;
  };
  const Row rows[] = {
      {"end after 4 of 5", "pointNum=5\n0,0,,0,0,0,0,0\n1\n2\n3\n_end_\n"},
      {"index missing", "pointNum=3\n0\n1\nno index here\n_end_\n"},
      {"two points", "pointNum=2\n0\n1\n_end_\n"},
      {"negative count", "pointNum=-3\n0\n1\n2\n_end_\n"},
      {"huge count", "pointNum=2147483647\n0\n1\n2\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::istringstream in(row.text);
    LineReader file(in, kPreSrcLineBytes, "mem");
    PartInfo info;
    EXPECT_FALSE(readPartInfo(file, info));
  }
}

}  // namespace
}  // namespace tarn
