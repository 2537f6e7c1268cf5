// Broken and hostile drawings: a clear problem naming the file, never a crash or a hang. The
// counts below crash libdxflib itself and the long line makes it read forever.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geometry/texts.h"
#include "library/dxf_import.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::entities;
using test::kindsOf;

std::string blocks(const std::string& body) {
  return "0\nSECTION\n2\nBLOCKS\n" + body + "0\nENDSEC\n";
}

const std::string kCircle = test::circle(0, 0, 5);

TEST(HostileDxf, EndsInAClearProblemNamingTheFile) {
  using K = DxfProblemKind;
  // Thirty blocks, each inserting the one below twice: 2^30 copies of a
  // polyline of a thousand edges.
  std::string fanOut = "0\nBLOCK\n2\nB0\n0\nLWPOLYLINE\n";
  for (int k = 0; k < 1000; ++k) {
    fanOut += "10\n" + std::to_string(k) + "\n20\n" + std::to_string(k % 2) + "\n";
  }
  fanOut += "0\nENDBLK\n";
  for (int k = 1; k <= 30; ++k) {
    const std::string inner = "B" + std::to_string(k - 1);
    fanOut += "0\nBLOCK\n2\nB" + std::to_string(k) + "\n0\nINSERT\n2\n" + inner +
              "\n0\nINSERT\n2\n" + inner + "\n10\n20\n0\nENDBLK\n";
  }
  std::string deep = "0\nBLOCK\n2\nD0\n" + kCircle + "0\nENDBLK\n";
  for (int k = 1; k <= 100; ++k) {
    deep += "0\nBLOCK\n2\nD" + std::to_string(k) + "\n0\nINSERT\n2\nD" + std::to_string(k - 1) +
            "\n10\n1\n0\nENDBLK\n";
  }
  const std::string square = test::square(0, 0, 9);
  struct Row {
    const char* label;
    std::vector<DxfProblemKind> kinds;
    std::size_t parts;
    std::string bytes;
  } rows[] = {
      // clang-format off
      {"empty", {K::NotAsciiDxf}, 0, ""},
      {"binary DXF", {K::NotAsciiDxf}, 0,
       std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "\x01\x02"},
      {"NUL bytes", {K::NotAsciiDxf}, 0, entities(std::string("0\nLINE\n10\n1\0", 12))},
      {"cut in a group", {K::NotAsciiDxf}, 0, "0\nSECTION\n2\nENTITIES\n0\nLINE\n10"},
      // A vertex count of 2^30 overruns libdxflib's array; the three vertices are read.
      {"huge vertex count", {}, 1,
       entities("0\nLWPOLYLINE\n90\n1073741824\n70\n1\n10\n0\n20\n0\n10\n10\n20\n0\n10\n10\n20\n"
           "10\n")},
      // 3 * 1431655766 wraps to 2 in libdxflib; a spline of one control point is no spline.
      {"huge control point count", {K::BadEntity}, 1,
       entities("0\nSPLINE\n71\n3\n72\n8\n73\n1431655766\n40\n0\n10\n0\n20\n0\n" + kCircle)},
      {"1e308", {K::BadEntity}, 1,
       entities("0\nCIRCLE\n10\n1e308\n20\n0\n40\n5\n0\nCIRCLE\n10\n0\n20\n0\n40\n1e308\n"
           + kCircle)},
      // Start and end parameters 2e300 apart: the whole ellipse, at once.
      {"ellipse parameters far apart", {}, 2,
       entities("0\nELLIPSE\n10\n100\n20\n0\n11\n10\n21\n0\n40\n0.5\n41\n-1e300\n42\n1e300\n"
           + kCircle)},
      // Counting turns from 1e300 down to 0 would never end.
      {"ellipse ending 1e300 before its start", {K::OpenContour}, 1,
       entities("0\nELLIPSE\n10\n100\n20\n0\n11\n10\n21\n0\n40\n0.5\n41\n1e300\n42\n0\n"
           + kCircle)},
      {"a line of 5000 bytes", {}, 1,
       entities("0\nTEXT\n1\n" + std::string(5000, 'x') + "\n" + kCircle)},
      {"missing block", {K::BlockProblem}, 1, entities("0\nINSERT\n2\nNONE\n" + kCircle)},
      {"blocks 100 deep", {K::BlockProblem}, 1,
       blocks(deep) + entities("0\nINSERT\n2\nD100\n" + kCircle)},
      {"2^30 block copies", {K::TooComplex}, 0, blocks(fanOut) + entities("0\nINSERT\n2\nB30\n")},
      {"32767 x 32767 array", {K::TooComplex}, 0,
       blocks("0\nBLOCK\n2\nE\n0\nENDBLK\n")
           + entities("0\nINSERT\n2\nE\n70\n32767\n71\n32767\n" + kCircle)},
      {"3D face and solid", {K::SkippedEntity}, 1,
       entities("0\n3DFACE\n10\n0\n0\nSOLID\n10\n0\n0\n3DFACE\n" + kCircle)},
      {"annotations", {}, 1,
       entities("0\nDIMENSION\n2\n*D1\n0\nHATCH\n10\n0\n0\nPOINT\n10\n5\n0\nTEXT\n1\nhello\n0\n"
           "MTEXT\n1\nname\\Pnot a name\n" + square)},
      {"unknown unit", {K::UnknownUnit}, 1,
       "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n99\n0\nENDSEC\n" + entities(square)},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const DxfImport result = importDxfBytes(row.bytes, "hostile.dxf");
    EXPECT_EQ(kindsOf(result), row.kinds);
    EXPECT_EQ(result.parts.size(), row.parts);
    for (const DxfProblem& problem : result.problems) {
      EXPECT_NE(problem.message.find("\"hostile.dxf\""), std::string::npos) << problem.message;
    }
  }
}

TEST(HostileDxf, NamesTheLineOfAFailureOrOfAnUnusableNumber) {
  const DxfImport cut = importDxfBytes("0\nSECTION\n2\nENTITIES\n0\nLINE\n10", "cut.dxf");
  ASSERT_EQ(cut.problems.size(), 1u);
  EXPECT_EQ(cut.problems[0].message, drawingMessage(text::kDxfTruncated, "cut.dxf", 7));
  const DxfImport nan =
      importDxfBytes(entities(kCircle + "0\nLINE\n10\n0\n20\nnan\n0\nLINE\n20\nnan\n"), "nan.dxf");
  ASSERT_EQ(nan.problems.size(), 1u);
  EXPECT_EQ(nan.problems[0].message,
            drawingMessage(text::kDxfUnusableNumber, "nan.dxf", 17, " (2)"));
}

TEST(HostileDxf, ListsTenSkippedKindsAndCountsTheRest) {
  // A kind per entity would otherwise make the list, and its search, grow with the file.
  std::string body = kCircle;
  for (int k = 0; k < 12; ++k) {
    body += "0\nKIND" + std::to_string(k) + "\n10\n0\n";
  }
  const DxfImport result = importDxfBytes(entities(body), "kinds.dxf");
  ASSERT_EQ(kindsOf(result), std::vector<DxfProblemKind>{DxfProblemKind::SkippedEntity});
  const std::string& message = result.problems[0].message;
  EXPECT_NE(message.find(": KIND0 (1), KIND1 (1)"), std::string::npos) << message;
  EXPECT_EQ(message.substr(message.size() - 18), "KIND9 (1), ... (2)");
}

TEST(HostileDxf, RefusesWhatIsNoRegularFile) {
  test::ScratchDir scratch;
  std::filesystem::create_directory("folder.dxf");
  EXPECT_EQ(kindsOf(importDxf("folder.dxf")), std::vector{DxfProblemKind::Unreadable});
  EXPECT_EQ(kindsOf(importDxf("missing.dxf")), std::vector{DxfProblemKind::Unreadable});
}

}  // namespace
}  // namespace tarn
