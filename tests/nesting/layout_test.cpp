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
  const struct {
    double seconds;
    const char* notice;
    const char* file;
  } rows[] = {
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

TEST(LayoutDrivers, WriteTheTimingFileIntoTheJobsOutputFolderOnly) {
  ScratchDir scratch;
  std::filesystem::create_directory("out");
  TestJob t(1000, 1000, 30);
  t.job.outputFolder = scratch.path() / "out";
  t.add({parked(rectangle(0, 0, 100, 100))});
  const double seconds = LayoutAll(t.job, false);
  EXPECT_EQ(readBytes("out" / kTimingFile), TimingFileText(seconds) + "\r\n");
  EXPECT_FALSE(std::filesystem::exists(kTimingFile));
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
  std::vector<LayoutProgress> steps;
  run.progress = [&](const LayoutProgress& step) { steps.push_back(step); };
  const PlacingOutcome outcome = PlaceWaiting(t.job, run);
  EXPECT_EQ(outcome.tried, 5);
  EXPECT_FALSE(outcome.stopped);
  for (int k = 0; k < 5; ++k) {
    EXPECT_TRUE(t.laidOut(t.part(k))) << k;
  }
  ASSERT_EQ(steps.size(), 5u);
  EXPECT_EQ(steps.back().tried, 5);
  EXPECT_EQ(steps.back().waiting, 0);
  EXPECT_FALSE(std::filesystem::exists(kTimingFile));
  EXPECT_GT(run.counters.fitTests, 0u);
  EXPECT_EQ(defaultRunContext().counters.fitTests, defaultBefore);
}

TEST(PlacingWalks, AStopEndsTheRunAfterThePartBeingPlacedWhichThenFinishesAsUsual) {
  ScratchDir scratch;
  const struct {
    const char* label;
    double (*driver)(PackingJob&, bool, RunContext&);
    bool selectAll;
  } rows[] = {
      {"LayoutAll", LayoutAll, false},
      {"Layout", Layout, true},
      {"LayoutMultipleSteps", LayoutMultipleSteps, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t(1000, 1000, 30);
    addFiveParked(t);
    if (row.selectAll) {
      SelectAll(t.job);
    }
    std::vector<BBox> parkedBoxes;
    for (const Part& part : t.job.workingParts) {
      parkedBoxes.push_back(part.bbox);
    }
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
    const double seconds = row.driver(t.job, true, run);
    for (int k = 0; k < 5; ++k) {
      if (k < 2) {
        EXPECT_TRUE(t.laidOut(t.part(k))) << k;
      } else {
        const BBox& box = t.part(k).bbox;
        const BBox& before = parkedBoxes[static_cast<std::size_t>(k)];
        EXPECT_TRUE(box.xmin == before.xmin && box.ymax == before.ymax) << k;
      }
    }
    EXPECT_EQ(notices, std::vector<std::string>{TimingNoticeText(seconds)});
    EXPECT_EQ(readBytes(kTimingFile), TimingFileText(seconds) + "\r\n");
  }
  // Asked to stop before it starts, a walk places nothing but still builds the grid.
  TestJob t(1000, 1000, 30);
  addFiveParked(t);
  SelectAll(t.job);
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
