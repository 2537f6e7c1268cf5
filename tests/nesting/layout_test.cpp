#include "nesting/layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "job/job_operations.h"
#include "nesting/nesting_fixtures.h"
#include "support/test_support.h"

namespace tarn::test {
namespace {

const std::filesystem::path kTimingFile{std::string(text::kTimingFileName)};

bool inCorner(const Part& part) {
  return part.bbox.xmin < 0.01 && part.bbox.ymin < 0.01;
}

TEST(TimingText, SwitchesToSecondsAfterOneSecond) {
  EXPECT_EQ(TimingNoticeText(1.0), "排样计算时间为:1000.00 毫秒");
  EXPECT_EQ(TimingNoticeText(2.5), "排样计算时间为:2.50 秒");
  EXPECT_EQ(TimingFileText(1.0), gbkOf(TimingNoticeText(1.0)));
  EXPECT_EQ(TimingFileText(2.5), gbkOf(TimingNoticeText(2.5)));
}

TEST(LayoutDrivers, PlaceTheirPartsOnOneGridAndRewriteTheTimingLine) {
  ScratchDir scratch;
  NoticeRecorder notices;
  writeBytes(kTimingFile, "old line\r\nsecond old line\r\n");
  TestJob t(1000, 1000, 30);
  t.add({rectanglePart(300, 300, 100, 100), rectanglePart(10000, -50, 50, 50),
         rectanglePart(10000, -100, 2000, 100)});
  Layout(t.job, false);  // nothing selected: nothing moves
  EXPECT_EQ(t.part(0).bbox.xmin, 300);
  // A selected part inside the plate moves clear of its own footprint.
  t.part(0).selected = true;
  Layout(t.job, false);
  EXPECT_TRUE(inCorner(t.part(0)));
  EXPECT_EQ(t.part(1).bbox.xmin, 10000);
  // Later runs reuse the grid: a mark no rebuild would set survives them.
  EXPECT_FALSE(t.job.gridPending);
  t.job.packingPoints.back().occupied = true;
  const double seconds = LayoutAll(t.job, true);
  EXPECT_TRUE(t.job.packingPoints.back().occupied);
  EXPECT_TRUE(t.laidOut(t.part(1)));
  // Nothing stays selected, not even the part too large to place.
  EXPECT_FALSE(t.part(0).selected || t.part(1).selected || t.part(2).selected);
  // With an output folder the timing line goes there only.
  std::filesystem::create_directory("out");
  t.job.outputFolder = scratch.path() / "out";
  const double again = LayoutAll(t.job, false);
  EXPECT_EQ(readBytes("out" / kTimingFile), TimingFileText(again) + "\r\n");
  EXPECT_THAT(notices.notices(),
              testing::ElementsAre(testing::FieldsAre(Notice::Kind::Announcement, "注意!",
                                                      TimingNoticeText(seconds))));
  EXPECT_EQ(readBytes(kTimingFile), TimingFileText(seconds) + "\r\n");
}

TEST(LayoutDrivers, AnUnwritableTimingFileStopsTheRunBeforeAnythingMoves) {
  ScratchDir scratch;
  std::filesystem::create_directory(kTimingFile);
  TestJob t(1000, 1000, 30);
  t.add({parked(rectangle(0, 0, 100, 100))});
  using Driver = double (*)(PackingJob&, bool);
  for (const Driver run : {Driver{LayoutAll}, Driver{Layout}, Driver{LayoutMultipleSteps}}) {
    EXPECT_THAT([&] { run(t.job, true); },
                testing::ThrowsMessage<CoreError>(testing::StrEq(text::kTimingFileWriteFailed)));
    EXPECT_TRUE(t.part(0).selected);
    EXPECT_EQ(t.part(0).bbox.xmin, 10000);
    EXPECT_TRUE(t.job.gridPending);
  }
}

// Five 200 x 100 parts parked side by side on a 1000 x 1000 plate.
void addFiveParked(TestJob& t) {
  std::vector<Part> parts;
  for (int k = 0; k < 5; ++k) {
    parts.push_back(parked(rectangle(0, 0, 200, 100), 2000 + 300 * k));
  }
  t.add(parts);
}

TEST(PlacingWalks, WriteNothingAndCountIntoTheirOwnContext) {
  ScratchDir scratch;
  const std::uint64_t defaultBefore = defaultRunContext().counters.fitTests;
  TestJob t(1000, 1000, 30);
  addFiveParked(t);
  RunContext run;
  int calls = 0;
  LayoutProgress last;
  run.progress = [&](const LayoutProgress& step) { ++calls, last = step; };
  const PlacingOutcome outcome = PlaceWaiting(t.job, run);
  EXPECT_TRUE(outcome.tried == 5 && !outcome.stopped);
  EXPECT_TRUE(t.laidOut(t.part(4)));
  EXPECT_TRUE(calls == 5 && last.tried == 5 && last.waiting == 0);
  EXPECT_FALSE(std::filesystem::exists(kTimingFile));
  EXPECT_GT(run.counters.fitTests, 0u);
  EXPECT_EQ(defaultRunContext().counters.fitTests, defaultBefore);
}

TEST(PlacingWalks, AStopEndsTheRunAfterThePartBeingPlacedWhichThenFinishesAsUsual) {
  ScratchDir scratch;
  using Driver = double (*)(PackingJob&, bool, RunContext&);
  for (const Driver driver : {Driver{LayoutAll}, Driver{Layout}, Driver{LayoutMultipleSteps}}) {
    TestJob t(1000, 1000, 30);
    addFiveParked(t);  // and selected
    std::stop_source stop;
    std::vector<std::string> notices;
    RunContext run;
    run.stop = stop.get_token();
    run.notices = [&](const Notice& notice) { notices.push_back(notice.text); };
    run.progress = [&](const LayoutProgress& step) {
      if (step.tried == 2) {
        stop.request_stop();
      }
    };
    const double seconds = driver(t.job, true, run);
    for (int k = 0; k < 5; ++k) {
      // The first two laid out, the rest where they waited.
      EXPECT_EQ(t.laidOut(t.part(k)), k < 2) << k;
      if (k >= 2) {
        EXPECT_EQ(t.part(k).bbox.xmin, 2000 + 300 * k) << k;
      }
    }
    EXPECT_EQ(notices, std::vector<std::string>{TimingNoticeText(seconds)});
    EXPECT_EQ(readBytes(kTimingFile), TimingFileText(seconds) + "\r\n");
  }
  // Asked to stop before it starts, a walk places nothing but still builds the grid.
  TestJob t(1000, 1000, 30);
  addFiveParked(t);
  std::stop_source stop;
  stop.request_stop();
  RunContext run;
  run.stop = stop.get_token();
  const PlacingOutcome outcome = PlaceSelectedInSteps(t.job, run);
  EXPECT_EQ(outcome.tried, 0);
  EXPECT_TRUE(outcome.stopped);
  EXPECT_FALSE(t.laidOut(t.part(0)));
  EXPECT_FALSE(t.job.gridPending);
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
    ScratchDir scratch;
    TestJob t;
    t.add({parked(rectangle(0, 0, 1000, 600)), parked(row.huge)});
    LayoutMultipleSteps(t.job, false);
    EXPECT_TRUE(t.laidOut(t.part(0)) && t.laidOut(t.part(1)));
    EXPECT_EQ(inCorner(t.part(1)), row.hugeFirst);
    EXPECT_EQ(inCorner(t.part(0)), !row.hugeFirst);
  }
}

TEST(LayoutMultipleSteps, GivesSmallSquarishPartsTheRotationsOnly) {
  // With RN 1 only the turned-over twin improves on the plain arch, so the flag
  // tells which routine placed it.
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
    ScratchDir scratch;
    TestJob t(1000, 1000, 30);
    t.job.params.rotationNumber = 1;
    t.add({parked(row.shape)});
    LayoutMultipleSteps(t.job, false);
    ASSERT_TRUE(t.laidOut(t.part(0)));
    EXPECT_EQ(t.part(0).turnedOver, row.turnedOver);
  }
}

}  // namespace
}  // namespace tarn::test
