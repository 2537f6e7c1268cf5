// readDxfPart, and which drawings the classic path keeps for it.
#include "library/dxf_classic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

#include "geometry/texts.h"
#include "library/drawing_parts.h"
#include "library/dxf_reader.h"
#include "library/part_list.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using test::Texts;

std::string classicDrawing() {
  return test::readBytes(libraryData("drawings/r12_classic.dxf"));
}

std::string replaced(std::string bytes, const std::string& from, const std::string& to) {
  const std::size_t at = bytes.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? bytes : bytes.replace(at, from.size(), to);
}

// The ENTITIES section of the classic drawing with `extra` added at its end.
std::string withEntities(const std::string& extra) {
  return replaced(classicDrawing(), "  0\nENDSEC\n  0\nEOF", extra + "  0\nENDSEC\n  0\nEOF");
}

TEST(CheckClassic, KeepsTheDrawingsThatReadDxfPartReadsWhole) {
  std::vector<std::filesystem::path> drawings = {
      libraryData("drawings/r12_classic.dxf"), libraryData("drawings/r12_gaps.dxf"),
      libraryData("dxf/arc_wrap.dxf"),         libraryData("dxf/circle_hole_first.dxf"),
      libraryData("dxf/labels.dxf"),           libraryData("dxf/single_circle.dxf")};
  for (const auto& path : findDrawings(test::sourcePath("examples/panels"))) {
    drawings.push_back(path);
  }
  for (const auto& path : drawings) {
    SCOPED_TRACE(path.string());
    EXPECT_TRUE(classicReadsCompletely(path));
  }
  // Entities without sections, ended by the file: readDxfPart reads them too.
  EXPECT_TRUE(classicReadsCompletely(libraryData("partlist/three/c.dxf")));
  std::string bare = classicDrawing();
  bare = bare.substr(bare.find("  0\nLINE\n"));
  bare = bare.substr(0, bare.find("  0\nENDSEC\n"));
  EXPECT_TRUE(checkClassic(bare).complete);
  EXPECT_FALSE(checkClassic(bare + "  0\nENDSEC\n  0\nEOF\n").complete);
  // The header's units do not take a drawing off the classic path, whose
  // millimetres a job of such drawings has always had.
  EXPECT_TRUE(checkClassic(replaced(classicDrawing(), "  0\nENDSEC\n",
                                    "  9\n$INSUNITS\n 70\n1\n  0\nENDSEC\n"))
                  .complete);
}

TEST(CheckClassic, LeavesToTheImportWhatReadDxfPartWouldMisread) {
  const std::string arc = "  0\nARC\n 10\n200.0\n 20\n0.0\n 40\n";
  const std::pair<const char*, std::string> rows[] = {
      {"codes not right-aligned",
       std::regex_replace(classicDrawing(), std::regex(" +(\\d+)\n"), "$1\n")},
      {"an LWPOLYLINE", withEntities("  0\nLWPOLYLINE\n 90\n2\n 10\n0\n 20\n0\n 10\n1\n 20\n1\n")},
      {"a layer named LINE", replaced(classicDrawing(), "  2\n0\n 70\n", "  2\nLINE\n 70\n")},
      {"an arc below the chord tolerance", withEntities(arc + "0.5\n 50\n0\n 51\n90\n")},
      {"a circle cut in steps above 120 degrees",
       withEntities("  0\nCIRCLE\n 10\n60\n 20\n40\n 40\n1.5\n")},
      {"a second part", withEntities("  0\nCIRCLE\n 10\n300\n 20\n40\n 40\n10\n")},
      {"a part in a hole", withEntities("  0\nCIRCLE\n 10\n30\n 20\n40\n 40\n5\n")},
      {"an arc seen from below",
       replaced(classicDrawing(), "  0\nCIRCLE\n", "  0\nCIRCLE\n210\n0\n220\n0\n230\n-1\n")},
      {"a stray line", withEntities("  0\nLINE\n 10\n200\n 20\n0\n 11\n210\n 21\n0\n")},
      {"a number readDxfPart refuses",
       replaced(classicDrawing(), "40.0\n 30\n0.0\n 40\n10.0\n", "40.0\n 30\n0.0\n 40\nnan\n")},
      {"cut short", classicDrawing().substr(0, classicDrawing().size() / 2)},
  };
  ASSERT_TRUE(checkClassic(classicDrawing()).complete);
  for (const auto& [label, bytes] : rows) {
    EXPECT_FALSE(checkClassic(bytes).complete) << label;
  }
}

TEST(ReadDxfPart, ChainsLinesWhoseCornersMeetWithinTheJoinRadius) {
  test::ScratchDir scratch;
  for (const auto& path : test::withCrLfCopy("dxf/rect_gap04.dxf")) {
    SCOPED_TRACE(path.string());
    Part part;
    ASSERT_TRUE(readDxfPart(part, path));
    // Chain order: the last point joined first; the first segment's start is left out.
    EXPECT_EQ(test::coordinates(part.outer.points),
              (std::vector<double>{0.2, 0.1, 0, 50, 100, 50, 100, 0}));
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
