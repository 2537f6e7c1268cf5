// How tarnpack answers its command line: options that change the run, the
// summary, misuse and files it cannot read or write.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "support/test_support.h"
#include "tarnpack_process.h"

namespace tarn::test {
namespace {

using nlohmann::json;

std::string fixture(const std::string& name) {
  return dataPath("cli/" + name).string();
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(TarnpackRun, PrintsOneSummaryLine) {
  ScratchDir scratch;
  const ProcessResult run =
      runTarnpackProcess({fixture("squares.txt"), "--out", "out", "--error-report", "e.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::regex_match(
      run.out, std::regex("3 parts loaded, 3 packed, packed length [0-9.]+ mm, "
                          "utilisation [0-9]+\\.[0-9]{2} %, layout time [0-9]+\\.[0-9]{2} s\n")))
      << run.out;
  EXPECT_EQ(run.err, "");
  for (const char* file : {"layout.dxf", "layout.svg", "Report.txt", "排样计算时间.txt"}) {
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path("out") / file)) << file;
  }
}

TEST(TarnpackRun, JsonGivesTheLibraryAsLoaded) {
  ScratchDir scratch;
  const ProcessResult run = runTarnpackProcess(
      {fixture("squares.txt"), "--json", "--out", "out", "--error-report", "e.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::ordered_json summary = nlohmann::ordered_json::parse(run.out);
  EXPECT_EQ(summary["library"], fixture("squares.txt"));
  EXPECT_EQ(summary["format"], "text");
  // Ids in file order, net areas worked out by hand: 100 x 50, 60 x 60 less a
  // 20 x 20 hole, 50 x 50.
  const struct {
    const char* name;
    double area;
  } expected[] = {{"RECT-100x50", 5000.0}, {"FRAME-60", 3200.0}, {"SQUARE-50", 2500.0}};
  ASSERT_EQ(summary["parts"].size(), 3u);
  for (int id = 0; id < 3; ++id) {
    const auto& part = summary["parts"][static_cast<std::size_t>(id)];
    SCOPED_TRACE(expected[id].name);
    EXPECT_EQ(part["id"], id);
    EXPECT_EQ(part["name"], expected[id].name);
    EXPECT_NEAR(part["area"].get<double>(), expected[id].area, 1e-9);
    EXPECT_EQ(part["packed"], true);
    EXPECT_EQ(part["refPoint"].size(), 2u);
    EXPECT_EQ(part["bbox"].size(), 4u);
    EXPECT_TRUE(part["rotation"].is_number());
    EXPECT_TRUE(part["turnedOver"].is_boolean());
  }
  EXPECT_NEAR(summary["packedArea"].get<double>(), 10700.0, 1e-9);
  EXPECT_EQ(summary["packedCount"], 3);
  EXPECT_EQ(summary["partGap"], 4.0);
  EXPECT_GE(summary["layoutSeconds"].get<double>(), 0.0);
  // The keys in their documented order.
  std::vector<std::string> keys;
  for (const auto& item : summary.items()) {
    keys.push_back(item.key());
  }
  const std::vector<std::string> documented = {
      "library",       "format",         "plate",
      "partGap",       "rotationNumber", "packingPointDistance",
      "allowTurnover", "parts",          "packedCount",
      "packedLength",  "packedArea",     "utilisation",
      "layoutSeconds", "warnings"};
  EXPECT_EQ(keys, documented);
}

TEST(TarnpackRun, LayoutNoneLeavesEveryPartWaiting) {
  ScratchDir scratch;
  const ProcessResult run =
      runTarnpackProcess({fixture("squares.txt"), "--layout", "none", "--json", "--out", "out",
                          "--error-report", "e.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  const json summary = json::parse(run.out);
  EXPECT_EQ(summary["packedCount"], 0);
  EXPECT_EQ(summary["packedLength"], 0.0);
  EXPECT_TRUE(summary["utilisation"].is_null());
  EXPECT_EQ(summary["layoutSeconds"], 0.0);
  for (const json& part : summary["parts"]) {
    EXPECT_EQ(part["packed"], false);
  }
  EXPECT_TRUE(contains(readBytes("out/layout.dxf"), "MaterialUtilization Unknown"));
  EXPECT_TRUE(contains(readBytes("out/Report.txt"), "Packed length:0\r\n"));
  // No driver ran, so no timing file.
  EXPECT_FALSE(std::filesystem::exists("out/排样计算时间.txt"));
}

TEST(TarnpackRun, RotationNumberAndDistanceReachTheJob) {
  ScratchDir scratch;
  const ProcessResult run =
      runTarnpackProcess({fixture("squares.txt"), "--rn", "2", "--ppd", "12.5", "--json", "--out",
                          "out", "--error-report", "e.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  const json summary = json::parse(run.out);
  EXPECT_EQ(summary["rotationNumber"], 2);
  EXPECT_EQ(summary["packingPointDistance"], 12.5);
  EXPECT_EQ(summary["packedCount"], 3);
}

TEST(TarnpackRun, WritesEverythingIntoTheOutputFolder) {
  ScratchDir scratch;
  writeBytes("squares.txt", readBytes(fixture("squares.txt")));
  const ProcessResult run =
      runTarnpackProcess({"squares.txt", "--out", "deep/er/out", "--dxf", "named.dxf",
                          "--export-parts", "--error-report", "e.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::filesystem::path out = "deep/er/out";
  for (const char* file : {"named.dxf", "layout.svg", "Report.txt", "RECT-100x50.dxf",
                           "FRAME-60.dxf", "SQUARE-50.dxf"}) {
    EXPECT_TRUE(std::filesystem::exists(out / file)) << file;
  }
  EXPECT_FALSE(std::filesystem::exists(out / "layout.dxf"));
  EXPECT_FALSE(std::filesystem::exists("Report.txt"));
  // The library and the error report are taken from where tarnpack started.
  EXPECT_TRUE(std::filesystem::exists("e.txt"));
  EXPECT_TRUE(run.out.starts_with("3 parts loaded")) << run.out;
}

TEST(TarnpackRun, AnEmptyLibraryIsNoFailure) {
  ScratchDir scratch;
  const ProcessResult run =
      runTarnpackProcess({fixture("empty.txt"), "--out", "out", "--error-report", "e.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::regex_match(run.out, std::regex("0 parts loaded, 0 packed, packed length 0 mm, "
                                                   "utilisation unknown, layout time [0-9.]+ s\n")))
      << run.out;
}

TEST(TarnpackRun, WarningsGoToStandardErrorAndTheJson) {
  const std::string openDrawing = "open.dxf\"";
  for (const bool quiet : {false, true}) {
    SCOPED_TRACE(quiet ? "quiet" : "not quiet");
    ScratchDir scratch;
    std::vector<std::string> args = {fixture("broken.lst"), "--json", "--out", "out",
                                     "--error-report",      "e.txt"};
    if (quiet) {
      args.push_back("--quiet");
    }
    const ProcessResult run = runTarnpackProcess(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const json summary = json::parse(run.out);
    ASSERT_EQ(summary["warnings"].size(), 2u);
    EXPECT_EQ(summary["warnings"][0], "点链表首尾不等，无法构成多边形面域!");
    const std::string skipped = summary["warnings"][1];
    EXPECT_TRUE(skipped.starts_with("零件\"")) << skipped;
    EXPECT_TRUE(skipped.ends_with(openDrawing + "读取失败!")) << skipped;
    ASSERT_EQ(summary["parts"].size(), 1u);
    EXPECT_EQ(summary["parts"][0]["name"], "GOOD-100x60");
    if (quiet) {
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_TRUE(contains(
          run.err, "点链表首尾不等，无法构成多边形面域! (a contour of a drawing is not closed)"));
      EXPECT_TRUE(contains(run.err, openDrawing + "读取失败! (a part drawing could not be read"));
    }
  }
}

TEST(TarnpackRun, ShowsProgressOnlyOnATerminal) {
  for (const bool quiet : {false, true}) {
    SCOPED_TRACE(quiet ? "quiet" : "not quiet");
    ScratchDir scratch;
    std::vector<std::string> args = {fixture("squares.txt"), "--out", "out", "--error-report",
                                     "e.txt"};
    if (quiet) {
      args.push_back("--quiet");
    }
    const std::optional<ProcessResult> run = runTarnpackOnTerminal(args);
    if (!run) {
      GTEST_SKIP() << "util-linux's script is not installed";
    }
    EXPECT_EQ(run->status, 0) << run->out;
    EXPECT_EQ(contains(run->out, "laying out: 3 parts tried, 0 waiting"), !quiet) << run->out;
    EXPECT_TRUE(contains(run->out, "3 parts loaded, 3 packed")) << run->out;
  }
}

struct Misuse {
  const char* label;
  std::vector<std::string> args;  // "LIB" stands for a readable library
  const char* message;
};

TEST(TarnpackMisuse, ExitsWithTwoAndTheUsage) {
  const Misuse cases[] = {
      {"no library", {}, "LIBRARY is required"},
      {"two libraries", {"LIB", "LIB"}, "not expected"},
      {"unknown option", {"--frobnicate", "LIB"}, "--frobnicate"},
      {"unknown format", {"--format", "dwg", "LIB"}, "--format"},
      {"unknown layout", {"--layout", "sideways", "LIB"}, "--layout"},
      {"rotation number zero", {"--rn", "0", "LIB"}, "--rn"},
      {"rotation number not a number", {"--rn", "two", "LIB"}, "--rn"},
      {"distance not a number", {"--ppd", "near", "LIB"}, "--ppd"},
  };
  for (const Misuse& misuse : cases) {
    SCOPED_TRACE(misuse.label);
    ScratchDir scratch;
    std::vector<std::string> args;
    for (const std::string& arg : misuse.args) {
      args.push_back(arg == "LIB" ? fixture("squares.txt") : arg);
    }
    const ProcessResult run = runTarnpackProcess(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, misuse.message)) << run.err;
    EXPECT_TRUE(contains(run.err, "Usage: tarnpack")) << run.err;
    EXPECT_FALSE(std::filesystem::exists("layout.dxf"));
  }
}

TEST(TarnpackMisuse, ABadDistanceIsRefusedWithTheEnginesMessage) {
  // 0 and below give no grid; 0.001 mm would give 8e10 points on 400 x 200.
  for (const char* distance : {"0", "-3", "0.001"}) {
    SCOPED_TRACE(distance);
    ScratchDir scratch;
    const ProcessResult run = runTarnpackProcess(
        {fixture("squares.txt"), "--ppd", distance, "--out", "out", "--error-report", "e.txt"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, "排样点距离错误!")) << run.err;
    EXPECT_FALSE(std::filesystem::exists("out/layout.dxf"));
  }
}

TEST(TarnpackMisuse, HelpAndVersionSucceed) {
  ScratchDir scratch;
  const ProcessResult help = runTarnpackProcess({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--format", "--layout", "--rn", "--ppd", "--out", "--dxf",
                             "--error-report", "--export-parts", "--json", "--quiet"}) {
    EXPECT_TRUE(contains(help.out, option)) << option;
  }
  EXPECT_TRUE(contains(help.out, "Exit status"));
  const ProcessResult version = runTarnpackProcess({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("tarnpack [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << version.out;
}

struct Unreadable {
  const char* label;
  std::vector<std::string> args;
  const char* message;  // the core's text, then the gloss
};

TEST(TarnpackFailure, UnreadableOrUnwritableFilesExitWithOne) {
  const Unreadable cases[] = {
      {"missing text library",
       {"missing.txt"},
       "零件数据文件读取失败! (cannot read the part library): "},
      {"missing preSrc file",
       {"missing.preSrc"},
       "零件数据文件读取失败! (cannot read the part library): "},
      {"missing list file",
       {"--format", "list", "missing.lst"},
       "排样信息文件读取失败! (cannot read the part list file): "},
      {"zero plate", {fixture("zero_plate.txt")}, "包围盒大小为零! (the plate has a zero length"},
      {"output folder under a file",
       {fixture("squares.txt"), "--out", "blocker/out"},
       "输出文件夹无法创建! (cannot create or enter the output folder)"},
      {"drawing in a missing folder",
       {fixture("squares.txt"), "--dxf", "no/such/folder/layout.dxf"},
       "排样文件输出失败! (cannot write a layout or part file): "},
      {"error report under a file",
       {fixture("squares.txt"), "--error-report", "blocker/errors.txt"},
       "排样错误报告文件输出失败! (cannot write the error report): "},
  };
  for (const Unreadable& failure : cases) {
    SCOPED_TRACE(failure.label);
    ScratchDir scratch;
    writeBytes("blocker", "a file where a folder is wanted\n");
    std::vector<std::string> args = failure.args;
    if (std::string(failure.label) != "error report under a file") {
      args.insert(args.end(), {"--error-report", "e.txt"});
    }
    const ProcessResult run = runTarnpackProcess(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, failure.message)) << run.err;
    EXPECT_TRUE(run.err.starts_with("tarnpack: ")) << run.err;
  }
}

}  // namespace
}  // namespace tarn::test
