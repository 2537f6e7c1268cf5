// Broken and hostile drawings: a clear problem naming the file, never a crash or a hang. The
// counts below crash libdxflib itself and the long line makes it read forever.
#include <gtest/gtest.h>

#include <cmath>
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
    std::string bytes;
    std::vector<DxfProblemKind> kinds;
    std::size_t parts;
  } rows[] = {
      {"empty", "", {K::NotAsciiDxf}, 0},
      {"binary DXF",
       std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "\x01\x02",
       {K::NotAsciiDxf},
       0},
      {"NUL bytes", entities(std::string("0\nLINE\n10\n1\0", 12)), {K::NotAsciiDxf}, 0},
      {"cut in a group", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10", {K::NotAsciiDxf}, 0},
      {"cut in a section", "0\nSECTION\n2\nENTITIES\n" + kCircle, {K::NotAsciiDxf}, 0},
      {"no outline", entities("0\nPOINT\n10\n1\n20\n1\n"), {K::NoOutline}, 0},
      // A vertex count of 2^30 overruns libdxflib's array; the three vertices are read.
      {"huge vertex count",
       entities("0\nLWPOLYLINE\n90\n1073741824\n70\n1\n10\n0\n20\n0\n10\n10\n20\n0\n10\n10\n20\n"
                "10\n"),
       {},
       1},
      // 3 * 1431655766 wraps to 2 in libdxflib; a spline of one control point is no spline.
      {"huge control point count",
       entities("0\nSPLINE\n71\n3\n72\n8\n73\n1431655766\n40\n0\n10\n0\n20\n0\n" + kCircle),
       {K::BadEntity},
       1},
      {"not a number",
       entities("0\nLINE\n10\nnan\n20\n0\n11\n10\n21\n0\n0\nLINE\n10\ninf\n20\n0\n" + kCircle),
       {K::BadEntity},
       1},
      {"1e308",
       entities("0\nCIRCLE\n10\n1e308\n20\n0\n40\n5\n0\nCIRCLE\n10\n0\n20\n0\n40\n1e308\n" +
                kCircle),
       {K::BadEntity},
       1},
      // Start and end parameters 2e300 apart: the whole ellipse, at once.
      {"ellipse parameters far apart",
       entities("0\nELLIPSE\n10\n100\n20\n0\n11\n10\n21\n0\n40\n0.5\n41\n-1e300\n42\n1e300\n" +
                kCircle),
       {},
       2},
      // Counting turns from 1e300 down to 0 would never end.
      {"ellipse ending 1e300 before its start",
       entities("0\nELLIPSE\n10\n100\n20\n0\n11\n10\n21\n0\n40\n0.5\n41\n1e300\n42\n0\n" + kCircle),
       {K::OpenContour},
       1},
      {"a line of 5000 bytes",
       entities("0\nTEXT\n1\n" + std::string(5000, 'x') + "\n" + kCircle),
       {},
       1},
      {"self insert",
       blocks("0\nBLOCK\n2\nA\n0\nINSERT\n2\na\n" + kCircle + "0\nENDBLK\n") +
           entities("0\nINSERT\n2\nA\n"),
       {K::BlockProblem},
       1},
      {"missing block", entities("0\nINSERT\n2\nNONE\n" + kCircle), {K::BlockProblem}, 1},
      {"blocks 100 deep",
       blocks(deep) + entities("0\nINSERT\n2\nD100\n" + kCircle),
       {K::BlockProblem},
       1},
      {"2^30 block copies", blocks(fanOut) + entities("0\nINSERT\n2\nB30\n"), {K::TooComplex}, 0},
      {"32767 x 32767 array",
       blocks("0\nBLOCK\n2\nE\n0\nENDBLK\n") +
           entities("0\nINSERT\n2\nE\n70\n32767\n71\n32767\n" + kCircle),
       {K::TooComplex},
       0},
      {"3D face and solid",
       entities("0\n3DFACE\n10\n0\n0\nSOLID\n10\n0\n0\n3DFACE\n" + kCircle),
       {K::SkippedEntity},
       1},
      {"mesh",
       entities("0\nPOLYLINE\n70\n64\n0\nVERTEX\n10\n0\n0\nSEQEND\n" + square),
       {K::BadEntity},
       1},
      {"annotations",
       entities("0\nDIMENSION\n2\n*D1\n0\nHATCH\n10\n0\n0\nPOINT\n10\n5\n0\nTEXT\n1\nhello\n0\n"
                "MTEXT\n1\nname\\Pnot a name\n" +
                square),
       {},
       1},
      {"unknown unit",
       "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n99\n0\nENDSEC\n" + entities(square),
       {K::UnknownUnit},
       1},
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
  for (const char* name : {"folder.dxf", "missing.dxf"}) {
    SCOPED_TRACE(name);
    const DxfImport result = importDxf(name);
    EXPECT_EQ(kindsOf(result), std::vector<DxfProblemKind>{DxfProblemKind::Unreadable});
  }
}

TEST(HostileDxf, JoinsManySegmentsShorterThanTheTolerance) {
  // A circle of radius 100 as 20000 LINEs of 0.031 mm, every second one reversed; the first and
  // last leave a 0.014 mm gap.
  constexpr int kSegments = 20000;
  const double pi = std::acos(-1.0);
  const auto x = [&](int i) { return 100.0 * std::cos(2.0 * pi * i / kSegments); };
  const auto y = [&](int i) {
    return 100.0 * std::sin(2.0 * pi * i / kSegments) - (i == kSegments ? 0.014 : 0.0);
  };
  std::string body;
  for (int i = 0; i < kSegments; ++i) {
    const int a = i + i % 2, b = i + 1 - i % 2;
    body += test::line(x(a), y(a), x(b), y(b));
  }
  const DxfImport result = importDxfBytes(entities(body), "fine.dxf");
  EXPECT_TRUE(result.problems.empty());
  ASSERT_EQ(result.parts.size(), 1u);
  EXPECT_NEAR(result.parts[0].source.area, pi * 10000.0, 0.1);
}

}  // namespace
}  // namespace tarn
