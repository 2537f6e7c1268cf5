#include "library/part_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/packing_job.h"
#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;

TEST(ReadPartListFile, SkipsAnUnreadableDrawingAndCountsIdsOfTheReadOnes) {
  test::NoticeRecorder notices;
  std::ostringstream report;
  PackingJob job(report);
  readPartListFile(job, libraryData("partlist/three.lst"));
  EXPECT_EQ(job.params.plateLength, 2000.0);
  EXPECT_EQ(job.params.plateWidth, 1000.0);
  EXPECT_EQ(job.params.partGap, 4.0);
  EXPECT_EQ(job.plateExtents.xmax, 2000.0);
  // a.dxf id 0, b.DXF unreadable, c.dxf id 1; newest first. sub/ and notes.txt are not read.
  ASSERT_EQ(job.workingParts.count(), 2);
  EXPECT_EQ(test::idsOf(job.workingParts), (std::vector<int>{1, 0}));
  EXPECT_EQ(job.workingParts.front().bbox.xmax, 200.0);
  const std::filesystem::path unreadable = libraryData("partlist/three") / "b.DXF";
  EXPECT_EQ(notices.texts(),
            (std::vector<std::string>{std::string(text::kChainNotClosed),
                                      "零件\"" + unreadable.string() + "\"读取失败!"}));
  EXPECT_TRUE(job.sources.empty());
}

TEST(ReadPartListFile, TriesARelativeFolderInTheCurrentFolderFirst) {
  test::ScratchDir scratch;
  // A folder "three" in the current folder holding one drawing wins over the
  // one beside the list file.
  std::filesystem::create_directory("three");
  std::filesystem::copy_file(libraryData("partlist/three/c.dxf"), "three/only.Dxf");
  test::NoticeRecorder notices;
  std::ostringstream report;
  PackingJob job(report);
  readPartListFile(job, libraryData("partlist/three.lst"));
  ASSERT_EQ(job.workingParts.count(), 1);
  EXPECT_TRUE(notices.texts().empty());
}

TEST(ReadPartListFile, AnEmptyOrMissingFolderGivesAnEmptyLibrary) {
  test::ScratchDir scratch;
  for (const std::string& folder :
       std::vector<std::string>{"", "no-such-folder", scratch.path().string()}) {
    SCOPED_TRACE(folder);
    test::writeBytes("list.lst", "Plate length:100\nPlate width:100\nPart distance:0\n" + folder);
    std::ostringstream report;
    PackingJob job(report);
    readPartListFile(job, "list.lst");
    EXPECT_EQ(job.workingParts.count(), 0);
  }
}

TEST(ReadPartListFile, FailsOnAMissingListFile) {
  std::ostringstream report;
  PackingJob job(report);
  try {
    readPartListFile(job, libraryData("partlist/none.lst"));
    FAIL() << "no error";
  } catch (const CoreError& e) {
    EXPECT_EQ(std::string(e.what()), text::kListFileReadFailed);
  }
}

TEST(FindDrawings, ListsDxfFilesOfAnyCaseSortedByName) {
  test::ScratchDir scratch;
  for (const char* name : {"b.DXF", "a.dxf", "c.dXf", "d.dxf.txt", "e.dx"}) {
    test::writeBytes(name, "");
  }
  std::filesystem::create_directory("folder.dxf");
  std::vector<std::string> names;
  for (const auto& path : findDrawings(scratch.path())) {
    names.push_back(path.filename().string());
    EXPECT_EQ(path.parent_path(), scratch.path());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"a.dxf", "b.DXF", "c.dXf"}));
}

}  // namespace
}  // namespace tarn
