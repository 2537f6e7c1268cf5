// Damaged and hostile library files: each gives a clear error or a clean skip.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <random>
#include <sstream>

#include "geometry/texts.h"
#include "library/line_reader.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using test::Texts;

struct Outcome {
  std::string error;
  Texts names;  // of the working parts
  std::string report;
  Texts notices;
};

Outcome load(const std::filesystem::path& file, LibraryFormat format) {
  test::NoticeRecorder notices;
  test::MemoryJob m;
  Outcome outcome;
  outcome.error = test::errorOf([&] { openLibrary(m.job, file, format); });
  for (const Part& part : m.job.workingParts) {
    EXPECT_TRUE(usableNumber(part.centroid.x) && usableNumber(part.centroid.y));
    outcome.names.push_back(part.nameLabel.text);
  }
  outcome.report = m.reportLines();
  outcome.notices = notices.texts();
  return outcome;
}

std::string garbage(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    c = static_cast<char>(random() & 0xff);
  }
  return bytes;
}

TEST(MalformedInput, GivesAClearErrorNamingFileLineAndPart) {
  test::ScratchDir scratch;
  test::writeBytes("garbage_part.txt",
                   "Plate length:3000\nPlate width:1500\nPart distance:0\n"
                   "NAME P\n" +
                       garbage(3000, 1));
  test::writeBytes("garbage.preSrc", garbage(4000, 3));
  // Numbers whose last digits fall beyond the line limit (98 and 998 bytes).
  test::writeBytes("cut_header_value.txt", "Plate length:" + std::string(83, ' ') + "3000\n");
  const std::string settings =
      "CONFIGINFO\nstaPlate_0      = 2000\nstaPlate_1      = 1000\n_end_\n";
  std::filesystem::create_directory("folder");
  test::writeBytes("cut_plate.preSrc",
                   "CONFIGINFO\nstaPlate_0      =" + std::string(979, ' ') + "2000\n_end_\n");
  const auto square = [](const std::string& name, std::size_t noteBytes) {
    return "PARTINFO\nNameID=" + name + "\npointNum=6\n0\n1,0," + std::string(noteBytes, 'n') +
           ",0,0,5,0,95\n2,0,,0,0,0,100,95\n3,0,,0,0,0,100,195\n4,0,,0,0,0,0,195\n5\n_end_\n";
  };
  test::writeBytes("cut_point.preSrc", settings + square("CUT", 984) + square("WHOLE", 983));
  struct Row {
    std::filesystem::path file;
    LibraryFormat format;
    std::string_view message;
    int line = 0;
    const char* part = nullptr;
    std::size_t parts = 0;  // loaded
  };
  const auto text = LibraryFormat::TextLibrary;
  const auto preSrc = LibraryFormat::PreSrcFile;
  const auto list = LibraryFormat::PartListFile;
  const auto data = [](const char* name) { return libraryData("malformed/" + std::string(name)); };
  const Row rows[] = {
      {data("empty.txt"), text, text::kPlateSizeZero},
      {libraryData("text/nan_plate.txt"), text, text::kNumberUnusable, 1},
      {"cut_header_value.txt", text, text::kNumberCut, 1},
      {data("infinite_gap.txt"), text, text::kNumberUnusable, 3},
      {libraryData("text/cut_short.txt"), text, text::kLoopCutShort, 5, "P-01"},
      {data("huge_count.txt"), text, text::kLoopCutShort, 5, "P"},
      {libraryData("text/loop_count_one.txt"), text, text::kLoopCountError, 5, "P-01"},
      // A GBK part name shows as escaped bytes.
      {data("gbk_name.txt"), text, text::kLoopCountError, 5, "\\xc1\\xe3\\xbc\\xfe-1"},
      {"garbage_part.txt", text, text::kLoopCountError, 5, "P"},
      {data("long_folder.lst"), list, text::kFolderPathTooLong, 4},
      {"missing.lst", list, text::kListFileReadFailed},
      // A folder chosen as the library is refused like a file that cannot be opened.
      {"folder", text, text::kPartFileReadFailed},
      {"folder", list, text::kListFileReadFailed},
      {libraryData("presrc/key_padding.preSrc"), preSrc, text::kPlateSizeZero},  // "staPlate_0="
      {"garbage.preSrc", preSrc, text::kPlateSizeZero},
      {data("beyond_float.preSrc"), preSrc, text::kNumberUnusable, 4},
      {"cut_plate.preSrc", preSrc, text::kNumberCut, 2},
      // Clean loads: a file without "#end", lists without a folder to search.
      {libraryData("text/no_end.txt"), text, "", 0, nullptr, 1},
      // The square whose y lost a digit to the cut is dropped.
      {"cut_point.preSrc", preSrc, "", 0, nullptr, 1},
      {data("no_folder.lst"), list, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file.string());
    const std::string file = row.file.string();
    const Outcome outcome = load(row.file, row.format);
    EXPECT_EQ(outcome.names.size(), row.parts);
    EXPECT_EQ(outcome.error, row.line == 0 ? std::string(row.message)
                             : row.part == nullptr
                                 ? fileLineMessage(row.message, file, row.line)
                                 : fileLineMessage(row.message, file, row.line, row.part));
  }
}

TEST(MalformedInput, TextLibrarySkipsBadPartsAndCutsLongLines) {
  const Outcome outcome = load(libraryData("malformed/bad_parts.txt"), LibraryFormat::TextLibrary);
  EXPECT_EQ(outcome.error, "");
  // A GBK name cut to the label without splitting a character: 24 of them.
  std::string name;
  for (int i = 0; i < 12; ++i) {
    name += "\xc1\xe3\xbc\xfe";
  }
  EXPECT_EQ(outcome.names, (Texts{name, "PAD", "NUL"}));
  EXPECT_EQ(outcome.report, test::expectedReport("malformed/bad_parts.expected"));
}

TEST(MalformedInput, UnreadableDrawingsAreReportedAndSkipped) {
  test::ScratchDir scratch;
  std::filesystem::copy(libraryData("malformed/drawings"), "drawings",
                        std::filesystem::copy_options::recursive);
  test::writeBytes("drawings/garbage.dxf", garbage(5000, 2));
  // A text height of 50 cut to 5 by the line limit.
  std::string cut = test::readBytes("drawings/long_name.dxf");
  cut.replace(cut.find("name:"), cut.find("\n  0") - cut.find("name:"),
              "name:CUT\n 40\n" + std::string(97, ' ') + "50");
  test::writeBytes("drawings/cut.dxf", cut);
  test::writeBytes("drawings/\xc1\xe3.dxf", "");    // a GBK file name
  ASSERT_EQ(mkfifo("drawings/pipe.dxf", 0600), 0);  // opening it would wait for a writer
  const Outcome outcome = load(libraryData("malformed/drawings.lst"), LibraryFormat::PartListFile);
  EXPECT_EQ(outcome.error, "");
  // The name text is cut to the line, then to the label; folder.dxf/ is not searched.
  EXPECT_EQ(outcome.names, Texts{std::string(49, 'N')});
  Texts failed;
  for (const std::string& notice : outcome.notices) {
    if (notice.rfind("零件\"", 0) == 0) {
      failed.push_back(notice);
    }
  }
  Texts expected;
  for (const char* name : {"angles", "circle", "cut", "empty", "flat", "garbage", "nan", "pipe",
                           "truncated", "\\xc1\\xe3"}) {
    expected.push_back("零件\"drawings/" + std::string(name) + ".dxf\"读取失败!");
  }
  EXPECT_EQ(failed, expected);
}

TEST(ReadLineBounded, StripsEachKindOfLineEndAndCutsOnlyTheLongLine) {
  const auto lines = [](const std::string& bytes, std::size_t limit) {
    std::istringstream in(bytes);
    std::vector<std::string> result;
    while (const auto line = readLineBounded(in, limit)) {
      result.push_back(*line);
    }
    return result;
  };
  using Lines = std::vector<std::string>;
  EXPECT_EQ(lines("a\r\nb\nc", 98), (Lines{"a", "b", "c"}));
  EXPECT_EQ(lines("a\nb\r", 98), (Lines{"a", "b"}));  // a CR that ends the input ends the line
  EXPECT_EQ(lines("a\rb\r\n\r\n", 98), (Lines{"a\rb", ""}));  // a lone CR is content
  EXPECT_EQ(lines("", 98), Lines{});
  EXPECT_EQ(lines(std::string(5000, 'x') + "\r\n" + std::string(3, 'y') + "\r\n", 3),
            (Lines{"xxx", "yyy"}));  // exactly the limit before CR LF is not cut
}

TEST(ParseNumbers, FollowStrtodAndAtoiInTheCLocale) {
  struct Row {
    const char* text;
    double value;
    std::size_t used;
  };
  const Row rows[] = {
      {"  12abc", 12.0, 4}, {"", 0.0, 0},    {"abc", 0.0, 0}, {"\t-3.5e2 7", -350.0, 7},
      {"+.5", 0.5, 3},      {"+-5", 0.0, 0}, {"1,5", 1.0, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    std::size_t used = 99;
    EXPECT_EQ(parseDouble(row.text, &used), row.value);
    EXPECT_EQ(used, row.used);
  }
  EXPECT_EQ(parseInt(" 42.9"), 42);
  EXPECT_EQ(parseInt("99999999999999999999"), INT_MAX);
  EXPECT_EQ(parseInt("-99999999999"), INT_MIN);
}

}  // namespace
}  // namespace tarn
