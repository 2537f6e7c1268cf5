#include "library/dxf_reader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using test::Texts;

TEST(ReadDxfPart, ChainsLinesWhoseCornersMeetWithinTheJoinRadius) {
  test::ScratchDir scratch;
  for (const auto& path : test::withCrLfCopy("dxf/rect_gap04.dxf")) {
    SCOPED_TRACE(path.string());
    Part part;
    ASSERT_TRUE(readDxfPart(part, path));
    // Chain order: the last point joined first; the first segment's start is left out.
    EXPECT_EQ(test::coordinates(part.outer.points),
              (std::vector<double>{0.2, 0.1, 0, 50, 100, 50, 100, 0}));
    EXPECT_EQ(part.holes.count(), 0);
    EXPECT_EQ(part.refPoint.x, 0.2);
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
    EXPECT_NEAR(part.holes.front().bbox.xmax, 60.0, 1e-9);  // the circle of radius 10 at (50, 50)
    EXPECT_DOUBLE_EQ(part.area, 10000.0 - part.holes.front().area);
  }
  Part circle;
  ASSERT_TRUE(readDxfPart(circle, libraryData("dxf/single_circle.dxf")));
  EXPECT_EQ(circle.outer.count(), 7);
}

TEST(ReadDxfPart, ReadsAnArcAcrossZeroDegreesTheShortWayAndPrefixedTexts) {
  Part arc;
  ASSERT_TRUE(readDxfPart(arc, libraryData("dxf/arc_wrap.dxf")));
  // 350 to 370 degrees in three pieces, closed by the chord.
  ASSERT_EQ(arc.outer.count(), 4);
  for (const Point& p : arc.outer.points) {
    EXPECT_NEAR(std::hypot(p.x, p.y), 1000.0, 1e-5);
    EXPECT_GT(p.x, 984.0);
  }
  Part part;
  ASSERT_TRUE(readDxfPart(part, libraryData("dxf/labels.dxf")));
  const TextLabel& name = part.nameLabel;
  EXPECT_EQ(std::vector<double>({name.x, name.y, name.height, name.angle}),
            (std::vector<double>{10, 20, 5, 30}));
  EXPECT_EQ(name.text, "P1");  // "Name:X" is not a name
  EXPECT_EQ(part.thickLabel.text, "12");
  EXPECT_EQ(part.thickLabel.angle, 0.0);  // no code 50
}

}  // namespace
}  // namespace tarn
