#include "nesting/layout.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "nesting/nesting_fixtures.h"
#include "support/test_support.h"

namespace tarn {
namespace {

using test::makePart;
using test::Outline;
using test::rectangle;
using test::rectanglePart;
using test::TestJob;

const std::filesystem::path kTimingFile{std::string(text::kTimingFileName)};

Part parked(const Outline& outline, double x = 10000) {
  Part part = makePart(outline);
  translate(part, x - part.bbox.xmin, -part.bbox.ymax);
  part.selected = true;
  return part;
}

bool inCorner(const Part& part) {
  return part.bbox.xmin < 0.01 && part.bbox.ymin < 0.01;
}

TEST(TimingText, SwitchesToSecondsAfterOneSecond) {
  const struct {
    double seconds;
    const char* notice;
    const char* file;
  } rows[] = {
      {0.5, "排样计算时间为:500.00 毫秒",
       "\xc5\xc5\xd1\xf9\xbc\xc6\xcb\xe3\xca\xb1\xbc\xe4\xce\xaa:500.00 \xba\xc1\xc3\xeb"},
      {1.0, "排样计算时间为:1000.00 毫秒",
       "\xc5\xc5\xd1\xf9\xbc\xc6\xcb\xe3\xca\xb1\xbc\xe4\xce\xaa:1000.00 \xba\xc1\xc3\xeb"},
      {2.5, "排样计算时间为:2.50 秒",
       "\xc5\xc5\xd1\xf9\xbc\xc6\xcb\xe3\xca\xb1\xbc\xe4\xce\xaa:2.50 \xc3\xeb"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.seconds);
    EXPECT_EQ(TimingNoticeText(row.seconds), row.notice);
    EXPECT_EQ(TimingFileText(row.seconds), row.file);
  }
}

TEST(LayoutDrivers, WriteOneTimingLineAndAnnounceOnlyWhenAsked) {
  test::ScratchDir scratch;
  test::NoticeRecorder notices;
  TestJob t(1000, 1000, 30);
  t.add({parked(rectangle(0, 0, 100, 100))});
  test::writeBytes(kTimingFile, "old line\r\nsecond old line\r\n");
  Layout(*t.job, false);
  EXPECT_TRUE(notices.notices().empty());
  const double seconds = LayoutAll(*t.job, true);
  ASSERT_EQ(notices.notices().size(), 1u);
  EXPECT_EQ(notices.notices()[0].kind, Notice::Kind::Announcement);
  EXPECT_EQ(notices.notices()[0].caption, "注意!");
  EXPECT_EQ(notices.notices()[0].text, TimingNoticeText(seconds));
  EXPECT_EQ(test::readBytes(kTimingFile), TimingFileText(seconds) + "\r\n");
}

TEST(LayoutDrivers, AnUnwritableTimingFileStopsTheRunBeforeAnythingMoves) {
  test::ScratchDir scratch;
  std::filesystem::create_directory(kTimingFile);
  TestJob t(1000, 1000, 30);
  t.add({parked(rectangle(0, 0, 100, 100))});
  for (const auto& run : {LayoutAll, Layout, LayoutMultipleSteps}) {
    try {
      run(*t.job, true);
      ADD_FAILURE() << "no error";
    } catch (const CoreError& e) {
      EXPECT_EQ(e.what(), text::kTimingFileWriteFailed);
    }
    EXPECT_TRUE(t.part(0).selected);
    EXPECT_EQ(t.part(0).bbox.xmin, 10000);
    EXPECT_TRUE(t.job->gridPending);
  }
}

TEST(LayoutDrivers, BuildTheGridOnceAndKeepItsMarks) {
  test::ScratchDir scratch;
  TestJob t(1000, 1000, 30);
  t.add({parked(rectangle(0, 0, 100, 100)), parked(rectangle(0, 0, 2000, 100))});
  LayoutAll(*t.job, false);
  EXPECT_FALSE(t.job->gridPending);
  EXPECT_TRUE(inCorner(t.part(0)));
  // LayoutAll leaves nothing selected, also the part too large to place.
  EXPECT_FALSE(t.part(0).selected);
  EXPECT_FALSE(t.part(1).selected);
  EXPECT_EQ(t.part(1).bbox.xmin, 10000);
  // A later run reuses the grid: a mark no rebuild would set survives it.
  t.job->packingPoints.back().occupied = true;
  Layout(*t.job, false);
  EXPECT_TRUE(t.job->packingPoints.back().occupied);
}

TEST(Layout, PlacesTheSelectedPartsWhereverTheyLie) {
  test::ScratchDir scratch;
  TestJob t(1000, 1000, 30);
  t.add({rectanglePart(300, 300, 100, 100), parked(rectangle(0, 0, 50, 50))});
  t.part(1).selected = false;
  Layout(*t.job, false);
  EXPECT_EQ(t.part(0).bbox.xmin, 300.0);  // nothing selected: nothing moves
  EXPECT_EQ(t.part(1).bbox.xmin, 10000);

  // A part inside the plate is laid out again; its own footprint blocks only
  // the candidates that overlap it.
  t.part(0).selected = true;
  Layout(*t.job, false);
  EXPECT_TRUE(inCorner(t.part(0)));
  EXPECT_EQ(t.part(1).bbox.xmin, 10000);
}

// A 1250 x 1000 box without a 500 x 500 notch: outer area exactly 1,000,000,
// fill ratio exactly 0.8.
Outline notchedBox(double w, double notchW, double notchH) {
  return {{0, 0},   {w, 0}, {w, 1000 - notchH}, {w - notchW, 1000 - notchH}, {w - notchW, 1000},
          {0, 1000}};
}

TEST(LayoutMultipleSteps, TakesHugeNearlyFullPartsFirstFromTheThresholdOn) {
  // The rectangle only qualifies from the second pass on; whoever is placed
  // first takes the corner.
  const struct {
    const char* label;
    Outline huge;
    bool hugeFirst;
  } rows[] = {
      {"area 1,000,000 and fill 0.8 exactly", notchedBox(1250, 500, 500), true},
      {"fill 0.794", notchedBox(1260, 520, 500), false},
      {"area 999,500", notchedBox(1249, 500, 499), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    test::ScratchDir scratch;
    TestJob t;
    t.add({parked(rectangle(0, 0, 1000, 600)), parked(row.huge)});
    LayoutMultipleSteps(*t.job, false);
    EXPECT_TRUE(t.laidOut(t.part(0)));
    EXPECT_TRUE(t.laidOut(t.part(1)));
    EXPECT_EQ(inCorner(t.part(1)), row.hugeFirst);
    EXPECT_EQ(inCorner(t.part(0)), !row.hugeFirst);
  }
}

// Legs below a bar in a 300 x 250 box; with RN 1 only the turned-over twin
// improves on the plain part, so the flag tells which routine placed it.
Outline archShape(double notchLeft, double notchRight, double width) {
  return {{0, 0},          {notchLeft, 0}, {notchLeft, 125}, {notchRight, 125},
          {notchRight, 0}, {width, 0},     {width, 250},     {0, 250}};
}

TEST(LayoutMultipleSteps, GivesSmallSquarishPartsTheRotationsOnly) {
  const struct {
    const char* label;
    Outline shape;
    bool turnedOver;
  } rows[] = {
      {"area 50,000 and aspect 1.2 exactly: rotations only", archShape(50, 250, 300), false},
      {"area 50,250", archShape(51, 249, 300), true},
      {"aspect 1.204", archShape(50, 252, 301), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    test::ScratchDir scratch;
    TestJob t(1000, 1000, 30);
    t.job->params.rotationNumber = 1;
    t.add({parked(row.shape)});
    LayoutMultipleSteps(*t.job, false);
    ASSERT_TRUE(t.laidOut(t.part(0)));
    EXPECT_EQ(t.part(0).turnedOver, row.turnedOver);
  }
}

TEST(LayoutMultipleSteps, TriesAPartThatDoesNotFitInEveryLaterPass) {
  test::ScratchDir scratch;
  TestJob t(500, 500, 30);
  Part ignored = parked(rectangle(0, 0, 100, 100));
  ignored.selected = false;
  t.add({parked(rectangle(0, 0, 800, 800)), ignored});
  std::vector<LayoutProgress> reports;
  const ProgressHook previous =
      setProgressHook([&reports](const LayoutProgress& p) { reports.push_back(p); });
  LayoutMultipleSteps(*t.job, false);
  setProgressHook(previous);
  // Passes 2 to 5; the unselected part is never tried.
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_EQ(reports.back().tried, 4);
  EXPECT_EQ(t.part(0).bbox.xmin, 10000);
  EXPECT_EQ(t.part(1).bbox.xmin, 10000);
}

}  // namespace
}  // namespace tarn
