// End-to-end runs of tarnpack on the bundled example libraries: every file is
// written and the figures of the JSON summary, Report.txt and the layout
// drawing agree; no two packed outlines overlap.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <set>

#include "layout_files.h"
#include "support/test_support.h"
#include "tarnpack_process.h"

namespace tarn::test {
namespace {

using nlohmann::json;

// Report.txt and the drawing write 6 significant digits.
void expectSixDigits(double written, double exact, const char* what) {
  EXPECT_NEAR(written, exact, std::abs(exact) * 5e-6 + 1e-9) << what;
}

// Decoded here with iconv alone, apart from the tool's own decoding.
std::string gbkToUtf8(const std::string& bytes) {
  iconv_t cd = iconv_open("UTF-8", "GBK");
  std::string in = bytes;
  std::string out(bytes.size() * 2 + 4, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1)) {
    return "<not GBK>";
  }
  out.resize(out.size() - outLeft);
  return out;
}

double valueAfter(const std::string& text, const std::string& key) {
  const std::size_t at = text.find(key);
  return at == std::string::npos ? NAN : std::strtod(text.c_str() + at + key.size(), nullptr);
}

bool rsvgAvailable() {
  return std::system("command -v rsvg-convert >/dev/null 2>&1") == 0;
}

struct ExampleCase {
  const char* label;
  const char* library;
  const char* format;
  int parts;
  double packingPointDistance;  // a tenth of the smallest part's shorter side, at least 30
  double plateLength;
  double plateWidth;
  double gap;
};

// The libraries' own headers; every part fits on its plate with room to spare.
// The smallest parts by net area: CLIP-120x50, OVAL-FL-2x14 and GUSSET-400
// (400 x 400), so the derived distances are 30, 30 and 40 mm.
const ExampleCase kExamples[] = {
    {"text library", "examples/brackets.txt", "text", 46, 30, 3000, 1500, 6},
    {"preSrc file", "examples/flanges.preSrc", "presrc", 36, 30, 2500, 1250, 8},
    {"part list file", "examples/panels.lst", "list", 23, 40, 6000, 2000, 10},
};

// Every check of one finished run on the files in `out`.
void checkRun(const ExampleCase& example, const json& summary, const std::string& layoutMode) {
  const std::filesystem::path out = "out";
  const double length = example.plateLength;
  const double width = example.plateWidth;

  EXPECT_EQ(summary["format"], example.format);
  EXPECT_EQ(summary["plate"]["length"], length);
  EXPECT_EQ(summary["plate"]["width"], width);
  EXPECT_EQ(summary["partGap"], example.gap);
  EXPECT_EQ(summary["rotationNumber"], 4);
  EXPECT_EQ(summary["packingPointDistance"], example.packingPointDistance);
  EXPECT_EQ(summary["allowTurnover"], true);
  EXPECT_TRUE(summary["warnings"].empty()) << summary["warnings"].dump();

  const json& parts = summary["parts"];
  ASSERT_EQ(parts.size(), static_cast<std::size_t>(example.parts));
  std::set<std::string> packedNames;
  int packedCount = 0;
  double packedArea = 0.0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const json& part = parts[i];
    EXPECT_EQ(part["id"], static_cast<int>(i));  // by id, every id once
    if (!part["packed"].get<bool>()) {
      continue;
    }
    ++packedCount;
    packedArea += part["area"].get<double>();
    packedNames.insert(part["name"].get<std::string>());
    const json& box = part["bbox"];
    EXPECT_GE(box[0].get<double>(), -1e-10);
    EXPECT_LE(box[1].get<double>(), length + 1e-10);
    EXPECT_GE(box[2].get<double>(), -1e-10);
    EXPECT_LE(box[3].get<double>(), width + 1e-10);
  }
  if (layoutMode == "all") {
    EXPECT_EQ(packedCount, example.parts);
  }
  EXPECT_EQ(summary["packedCount"], packedCount);
  EXPECT_EQ(packedNames.size(), static_cast<std::size_t>(packedCount)) << "names are unique";
  const double packedLength = summary["packedLength"];
  EXPECT_NEAR(summary["packedArea"].get<double>(), packedArea, packedArea * 1e-12);
  ASSERT_GT(packedLength, 0.0);
  EXPECT_LE(packedLength, length);
  const double utilisation = summary["utilisation"];
  EXPECT_NEAR(utilisation, packedArea / (packedLength * width), 1e-12);
  EXPECT_GT(utilisation, 0.0);
  EXPECT_LE(utilisation, 1.0);

  const ReportFigures report = readReport(readBytes(out / "Report.txt"));
  EXPECT_EQ(report.packedCount, packedCount);
  expectSixDigits(report.packedLength, packedLength, "report length");
  expectSixDigits(report.packedArea, packedArea, "report area");
  expectSixDigits(std::strtod(report.density.c_str(), nullptr), utilisation * 100.0,
                  "report density");
  EXPECT_TRUE(report.density.ends_with("%")) << report.density;
  std::set<std::string> reportNames;
  for (const std::string& name : report.names) {
    reportNames.insert(gbkToUtf8(name));
  }
  EXPECT_EQ(reportNames, packedNames);

  const LayoutDrawing drawing = readLayoutDrawing(readBytes(out / "layout.dxf"));
  EXPECT_EQ(drawing.plateLines, 4);
  ASSERT_EQ(drawing.infoTexts.size(), 3u);
  EXPECT_EQ(valueAfter(drawing.infoTexts[0], "Length="), length);
  EXPECT_EQ(valueAfter(drawing.infoTexts[0], "Width="), width);
  expectSixDigits(valueAfter(drawing.infoTexts[1], "PackingLength="), packedLength, "dxf length");
  EXPECT_NEAR(valueAfter(drawing.infoTexts[1], "MaterialUtilization="), utilisation * 100.0,
              0.0051);
  EXPECT_EQ(valueAfter(drawing.infoTexts[2], "Packed Parts Number="), packedCount);
  expectSixDigits(valueAfter(drawing.infoTexts[2], "Packed Parts Area="), packedArea, "dxf area");
  ASSERT_EQ(drawing.parts.size(), parts.size());

  std::vector<const DrawnPart*> packed;
  for (const DrawnPart& part : drawing.parts) {
    if (packedNames.count(gbkToUtf8(part.name)) > 0) {
      packed.push_back(&part);
    }
  }
  ASSERT_EQ(packed.size(), static_cast<std::size_t>(packedCount));
  for (const DrawnPart* part : packed) {
    SCOPED_TRACE(part->name);
    EXPECT_GE(part->xmin, 0.0);
    EXPECT_LE(part->xmax, packedLength + 1.0 + 1e-3);  // an arc bulges past its chords
    EXPECT_GE(part->ymin, 0.0);
    EXPECT_LE(part->ymax, width);
  }
  // The true outlines keep the part gap, less what the chord tolerance (1 mm
  // on each side) lets an arc bulge past the outline that was nested.
  const double minGap = example.gap - 2.0 - 0.05;
  for (std::size_t i = 0; i < packed.size(); ++i) {
    for (std::size_t j = i + 1; j < packed.size(); ++j) {
      SCOPED_TRACE(packed[i]->name + " / " + packed[j]->name);
      EXPECT_FALSE(partsOverlap(*packed[i], *packed[j]));
      EXPECT_GE(outlineDistance(*packed[i], *packed[j], example.gap), minGap);
    }
  }

  const std::string svg = readBytes(out / "layout.svg");
  EXPECT_TRUE(svg.starts_with("<?xml")) << svg.substr(0, 80);
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
  std::size_t paths = 0;
  for (std::size_t at = svg.find("<path "); at != std::string::npos;
       at = svg.find("<path ", at + 1)) {
    ++paths;
  }
  EXPECT_EQ(paths, parts.size());
  if (rsvgAvailable()) {
    EXPECT_EQ(std::system("rsvg-convert out/layout.svg -o out/layout.png"), 0);
    EXPECT_GT(std::filesystem::file_size(out / "layout.png"), 0u);
  }
  EXPECT_TRUE(std::filesystem::exists(out / "排样计算时间.txt"));
}

TEST(TarnpackExamples, EachFormatLoadsLaysOutAndWritesAgreeingFiles) {
  for (const ExampleCase& example : kExamples) {
    SCOPED_TRACE(example.label);
    ScratchDir scratch;
    const ProcessResult run = runTarnpackProcess({sourcePath(example.library).string(), "--json",
                                                  "--out", "out", "--error-report", "errors.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no warnings, and no progress line off a terminal
    checkRun(example, json::parse(run.out), "all");
    // Nothing rejected: the error report holds the run's time stamp alone, and
    // the preSrc check found nothing to report or repair.
    const std::string errors = readBytes("errors.txt");
    EXPECT_EQ(errors.find("\r\n"), errors.size() - 2) << errors;
    if (std::filesystem::exists("out/PackError.txt")) {
      EXPECT_EQ(std::filesystem::file_size("out/PackError.txt"), 0u);
    }
  }
}

TEST(TarnpackExamples, MultiStepLayoutKeepsThePartsApart) {
  ScratchDir scratch;
  const ProcessResult run =
      runTarnpackProcess({sourcePath("examples/brackets.txt").string(), "--layout", "multi",
                          "--json", "--out", "out", "--error-report", "errors.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  checkRun(kExamples[0], json::parse(run.out), "multi");
}

TEST(TarnpackExamples, ChineseNamesComeOutAsUtf8) {
  ScratchDir scratch;
  const ProcessResult run =
      runTarnpackProcess({sourcePath("examples/flanges.preSrc").string(), "--json", "--out", "out",
                          "--error-report", "errors.txt", "--layout", "none"});
  ASSERT_EQ(run.status, 0) << run.err;
  const json summary = json::parse(run.out);
  std::set<std::string> names;
  for (const json& part : summary["parts"]) {
    names.insert(part["name"].get<std::string>());
  }
  EXPECT_EQ(names.count("加强板-A"), 1u);
  EXPECT_EQ(names.count("加强板-B"), 1u);
  EXPECT_EQ(names.count("FL-DN200-PN16-1"), 1u);
}

}  // namespace
}  // namespace tarn::test
