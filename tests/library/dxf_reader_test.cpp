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

Point at(double x, double y) {
  Point p;
  p.x = x;
  p.y = y;
  return p;
}

TEST(ReadDxfPart, ChainsLinesWhoseCornersMeetWithinTheJoinRadius) {
  test::ScratchDir scratch;
  for (const auto& path :
       {libraryData("dxf/rect_gap04.dxf"), test::crlfCopy(libraryData("dxf/rect_gap04.dxf"))}) {
    SCOPED_TRACE(path.string());
    test::NoticeRecorder notices;
    Part part;
    ASSERT_TRUE(readDxfPart(part, path));
    EXPECT_TRUE(notices.texts().empty());
    // Chain order: the last point joined first, the first segment's start left out.
    const std::vector<std::pair<double, double>> expected = {
        {0.2, 0.1}, {0, 50}, {100, 50}, {100, 0}};
    ASSERT_EQ(part.outer.count(), 4);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(part.outer.points[i].x, expected[i].first) << i;
      EXPECT_EQ(part.outer.points[i].y, expected[i].second) << i;
    }
    EXPECT_EQ(part.holes.count(), 0);
    EXPECT_EQ(part.refPoint.x, 0.2);
    EXPECT_EQ(part.rotation, 0.0);
    EXPECT_EQ(part.bbox.xmax, 100.0);
    EXPECT_EQ(part.nameLabel.text, "empty text!");
  }
}

TEST(ReadDxfPart, FailsWithTheChainMessageWhenCornersAreFartherApart) {
  test::NoticeRecorder notices;
  Part part;
  EXPECT_FALSE(readDxfPart(part, libraryData("dxf/rect_gap06.dxf")));
  EXPECT_EQ(notices.texts(), std::vector<std::string>{std::string(text::kChainNotClosed)});
}

TEST(ReadDxfPart, AStrayLineFailsAsATooShortChain) {
  test::NoticeRecorder notices;
  Part part;
  EXPECT_FALSE(readDxfPart(part, libraryData("dxf/stray_line.dxf")));
  EXPECT_EQ(notices.texts(), std::vector<std::string>{std::string(text::kChainTooShort)});
}

TEST(ReadDxfPart, MakesACircleAHoleWhereverItIsDrawn) {
  for (const char* file : {"dxf/circle_hole_last.dxf", "dxf/circle_hole_first.dxf"}) {
    SCOPED_TRACE(file);
    Part part;
    ASSERT_TRUE(readDxfPart(part, libraryData(file)));
    EXPECT_EQ(part.outer.area, 10000.0);
    ASSERT_EQ(part.holes.count(), 1);
    const Region& hole = part.holes.front();
    // Chord height 1 on radius 10: six steps of about 51.7 degrees and a closing piece.
    EXPECT_EQ(hole.count(), 7);
    for (const Point& p : hole.points) {
      EXPECT_NEAR(std::hypot(p.x - 50, p.y - 50), 10.0, 1e-9);
    }
    EXPECT_DOUBLE_EQ(part.area, 10000.0 - hole.area);
  }
}

TEST(ReadDxfPart, ASingleCircleIsACircularPart) {
  Part part;
  ASSERT_TRUE(readDxfPart(part, libraryData("dxf/single_circle.dxf")));
  EXPECT_EQ(part.outer.count(), 7);
  EXPECT_EQ(part.holes.count(), 0);
  EXPECT_NEAR(part.bbox.xmax, 10.0, 1e-12);
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
  EXPECT_EQ(part.nameLabel.text, "P1");
  EXPECT_EQ(part.nameLabel.x, 10.0);
  EXPECT_EQ(part.nameLabel.y, 20.0);
  EXPECT_EQ(part.nameLabel.height, 5.0);
  EXPECT_EQ(part.nameLabel.angle, 30.0);
  EXPECT_EQ(part.thickLabel.text, "12");
  EXPECT_EQ(part.thickLabel.x, 1.0);
  EXPECT_EQ(part.thickLabel.angle, 0.0);  // no code 50: 0
}

TEST(AssembleLoops, NeedsThreeSegmentsAndIgnoresFewerLeftOver) {
  SegmentList two;
  two.insert(makeSegment(at(0, 0), at(1, 0)));
  two.insert(makeSegment(at(1, 0), at(0, 0)));
  RegionList regions;
  EXPECT_FALSE(assembleLoops(two, regions));

  // A triangle, then two loose segments that no longer form a chain of three.
  SegmentList segments;
  segments.insert(makeSegment(at(50, 50), at(60, 50)));
  segments.insert(makeSegment(at(70, 70), at(80, 70)));
  segments.insert(makeSegment(at(0, 10), at(0, 0)));
  segments.insert(makeSegment(at(10, 0), at(0, 10)));
  segments.insert(makeSegment(at(0, 0), at(10, 0)));
  EXPECT_TRUE(assembleLoops(segments, regions));
  ASSERT_EQ(regions.count(), 1);
  EXPECT_EQ(regions.front().area, 50.0);
  EXPECT_EQ(segments.count(), 2);
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
  EXPECT_TRUE(checkPointChain(chainOf({at(0, 0), at(1, 0), at(1, 1), at(0.49, 0)})));
  EXPECT_FALSE(checkPointChain(chainOf({at(0, 0), at(1, 0), at(1, 1), at(0.5, 0)})));
  EXPECT_FALSE(checkPointChain(chainOf({at(0, 0), at(1, 0), at(0, 0)})));
  EXPECT_EQ(notices.texts(), (std::vector<std::string>{std::string(text::kChainNotClosed),
                                                       std::string(text::kChainTooShort)}));
}

TEST(PickOuterLoop, TakesTheFirstLargestAndRefusesZeroAreas) {
  const auto region = [](std::vector<Point> points) {
    Region r;
    setPoints(r, points);
    return r;
  };
  RegionList flat;
  flat.insert(region({at(0, 0), at(5, 0), at(10, 0)}));
  Part empty;
  EXPECT_FALSE(pickOuterLoop(empty, flat));
  EXPECT_EQ(empty.outer.count(), 0);

  RegionList regions;
  regions.insert(region({at(0, 0), at(2, 0), at(2, 2), at(0, 2)}));
  regions.insert(region({at(5, 5), at(9, 5), at(9, 9), at(5, 9)}));
  regions.insert(region({at(0, 0), at(4, 0), at(4, 4), at(0, 4)}));
  Part part;
  ASSERT_TRUE(pickOuterLoop(part, regions));
  EXPECT_EQ(part.outer.points[0].x, 0.0);  // the first of the two 16s in list order
  EXPECT_EQ(part.holes.count(), 2);
}

}  // namespace
}  // namespace tarn
