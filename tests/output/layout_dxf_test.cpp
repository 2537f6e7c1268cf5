#include "output/layout_dxf.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "output_fixtures.h"
#include "support/test_support.h"

namespace tarn {
namespace {

using test::crlfLines;

std::string layoutOf(PackingJob& job) {
  std::ostringstream out;
  WriteLayoutDxf(job, out);
  return out.str();
}

TEST(WriteLayoutDxf, EmptyLibraryGivesPlatePackedLineAtZeroAndTheTexts) {
  test::TestJob empty;
  const std::string golden = test::readBytes(test::dataPath("output/empty_layout.dxf"));
  EXPECT_EQ(layoutOf(empty.job), golden);

  test::ScratchDir scratch;
  WriteLayoutDxf(empty.job, std::filesystem::path("layout.dxf"));
  EXPECT_EQ(test::readBytes("layout.dxf"), golden);
}

TEST(WriteLayoutDxf, WritesAPackedSquareWithUtilisation) {
  test::TestJob square;
  test::addSourcePart(
      square.job,
      test::makeSource(0, "SQ",
                       test::outline({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, {0, 0, 0, 0})));
  // Area 10000 over 100 x 4000 is 2.5 %; the name is a tenth of the diagonal high.
  EXPECT_EQ(layoutOf(square.job), test::readBytes(test::dataPath("output/square_layout.dxf")));
}

TEST(WriteLayoutDxf, WritesPlainNumbersOnASmallPlate) {
  test::TestJob small;
  small.job.params.plateLength = 250;
  small.job.params.plateWidth = 100;
  small.job.plateExtents = BBox{0, 250, 0, 100};
  test::addSourcePart(
      small.job,
      test::makeSource(0, "T",
                       test::outline({{0, 0}, {0.1, 0}, {0.1, 0.1}, {0, 0.1}}, {0, 0, 0, 0})));
  const std::string dxf = layoutOf(small.job);
  EXPECT_NE(dxf.find(crlfLines({"LINE|  8|0| 10|250| 20|0| 30|0.0| 11|250| 21|100"})),
            std::string::npos);
  EXPECT_NE(dxf.find(crlfLines({"LINE|  8|3| 10|0.1| 20|100| 30|0.0| 11|0.1| 21|0"})),
            std::string::npos);
  EXPECT_NE(dxf.find(crlfLines({" 10|250| 20|100| 30|0| 40|2|  1|Length=250  , Width=100  "})),
            std::string::npos);
  // Area 0.01 over 0.1 x 100 is 0.1 %.
  EXPECT_NE(
      dxf.find(crlfLines(
          {" 10|0.1| 20|96| 30|0| 40|2|  1|PackingLength=0.1  , MaterialUtilization=0.10 %"})),
      std::string::npos);
}

TEST(WriteLayoutDxf, TurnedOverPartIsYellowAndItsArcBulgesToTheMirroredSide) {
  struct Row {
    bool turned;
    const char* colour;
    const char* startDeg;
    const char* endDeg;
  };
  // The half disc lies below its chord as read, above it once turned over.
  const Row rows[] = {{false, "3", "180", "360"}, {true, "2", "0", "180"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.turned);
    test::TestJob disc;
    test::addSourcePart(disc.job,
                        test::makeSource(7, "D", test::outline({{0, 0}, {10, 0}}, {5, 0})));
    Part& working = disc.job.workingParts.front();
    if (row.turned) {
      const Point pivot = working.refPoint;
      turnOver(working, pivot);
    }
    translate(working, 100, 100);
    const std::string expected = crlfLines({
        std::string("ARC|  8|1| 62|") + row.colour + "| 10|105| 20|100| 30|0.0| 40|5| 50|" +
            row.startDeg + "| 51|" + row.endDeg + "|  0",
        std::string("LINE|  8|1| 62|") + row.colour +
            "| 10|110| 20|100| 30|0.0| 11|100| 21|100| 31|0.0|  0",
        "TEXT|  8|2| 10|100| 20|100| 30|0| 40|1|  1|D| 50|0|  0",
    });
    EXPECT_NE(layoutOf(disc.job).find(expected), std::string::npos);
  }
}

// A part list job keeps no arcs: the true outline is written where the grown
// working copy lies, and measured, ungrown.
TEST(WriteLayoutDxf, WritesAndMeasuresTrueOutlinesOfAPartListJob) {
  test::TestJob list;
  Part truePart = test::makePart(3, "L1", {{0, 0}, {100, 0}, {100, 50}, {0, 50}});
  truePart.nameLabel.height = 5;
  Part working = test::makePart(3, "L1", {{-5, -5}, {105, -5}, {105, 55}, {-5, 55}});
  working.refPoint = Point{0, 0};
  translate(working, 350, 200);
  list.job.trueParts.insert(truePart);
  list.job.workingParts.insert(working);
  // At (350, 200) unturned; area 5000 over 450 x 4000 is 0.2777 %.
  EXPECT_EQ(layoutOf(list.job), test::readBytes(test::dataPath("output/part_list_layout.dxf")));
}

TEST(WriteLayoutDxf, CountsAPartTouchingThePlateEdgeWithinTheTolerance) {
  struct Row {
    double beyondEdge;
    const char* count;
  };
  const Row rows[] = {{0.0, "1"}, {5e-11, "1"}, {1e-9, "0"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.beyondEdge);
    test::TestJob edge;
    test::addSourcePart(
        edge.job,
        test::makeSource(
            0, "E", test::outline({{5900, 0}, {6000, 0}, {6000, 100}, {5900, 100}}, {0, 0, 0, 0})));
    translate(edge.job.workingParts.front(), row.beyondEdge, 0);
    const std::string text = std::string("Packed Parts Number=") + row.count + ",";
    EXPECT_NE(layoutOf(edge.job).find(text), std::string::npos);
  }
}

TEST(WriteLayoutDxf, UnwritablePathThrowsAndWritesNothing) {
  test::TestJob empty;
  test::ScratchDir scratch;
  std::filesystem::create_directory("taken.dxf");
  for (const char* path : {"taken.dxf", "missing/layout.dxf"}) {
    SCOPED_TRACE(path);
    try {
      WriteLayoutDxf(empty.job, std::filesystem::path(path));
      ADD_FAILURE() << "no error";
    } catch (const CoreError& e) {
      EXPECT_EQ(e.what(), text::kLayoutFileWriteFailed);
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty("taken.dxf"));
  EXPECT_FALSE(std::filesystem::exists("missing"));
}

}  // namespace
}  // namespace tarn
