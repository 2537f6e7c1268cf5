#include "library/part_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/packing_job.h"
#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using Texts = std::vector<std::string>;

TEST(ReadPartListFile, SkipsAnUnreadableDrawingAndCountsIdsOfTheReadOnes) {
  test::NoticeRecorder notices;
  std::ostringstream report;
  PackingJob job(report);
  readPartListFile(job, libraryData("partlist/three.lst"));
  EXPECT_EQ(job.plateExtents.xmax, 2000.0);
  EXPECT_EQ(job.plateExtents.ymax, 1000.0);
  EXPECT_EQ(job.params.partGap, 4.0);
  // a.dxf id 0, b.DXF unreadable, c.dxf (200 wide) id 1, newest first; sub/ is not searched.
  ASSERT_EQ(job.workingParts.count(), 2);
  EXPECT_EQ(job.workingParts.front().id, 1);
  EXPECT_EQ(job.workingParts.front().bbox.xmax, 200.0);
  EXPECT_EQ(job.workingParts.back().id, 0);
  const auto unreadable = libraryData("partlist/three") / "b.DXF";
  EXPECT_EQ(notices.texts(), (Texts{std::string(text::kChainNotClosed),
                                    "零件\"" + unreadable.string() + "\"读取失败!"}));
}

TEST(ReadPartListFile, TriesARelativeFolderInTheCurrentFolderFirst) {
  test::ScratchDir scratch;
  std::filesystem::create_directory("three");
  std::filesystem::copy_file(libraryData("partlist/three/c.dxf"), "three/only.Dxf");
  std::ostringstream report;
  PackingJob job(report);
  readPartListFile(job, libraryData("partlist/three.lst"));
  EXPECT_EQ(job.workingParts.count(), 1);
}

TEST(FindDrawings, ListsFilesEndingInDxfOfAnyCaseSortedByName) {
  test::ScratchDir scratch;
  for (const char* name : {"b.DXF", "a.dxf", "c.dXf", "d.dxf.txt", "e.dx"}) {
    test::writeBytes(name, "");
  }
  std::filesystem::create_directory("folder.dxf");
  Texts names;
  for (const auto& path : findDrawings(scratch.path())) {
    EXPECT_EQ(path.parent_path(), scratch.path());
    names.push_back(path.filename().string());
  }
  EXPECT_EQ(names, (Texts{"a.dxf", "b.DXF", "c.dXf"}));
  EXPECT_TRUE(findDrawings(scratch.path() / "missing").empty());
}

}  // namespace
}  // namespace tarn
