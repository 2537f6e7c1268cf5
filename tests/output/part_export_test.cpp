#include "output/part_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "library/dxf_reader.h"
#include "library/part_list.h"
#include "output_fixtures.h"
#include "support/test_support.h"

namespace tarn {
namespace {

using test::crlfLines;

std::set<std::string> filesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

TEST(ExportParts, WritesASquareAsItWasLoaded) {
  test::TestJob job;
  Part square = test::squarePart(1, "SQ", 0, 0, 10);
  square.nameLabel = TextLabel{"SQ", 2, 3, 30, 1.5};
  test::addPart(job.job, square);
  // Moved and turned in the layout; the export does not follow.
  translate(job.job.workingParts.front(), 500, 500);
  rotate(job.job.workingParts.front(), Point{500, 500}, 1.0);

  test::ScratchDir scratch;
  ExportParts(job.job);
  EXPECT_EQ(test::readBytes("SQ.dxf"), test::readBytes(test::dataPath("output/square_export.dxf")));
  EXPECT_EQ(filesIn("."), std::set<std::string>{"SQ.dxf"});
}

TEST(ExportParts, SkipsAndReportsNamesThatAreNoPlainFileName) {
  const char* unsafe[] = {"", "a/b", "a\\b", "..", "x..y", "-x", "tab\tname", "del\x7f"};
  // GBK "P昞1": its trail byte is '\\' but belongs to the character.
  const char* safe[] = {"ok",
                        "P\x95\x5c"
                        "1",
                        "\xe9\x9b\xb6\xe4\xbb\xb6-1", ".hidden", "a b"};
  test::TestJob job;
  int id = 0;
  for (const char* name : unsafe) {
    test::addPart(job.job, test::squarePart(id++, name, 0, 0, 10));
  }
  for (const char* name : safe) {
    test::addPart(job.job, test::squarePart(id++, name, 0, 0, 10));
  }
  test::ScratchDir scratch;
  const std::filesystem::path folder = "out";
  std::filesystem::create_directory(folder);
  test::NoticeRecorder notices;
  ExportParts(job.job, folder);

  std::set<std::string> expected;
  for (const char* name : safe) {
    expected.insert(std::string(name) + ".dxf");
  }
  EXPECT_EQ(filesIn(folder), expected);
  EXPECT_EQ(filesIn("."), std::set<std::string>{"out"});
  ASSERT_EQ(notices.texts().size(), std::size(unsafe));
  for (const std::string& notice : notices.texts()) {
    EXPECT_EQ(notice.rfind(text::kLayoutFileWriteFailed, 0), 0u) << notice;
  }
  std::string all;
  for (const std::string& notice : notices.texts()) {
    all += notice;
  }
  // Control characters are shown, not sent to the message box.
  EXPECT_NE(all.find("\"tab\\x09name\""), std::string::npos) << all;
  EXPECT_NE(all.find("\"del\\x7f\""), std::string::npos) << all;
}

TEST(ExportParts, LaterPartOfTheSameNameReplacesTheEarlier) {
  test::TestJob job;
  test::addPart(job.job, test::squarePart(2, "A", 70, 0, 10));  // inserted last: walked first
  test::addPart(job.job, test::squarePart(1, "A", 40, 0, 10));
  test::ScratchDir scratch;
  ExportParts(job.job);
  EXPECT_NE(test::readBytes("A.dxf").find(crlfLines({"POINT|  8|0| 10|70"})), std::string::npos);
}

TEST(ExportParts, UnwritableFileThrowsAndKeepsTheFilesBefore) {
  test::TestJob job;
  test::addPart(job.job, test::squarePart(3, "C", 0, 0, 10));
  test::addPart(job.job, test::squarePart(2, "B", 0, 0, 10));
  test::addPart(job.job, test::squarePart(1, "A", 0, 0, 10));
  test::ScratchDir scratch;
  std::filesystem::create_directory("B.dxf");
  try {
    ExportParts(job.job);
    ADD_FAILURE() << "no error";
  } catch (const CoreError& e) {
    EXPECT_EQ(e.what(), text::kLayoutFileWriteFailed);
  }
  EXPECT_EQ(filesIn("."), (std::set<std::string>{"A.dxf", "B.dxf"}));
  EXPECT_TRUE(std::filesystem::is_directory("B.dxf"));
}

TEST(ExportParts, AnExportedPartLoadsAgainThroughThePartList) {
  test::TestJob job;
  Part holed = test::squarePart(1, "H", 0, 0, 10);
  Region hole;
  setPoints(hole, {{4, 4}, {6, 4}, {6, 6}, {4, 6}});
  RegionList holes;
  holes.insert(hole);
  const Region outer = holed.outer;
  setGeometry(holed, outer, holes);
  test::addPart(job.job, holed);
  test::ScratchDir scratch;
  std::filesystem::create_directory("parts");
  ExportParts(job.job, "parts");

  Part read;
  ASSERT_TRUE(readDxfPart(read, "parts/H.dxf"));
  EXPECT_DOUBLE_EQ(read.area, 96.0);
  test::writeBytes("parts.lst",
                   "Plate length:1000\r\nPlate width:500\r\nPart distance:0\r\nparts\r\n");
  test::TestJob reloaded;
  readPartListFile(reloaded.job, "parts.lst");
  ASSERT_EQ(reloaded.job.workingParts.count(), 1);
  EXPECT_DOUBLE_EQ(reloaded.job.workingParts.front().area, 96.0);
}

TEST(ExportParts, EmptyLibraryWritesNothing) {
  test::TestJob job;
  test::ScratchDir scratch;
  test::NoticeRecorder notices;
  ExportParts(job.job);
  EXPECT_TRUE(std::filesystem::is_empty("."));
  EXPECT_TRUE(notices.texts().empty());
}

}  // namespace
}  // namespace tarn
