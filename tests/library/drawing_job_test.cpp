// Jobs straight from drawings: the plate and count arguments, copies and ids,
// folders, and the bound on the part count.
#include "library/drawing_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "geometry/texts.h"
#include "library_test_util.h"

namespace tarn {
namespace {

using test::libraryData;
using test::Texts;

TEST(ParsePlateSize, TakesTwoPositiveNumbersJoinedByAnX) {
  struct Row {
    const char* text;
    double length, width;  // 0: refused
  } rows[] = {
      {"3000x1500", 3000, 1500},
      {"2500.5X1250", 2500.5, 1250},
      {"1e7x1", 1e7, 1},
      {"3000x", 0, 0},
      {"x1500", 0, 0},
      {"0x100", 0, 0},
      {"-5x100", 0, 0},
      {"3000*1500", 0, 0},
      {"nanx5", 0, 0},
      {"infx5", 0, 0},
      {"1.1e7x5", 0, 0},
      {" 3000x1500", 0, 0},
      {"3000 x1500", 0, 0},
      {"3000x1500x2", 0, 0},
      {"", 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const std::optional<PlateSize> size = parsePlateSize(row.text);
    ASSERT_EQ(size.has_value(), row.length != 0);
    if (size) {
      EXPECT_EQ(size->length, row.length);
      EXPECT_EQ(size->width, row.width);
    }
  }
}

TEST(ParseDrawingOrder, SplitsACountOffTheLastColonUnlessTheWholeNameExists) {
  test::ScratchDir scratch;
  test::writeBytes("b.dxf:3", "");
  struct Row {
    const char* text;
    const char* path;  // nullptr: refused
    int count;
  } rows[] = {
      {"a.dxf", "a.dxf", 1},
      {"a.dxf:12", "a.dxf", 12},
      {"a.dxf:10000", "a.dxf", 10000},
      {"dir:x/a.dxf:2", "dir:x/a.dxf", 2},
      {"b.dxf:3", "b.dxf:3", 1},  // a file of that name
      {"a.dxf:0", nullptr, 0},
      {"a.dxf:10001", nullptr, 0},
      {"a.dxf:1000000000", nullptr, 0},
      {"a.dxf:99999999999999999999", nullptr, 0},
      {"a.dxf:-1", nullptr, 0},
      {"a.dxf:+2", nullptr, 0},
      {"a.dxf:x", nullptr, 0},
      {"a.dxf:", nullptr, 0},
      {":3", nullptr, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const std::optional<DrawingOrder> order = parseDrawingOrder(row.text);
    ASSERT_EQ(order.has_value(), row.path != nullptr);
    if (order) {
      EXPECT_EQ(order->path, std::filesystem::path(row.path));
      EXPECT_EQ(order->count, row.count);
    }
  }
}

TEST(ReadDrawingJob, CopiesEachDrawingCountTimesWithIdsInOrderAndReadsFolders) {
  test::NoticeRecorder notices;
  test::MemoryJob m;
  const std::filesystem::path several = libraryData("drawings/r2000_several.dxf");
  const std::filesystem::path three = libraryData("partlist/three");
  readDrawingJob(m.job, {1000.0, 500.0, 4.0, {{several, 2}, {three, 1}}});
  EXPECT_EQ(m.job.params.plateLength, 1000.0);
  EXPECT_EQ(m.job.params.plateWidth, 500.0);
  EXPECT_EQ(m.job.params.partGap, 4.0);
  EXPECT_EQ(m.job.plateExtents.xmax, 1000.0);
  // The drawing whole, twice; then the folder's drawings by name, b.DXF skipped.
  Texts names = test::namesOf(m.job.workingParts);
  std::reverse(names.begin(), names.end());
  EXPECT_EQ(names, (Texts{"LEFT#0", "r2000_several#1", "RIGHT#2", "LEFT#3", "r2000_several#4",
                          "RIGHT#5", "a#6", "c#7"}));
  EXPECT_EQ(test::namesOf(m.job.sources).size(), 6u);  // only the imported parts have arcs
  EXPECT_EQ(m.job.sources.front().id, 5);
  const std::map<int, std::filesystem::path> drawings = {
      {0, several}, {1, several}, {2, several},         {3, several},
      {4, several}, {5, several}, {6, three / "a.dxf"}, {7, three / "c.dxf"}};
  EXPECT_EQ(m.job.partDrawings, drawings);
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
      {"negative gap", {100, 100, -1, {{square, 1}}}, text::kDrawingJobBadGap},
      {"infinite gap", {100, 100, INFINITY, {{square, 1}}}, text::kDrawingJobBadGap},
      {"count 0", {100, 100, 0, {{square, 0}}}, text::kDrawingJobBadCount},
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
