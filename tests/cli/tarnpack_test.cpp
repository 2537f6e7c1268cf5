// tarnpack's pieces in process; then the built tool end to end, its files read
// apart from the core: the bundled examples, summary, warnings, progress, failures.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <tuple>
#include <utility>
#include <vector>

#include "cli/layout_svg.h"
#include "cli/text_encoding.h"
#include "job/job_operations.h"
#include "library/library_loader.h"
#include "output/layout_summary.h"
#include "support/test_support.h"

namespace tarn::test {
namespace {

struct ProcessResult {
  int status = -1;  // exit status, -1 when the program did not exit normally
  std::string out;
  std::string err;  // empty on a terminal, where both outputs share `out`
};

// tarnpack run here, input empty, outputs apart or on a pseudo-terminal (`script`).
ProcessResult runTarnpack(const std::vector<std::string>& args, bool onTerminal = false) {
  // Single quotes keep every byte but the quote itself, which is spliced in.
  const auto quoted = [](const std::string& arg) {
    std::string text = "'";
    for (const char c : arg) {
      text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
  };
  std::string command = quoted(TARNPACK_PATH);
  for (const std::string& arg : args) {
    command += ' ' + quoted(arg);
  }
  const std::string out = std::filesystem::absolute(".tarnpack-out").string();
  const std::string err = std::filesystem::absolute(".tarnpack-err").string();
  command = onTerminal ? "script -qec " + quoted(command) + " /dev/null </dev/null >" +
                             quoted(out) + " 2>&1"
                       : command + " </dev/null >" + quoted(out) + " 2>" + quoted(err);
  const int status = std::system(command.c_str());
  ProcessResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(out),
                       onTerminal ? "" : readBytes(err)};
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return result;
}

// The number written right after the first `key` in `text`; NaN without one.
double numberAfter(const std::string& text, const std::string& key) {
  const std::size_t at = text.find(key);
  return at == std::string::npos ? NAN : std::strtod(text.c_str() + at + key.size(), nullptr);
}

using XY = std::complex<double>;  // x + iy
using Edge = std::pair<XY, XY>;

// One part of the layout picture in plate millimetres (y up): the edges of
// its outline and holes, arcs sampled every 2 degrees, and their box.
struct DrawnPart {
  int id = -1;
  std::vector<Edge> edges;
  double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;

  void add(XY from, XY to) {
    edges.emplace_back(from, to);
    xmin = std::min({xmin, from.real(), to.real()});
    xmax = std::max({xmax, from.real(), to.real()});
    ymin = std::min({ymin, from.imag(), to.imag()});
    ymax = std::max({ymax, from.imag(), to.imag()});
  }

  // The shorter arc of radius r; its centre lies left of a counter-clockwise chord.
  void addArc(XY from, XY to, double r, bool clockwise) {
    const double side = clockwise ? -1.0 : 1.0;
    const XY chord = to - from;
    const double h = std::sqrt(std::max(0.0, r * r - std::norm(chord) / 4.0));
    const XY c = (from + to) / 2.0 + XY(0.0, side * h) * chord / std::abs(chord);
    const double a0 = std::arg(from - c);
    double turn = std::arg(to - c) - a0;
    turn += turn * side < 0.0 ? side * 2.0 * M_PI : 0.0;
    const int pieces = static_cast<int>(std::ceil(std::abs(turn) * 90.0 / M_PI));
    for (int i = 1; i < pieces; ++i) {
      add(from, c + std::polar(r, a0 + turn * i / pieces));
      from = edges.back().second;
    }
    add(from, to);
  }
};

// The <path data-id="N" ... d="Mx,y L x,y A r,r 0 0 sweep x,y Z"> outlines of
// the picture tarnpack writes; its y points down, so sweep 1 turns clockwise.
std::vector<DrawnPart> readPictureParts(const std::string& svg) {
  std::vector<DrawnPart> parts;
  const std::string tag = "<path data-id=\"";
  for (std::size_t at = svg.find(tag); at != std::string::npos; at = svg.find(tag, at + 1)) {
    DrawnPart& part = parts.emplace_back();
    part.id = std::atoi(svg.c_str() + at + tag.size());
    const std::size_t d = svg.find(" d=\"", at) + 4;
    std::istringstream path(svg.substr(d, svg.find('"', d) - d));
    XY start, pen;
    for (std::string token; path >> token;) {
      std::string radius, rotation, large, sweep;
      if (token[0] == 'A') {
        radius = token.substr(1);
        path >> rotation >> large >> sweep >> token;
      }
      double x = start.real(), y = -start.imag();  // Z closes the loop
      std::sscanf(token.c_str() + (token[0] < 'A' ? 0 : 1), "%lf,%lf", &x, &y);
      const XY to(x, -y);
      if (token[0] == 'M') {
        start = to;
      } else if (!radius.empty()) {
        part.addArc(pen, to, std::atof(radius.c_str()), sweep == "1");
      } else {
        part.add(pen, to);
      }
      pen = to;
    }
  }
  return parts;
}

// The smallest distance between two parts' material, at most `limit`: 0 when edges
// cross or a vertex lies in the other's material (odd loops). A part in a hole is apart.
double materialGap(const DrawnPart& a, const DrawnPart& b, double limit) {
  const auto inMaterial = [](const DrawnPart& part, XY p) {
    bool inside = false;
    for (const auto& [u, w] : part.edges) {
      inside ^= (u.imag() > p.imag()) != (w.imag() > p.imag()) &&
                std::imag(std::conj(w - u) * (p - u)) * (w.imag() - u.imag()) > 0.0;
    }
    return inside;
  };
  if (inMaterial(b, a.edges.front().first) || inMaterial(a, b.edges.front().first)) {
    return 0.0;
  }
  const auto side = [](XY p, const Edge& g) {
    return std::imag(std::conj(g.second - g.first) * (p - g.first));
  };
  const auto toEdge = [](XY p, const Edge& g) {
    const XY d = g.second - g.first;
    const double t = std::clamp(
        std::real((p - g.first) * std::conj(d)) / std::max(std::norm(d), 1e-300), 0.0, 1.0);
    return std::abs(p - g.first - t * d);
  };
  double best = limit;
  for (const Edge& e : a.edges) {
    // Only the edges that come within `best` of the other part's box.
    const auto [low, high] = std::minmax({e.first.real(), e.second.real()});
    const auto [bottom, top] = std::minmax({e.first.imag(), e.second.imag()});
    if (low > b.xmax + best || high < b.xmin - best || bottom > b.ymax + best ||
        top < b.ymin - best) {
      continue;
    }
    for (const Edge& f : b.edges) {
      const bool cross =
          side(f.first, e) * side(f.second, e) < 0.0 && side(e.first, f) * side(e.second, f) < 0.0;
      best = std::min({best, cross ? 0.0 : toEdge(e.first, f), toEdge(e.second, f),
                       toEdge(f.first, e), toEdge(f.second, e)});
    }
  }
  return best;
}

// The packed parts of a picture lie on the plate up to the packed length, and keep
// the part gap, less the chord tolerance (1 mm a side) an arc may bulge past.
void expectPackedPartsApart(const nlohmann::json& summary, const std::string& svg) {
  std::vector<bool> packed;
  for (const auto& part : summary["parts"]) {
    packed.push_back(part["packed"]);
  }
  std::vector<DrawnPart> drawn = readPictureParts(svg);
  ASSERT_EQ(drawn.size(), packed.size());
  std::erase_if(drawn, [&](const DrawnPart& part) { return !packed.at(part.id); });
  const double gap = summary["partGap"];
  const double packedLength = summary["packedLength"];
  const double width = summary["plate"]["width"];
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    EXPECT_TRUE(drawn[i].xmin >= 0.0 && drawn[i].xmax <= packedLength + 1.0 + 1e-3 &&
                drawn[i].ymin >= -1e-3 && drawn[i].ymax <= width + 1e-3)
        << drawn[i].id;
    for (std::size_t j = i + 1; j < drawn.size(); ++j) {
      EXPECT_GE(materialGap(drawn[i], drawn[j], gap), gap - 2.05)
          << drawn[i].id << " / " << drawn[j].id;
    }
  }
}

std::string fixture(const std::string& name) {
  return dataPath("cli/" + name).string();
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(DetectLibraryFormat, NameThenContentDecide) {
  ScratchDir scratch;
  const std::tuple<const char*, const char*, LibraryFormat> cases[] = {
      {"job.PRESRC", "NAME P\n", LibraryFormat::PreSrcFile},  // by its name, any case
      {"a.dat", "Plate length:1\r\nNAME P\r\n", LibraryFormat::TextLibrary},
      {"c.lst", "parts NAME\nname P\n#END\n", LibraryFormat::PartListFile},
  };
  for (const auto& [file, content, expected] : cases) {
    writeBytes(file, content);
    EXPECT_EQ(detectLibraryFormat(file), expected) << file;
  }
}

TEST(ToUtf8, KeepsUtf8AndDecodesGbkIntoValidUtf8) {
  EXPECT_EQ(cli::toUtf8("加强板"), "加强板");
  EXPECT_EQ(cli::toUtf8("SQ-\xbc\xd3\xc7\xbf\xb0\xe5"), "SQ-加强板");
  EXPECT_EQ(cli::toUtf8("A\xff"), "A\xef\xbf\xbd");  // a byte GBK has not
  EXPECT_EQ(cli::toUtf8("P\xbc"), "P\xef\xbf\xbd");  // GBK cut at the end
  // Overlong forms and surrogates are not UTF-8; whatever they decode to is.
  for (const std::string bytes : {"\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\x80"}) {
    EXPECT_FALSE(cli::isValidUtf8(bytes));
    EXPECT_TRUE(cli::isValidUtf8(cli::toUtf8(bytes)));
  }
}

TEST(LayoutSvg, DrawsArcsAsTheyTurnWithTheWindowColoursAndEscapedNames) {
  std::ostringstream errors;
  PackingJob job{errors};
  openLibrary(job, fixture("quarter_disc.txt"), LibraryFormat::TextLibrary);
  const auto picture = [&job] { return cli::LayoutSvg(job, SummariseLayout(job)); };
  job.workingParts.front().nameLabel.text = "A&B<\xbc\xd3>\"'\x01";
  const std::string svg = picture();
  EXPECT_NE(svg.find(">A&amp;B&lt;加&gt;&quot;&apos; </text>"), std::string::npos) << svg;
  // Counter-clockwise on the plate is clockwise on the y-down picture.
  EXPECT_TRUE(std::regex_search(svg, std::regex("stroke=\"#00ff00\" d=\"[^\"]* A100,100 0 0 0 ")));
  SelectAll(job);
  TurnOverFirstSelected(job);
  EXPECT_TRUE(std::regex_search(picture(), std::regex("stroke=\"#ff0000\" .* A100,100 0 0 1 ")));
  SelectNone(job);
  EXPECT_NE(picture().find("stroke=\"#ffff00\""), std::string::npos);
  job.params.plateWidth = -40.0;  // kept after the load's warning: the plate spans y -40..0
  EXPECT_NE(picture().find("<rect id=\"plate\" x=\"0\" y=\"0\" width=\"400\" height=\"40\""),
            std::string::npos);
}

// The overlap check of the end-to-end runs must see what it is meant to see.
TEST(MaterialGap, TellsCrossingTouchingHoledAndNestedParts) {
  const auto drawn = [](const std::string& path) {
    return readPictureParts("<path data-id=\"7\" d=\"" + path + "\"/>").at(0);
  };
  // Paths as the picture writes them, y down; a 100 mm frame with a 60 mm hole.
  const DrawnPart frame =
      drawn("M0,0 L100,0 L100,-100 L0,-100 Z M20,-20 L80,-20 L80,-80 L20,-80 Z");
  const DrawnPart disc = drawn("M0,-0 L100,-0 A100,100 0 0 0 0,-100 Z");  // a quarter
  const std::tuple<const DrawnPart&, std::string, double> cases[] = {
      {frame, "M-10,-40 L110,-40 L110,-50 L-10,-50 Z", 0.0},    // a bar across, no vertex inside
      {frame, "M5,-5 L15,-5 L15,-15 Z", 0.0},                   // inside the material
      {frame, "M30,-30 L70,-30 L70,-70 Z", 10.0},               // inside the hole
      {disc, "M60,-60 L61,-60 L61,-61 Z", 0.0},                 // under the arc
      {disc, "M75,-75 L76,-75 L76,-76 Z", 75 * M_SQRT2 - 100},  // beyond it
  };
  for (const auto& [part, path, gap] : cases) {
    EXPECT_NEAR(materialGap(part, drawn(path), 50.0), gap, 0.02) << path;
    EXPECT_NEAR(materialGap(drawn(path), part, 50.0), gap, 0.02) << path;
  }
}

TEST(TarnpackExamples, EachFormatWritesAgreeingFilesWithThePartsApart) {
  const std::tuple<const char*, const char*, const char*, std::size_t, const char*> examples[] = {
      {"brackets.txt", "all", "text", 46, "CLIP-120x50-6"},
      {"brackets.txt", "multi", "text", 46, "BASE-900x600-1"},
      {"flanges.preSrc", "all", "presrc", 36, "加强板-A"},  // GBK in the file
      {"panels.lst", "all", "list", 23, "GUSSET-400-1"},
  };
  for (const auto& [library, layout, format, count, oneName] : examples) {
    SCOPED_TRACE(std::string(library) + " --layout " + layout);
    ScratchDir scratch;
    const ProcessResult run =
        runTarnpack({sourcePath(std::string("examples/") + library).string(), "--layout", layout,
                     "--json", "--out", "out", "--error-report", "errors.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no warnings, and no progress line off a terminal

    const nlohmann::json summary = nlohmann::json::parse(run.out);
    EXPECT_EQ(summary["format"], format);
    ASSERT_EQ(summary["parts"].size(), count);
    std::vector<bool> packed;
    double packedArea = 0.0;
    for (const auto& part : summary["parts"]) {
      EXPECT_EQ(part["id"], packed.size());  // by id, every id once
      packed.push_back(part["packed"]);
      packedArea += packed.back() ? part["area"].get<double>() : 0.0;
    }
    EXPECT_TRUE(contains(run.out, std::string("\"name\": \"") + oneName + '"'));
    const int packedCount = static_cast<int>(std::count(packed.begin(), packed.end(), true));
    EXPECT_EQ(summary["packedCount"], packedCount);
    EXPECT_TRUE(packedCount == static_cast<int>(count) || layout[0] == 'm');
    const double packedLength = summary["packedLength"];
    const double utilisation = summary["utilisation"];
    EXPECT_NEAR(summary["packedArea"].get<double>(), packedArea, packedArea * 1e-12);
    EXPECT_NEAR(utilisation, packedArea / (packedLength * summary["plate"]["width"].get<double>()),
                1e-12);

    // Report.txt and the drawing write 6 significant digits ("已排样零件数量=" in GBK).
    const std::string report = readBytes("out/Report.txt");
    const std::string drawing = readBytes("out/layout.dxf");
    const std::tuple<const std::string&, const char*, double> figures[] = {
        {report, "Packed length:", packedLength},
        {report, "Packing density:", utilisation * 100.0},
        {report, "Area of all parts:", packedArea},
        {report, "\xd2\xd1\xc5\xc5\xd1\xf9\xc1\xe3\xbc\xfe\xca\xfd\xc1\xbf=", packedCount},
        {drawing, "PackingLength=", packedLength},
        {drawing, "Packed Parts Number=", packedCount},
        {drawing, "Packed Parts Area=", packedArea},
    };
    for (const auto& [file, key, exact] : figures) {
      EXPECT_NEAR(numberAfter(file, key), exact, std::abs(exact) * 5e-6 + 1e-9) << key;
    }
    EXPECT_NEAR(numberAfter(drawing, "MaterialUtilization="), utilisation * 100.0, 0.0051);

    // A real reader takes the picture too, where librsvg's converter is installed.
    EXPECT_EQ(std::system("! command -v rsvg-convert >/dev/null || rsvg-convert -o out/layout.png "
                          "out/layout.svg"),
              0);
    expectPackedPartsApart(summary, readBytes("out/layout.svg"));
    // Each part of a part list names its drawing; other libraries have none.
    EXPECT_EQ(summary["parts"][0]["drawing"].is_string(), format == std::string("list"));
  }
}

TEST(TarnpackDrawings, LaysOutCopiesOfDrawingsApartAndNamesEachPartsDrawing) {
  ScratchDir scratch;
  const std::string several = dataPath("library/drawings/r2000_several.dxf").string();
  const std::string inHole = dataPath("library/drawings/r2000_part_in_hole.dxf").string();
  const std::string bracket = dataPath("library/drawings/r2000_lwpolyline.dxf").string();
  const ProcessResult run =
      runTarnpack({"--plate", "1000x600", "--gap", "5", several + ":3", inHole, bracket + ":2",
                   "--json", "--out", "out", "--error-report", "e.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const nlohmann::json summary = nlohmann::json::parse(run.out);
  EXPECT_EQ(summary["library"], nullptr);
  EXPECT_EQ(summary["format"], "drawings");
  EXPECT_EQ(summary["partGap"], 5.0);
  // Three parts three times, the frame and the plate in its hole, two brackets.
  ASSERT_EQ(summary["parts"].size(), 13u);
  std::vector<std::pair<std::string, std::string>> expected;
  for (int copy = 0; copy < 3; ++copy) {
    expected.insert(expected.end(),
                    {{"LEFT", several}, {"r2000_several", several}, {"RIGHT", several}});
  }
  expected.insert(expected.end(), {{"r2000_part_in_hole", inHole},
                                   {"r2000_part_in_hole-2", inHole},
                                   {"BRACKET", bracket},
                                   {"BRACKET", bracket}});
  for (std::size_t id = 0; id < expected.size(); ++id) {
    SCOPED_TRACE(id);
    const auto& part = summary["parts"][id];
    EXPECT_EQ(part["id"], id);
    EXPECT_EQ(part["name"], expected[id].first);
    EXPECT_EQ(part["drawing"], expected[id].second);
  }
  EXPECT_EQ(summary["packedCount"], 13);
  expectPackedPartsApart(summary, readBytes("out/layout.svg"));
  // The bracket's fillets reach the layout drawing as arcs.
  EXPECT_TRUE(contains(readBytes("out/layout.dxf"), "ARC\r\n  8\r\n1\r\n"));
}

TEST(TarnpackDrawings, AFolderOfDrawingsGivesTheJobOfItsPartList) {
  ScratchDir scratch;
  const std::string list = sourcePath("examples/panels.lst").string();
  const std::string folder = sourcePath("examples/panels").string();
  ASSERT_EQ(runTarnpack({list, "--out", "list", "--error-report", "e.txt"}).status, 0);
  ASSERT_EQ(runTarnpack({"--plate", "6000x2000", "--gap", "10", folder, "--out", "drawings",
                         "--error-report", "e.txt"})
                .status,
            0);  // the list's plate and gap
  for (const char* file : {"layout.dxf", "Report.txt", "layout.svg"}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(readBytes(std::filesystem::path("drawings") / file),
              readBytes(std::filesystem::path("list") / file));
  }
}

TEST(TarnpackRun, WarningsReachTheJsonAndStandardErrorProgressOnlyATerminal) {
  ScratchDir scratch;
  std::vector<std::string> args = {fixture("broken.lst"), "--rn",  "2",     "--ppd", "12.5",
                                   "--error-report",      "e.txt", "--json"};
  const ProcessResult run = runTarnpack(args);
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json summary = nlohmann::json::parse(run.out);
  EXPECT_EQ(summary["rotationNumber"], 2);
  EXPECT_EQ(summary["packingPointDistance"], 12.5);
  EXPECT_EQ(summary["parts"].size(), 1u);
  // The open contour with its gap, no closed outline, then the drawing skipped.
  ASSERT_EQ(summary["warnings"].size(), 3u);
  EXPECT_TRUE(
      std::regex_match(summary["warnings"][0].get<std::string>(),
                       std::regex("轮廓未闭合! \\(open contour\\): 文件 \\(file\\) \".*"
                                  "open\\.dxf\", 缺口 \\(gap\\) \\(0, 0\\) - \\(0, 60\\)")));
  EXPECT_TRUE(std::regex_match(summary["warnings"][2].get<std::string>(),
                               std::regex("零件\".*open\\.dxf\"读取失败!")));
  EXPECT_TRUE(contains(run.err, "Warning! 轮廓未闭合! (open contour): "));
  args.push_back("--quiet");
  EXPECT_EQ(runTarnpack(args).err, "");
  args[0] = fixture("squares.txt");
  EXPECT_FALSE(contains(runTarnpack(args, true).out, "laying out:"));
  args.pop_back();
  EXPECT_TRUE(contains(runTarnpack(args, true).out, "laying out: 3 parts tried, 0 waiting"));
}

TEST(TarnpackRun, AnswersWithTheStatusAndTheSummaryOrTheMessage) {
  // "@name": tests/data/cli/name. The output: standard output's pattern after
  // a run, else the text standard error holds after "tarnpack: ".
  const std::string square = dataPath("library/partlist/three/c.dxf").string();
  const std::string several = dataPath("library/drawings/r2000_several.dxf").string();
  const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
      {{"squares.txt", "--out", "deep/er/out", "--dxf", "named.dxf", "--export-parts"},
       0,
       "3 parts loaded, 3 packed, packed length [0-9.]+ mm, utilisation [0-9]+\\.[0-9]{2} %, "
       "layout time [0-9]+\\.[0-9]{2} s\n"},
      {{"squares.txt", "--layout", "none"},
       0,
       "3 parts loaded, 0 packed, packed length 0 mm, utilisation unknown, layout time 0.00 s\n"},
      {{}, 2, "LIBRARY is required"},
      {{"--rn", "361", "@squares.txt"}, 2, "--rn"},
      {{"@squares.txt", "--dxf", ""}, 2, "--dxf: an empty name"},
      {{"@squares.txt", "--ppd", "0"}, 2, "排样点距离错误!"},
      {{"@squares.txt", "--plates", "0"}, 2, "--plates: expected a number of plates"},
      {{"@squares.txt", "--plates", "1001"}, 2, "--plates: expected a number of plates"},
      {{"@squares.txt", "--layout", "none", "--plates", "2"}, 2, "--plates needs a layout"},
      {{"@squares.txt", "--optimise", "0"}, 2, "--optimise: expected a number of seconds"},
      {{"@squares.txt", "--optimise", "5s"}, 2, "--optimise: expected a number of seconds"},
      {{"@squares.txt", "--optimise", "inf"}, 2, "--optimise: expected a number of seconds"},
      {{"@squares.txt", "--evaluations", "0"}, 2, "--evaluations: expected a whole number"},
      {{"@squares.txt", "--optimise", "1", "--threads", "0"}, 2, "--threads: expected a number"},
      {{"@squares.txt", "--optimise", "1", "--threads", "257"}, 2, "--threads: expected"},
      {{"@squares.txt", "--optimise", "1", "--seed", "-3"}, 2, "--seed: expected a whole"},
      {{"@squares.txt", "--seed", "3"}, 2, "--seed and --threads need --optimise or"},
      {{"@squares.txt", "--layout", "none", "--optimise", "1"}, 2, "need a layout"},
      // Jobs from drawings.
      {{"--plate", "3000", square}, 2, "--plate: '3000' is no plate size"},
      {{"--plate", "0x1500", square}, 2, "--plate: '0x1500' is no plate size"},
      {{"--plate", "100x100", square + ":0"}, 2, ":0' has no usable count"},
      {{"--plate", "100x100", square + ":1000000000"}, 2, ":1000000000' has no usable count"},
      {{"--plate", "100x100", "missing.dxf:2"}, 2, "'missing.dxf' is no drawing or folder"},
      {{"--plate", "100x100", "missing.dxf:x"}, 2, "'missing.dxf' is no drawing or folder"},
      {{"--plate", "100x100", ":5"}, 2, "':5' is no drawing or folder"},
      {{"--plate", "100x100", "--gap", "-1", square}, 2, "--gap"},
      {{"--gap", "3", square}, 2, "--gap requires --plate"},
      {{"--plate", "100x100", "--format", "list", square}, 2, "excludes"},
      {{square, square}, 2, "was not expected"},
      // 3 parts a copy: 10,002 in all.
      {{"--plate", "100x100", several + ":3334"}, 2, "零件数量过多! (a job from drawings holds"},
      // A grid refused at the layout names its distance and plate, no file.
      {{"@huge_plate.txt"}, 1, "points): 30 mm on a 600000 x 400000 mm plate\n"},
      {{"missing.txt"}, 1, "零件数据文件读取失败! (cannot read the part library): "},
      {{"--format", "list", "missing.lst"}, 1, "排样信息文件读取失败! (cannot read the part list"},
      {{"@zero_plate.txt"}, 1, "包围盒大小为零! (the plate has a zero length"},
      {{"@squares.txt", "--out", "blocker/out"},
       1,
       "输出文件夹无法创建! (cannot create the output"},
      {{"@squares.txt", "--dxf", "no/such/dir/a.dxf"}, 1, "排样文件输出失败! (cannot write a"},
      {{"@squares.txt", "--error-report", "blocker/e.txt"}, 1, "排样错误报告文件输出失败! (cannot"},
  };
  for (const auto& [given, status, output] : cases) {
    SCOPED_TRACE(output);
    ScratchDir scratch;
    writeBytes("squares.txt", readBytes(fixture("squares.txt")));
    writeBytes("blocker", "a file where a folder is wanted\n");
    std::vector<std::string> args;
    for (const std::string& arg : given) {
      args.push_back(arg.starts_with('@') ? fixture(arg.substr(1)) : arg);
    }
    if (!contains(output, "错误报告")) {
      args.insert(args.end(), {"--error-report", "e.txt"});
    }
    const ProcessResult run = runTarnpack(args);
    EXPECT_EQ(run.status, status);
    if (status == 0) {
      EXPECT_TRUE(std::regex_match(run.out, std::regex(output))) << run.out;
      EXPECT_EQ(run.err, "");
      EXPECT_TRUE(std::filesystem::exists("e.txt"));  // relative to where tarnpack started
    } else {
      EXPECT_EQ(run.out, "");
      EXPECT_TRUE(run.err.starts_with("tarnpack: ") && contains(run.err, output)) << run.err;
      EXPECT_EQ(contains(run.err, "Run with --help"), status == 2) << run.err;
      EXPECT_FALSE(std::filesystem::exists("layout.dxf"));
    }
    for (const char* file : {"named.dxf", "layout.svg", "排样计算时间.txt", "FRAME-60.dxf"}) {
      EXPECT_EQ(std::filesystem::exists(std::filesystem::path("deep/er/out") / file),
                given.size() > 2 && given[2] == "deep/er/out")
          << file;
    }
  }
  EXPECT_EQ(runTarnpack({"--help"}).status, 0);
}

TEST(TarnpackRun, AnEmptyLibraryWritesEveryFileAndSaysSo) {
  // No parts at all, and a part the load rejects: nothing to place, no grid
  // wanted (the default distance would be refused on this plate).
  for (const char* library : {"empty_large_plate.txt", "all_rejected.txt"}) {
    for (const bool plates : {false, true}) {
      SCOPED_TRACE(std::string(library) + (plates ? " --plates auto" : ""));
      ScratchDir scratch;
      std::vector<std::string> args = {fixture(library), "--out", "out",
                                       "--error-report", "e.txt", "--json"};
      if (plates) {
        args.insert(args.end(), {"--plates", "auto"});
      }
      const ProcessResult run = runTarnpack(args);
      ASSERT_EQ(run.status, 0) << run.err;
      const nlohmann::json summary = nlohmann::json::parse(run.out);
      EXPECT_TRUE(summary["parts"].empty() && summary["utilisation"].is_null());
      ASSERT_EQ(summary["warnings"].size(), 1u);
      const std::string warning = summary["warnings"][0];
      EXPECT_TRUE(warning.starts_with("the library has no parts to lay out")) << warning;
      EXPECT_TRUE(contains(warning, std::filesystem::absolute("e.txt").string())) << warning;
      EXPECT_EQ(run.err, "tarnpack: Warning! " + warning + "\n");
      const std::filesystem::path plate = plates ? "out/plate-1" : "out";
      EXPECT_TRUE(contains(readBytes(plate / "layout.dxf"),
                           "PackingLength=0    , MaterialUtilization Unknown\r\n"));
      EXPECT_TRUE(contains(readBytes(plate / "Report.txt"), "Packing density:Unknown\r\n"));
      EXPECT_TRUE(std::filesystem::exists(plate / "layout.svg"));
    }
  }
}

TEST(TarnpackRun, PartsLeftOffThePlateAreNamedWithWhy) {
  ScratchDir scratch;
  // On 400 x 200: a bar and a slab ("大板" in GBK) larger than the plate, and
  // five 110 mm squares of which three fit.
  const ProcessResult run =
      runTarnpack({fixture("too_large.txt"), "--error-report", "e.txt", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> expected = {
      "part \"大板\" (id 1) was not placed: it is larger than the plate in every orientation "
      "tried (its box 304 x 304 mm with half the gap, the plate 400 x 200 mm)",
      "part \"BAR\" (id 0) was not placed: it is larger than the plate in every orientation "
      "tried (its box 504 x 54 mm with half the gap, the plate 400 x 200 mm)",
      "2 parts not placed (no room left on the plate): \"SQ-4\" (id 5), \"SQ-5\" (id 6)",
  };
  EXPECT_EQ(nlohmann::json::parse(run.out)["warnings"], nlohmann::json(expected));
  std::string err;
  for (const std::string& warning : expected) {
    err += "tarnpack: Warning! " + warning + "\n";
  }
  EXPECT_EQ(run.err, err);

  // A set says the same of the larger parts, and its report names them.
  const ProcessResult set = runTarnpack(
      {fixture("too_large.txt"), "--error-report", "e.txt", "--plates", "auto", "--quiet"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.err, "");
  EXPECT_TRUE(std::regex_match(set.out, std::regex("7 parts loaded, 5 packed on 2 plates \\(3, "
                                                   "2\\), utilisation [0-9.]+ %, remnant [0-9.]+ "
                                                   "x 200 mm, layout time [0-9.]+ s\n")))
      << set.out;
  // "大板:尺寸大于板" and "BAR:尺寸大于板" in GBK
  EXPECT_TRUE(contains(readBytes("Report.txt"),
                       "\xb4\xf3\xb0\xe5:\xb3\xdf\xb4\xe7\xb4\xf3\xd3\xda\xb0\xe5\r\n"
                       "BAR:\xb3\xdf\xb4\xe7\xb4\xf3\xd3\xda\xb0\xe5\r\n"));
}

TEST(TarnpackPlates, WritesEachPlateInItsFolderAndTheSetInJson) {
  ScratchDir scratch;
  const ProcessResult run =
      runTarnpack({dataPath("plates/mixed.txt").string(), "--plates", "auto", "--json", "--out",
                   "out", "--error-report", "e.txt", "--export-parts"});
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json summary = nlohmann::json::parse(run.out);
  const nlohmann::json& plates = summary["plates"];
  ASSERT_EQ(plates.size(), 3u);
  std::vector<int> partsOnPlate(plates.size() + 1, 0);
  for (const auto& part : summary["parts"]) {
    SCOPED_TRACE(part["name"].get<std::string>());
    EXPECT_EQ(part["packed"], !part["plate"].is_null());
    EXPECT_EQ(part["plate"].is_null(), part["name"] == "BAR-500x50");
    partsOnPlate.at(part["packed"] ? part["plate"].get<std::size_t>() : 0) += 1;
  }
  for (std::size_t k = 0; k < plates.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(plates[k]["plate"], k + 1);
    EXPECT_EQ(plates[k]["packedCount"], partsOnPlate[k + 1]);
    // Its own folder holds an ordinary layout of it.
    const std::filesystem::path folder = "out/plate-" + std::to_string(k + 1);
    EXPECT_EQ(numberAfter(readBytes(folder / "layout.dxf"), "Packed Parts Number="),
              partsOnPlate[k + 1]);
    EXPECT_TRUE(std::filesystem::exists(folder / "Report.txt"));
  }
  EXPECT_FALSE(std::filesystem::exists("out/plate-4") || std::filesystem::exists("out/layout.dxf"));
  // The parts' drawings go with their plates; the bar waits on the last.
  EXPECT_TRUE(std::filesystem::exists("out/plate-3/BAR-500x50.dxf"));
  EXPECT_FALSE(std::filesystem::exists("out/plate-1/BAR-500x50.dxf"));
  EXPECT_EQ(summary["remnant"]["x"], plates[2]["packedLength"]);
  EXPECT_TRUE(readBytes("out/Report.txt").starts_with("Plates:3\r\nPlate size:400x200\r\n"));
}

TEST(TarnpackPlates, ASetOfOnePlateWritesTodaysFilesByteForByte) {
  for (const char* layout : {"all", "multi"}) {
    SCOPED_TRACE(layout);
    ScratchDir scratch;
    const std::string library = sourcePath("examples/flanges.preSrc").string();
    const ProcessResult single =
        runTarnpack({library, "--layout", layout, "--out", "single", "--error-report", "e.txt",
                     "--export-parts", "--json"});
    const ProcessResult set =
        runTarnpack({library, "--layout", layout, "--out", "set", "--error-report", "e.txt",
                     "--export-parts", "--json", "--plates", "1"});
    ASSERT_EQ(single.status, 0) << single.err;
    ASSERT_EQ(set.status, 0) << set.err;
    std::size_t compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator("single")) {
      const std::filesystem::path name = entry.path().filename();
      if (name == "排样计算时间.txt") {
        continue;
      }
      SCOPED_TRACE(name);
      // The preSrc reader's report of the load stays beside the plates.
      const std::filesystem::path folder = name == "PackError.txt" ? "set" : "set/plate-1";
      EXPECT_EQ(readBytes(folder / name), readBytes(entry.path()));
      ++compared;
    }
    EXPECT_GT(compared, 30u);  // the drawing, picture, reports and every part's drawing
    nlohmann::json singleParts = nlohmann::json::parse(single.out)["parts"];
    nlohmann::json setParts = nlohmann::json::parse(set.out)["parts"];
    for (auto& part : setParts) {
      part.erase("plate");
    }
    EXPECT_EQ(setParts, singleParts);
  }
}

TEST(TarnpackOptimise, ReportsTheSearchAndWritesItsLayoutReproducibly) {
  ScratchDir scratch;
  const std::string library = fixture("squares.txt");
  // The same seed, threads and evaluations: the same layout.
  const std::vector<std::string> search = {
      "--evaluations", "20000",          "--threads", "2", "--seed", "5",
      "--json",        "--error-report", "e.txt",
  };
  std::vector<nlohmann::json> runs;
  for (const char* out : {"a", "b"}) {
    std::vector<std::string> args = {library, "--out", out};
    args.insert(args.end(), search.begin(), search.end());
    const ProcessResult run = runTarnpack(args);
    ASSERT_EQ(run.status, 0) << run.err;
    runs.push_back(nlohmann::json::parse(run.out));
  }
  const nlohmann::json& summary = runs[0];
  const nlohmann::json& optimise = summary["optimise"];
  EXPECT_EQ(optimise["seed"], 5);
  EXPECT_GE(optimise["evaluations"].get<double>(), 40000);
  EXPECT_LE(optimise["final"]["packedLength"].get<double>(),
            optimise["greedy"]["packedLength"].get<double>());
  EXPECT_EQ(summary["packedLength"], optimise["final"]["packedLength"]);  // the files show it
  expectPackedPartsApart(summary, readBytes("a/layout.svg"));
  EXPECT_EQ(runs[1]["parts"], summary["parts"]);
  EXPECT_EQ(readBytes("b/layout.dxf"), readBytes("a/layout.dxf"));

  // Without the options, no search and no key; with plates, one pair per plate.
  const ProcessResult plain =
      runTarnpack({library, "--out", "c", "--json", "--error-report", "e.txt"});
  EXPECT_FALSE(nlohmann::json::parse(plain.out).contains("optimise"));
  const ProcessResult plates =
      runTarnpack({dataPath("plates/mixed.txt").string(), "--plates", "auto", "--out", "d",
                   "--json", "--error-report", "e.txt", "--evaluations", "5000"});
  ASSERT_EQ(plates.status, 0) << plates.err;
  const nlohmann::json set = nlohmann::json::parse(plates.out);
  EXPECT_EQ(set["optimise"]["plates"].size(), set["plates"].size());
  EXPECT_EQ(set["optimise"]["plates"].back()["final"]["packedLength"],
            set["plates"].back()["packedLength"]);
}

TEST(TarnpackRun, AStartFolderThatIsGoneEndsWithAMessage) {
  ScratchDir scratch;
  const std::string err = std::filesystem::absolute("err.txt").string();
  std::filesystem::create_directory("gone");
  const int status = std::system(
      ("cd gone && rmdir ../gone && '" TARNPACK_PATH "' parts.txt 2>'" + err + "'").c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_TRUE(readBytes(err).starts_with("tarnpack: ")) << readBytes(err);
}

}  // namespace
}  // namespace tarn::test
