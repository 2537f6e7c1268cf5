#include "library/part_list.h"

#include <gtest/gtest.h>

#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using test::Texts;

TEST(ReadPartListFile, SkipsAnUnreadableDrawingAndCountsIdsOfTheReadOnes) {
  test::NoticeRecorder notices;
  test::MemoryJob m;
  readPartListFile(m.job, libraryData("partlist/three.lst"));
  EXPECT_EQ(m.job.plateExtents.xmax, 2000.0);
  EXPECT_EQ(m.job.plateExtents.ymax, 1000.0);
  EXPECT_EQ(m.job.params.partGap, 4.0);
  // a.dxf id 0, b.DXF unreadable, c.dxf (200 wide) id 1, newest first; sub/ is not searched.
  ASSERT_EQ(m.job.workingParts.count(), 2);
  EXPECT_EQ(m.job.workingParts.front().id, 1);
  EXPECT_EQ(m.job.workingParts.front().bbox.xmax, 200.0);
  EXPECT_EQ(m.job.workingParts.back().id, 0);
  const auto unreadable = libraryData("partlist/three") / "b.DXF";
  EXPECT_EQ(notices.texts(), (Texts{std::string(text::kChainNotClosed),
                                    "零件\"" + unreadable.string() + "\"读取失败!"}));
}

TEST(ReadPartListFile, LooksForARelativeFolderInTheJobsFolderThenBesideTheList) {
  test::ScratchDir scratch;
  // The working directory is never searched: its copy of the folder holds c.dxf alone.
  std::filesystem::create_directories("three");
  std::filesystem::copy_file(libraryData("partlist/three/c.dxf"), "three/c.dxf");
  std::filesystem::create_directories("out/three");
  std::filesystem::copy_file(libraryData("partlist/three/a.dxf"), "out/three/a.dxf");
  const struct {
    const char* folder;
    int parts;
  } rows[] = {{"out", 1}, {"elsewhere", 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.folder);
    test::NoticeRecorder notices;
    test::MemoryJob m;
    m.job.outputFolder = scratch.path() / row.folder;
    readPartListFile(m.job, libraryData("partlist/three.lst"));
    EXPECT_EQ(m.job.workingParts.count(), row.parts);
  }
}

}  // namespace
}  // namespace tarn
