#include "library/dxf_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using Texts = std::vector<std::string>;

TEST(ReadDxfPart, ChainsLinesWhoseCornersMeetWithinTheJoinRadius) {
  test::ScratchDir scratch;
  const auto lf = libraryData("dxf/rect_gap04.dxf");
  for (const auto& path : {lf, test::crlfCopy(lf)}) {
    SCOPED_TRACE(path.string());
    Part part;
    ASSERT_TRUE(readDxfPart(part, path));
    // Chain order: the last point joined first; the first segment's start is left out.
    std::vector<double> xy;
    for (const Point& p : part.outer.points) {
      xy.insert(xy.end(), {p.x, p.y});
    }
    EXPECT_EQ(xy, (std::vector<double>{0.2, 0.1, 0, 50, 100, 50, 100, 0}));
    EXPECT_EQ(part.holes.count(), 0);
    EXPECT_EQ(part.refPoint.x, 0.2);
    EXPECT_EQ(part.bbox.xmax, 100.0);
    EXPECT_EQ(part.nameLabel.text, "empty text!");
  }
}

TEST(ReadDxfPart, FailsWithTheChainMessageOfAnOpenOrStrayChain) {
  const std::pair<const char*, std::string_view> rows[] = {
      {"dxf/rect_gap06.dxf", text::kChainNotClosed},  // corners 0.6 apart
      {"dxf/stray_line.dxf", text::kChainTooShort},   // a first chain of 2 points
  };
  for (const auto& [file, message] : rows) {
    SCOPED_TRACE(file);
    test::NoticeRecorder notices;
    Part part;
    EXPECT_FALSE(readDxfPart(part, libraryData(file)));
    EXPECT_EQ(notices.texts(), Texts{std::string(message)});
  }
}

TEST(ReadDxfPart, MakesACircleAHoleWhereverItIsDrawn) {
  for (const char* file : {"dxf/circle_hole_last.dxf", "dxf/circle_hole_first.dxf"}) {
    SCOPED_TRACE(file);
    Part part;
    ASSERT_TRUE(readDxfPart(part, libraryData(file)));
    EXPECT_EQ(part.outer.area, 10000.0);
    ASSERT_EQ(part.holes.count(), 1);
    // Chord height 1 on radius 10: six steps of about 51.7 degrees and a closing piece.
    EXPECT_EQ(part.holes.front().count(), 7);
    for (const Point& p : part.holes.front().points) {
      EXPECT_NEAR(std::hypot(p.x - 50, p.y - 50), 10.0, 1e-9);
    }
    EXPECT_DOUBLE_EQ(part.area, 10000.0 - part.holes.front().area);
  }
  Part circle;
  ASSERT_TRUE(readDxfPart(circle, libraryData("dxf/single_circle.dxf")));
  EXPECT_EQ(circle.outer.count(), 7);
}

TEST(ReadDxfPart, ReadsAnArcAcrossZeroDegreesTheShortWay) {
  Part part;
  ASSERT_TRUE(readDxfPart(part, libraryData("dxf/arc_wrap.dxf")));
  // 350 to 370 degrees in three pieces, closed by the chord.
  ASSERT_EQ(part.outer.count(), 4);
  for (const Point& p : part.outer.points) {
    EXPECT_NEAR(std::hypot(p.x, p.y), 1000.0, 1e-5);
    EXPECT_GT(p.x, 984.0);
  }
}

TEST(ReadDxfPart, TakesNameAndThicknessFromPrefixedTexts) {
  Part part;
  ASSERT_TRUE(readDxfPart(part, libraryData("dxf/labels.dxf")));
  const TextLabel& name = part.nameLabel;
  EXPECT_EQ(std::vector<double>({name.x, name.y, name.height, name.angle}),
            (std::vector<double>{10, 20, 5, 30}));
  EXPECT_EQ(name.text, "P1");  // "Name:X" is not a name
  EXPECT_EQ(part.thickLabel.text, "12");
  EXPECT_EQ(part.thickLabel.angle, 0.0);  // no code 50
}

TEST(CheckPointChain, NeedsFourPointsAndAClosedEndStrictlyWithinHalf) {
  test::NoticeRecorder notices;
  const auto chainOf = [](std::vector<Point> points) {
    PointChain chain;
    for (auto p = points.rbegin(); p != points.rend(); ++p) {
      chain.insert(*p);
    }
    return chain;
  };
  EXPECT_TRUE(checkPointChain(chainOf({{0, 0}, {1, 0}, {1, 1}, {0.49, 0}})));
  EXPECT_FALSE(checkPointChain(chainOf({{0, 0}, {1, 0}, {1, 1}, {0.5, 0}})));
  EXPECT_FALSE(checkPointChain(chainOf({{0, 0}, {1, 0}, {0, 0}})));
  EXPECT_EQ(notices.texts(),
            (Texts{std::string(text::kChainNotClosed), std::string(text::kChainTooShort)}));
}

}  // namespace
}  // namespace tarn
