// Damaged and hostile library files: each gives a clear error or a clean skip.
// The suite also runs under AddressSanitizer and UndefinedBehaviorSanitizer.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/packing_job.h"
#include "geometry/texts.h"
#include "library/library_loader.h"
#include "library/line_reader.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using namespace std::string_literals;

const std::string kHeader = "Plate length:3000\nPlate width:1500\nPart distance:0\n";
const std::string kSquare = "5 0 0\n0 10 0\n0 10 10\n0 0 10\n0\n";
const std::string kPlate = "[CONFIGINFO]\nstaPlate_0      = 1000\nstaPlate_1      = 500\n";

struct Outcome {
  std::string error;
  std::vector<std::string> names;  // of the working parts
  std::string report;              // the job's, after its timestamp
  std::vector<std::string> notices;
};

Outcome load(const std::string& bytes, const char* file, LibraryFormat format) {
  test::writeBytes(file, bytes);
  test::NoticeRecorder notices;
  std::ostringstream report;
  PackingJob job(report);
  Outcome outcome;
  outcome.error = test::errorOf([&] { openLibrary(job, file, nullptr, format); });
  for (const Part& part : job.workingParts) {
    EXPECT_TRUE(usableNumber(part.centroid.x) && usableNumber(part.centroid.y));
    outcome.names.push_back(part.nameLabel.text);
  }
  outcome.report = test::afterTimestamp(report.str());
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

std::string where(std::string_view message, const char* file, int line, const char* part) {
  return line == 0         ? std::string(message)
         : part == nullptr ? fileLineMessage(message, file, line)
                           : fileLineMessage(message, file, line, part);
}

TEST(MalformedInput, GivesAClearErrorNamingFileLineAndPart) {
  test::ScratchDir scratch;
  struct Row {
    const char* label;
    std::string bytes;
    LibraryFormat format;
    std::string_view message;
    int line = 0;
    const char* part = nullptr;
  };
  const auto text = LibraryFormat::TextLibrary;
  const auto preSrc = LibraryFormat::PreSrcFile;
  const auto list = LibraryFormat::PartListFile;
  const Row rows[] = {
      {"empty library", "", text, text::kPlateSizeZero},
      {"cut header", "Plate length:3000\nPlate wid", text, text::kPlateSizeZero},
      {"huge plate", "Plate length:1e308\n", text, text::kNumberUnusable, 1},
      {"infinite gap", kHeader.substr(0, 35) + "Part distance:-inf\n", text, text::kNumberUnusable,
       3},
      {"file ends in a loop", kHeader + "NAME P\n5 0 0\n0 10 0\n", text, text::kLoopCutShort, 5,
       "P"},
      {"part in a loop", kHeader + "NAME P\n5 0 0\nNAME Q\n" + kSquare, text, text::kLoopCutShort,
       5, "P"},
      {"huge count", kHeader + "NAME P\n1e300 0 0\n" + kSquare, text, text::kLoopCutShort, 5, "P"},
      {"count zero", kHeader + "NAME P\n0 0 0\n", text, text::kLoopCountError, 5, "P"},
      {"negative count", kHeader + "NAME P\n" + kSquare + "-5\n", text, text::kLoopCountError, 10,
       "P"},
      {"NaN count", kHeader + "NAME P\nnan 0 0\n", text, text::kLoopCountError, 5, "P"},
      {"garbage part", kHeader + "NAME P\n" + garbage(3000, 1), text, text::kLoopCountError, 5,
       "P"},
      {"no list", "", list, text::kPlateSizeZero},
      {"long folder", kHeader + std::string(5000, 'f'), list, text::kFolderPathTooLong, 4},
      {"empty preSrc", "", preSrc, text::kPlateSizeZero},
      {"no settings", "[PARTINFO]\nNameID=A\n_end_\n", preSrc, text::kPlateSizeZero},
      {"garbage preSrc", garbage(4000, 3), preSrc, text::kPlateSizeZero},
      {"NaN plate", "[CONFIGINFO]\nstaPlate_0      = nan\n", preSrc, text::kNumberUnusable, 2},
      {"beyond float", kPlate + "staPlate_1      = 1e39\n", preSrc, text::kNumberUnusable, 4},
      {"infinite gap", kPlate + "partToPartGap   = inf\n", preSrc, text::kNumberUnusable, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(load(row.bytes, "lib", row.format).error,
              where(row.message, "lib", row.line, row.part));
  }
  EXPECT_EQ(test::errorOf([] {
              std::ostringstream report;
              PackingJob job(report);
              openLibrary(job, "missing.lst", nullptr, LibraryFormat::PartListFile);
            }),
            text::kListFileReadFailed);
}

TEST(MalformedInput, TextLibrarySkipsBadPartsAndCutsLongLines) {
  test::ScratchDir scratch;
  std::string longName;
  for (int i = 0; i < 1000; ++i) {
    longName += "\xc1\xe3\xbc\xfe";  // GBK for two characters
  }
  const std::string bytes =
      kHeader + std::string(100000, '#') + "\n" +  // overlong comment
      "NAME " + longName + "\n" + kSquare + "NAME FLAT\n5 0 0\n0 10 0\n0 20 0\n0 30 0\n0\n" +
      "NAME DOT\n2 5 5\n0\n" +  // one vertex
      "NAME INF\n5 0 0\ninf 10 0\n0 10 10\n0 0 10\n0\n" + "NAME CUT\n5 0 0\n0 10." +
      std::string(200, '0') + " 0\n0 10 10\n0 0 10\n0\n" + "NAME PAD\n5 0 0\n0 10 0" +
      std::string(200, ' ') + "\n0 10 10\n0 0 10\n0\n" +
      "NAME NUL\n5 0 0\n0 10\0 7 0\n0 10 10\n0 0 10\n0\n"s;
  std::string crlf;
  for (const char c : bytes) {
    crlf += c == '\n' ? "\r\n"s : std::string(1, c);
  }
  for (const std::string& file : {bytes, crlf}) {
    const Outcome outcome = load(file, "lib.txt", LibraryFormat::TextLibrary);
    EXPECT_EQ(outcome.error, "");
    // The name is cut to the label without splitting a character: 48 bytes.
    EXPECT_EQ(outcome.names, (std::vector<std::string>{longName.substr(0, 48), "PAD", "NUL"}));
    const std::string area = "\t零件净面积<=0, 错误!";
    const std::string number = "\t顶点坐标或圆弧半径数值无效, 错误!";
    EXPECT_EQ(outcome.report,
              test::gbkLines({number, "以上错误发生于零件:INF", number, "以上错误发生于零件:CUT",
                              area, "以上错误发生于零件:DOT", area, "以上错误发生于零件:FLAT"}));
  }
}

TEST(MalformedInput, AFolderOfUnreadableDrawingsGivesAnEmptyLibrary) {
  test::ScratchDir scratch;
  std::filesystem::create_directories("parts/folder.dxf");
  const std::string line = "  0\nLINE\n 10\n0\n 20\n0\n 11\n10\n 21\n0\n";
  const std::pair<const char*, std::string> drawings[] = {
      {"angles.dxf", "  0\nARC\n 40\n10\n 50\n1e300\n 51\n-1e300\n  0\n" + line + line + line},
      {"circle.dxf", "  0\nCIRCLE\n 10\n5\n 20\n5\n 40\n0\n  0\nEOF\n"},
      {"empty.dxf", ""},
      {"flat.dxf", "  0\nLINE\n 11\n10\n  0\nLINE\n 10\n10\n 11\n20\n  0\nLINE\n 10\n20\n  0\n"},
      {"garbage.dxf", garbage(5000, 2)},
      {"nan.dxf", line + line + "  0\nLINE\n 10\nnan\n  0\n"},
      {"truncated.dxf", "  0\nLINE\n 10\n"},
  };
  std::vector<std::string> expected;
  for (const auto& [name, bytes] : drawings) {
    test::writeBytes(std::filesystem::path("parts") / name, bytes);
    expected.push_back("零件\"" + (std::filesystem::path("parts") / name).string() + "\"读取失败!");
  }
  const Outcome outcome = load(kHeader + "parts\n", "list.lst", LibraryFormat::PartListFile);
  EXPECT_EQ(outcome.error, "");
  EXPECT_TRUE(outcome.names.empty());
  std::vector<std::string> failed;
  for (const std::string& notice : outcome.notices) {
    if (notice.rfind("零件\"", 0) == 0) {
      failed.push_back(notice);
    }
  }
  EXPECT_EQ(failed, expected);

  // A drawing with a 300-character name text loads with the name cut to the label.
  std::string drawing = "  0\nTEXT\n  1\nname:" + std::string(300, 'N') + "\n";
  for (const char* xy : {"0\n 20\n0\n 11\n10\n 21\n0", "10\n 20\n0\n 11\n10\n 21\n10",
                         "10\n 20\n10\n 11\n0\n 21\n10", "0\n 20\n10\n 11\n0\n 21\n0"}) {
    drawing += "  0\nLINE\n 10\n"s + xy + "\n";
  }
  std::filesystem::remove_all("parts");
  std::filesystem::create_directory("parts");
  test::writeBytes("parts/long.dxf", drawing);
  EXPECT_EQ(load(kHeader + "parts\n", "list.lst", LibraryFormat::PartListFile).names,
            std::vector<std::string>{std::string(49, 'N')});
}

TEST(MalformedInput, PreSrcDropsBrokenSectionsAndKeepsTheRest) {
  test::ScratchDir scratch;
  const std::string square =
      "pointNum=6\n0\n1,0,,0,0,5,0,0\n2,0,,0,0,0,10,0\n3,0,,0,0,0,10,10\n4,0,,0,0,0,0,10\n5\n";
  const Outcome outcome =
      load(kPlate + "_end_\n[PARTINFO]\nNameID=HUGE\npointNum=2000000000\n0\n1\n2\n_end_\n" +
               "[PARTINFO]\nNameID=MINUS\npointNum=-4\n_end_\n" +
               "[PARTINFO]\nNameID=COUNT\npointNum=4\n0\n1,0,,0,0,1e300,0,0\n2\n3\n_end_\n" +
               "[PARTINFO]\nNameID=" + std::string(2000, 'L') + "\n" + square + "_end_\n" +
               "[PARTINFO]\nNameID=LAST\n" + square,  // the file ends the section
           "parts.preSrc", LibraryFormat::PreSrcFile);
  EXPECT_EQ(outcome.error, "");
  EXPECT_EQ(outcome.names, (std::vector<std::string>{std::string(49, 'L'), "LAST"}));
  const std::string count = "\t某个面域点的数目<=0, 错误!";
  EXPECT_EQ(test::readBytes("PackError.txt"),
            test::gbkLines({count, "以上错误发生于零件:COUNT", count}));
}

}  // namespace
}  // namespace tarn
