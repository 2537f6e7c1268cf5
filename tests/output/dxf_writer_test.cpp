#include "output/dxf_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "geometry/arc.h"
#include "output_fixtures.h"
#include "support/test_support.h"

namespace tarn {
namespace {

using test::crlfLines;

std::size_t countOf(const std::string& haystack, const std::string& needle) {
  std::size_t count = 0;
  for (std::size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

TEST(FormatNumber, WritesSixSignificantDigitsWithoutTrailingZeros) {
  struct Row {
    double value;
    const char* text;
  };
  const Row rows[] = {
      {250.0, "250"},          {0.1, "0.1"},
      {6000.0, "6000"},        {0.5, "0.5"},
      {1.0 / 3.0, "0.333333"}, {123.456789, "123.457"},
      {-2.5, "-2.5"},          {0.0, "0"},
      {999999.0, "999999"},    {1e6, "1e+06"},
      {0.0001, "0.0001"},      {0.00009, "9e-05"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(formatNumber(row.value), row.text);
  }
}

TEST(DxfWriter, WritesEachEntityWithItsFixedGroupCodes) {
  std::ostringstream out;
  DxfWriter dxf(out);
  dxf.beginEntities();
  dxf.line(0, Point{0, 0}, Point{6000, 0});
  dxf.colouredLine(1, 3, Point{1.5, 2}, Point{3, 4});
  dxf.arc(1, 2, Arc{Point{105, 100}, 5, 0, 180});
  dxf.text(2, TextLabel{"\xc1\xe3\xbc\xfe", 10, 20, 45, 80});  // a GBK name passes unchanged
  dxf.point(0, Point{1, 2});
  dxf.endFile();
  const std::string expected = crlfLines({
      "  0|SECTION|  2|ENTITIES|  0",
      "LINE|  8|0| 10|0| 20|0| 30|0.0| 11|6000| 21|0| 31|0.0|  0",
      "LINE|  8|1| 62|3| 10|1.5| 20|2| 30|0.0| 11|3| 21|4| 31|0.0|  0",
      "ARC|  8|1| 62|2| 10|105| 20|100| 30|0.0| 40|5| 50|0| 51|180|  0",
      "TEXT|  8|2| 10|10| 20|20| 30|0| 40|80|  1|\xc1\xe3\xbc\xfe| 50|45|  0",
      "POINT|  8|0| 10|1| 20|2| 30|0.0|  0",
      "ENDSEC|  0|EOF",
  });
  EXPECT_EQ(out.str(), expected);
}

TEST(DxfWriter, WritesEveryEdgeWithARadiusAsOneArc) {
  struct Row {
    const char* label;
    RadiusPolyline poly;
    int arcs;
    int lines;
  };
  const Row rows[] = {
      // Far below the chord tolerance: still an arc, not a chain of lines.
      {"tiny radius", test::outline({{0, 0}, {0.1, 0}, {0.1, 1}}, {0.06, 0, 0}), 1, 2},
      // Three hundred times the chord: an arc although discretising treats it as straight.
      {"flat arc", test::outline({{0, 0}, {10, 0}, {10, 10}}, {3000, 0, 0}), 1, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::ostringstream out;
    DxfWriter dxf(out);
    writeColouredOutline(dxf, kOutlineLayer, kUprightColour, row.poly);
    EXPECT_EQ(countOf(out.str(), "ARC\r\n"), static_cast<std::size_t>(row.arcs));
    EXPECT_EQ(countOf(out.str(), "LINE\r\n"), static_cast<std::size_t>(row.lines));
  }
}

// Moving a half circle leaves its chord a rounding error off the diameter.
TEST(DxfWriter, KeepsAMovedHalfCircleWithoutAWarning) {
  test::NoticeRecorder notices;
  const double pi = std::acos(-1.0);
  for (int step = 0; step < 36; ++step) {
    SCOPED_TRACE(step);
    RadiusPolyline poly = test::outline({{1234.5, 77.25}, {1244.5, 77.25}}, {-5, 0});
    rotate(poly, Point{13.7, -2.2}, step * pi / 18.0 + 0.1);
    std::ostringstream out;
    DxfWriter dxf(out);
    writeColouredOutline(dxf, kOutlineLayer, kUprightColour, poly);
    EXPECT_EQ(countOf(out.str(), "ARC\r\n"), 1u);
    EXPECT_NE(out.str().find(crlfLines({" 40|5"})), std::string::npos);
  }
  EXPECT_TRUE(notices.texts().empty());
}

}  // namespace
}  // namespace tarn
