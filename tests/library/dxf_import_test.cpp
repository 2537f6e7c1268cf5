// Drawings saved by CAD programs (make_drawings.py, ezdxf): areas by hand, arcs cut as arcByStep
// cuts them at a chord height of 1 mm: trunc(sweep / step) chords, step = 2 acos(1 - 1 / r), an
// arc over 179 degrees first halved.
#include "library/dxf_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::circle;
using test::entities;
using test::kindsOf;
using test::line;
using test::lwpolyline;
using test::square;
using test::Texts;

const double kPi = std::acos(-1.0);

std::filesystem::path drawing(const std::string& name) {
  return test::libraryData("drawings/" + name);
}

Texts namesOf(const DxfImport& result) {
  Texts names;
  for (const ImportedPart& part : result.parts) {
    names.push_back(part.source.nameLabel.text);
  }
  return names;
}

BBox boxOf(const PartSource& source) {
  return polylineToRegion(source.outer, source.chordTol).bbox;
}

TEST(ImportDxf, ReadsEachFixtureWithItsPartsNamesAndAreas) {
  // Inscribed regular polygons: n chords of a circle of radius r.
  auto polygon = [](int n, double r) { return 0.5 * n * r * r * std::sin(2.0 * kPi / n); };
  struct Row {
    const char* file;
    Texts names;
    std::vector<double> areas;
  } rows[] = {
      // clang-format off
      // 100 x 40 and two half circles of radius 20, each two quarters of 2 chords.
      {"r12_polyline_bulge.dxf", {"SLOT-1"}, {4000.0 + 2.0 * 0.5 * polygon(8, 20.0)}},
      // 120 x 80 less a circle of radius 10: three thirds of 2 chords each.
      {"r12_classic.dxf", {"PLATE"}, {9600.0 - polygon(6, 10.0)}},
      // Corners of radius 10 become one chord each (a 50 mm² triangle off each
      // corner); the hole of radius 8, four quarters of one chord, a square.
      {"r2000_lwpolyline.dxf", {"BRACKET"}, {6000.0 - 4.0 * 50.0 - 2.0 * 64.0}},
      {"r2000_inch.dxf", {"INCH"}, {4.0 * 25.4 * 2.0 * 25.4}},
      // The second has no text of its own; the third's text lies below it.
      {"r2000_several.dxf", {"LEFT", "r2000_several", "RIGHT"}, {1500.0, 1600.0, 600.0}},
      // A frame, and the plate in its hole with a hole of radius 20 (9 chords).
      {"r2000_part_in_hole.dxf", {"r2000_part_in_hole", "r2000_part_in_hole-2"},
       {40000.0 - 25600.0, 10000.0 - polygon(9, 20.0)}},
      // Fillets of radius 0.5 are their chords: 0.125 mm² off each corner.
      {"r2000_tiny_fillet.dxf", {"r2000_tiny_fillet"}, {3200.0 - 4.0 * 0.125}},
      // Parabola cut at t = k / 8 (the chord height halves down to 0.78 mm):
      // the trapezoid rule loses 100 * 400 / (12 * 64) of 2/3 * 100 * 50.
      {"r2018_spline.dxf", {"r2018_spline", "r2018_spline-2"},
       {2.0 / 3.0 * 5000.0 - 100.0 * 400.0 / 768.0, 1934.249478}},
      // Ellipses cut in equal parameter steps: 18 for half axes 60 and 30
      // (2 acos(1 - 1 / 60) = 0.365), 8 for the half ellipse of 40 and 20.
      {"r2018_ellipse.dxf", {"r2018_ellipse", "r2018_ellipse-2"},
       {0.5 * 18 * 60.0 * 30.0 * std::sin(2.0 * kPi / 18),
        0.5 * 8 * 40.0 * 20.0 * std::sin(kPi / 8)}},
      // Doubled: 80 x 80 less a hexagon of radius 10; single: 40 x 40 less a triangle of radius 5.
      {"r2018_insert.dxf", {"r2018_insert", "r2018_insert-2", "r2018_insert-3", "r2018_insert-4"},
       {6400.0 - polygon(6, 10.0), 6400.0 - polygon(6, 10.0), 1600.0 - polygon(3, 5.0),
        1600.0 - polygon(3, 5.0)}},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    const DxfImport result = importDxf(drawing(row.file));
    EXPECT_EQ(namesOf(result), row.names);
    ASSERT_EQ(result.parts.size(), row.areas.size());
    for (std::size_t i = 0; i < row.areas.size(); ++i) {
      EXPECT_NEAR(result.parts[i].source.area, row.areas[i], 1e-6) << "part " << i;
    }
  }
}

TEST(ImportDxf, KeepsArcsAsArcsWithTheirTurningSense) {
  const DxfImport bracket = importDxf(drawing("r2000_lwpolyline.dxf"));
  ASSERT_EQ(bracket.parts.size(), 1u);
  const PartSource& source = bracket.parts[0].source;
  // Counter-clockwise outer outline, starting with an arc: its four corners turn left by +10.
  const auto& radii = source.outer.radii;
  EXPECT_EQ(std::count(radii.begin(), radii.end(), 0.0) + 4, std::ssize(radii));
  EXPECT_EQ(
      std::count_if(radii.begin(), radii.end(), [](double r) { return std::fabs(r - 10) < 1e-9; }),
      4);
  EXPECT_NE(radii[0], 0.0);
  ASSERT_EQ(source.holes.count(), 1);
  for (const double r : source.holes.front().radii) {
    EXPECT_NEAR(r, -8.0, 1e-9);  // a clockwise hole
  }
  ASSERT_TRUE(bracket.parts[0].thickLabel);
  EXPECT_EQ(bracket.parts[0].thickLabel->text, "3");
  EXPECT_EQ(bracket.parts[0].thickLabel->x, 20.0);
}

TEST(ImportDxf, PlacesBlocksTurnedMirroredScaledAndNestedAndRefusesASelfInsert) {
  const DxfImport result = importDxf(drawing("r2018_insert.dxf"));
  ASSERT_EQ(result.parts.size(), 4u);
  struct Expected {
    double xmin, xmax, ymin, ymax;
  } boxes[] = {
      {-80.0, 0.0, 200.0, 280.0},  // PAIR at (0, 200), doubled and turned a quarter
      {-80.0, 0.0, 320.0, 400.0},  // its second BRKT, 60 along PAIR's x axis
      // Turned 30 degrees about (100, 50).
      {100.0 - 20.0, 100.0 + 40.0 * std::cos(kPi / 6), 50.0,
       50.0 + 20.0 + 40.0 * std::cos(kPi / 6)},
      {160.0, 200.0, 50.0, 90.0},  // mirrored: x scale -1 at (200, 50)
  };
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const BBox box = boxOf(result.parts[i].source);
    EXPECT_NEAR(box.xmin, boxes[i].xmin, 1e-9);
    EXPECT_NEAR(box.xmax, boxes[i].xmax, 1e-9);
    EXPECT_NEAR(box.ymin, boxes[i].ymin, 1e-9);
    EXPECT_NEAR(box.ymax, boxes[i].ymax, 1e-9);
  }
  ASSERT_EQ(kindsOf(result), std::vector<DxfProblemKind>{DxfProblemKind::BlockProblem});
  EXPECT_NE(result.problems[0].message.find(text::kDxfBlockCycle), std::string::npos);
  EXPECT_NE(result.problems[0].message.find("r2018_insert.dxf\": LOOP"), std::string::npos);
}

TEST(ImportDxf, ReportsAnOpenContourWithFileAndGapAndReadsTheRest) {
  const std::filesystem::path path = drawing("r2000_open_contour.dxf");
  const DxfImport result = importDxf(path);
  EXPECT_EQ(namesOf(result), Texts{"r2000_open_contour"});
  ASSERT_EQ(kindsOf(result), std::vector<DxfProblemKind>{DxfProblemKind::OpenContour});
  EXPECT_EQ(result.problems[0].message,
            drawingMessage(text::kDxfOpenContour, path, std::nullopt,
                           std::string(text::kDxfGapFrom) + "(100, 0)" +
                               std::string(text::kDxfGapTo) + "(100, 2)"));
}

TEST(ImportDxf, JoinsGapsBelowTheToleranceOnlyAndTheClosestEndsFirst) {
  struct Row {
    const char* label;
    double gap;
    std::size_t parts;
  } rows[] = {{"0.014 mm", 0.014, 1}, {"0.099 mm", 0.099, 1}, {"0.101 mm", 0.101, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const double g = row.gap;
    const DxfImport result = importDxfBytes(entities(line(0, 0, 10, 0) + line(10 + g, 0, 10, 10) +
                                                     line(10, 10, 0, 10) + line(0, 10, 0, 0)),
                                            "gap.dxf");
    EXPECT_EQ(result.parts.size(), row.parts);
  }
  // Squares touching at a corner: the coinciding ends are joined, not the stray 0.05 mm off.
  const DxfImport touching = importDxfBytes(
      entities(square(0, 0, 10) + square(10, 10, 10) + line(10.05, 10, 10.05, 30)), "t.dxf");
  EXPECT_EQ(touching.parts.size(), 2u);
  EXPECT_EQ(kindsOf(touching), std::vector<DxfProblemKind>{DxfProblemKind::OpenContour});
}

TEST(ImportDxf, NamesEveryOutlineAfterASingleNameTextAndNumbersRepeats) {
  const DxfImport one = importDxfBytes(entities(square(0, 0, 10) + square(20, 0, 10) +
                                                square(40, 0, 10) + test::text("name:W6", 5, -5)),
                                       "washers.dxf");
  EXPECT_EQ(namesOf(one), (Texts{"W6", "W6-2", "W6-3"}));
  // Two texts name their own outlines; the last text inside one wins.
  const DxfImport two =
      importDxfBytes(entities(square(0, 0, 10) + square(20, 0, 10) + square(40, 0, 10) +
                              test::text("name:A", 2, 2) + test::text("name:B", 22, 2) +
                              test::text("name:C", 24, 4)),
                     "plates.DXF");
  EXPECT_EQ(namesOf(two), (Texts{"A", "C", "plates"}));
  // A name of the longest label text keeps room for its number.
  const std::string longName(60, 'N');
  const DxfImport cut = importDxfBytes(
      entities(square(0, 0, 10) + square(20, 0, 10) + test::text("name:" + longName, 5, -5)),
      "c.dxf");
  ASSERT_EQ(cut.parts.size(), 2u);
  EXPECT_EQ(cut.parts[0].source.nameLabel.text, longName.substr(0, kLabelTextBytes));
  EXPECT_EQ(cut.parts[1].source.nameLabel.text, longName.substr(0, kLabelTextBytes - 2) + "-2");
}

// Found by fuzzing: an outline drawn twice made one copy a hole of the other (no area).
TEST(ImportDxf, KeepsOneCopyOfAnOutlineDrawnTwice) {
  const double bulge = std::tan(kPi / 8.0);  // a quarter circle
  // 100 x 60 with corners of radius r (10 and a rounding slip of it).
  const auto slot = [&](double r) {
    // clang-format off
    return lwpolyline({{r, 0, 0}, {100 - r, 0, bulge}, {100, r, 0}, {100, 60 - r, bulge},
                       {100 - r, 60, 0}, {r, 60, bulge}, {0, 60 - r, 0}, {0, r, bulge}});
    // clang-format on
  };
  struct Row {
    const char* label;
    std::string drawing;
    double area;
  } rows[] = {
      // clang-format off
      {"lines over a polyline", square(0, 0, 10) + lwpolyline({{0, 0, 0}, {10, 0, 0}, {10, 10, 0},
       {0, 10, 0}}), 100.0},
      {"a circle copied off by 0.0001", square(0, 0, 50) + circle(25, 25, 10) +
       circle(25.0001, 25, 10), 2500.0 - 0.5 * 6 * 100.0 * std::sin(2.0 * kPi / 6)},
      {"corners drawn again with a radius 0.004 larger", slot(10) + slot(10.004), 6000.0 - 200.0},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const DxfImport result = importDxfBytes(entities(row.drawing), "twice.dxf");
    EXPECT_TRUE(result.problems.empty());
    ASSERT_EQ(result.parts.size(), 1u);
    EXPECT_NEAR(result.parts[0].source.area, row.area, 1e-6);
  }
  // Outlines 0.2 mm apart are a frame, no copy.
  const DxfImport frame =
      importDxfBytes(entities(square(0, 0, 10) + square(0.2, 0.2, 9.6)), "frame.dxf");
  ASSERT_EQ(frame.parts.size(), 1u);
  EXPECT_NEAR(frame.parts[0].source.area, 100.0 - 9.6 * 9.6, 1e-9);
}

// Found by fuzzing: parts the load checks refuse, which a part list took in.
TEST(ImportDxf, LeavesOutAPartWithoutNetAreaAndSaysSo) {
  // A quarter circle of radius 7.07 is one chord at a 1 mm chord height: no area once nested.
  const std::string sliver = lwpolyline({{10, 0, std::tan(kPi / 8.0)}, {0, 0, 0}});
  // Two holes of radius 200 one millimetre apart in a disc of radius 220.
  const std::string overlapping = circle(0, 0, 220) + circle(0, 0, 200) + circle(-1, 0, 200);
  for (const std::string& drawing : {sliver, overlapping}) {
    const std::filesystem::path path = "bad.dxf";
    const DxfImport result = importDxfBytes(entities(drawing + square(-500, 0, 10)), path);
    ASSERT_EQ(namesOf(result), Texts{"bad"});  // the square; "bad-2" was left out
    EXPECT_EQ(result.parts[0].source.area, 100.0);
    ASSERT_EQ(kindsOf(result), std::vector<DxfProblemKind>{DxfProblemKind::NoNetArea});
    EXPECT_EQ(result.problems[0].message, drawingMessage(text::kDxfNoNetArea, path, std::nullopt,
                                                         std::string(text::kWherePart) + "bad-2" +
                                                             std::string(text::kWhereEnd)));
  }
}

}  // namespace
}  // namespace tarn
