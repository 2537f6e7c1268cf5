#include "library/arc_checks.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::gbkLines;
using test::toGbk;

Point at(double x, double y) {
  Point p;
  p.x = x;
  p.y = y;
  return p;
}

// The square (0,0), (10,0), (10,10), (0,10) with the given edge radii.
RadiusPolyline square(std::vector<double> radii) {
  RadiusPolyline poly;
  setPolyline(poly, {at(0, 0), at(10, 0), at(10, 10), at(0, 10)}, radii);
  return poly;
}

TEST(CheckArcsBuildable, ReportsTheFirstArcLongerThanItsDiameter) {
  std::ostringstream report;
  EXPECT_TRUE(checkArcsBuildable(square({5, 0, 0, 0}), report));  // d = 10 = 2|R|
  EXPECT_FALSE(checkArcsBuildable(square({0, 0.001, 0, 0}), report));
  EXPECT_EQ(
      report.str(),
      gbkLines({"\t报警圆弧:起点(10,0),终点(10,10), 错误细节:起讫点距离d=10超过两倍半径的绝对值"
                "=2*|R|=2*0.001=0.002, 圆弧无法生成!"}));
  // Straight edges are never tested, and only the first failure is written.
  std::ostringstream second;
  EXPECT_FALSE(checkArcsBuildable(square({0, -4.5, 1, 0}), second));
  EXPECT_EQ(
      second.str(),
      gbkLines({"\t报警圆弧:起点(10,0),终点(10,10), 错误细节:起讫点距离d=10超过两倍半径的绝对值"
                "=2*|R|=2*4.5=9, 圆弧无法生成!"}));
}

TEST(CheckArcsAgainstChord, WritesLineThreeOrLineFour) {
  std::ostringstream report;
  RadiusPolyline tiny;
  setPolyline(tiny, {at(0, 0), at(1, 0), at(1, 5)}, {0.8, 0, 0});
  EXPECT_FALSE(checkArcsAgainstChord(tiny, 1.0, report));
  EXPECT_FALSE(checkArcsAgainstChord(square({0, 0, -4, 0}), 1.0, report));
  EXPECT_FALSE(checkArcsAgainstChord(square({1, 0, 0, 0}), 1.0, report));
  EXPECT_EQ(report.str(),
            gbkLines({"\t报警圆弧:起点(0,0),终点(1,0), 错误细节:圆弧半径的绝对值=0.8<弓高误差=1, "
                      "半径绝对值太小!",
                      "\t报警圆弧:起点(10,10),终点(0,10), 错误细节:起讫点距离d=10超过两倍半径的"
                      "绝对值=2*|R|=2*4=8, 半径绝对值太小, 圆弧生成失败!",
                      "\t报警圆弧:起点(0,0),终点(10,0), 错误细节:起讫点距离d=10超过两倍半径的绝"
                      "对值=2*|R|=2*1=2, 半径绝对值太小, 圆弧生成失败!"}));
  // |R| equal to the tolerance is not above it.
  std::ostringstream equal;
  RadiusPolyline edge;
  setPolyline(edge, {at(0, 0), at(1, 0), at(1, 5)}, {1.0, 0, 0});
  EXPECT_FALSE(checkArcsAgainstChord(edge, 1.0, equal));
  EXPECT_NE(equal.str().find(toGbk("圆弧半径的绝对值=1<弓高误差=1")), std::string::npos);
}

TEST(RepairArcs, EnlargesByOneTenthAwayFromZero) {
  struct Row {
    const char* label;
    double radius;
    bool repaired;
    double after;
    std::vector<std::string> lines;
  };
  const std::string needed = "圆弧半径绝对值|R|需要适当增加，以连接零件轮廓某段起讫点。";
  const std::string done = "圆弧半径绝对值|R|增加了0.1mm，问题得到修正。";
  const std::string failed = "圆弧半径绝对值|R|增加了0.1mm，依然无法连接零件轮廓某段起讫点！";
  const Row rows[] = {
      {"4.96", 4.96, true, 4.96 + 0.1, {needed, done}},
      {"-4.96", -4.96, true, -4.96 - 0.1, {needed, done}},
      {"4.8", 4.8, false, 4.8, {needed, failed}},
      {"5 is buildable", 5.0, true, 5.0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    RadiusPolyline poly = square({row.radius, 0, 0, 0});
    std::ostringstream report;
    EXPECT_EQ(repairArcs(poly, report), row.repaired);
    EXPECT_EQ(poly.radii[0], row.after);
    EXPECT_EQ(report.str(), gbkLines(row.lines));
  }
  // The repair goes on through every edge while each enlargement works.
  RadiusPolyline two = square({4.96, 0, -4.95, 0});
  std::ostringstream report;
  EXPECT_TRUE(repairArcs(two, report));
  EXPECT_EQ(two.radii[2], -4.95 - 0.1);
  EXPECT_EQ(report.str(), gbkLines({needed, done, needed, done}));
}

TEST(CheckSourceArcs, ChecksOuterThenHolesAndEndsWithTheTrailer) {
  PartSource source;
  RadiusPolylineList holes;
  RadiusPolyline hole;
  setPolyline(hole, {at(2, 2), at(3, 2), at(3, 4)}, {0.5, 0, 0});
  holes.insert(hole);
  initSource(source, square({0, 0, 0, 0}), holes);
  setLabelText(source.nameLabel, "\xc1\xe3\xbc\xfe-7");  // GBK bytes pass through
  std::ostringstream report;
  EXPECT_FALSE(checkSourceArcs(source, report));
  EXPECT_EQ(report.str(), gbkLines({"\t报警圆弧:起点(2,2),终点(3,2), 错误细节:圆弧半径的绝对值=0.5<"
                                    "弓高误差=1, 半径绝对值太小!",
                                    "以上错误发生于零件:零件-7"}));
}

TEST(ReaderReportTexts, AreTheGbkFormsOfTheirChinese) {
  EXPECT_EQ(std::string(text::kGbkPartWithoutOutline), toGbk("\t零件没有轮廓, 错误!"));
  EXPECT_EQ(std::string(text::kGbkBadNumber), toGbk("\t顶点坐标或圆弧半径数值无效, 错误!"));
  EXPECT_EQ(std::string(text::kGbkNetAreaNotPositive), toGbk("\t零件净面积<=0, 错误!"));
}

}  // namespace
}  // namespace tarn
