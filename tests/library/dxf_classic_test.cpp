// Which drawings the classic reader keeps, and what one drawing of a part list
// gives by either reader.
#include "library/dxf_classic.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "library/drawing_parts.h"
#include "library/part_list.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;

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
  struct Row {
    const char* label;
    std::string bytes;
  } rows[] = {
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
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_FALSE(checkClassic(row.bytes).complete);
  }
}

TEST(ReadDrawingParts, ImportsTheOthersWithTheirArcsAndProblems) {
  const DrawingParts bracket = readDrawingParts(libraryData("drawings/r2000_lwpolyline.dxf"));
  EXPECT_FALSE(bracket.classic);
  ASSERT_EQ(bracket.parts.size(), 1u);
  ASSERT_EQ(bracket.sources.size(), 1u);
  EXPECT_EQ(bracket.parts[0].area, bracket.sources[0].area);
  EXPECT_EQ(bracket.parts[0].thickLabel.text, "3");

  // readDxfPart refuses a stray line; the import reads the closed square.
  const DrawingParts stray = readDrawingParts(libraryData("dxf/stray_line.dxf"));
  EXPECT_EQ(stray.parts.size(), 1u);
  EXPECT_EQ(stray.problems.size(), 1u);
}

}  // namespace
}  // namespace tarn
