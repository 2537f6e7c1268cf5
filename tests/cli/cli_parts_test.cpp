// The pieces of tarnpack in process: format detection, option parsing, text
// decoding, the failure messages, the layout summary and the picture.
#include <gtest/gtest.h>

#include <sstream>

#include "app/job_operations.h"
#include "cli/layout_svg.h"
#include "cli/options.h"
#include "cli/run.h"
#include "cli/text_encoding.h"
#include "geometry/part.h"
#include "layout_files.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "output/layout_summary.h"
#include "support/test_support.h"

namespace tarn::test {
namespace {

using cli::detectLibraryFormat;

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(DetectLibraryFormat, NameThenContentDecide) {
  const struct {
    const char* label;
    const char* file;
    const char* content;
    LibraryFormat expected;
  } cases[] = {
      {"preSrc by its name, any case", "job.PRESRC", "NAME P\n", LibraryFormat::PreSrcFile},
      {"NAME at a line start", "a.dat", "Plate length:1\nNAME P\n", LibraryFormat::TextLibrary},
      {"#end alone", "b.dat", "header\n#end", LibraryFormat::TextLibrary},
      {"CR LF lines", "c.dat", "x\r\nNAME P\r\n", LibraryFormat::TextLibrary},
      {"NAME inside a line", "d.lst", "Plate length:1\nparts NAME\n", LibraryFormat::PartListFile},
      {"lower-case name", "e.lst", "name P\n#END\n", LibraryFormat::PartListFile},
      {"a list file", "f.lst", "Plate length:1\nPlate width:1\nPart distance:0\nparts\n",
       LibraryFormat::PartListFile},
      {"preSrc only inside the name", "g.preSrc.txt", "parts\n", LibraryFormat::PartListFile},
      {"empty file", "h.txt", "", LibraryFormat::PartListFile},
  };
  ScratchDir scratch;
  for (const auto& row : cases) {
    SCOPED_TRACE(row.label);
    writeBytes(row.file, row.content);
    EXPECT_EQ(detectLibraryFormat(row.file), row.expected);
  }
  // The text reader's message names the trouble best when nothing can be read.
  EXPECT_EQ(detectLibraryFormat("missing.lst"), LibraryFormat::TextLibrary);
}

TEST(ParseCommandLine, DefaultsAndGivenValues) {
  std::ostringstream out;
  std::ostringstream err;
  const char* plain[] = {"tarnpack", "lib.txt"};
  const cli::ParseResult defaults = cli::parseCommandLine(2, plain, out, err);
  ASSERT_TRUE(defaults.options);
  EXPECT_EQ(defaults.options->library, "lib.txt");
  EXPECT_FALSE(defaults.options->format);
  EXPECT_EQ(defaults.options->layout, cli::LayoutMode::All);
  EXPECT_FALSE(defaults.options->rotationNumber);
  EXPECT_FALSE(defaults.options->packingPointDistance);
  EXPECT_EQ(defaults.options->outDir, ".");
  EXPECT_EQ(defaults.options->dxfPath, "layout.dxf");
  EXPECT_FALSE(defaults.options->errorReport);
  EXPECT_FALSE(defaults.options->json || defaults.options->quiet || defaults.options->exportParts);

  const char* full[] = {
      "tarnpack", "--format",       "presrc", "--layout", "multi", "--rn",  "8",
      "--ppd",    "12.5",           "--out",  "o",        "--dxf", "d.dxf", "--error-report",
      "e.txt",    "--export-parts", "--json", "--quiet",  "x"};
  const cli::ParseResult given = cli::parseCommandLine(19, full, out, err);
  ASSERT_TRUE(given.options) << err.str();
  EXPECT_EQ(given.options->format, LibraryFormat::PreSrcFile);
  EXPECT_EQ(given.options->layout, cli::LayoutMode::Multi);
  EXPECT_EQ(given.options->rotationNumber, 8);
  EXPECT_EQ(given.options->packingPointDistance, 12.5);
  EXPECT_EQ(given.options->outDir, "o");
  EXPECT_EQ(given.options->dxfPath, "d.dxf");
  EXPECT_EQ(given.options->errorReport, "e.txt");
  EXPECT_TRUE(given.options->json && given.options->quiet && given.options->exportParts);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "");

  const char* limits[] = {"tarnpack", "--rn", "361", "x"};
  const cli::ParseResult tooMany = cli::parseCommandLine(4, limits, out, err);
  EXPECT_FALSE(tooMany.options);
  EXPECT_EQ(tooMany.exitCode, 2);
}

TEST(ToUtf8, KeepsUtf8AndDecodesGbk) {
  const struct {
    const char* label;
    std::string bytes;
    std::string expected;
  } cases[] = {
      {"ASCII", "P-01", "P-01"},
      {"UTF-8", "加强板", "加强板"},
      {"GBK", "\xbc\xd3\xc7\xbf\xb0\xe5", "加强板"},
      {"GBK after ASCII", "SQ-\xbc\xd3", "SQ-加"},
      {"a byte GBK has not",
       "A\xff"
       "B",
       "A\xef\xbf\xbd"
       "B"},
      {"GBK cut at the end", "P\xbc", "P\xef\xbf\xbd"},
      {"empty", "", ""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(cli::toUtf8(row.bytes), row.expected);
  }
  // Overlong forms and surrogates are not UTF-8; whatever they decode to is.
  for (const std::string bytes : {"\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\x80"}) {
    EXPECT_FALSE(cli::isValidUtf8(bytes));
    EXPECT_TRUE(cli::isValidUtf8(cli::toUtf8(bytes)));
  }
}

TEST(XmlEscape, EscapesMarkupAndControlCharacters) {
  EXPECT_EQ(cli::xmlEscape("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;");
  EXPECT_EQ(cli::xmlEscape("x\x01y\tz"), "x y\tz");
  EXPECT_EQ(cli::xmlEscape("法兰"), "法兰");
}

TEST(DescribeFailure, AddsTheEnglishGloss) {
  EXPECT_EQ(cli::describeFailure("包围盒大小为零!"),
            "包围盒大小为零! (the plate has a zero length or width)");
  // A drawing's message carries its path between the quotes.
  EXPECT_EQ(cli::describeFailure("零件\"/p/a.dxf\"读取失败!"),
            "零件\"/p/a.dxf\"读取失败! (a part drawing could not be read and was skipped)");
  EXPECT_EQ(cli::describeFailure("report file open error!"), "report file open error!");
  EXPECT_EQ(cli::describeFailure("P\xbc\xd3"), "P加");
}

// A loaded job whose error report goes nowhere.
struct LoadedJob {
  std::ostringstream errors;
  PackingJob job{errors};

  explicit LoadedJob(const std::string& fixture) {
    openLibrary(job, dataPath("cli/" + fixture), nullptr, LibraryFormat::TextLibrary);
  }
};

TEST(SummariseLayout, MeasuresTheTrueOutlinesOfThePackedParts) {
  ScratchDir scratch;  // the layout writes its timing file here
  LoadedJob loaded("squares.txt");
  PackingJob& job = loaded.job;

  const LayoutSummary waiting = SummariseLayout(job);
  EXPECT_EQ(waiting.packedCount, 0);
  EXPECT_EQ(waiting.packedLength, 0.0);
  EXPECT_EQ(waiting.packedArea, 0.0);
  EXPECT_FALSE(waiting.utilisation);

  LayoutAll(job, false);
  const LayoutSummary packed = SummariseLayout(job);
  EXPECT_EQ(packed.packedCount, 3);
  EXPECT_NEAR(packed.packedArea, 10700.0, 1e-9);
  // Square outlines grown by half the 4 mm gap: the true outline ends 2 mm
  // inside the working copy that reaches furthest.
  double workingXmax = 0.0;
  for (const Part& part : job.workingParts) {
    workingXmax = std::max(workingXmax, part.bbox.xmax);
  }
  EXPECT_NEAR(packed.packedLength, workingXmax - 2.0, 1e-9);
  ASSERT_TRUE(packed.utilisation);
  EXPECT_NEAR(*packed.utilisation, 10700.0 / (packed.packedLength * 200.0), 1e-12);

  // A part pushed across the plate's right edge no longer counts.
  Part& moved = job.workingParts.front();
  const double area = *TrueNetArea(job, moved.id);
  translate(moved, 400.0 - moved.bbox.xmin - 1.0, 0.0);
  const LayoutSummary straddling = SummariseLayout(job);
  EXPECT_EQ(straddling.packedCount, 2);
  EXPECT_NEAR(straddling.packedArea, 10700.0 - area, 1e-9);
}

TEST(LayoutSvg, DrawsArcsAsTheyTurnWithTheWindowColours) {
  LoadedJob loaded("quarter_disc.txt");
  PackingJob& job = loaded.job;

  // Counter-clockwise on the plate is clockwise on the y-down picture.
  std::string svg = cli::LayoutSvg(job, SummariseLayout(job));
  EXPECT_EQ(occurrences(svg, " A100,100 0 0 0 "), 1u) << svg;
  EXPECT_EQ(occurrences(svg, "stroke=\"#00ff00\""), 1u);
  EXPECT_NE(svg.find("y=\"-200\" width=\"400\" height=\"200\""), std::string::npos);
  EXPECT_NE(svg.find(">QUARTER</text>"), std::string::npos);
  EXPECT_NE(svg.find("Utilisation unknown"), std::string::npos);
  EXPECT_EQ(svg.find("packed-length"), std::string::npos);

  SelectAll(job);
  TurnOverFirstSelected(job);
  svg = cli::LayoutSvg(job, SummariseLayout(job));
  EXPECT_EQ(occurrences(svg, " A100,100 0 0 1 "), 1u) << svg;
  EXPECT_EQ(occurrences(svg, "stroke=\"#ff0000\""), 1u);

  SelectNone(job);
  job.workingParts.front().nameLabel.text = "A&B<\xbc\xd3>";
  svg = cli::LayoutSvg(job, SummariseLayout(job));
  EXPECT_EQ(occurrences(svg, "stroke=\"#ffff00\""), 1u);
  EXPECT_NE(svg.find(">A&amp;B&lt;加&gt;</text>"), std::string::npos) << svg;
}

// The overlap check of the end-to-end tests must see what it is meant to see.
TEST(PartsOverlapCheck, TellsTouchingHoledAndNestedParts) {
  const auto square = [](double x, double y, double side) {
    return Polygon{{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
  };
  const auto part = [](std::vector<Polygon> loops) {
    DrawnPart drawn;
    drawn.loops = std::move(loops);
    return drawn;
  };
  const DrawnPart frame = part({square(0, 0, 100), square(20, 20, 60)});
  EXPECT_TRUE(partsOverlap(frame, part({square(90, 90, 50)})));   // corners cross
  EXPECT_FALSE(partsOverlap(frame, part({square(100, 0, 50)})));  // edges touch
  EXPECT_FALSE(partsOverlap(frame, part({square(30, 30, 40)})));  // inside the hole
  EXPECT_TRUE(partsOverlap(frame, part({square(5, 5, 10)})));     // inside the material
  EXPECT_TRUE(partsOverlap(part({square(5, 5, 10)}), frame));
  EXPECT_NEAR(outlineDistance(frame, part({square(30, 30, 40)}), 50.0), 10.0, 1e-12);
  EXPECT_EQ(outlineDistance(frame, part({square(300, 0, 10)}), 50.0), 50.0);
}

}  // namespace
}  // namespace tarn::test
