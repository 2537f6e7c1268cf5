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

RadiusPolyline outline(std::vector<std::pair<double, double>> xy, std::vector<double> radii) {
  std::vector<Point> points;
  for (const auto& [x, y] : xy) {
    points.push_back(Point{x, y});
  }
  RadiusPolyline poly;
  setPolyline(poly, points, radii);
  return poly;
}

// The square (0,0), (10,0), (10,10), (0,10) with the given edge radii.
RadiusPolyline square(std::vector<double> radii) {
  return outline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, radii);
}

const std::string kAlarm = "\t报警圆弧:起点(";
const std::string kTooFar = "错误细节:起讫点距离d=10超过两倍半径的绝对值=2*|R|=2*";

TEST(ArcChecks, ReportOnlyTheFirstFailingArcEdge) {
  std::ostringstream report;
  EXPECT_TRUE(checkArcsBuildable(square({5, 0, 0, 0}), report));  // d = 10 = 2|R|
  EXPECT_FALSE(checkArcsBuildable(square({0, -4.5, 0.1, 0}), report));
  EXPECT_TRUE(checkArcsAgainstChord(square({0, 0, 0, 0}), 1.0, report));  // straight edges
  EXPECT_FALSE(checkArcsAgainstChord(outline({{0, 0}, {1, 0}, {1, 5}}, {0.8, 0, 0}), 1, report));
  EXPECT_FALSE(checkArcsAgainstChord(outline({{0, 0}, {1, 0}, {1, 5}}, {1, 0, 0}), 1, report));
  EXPECT_FALSE(checkArcsAgainstChord(square({0, 0, -4, 0}), 1.0, report));
  EXPECT_EQ(
      report.str(),
      gbkLines(
          {kAlarm + "10,0),终点(10,10), " + kTooFar + "4.5=9, 圆弧无法生成!",
           kAlarm + "0,0),终点(1,0), 错误细节:圆弧半径的绝对值=0.8<弓高误差=1, 半径绝对值太小!",
           kAlarm + "0,0),终点(1,0), 错误细节:圆弧半径的绝对值=1<弓高误差=1, 半径绝对值太小!",
           kAlarm + "10,10),终点(0,10), " + kTooFar + "4=8, 半径绝对值太小, 圆弧生成失败!"}));
}

TEST(RepairArcs, EnlargesByOneTenthAwayFromZeroOncePerArc) {
  const std::string needed = "圆弧半径绝对值|R|需要适当增加，以连接零件轮廓某段起讫点。";
  const std::string done = "圆弧半径绝对值|R|增加了0.1mm，问题得到修正。";
  const std::string failed = "圆弧半径绝对值|R|增加了0.1mm，依然无法连接零件轮廓某段起讫点！";
  struct Row {
    std::vector<double> radii;
    bool repaired;
    std::vector<double> after;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {{4.96, 0, -4.96, 0}, true, {4.96 + 0.1, 0, -4.96 - 0.1, 0}, {needed, done, needed, done}},
      {{4.8, 0, 0, 0}, false, {4.8, 0, 0, 0}, {needed, failed}},
      {{4.96, 0, 0, 4}, false, {5.06, 0, 0, 4}, {needed, done, needed, failed}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.radii[0]);
    RadiusPolyline poly = square(row.radii);
    std::ostringstream report;
    EXPECT_EQ(repairArcs(poly, report), row.repaired);
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_NEAR(poly.radii[i], row.after[i], 1e-15);
    }
    EXPECT_EQ(report.str(), gbkLines(row.lines));
  }
}

TEST(CheckSourceArcs, ChecksTheHolesTooAndEndsWithTheTrailer) {
  RadiusPolylineList holes;
  holes.insert(outline({{2, 2}, {3, 2}, {3, 4}}, {0.5, 0, 0}));
  PartSource source;
  initSource(source, square({0, 0, 0, 0}), holes);
  setLabelText(source.nameLabel, "\xc1\xe3\xbc\xfe-7");  // GBK bytes pass through
  std::ostringstream report;
  EXPECT_FALSE(checkSourceArcs(source, report));
  EXPECT_EQ(
      report.str(),
      gbkLines(
          {kAlarm + "2,2),终点(3,2), 错误细节:圆弧半径的绝对值=0.5<弓高误差=1, 半径绝对值太小!",
           "以上错误发生于零件:零件-7"}));
}

}  // namespace
}  // namespace tarn
