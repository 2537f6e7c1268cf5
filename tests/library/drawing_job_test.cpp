// Jobs straight from drawings: the plate and count arguments, copies and ids,
// folders, and the bound on the part count.
#include "library/drawing_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using test::Texts;

TEST(ParsePlateSize, TakesTwoPositiveNumbersJoinedByAnX) {
  const std::optional<PlateSize> size = parsePlateSize("2500.5X1250");
  ASSERT_TRUE(size);
  EXPECT_EQ(size->length, 2500.5);
  EXPECT_EQ(size->width, 1250);
  EXPECT_TRUE(parsePlateSize("1e7x1"));
  for (const char* bad : {"3000x", "x1500", "0x100", "-5x100", "3000*1500", "nanx5", "infx5",
                          "1.1e7x5", " 3000x1500", "3000 x1500", "3000x1500x2", ""}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(parsePlateSize(bad));
  }
}

TEST(ParseDrawingOrder, SplitsACountOffTheLastColonUnlessTheWholeNameExists) {
  test::ScratchDir scratch;
  test::writeBytes("b.dxf:3", "");
  struct Row {
    const char* text;
    const char* path;
    int count;
  } rows[] = {{"a.dxf", "a.dxf", 1},
              {"a.dxf:10000", "a.dxf", 10000},
              {"dir:x/a.dxf:2", "dir:x/a.dxf", 2},
              {"b.dxf:3", "b.dxf:3", 1}};  // a file of that name
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const std::optional<DrawingOrder> order = parseDrawingOrder(row.text);
    ASSERT_TRUE(order);
    EXPECT_EQ(order->path, std::filesystem::path(row.path));
    EXPECT_EQ(order->count, row.count);
  }
  for (const char* bad : {"a.dxf:0", "a.dxf:10001", "a.dxf:99999999999999999999", "a.dxf:-1",
                          "a.dxf:+2", "a.dxf:x", "a.dxf:", ":3"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(parseDrawingOrder(bad));
  }
}

TEST(ReadDrawingJob, CopiesEachDrawingCountTimesWithIdsInOrderAndReadsFolders) {
  test::NoticeRecorder notices;
  test::MemoryJob m;
  const std::filesystem::path several = libraryData("drawings/r2000_several.dxf");
  const std::filesystem::path three = libraryData("partlist/three");
  readDrawingJob(m.job, {1000.0, 500.0, 4.0, {{several, 2}, {three, 1}}});
  EXPECT_EQ(m.job.plateExtents.xmax, 1000.0);
  // The drawing whole, twice; then the folder's drawings by name, b.DXF skipped.
  Texts names = test::namesOf(m.job.workingParts);
  std::reverse(names.begin(), names.end());
  EXPECT_EQ(names, (Texts{"LEFT#0", "r2000_several#1", "RIGHT#2", "LEFT#3", "r2000_several#4",
                          "RIGHT#5", "a#6", "c#7"}));
  EXPECT_EQ(m.job.sources.count(), 6);  // only the imported parts have arcs
  ASSERT_EQ(m.job.partDrawings.size(), 8u);
  EXPECT_EQ(m.job.partDrawings.at(5), several);
  EXPECT_EQ(m.job.partDrawings.at(7), three / "c.dxf");
  ASSERT_EQ(notices.texts().size(), 3u);
  EXPECT_EQ(notices.texts()[2], "零件\"" + (three / "b.DXF").string() + "\"读取失败!");
}

TEST(ReadDrawingJob, RefusesBadValuesAndTooManyPartsBeforeMakingAnyCopy) {
  const std::filesystem::path square = libraryData("partlist/three/c.dxf");
  const std::filesystem::path several = libraryData("drawings/r2000_several.dxf");
  struct Row {
    const char* label;
    DrawingJobRequest request;
    std::string_view message;
  } rows[] = {
      {"zero width", {100, 0, 0, {{square, 1}}}, text::kDrawingJobBadPlate},
      {"NaN length", {NAN, 100, 0, {{square, 1}}}, text::kDrawingJobBadPlate},
      {"infinite gap", {100, 100, INFINITY, {{square, 1}}}, text::kDrawingJobBadGap},
      {"count beyond the bound", {100, 100, 0, {{square, 10001}}}, text::kDrawingJobBadCount},
      // 3 parts a copy: 3334 copies are 10,002 parts.
      {"three parts a copy", {100, 100, 0, {{several, 3334}}}, text::kDrawingJobTooManyParts},
      {"in all", {100, 100, 0, {{square, 10000}, {square, 1}}}, text::kDrawingJobTooManyParts},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    test::MemoryJob m;
    EXPECT_EQ(test::errorOf([&] { readDrawingJob(m.job, row.request); }), row.message);
    EXPECT_TRUE(m.job.workingParts.empty());
  }
  test::MemoryJob full;
  readDrawingJob(full.job, {100, 100, 0, {{square, 9997}, {several, 1}}});
  EXPECT_EQ(full.job.workingParts.count(), kMaxDrawingJobParts);
}

}  // namespace
}  // namespace tarn
