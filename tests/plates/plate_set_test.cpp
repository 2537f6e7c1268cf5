#include "plates/plate_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <stop_token>
#include <string>
#include <tuple>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "nesting/nesting_fixtures.h"
#include "output/layout_dxf.h"
#include "output/packing_report.h"
#include "plates/plate_set_report.h"
#include "plates/unplaced_parts.h"
#include "support/test_support.h"

namespace tarn::test {
namespace {

// The loaded job of `library` as a set whose plates go to `folder`; the error
// report goes to `errors`, which must outlive the set.
PlateSet loadSet(const std::filesystem::path& library, std::ostream& errors,
                 const std::filesystem::path& folder = "set") {
  PackingJob job(errors);
  openLibrary(job, library, LibraryFormat::TextLibrary);
  return MakePlateSet(std::move(job), folder);
}

PlateSetOptions options(PlateDriver driver, int maxPlates = kMaxPlateCount) {
  PlateSetOptions result;
  result.driver = std::move(driver);
  result.maxPlates = maxPlates;
  return result;
}

template <class Record>
std::vector<int> sortedIds(const SentinelList<Record>& list) {
  std::vector<int> result;
  for (const Record& record : list) {
    result.push_back(record.id);
  }
  std::sort(result.begin(), result.end());
  return result;
}

// Every part's pose by name, exactly.
using Pose = std::tuple<double, double, double, bool>;
std::map<std::string, Pose> poses(const PackingJob& job) {
  std::map<std::string, Pose> result;
  for (const Part& part : job.workingParts) {
    result[part.nameLabel.text] = {part.refPoint.x, part.refPoint.y, part.rotation,
                                   part.turnedOver};
  }
  return result;
}

// The layout drawing and the report of what lies on the plate (the parts
// waiting beside it and their records removed first).
std::string placedOutput(PackingJob job) {
  std::set<int> waiting;
  for (const Part& part : job.workingParts) {
    if (!withinRect(part, job.plateExtents)) {
      waiting.insert(part.id);
    }
  }
  const auto drop = [&waiting](auto& list) {
    for (auto it = list.begin(); it != list.end();) {
      it = waiting.contains(it->id) ? list.remove(it) : std::next(it);
    }
  };
  drop(job.workingParts);
  drop(job.trueParts);
  drop(job.sources);
  std::ostringstream out;
  WriteLayoutDxf(job, out);
  WritePackingReport(job, out);
  return out.str();
}

// The library's header and the part blocks of the names wanted, in its order.
std::string subLibrary(const std::string& library, const std::vector<std::string>& wanted) {
  std::string text = library.substr(0, library.find("NAME "));
  for (std::size_t at = library.find("NAME "); at != std::string::npos;) {
    const std::size_t next = library.find("NAME ", at + 1);
    const std::string block = library.substr(at, std::min(next, library.find("#end")) - at);
    const std::string name = block.substr(5, block.find('\n') - 5);
    if (std::find(wanted.begin(), wanted.end(), name) != wanted.end()) {
      text += block;
    }
    at = next;
  }
  return text + "#end\n";
}

TEST(PlateSet, EachPlateIsLaidOutAsThePartsLeftForItWouldBeByHand) {
  ScratchDir scratch;
  const std::string library = readBytes(dataPath("plates/mixed.txt"));
  struct Row {
    const char* label;
    PlateDriver driver;
    void (*byHand)(PackingJob&);
  };
  const Row rows[] = {
      {"LayoutAll", LayOutAllWaiting, [](PackingJob& job) { LayoutAll(job, false); }},
      {"multi-step", LayOutInSteps,
       [](PackingJob& job) {
         SelectAll(job);
         LayoutMultipleSteps(job, false);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::ostringstream errors;
    PlateSet set = loadSet(dataPath("plates/mixed.txt"), errors);
    RunContext ctx;
    const PlateSetRun run = LayOutPlateSet(set, options(row.driver), ctx);
    // The bar is longer than the plate: it stays, and ends the set.
    EXPECT_EQ(run.end, PlateSetEnd::NothingFits);
    ASSERT_EQ(set.plates.size(), 3u);
    ASSERT_EQ(run.unplaced.size(), 1u);
    EXPECT_EQ(run.unplaced[0].name, "BAR-500x50");
    EXPECT_EQ(run.unplaced[0].reason, UnplacedReason::LargerThanPlate);
    EXPECT_EQ(run.unplaced[0].plate, 2);

    std::vector<std::string> left;  // the parts not on an earlier plate
    for (std::size_t k = set.plates.size(); k-- > 0;) {
      SCOPED_TRACE("plate " + std::to_string(k + 1));
      const PackingJob& plate = set.plates[k];
      std::vector<std::string> onPlate;
      for (const Part& part : plate.workingParts) {
        onPlate.push_back(part.nameLabel.text);
      }
      left.insert(left.end(), onPlate.begin(), onPlate.end());
      EXPECT_EQ(sortedIds(plate.trueParts), sortedIds(plate.workingParts));  // its own only

      // From a library of their own, laid out at the set's distance.
      const std::string file = "plate" + std::to_string(k + 1) + ".txt";
      writeBytes(file, subLibrary(library, left));
      std::ostringstream handErrors;
      PackingJob byHand(handErrors, scratch.path());
      openLibrary(byHand, file, LibraryFormat::TextLibrary);
      byHand.params.packingPointDistance = plate.params.packingPointDistance;
      row.byHand(byHand);
      std::map<std::string, Pose> expected = poses(byHand);
      std::erase_if(expected, [&](const auto& entry) {
        return std::find(onPlate.begin(), onPlate.end(), entry.first) == onPlate.end();
      });
      EXPECT_EQ(poses(plate), expected);
      EXPECT_EQ(placedOutput(snapshotOf(plate)), placedOutput(std::move(byHand)));
    }
  }
}

TEST(PlateSet, PartsThatCannotFitEndItWithoutEmptyPlates) {
  ScratchDir scratch;
  // NAME, length, width: rectangles on a 400 x 200 plate.
  const auto library = [](const std::vector<std::tuple<std::string, int, int>>& parts) {
    std::string text = "Plate length:400\nPlate width:200\nPart distance:0\n";
    for (const auto& [name, l, w] : parts) {
      text += rectangleText(name, l, w);
    }
    return text + "#end\n";
  };
  struct Row {
    const char* label;
    std::string library;
    int rotationNumber;
    std::size_t placed;
    std::vector<UnplacedReason> reasons;  // in list order (largest first)
  };
  const Row rows[] = {
      {"only larger parts",
       library({{"BAR", 500, 50}, {"SLAB", 250, 250}}),
       4,
       0,
       {UnplacedReason::LargerThanPlate, UnplacedReason::LargerThanPlate}},
      // Upright only, the post is too tall; a quarter turn would fit it, so
      // only a fresh plate can tell, and it takes nothing.
      {"a part the rotations cannot fit",
       library({{"POST", 50, 300}, {"SQUARE", 80, 80}}),
       1,
       1,
       {UnplacedReason::NoRoomOnEmptyPlate}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    writeBytes("parts.txt", row.library);
    std::ostringstream errors;
    PlateSet set = loadSet("parts.txt", errors);
    set.plates.front().params.rotationNumber = row.rotationNumber;
    RunContext ctx;
    const PlateSetRun run = LayOutPlateSet(set, options(LayOutAllWaiting), ctx);
    EXPECT_EQ(run.end, PlateSetEnd::NothingFits);
    ASSERT_EQ(set.plates.size(), 1u);
    EXPECT_EQ(SummarisePlateSet(set).packedCount, int(row.placed));
    std::vector<UnplacedReason> reasons;
    for (const UnplacedPart& part : run.unplaced) {
      reasons.push_back(part.reason);
    }
    EXPECT_EQ(reasons, row.reasons);
  }
}

TEST(PlateSet, WaitingPartsMoveOnInTheLoadedOrderAndTheSetGoesOn) {
  std::ostringstream errors;
  PlateSet whole = loadSet(dataPath("plates/mixed.txt"), errors);
  RunContext ctx;
  LayOutPlateSet(whole, options(LayOutAllWaiting), ctx);

  // One plate allowed: the rest waits on it.
  PlateSet set = loadSet(dataPath("plates/mixed.txt"), errors);
  const PlateSetRun limited = LayOutPlateSet(set, options(LayOutAllWaiting, 1), ctx);
  EXPECT_EQ(limited.end, PlateSetEnd::PlateLimit);
  ASSERT_EQ(set.plates.size(), 1u);
  EXPECT_EQ(limited.unplaced.back().reason, UnplacedReason::PlateLimit);

  // By hand: they go to a new second plate, and the set goes on from there
  // as if it had never been stopped.
  EXPECT_EQ(MoveWaitingPartsToNextPlate(set, 0), int(limited.unplaced.size()));
  ASSERT_EQ(set.plates.size(), 2u);
  EXPECT_EQ(set.plates[1].outputFolder, std::filesystem::path("set") / "plate-2");
  EXPECT_EQ(MoveWaitingPartsToNextPlate(set, 0), 0);  // nothing waits: nothing changes
  LayOutPlateSet(set, options(LayOutAllWaiting), ctx);
  ASSERT_EQ(set.plates.size(), whole.plates.size());
  for (std::size_t k = 0; k < set.plates.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(poses(set.plates[k]), poses(whole.plates[k]));
  }
}

TEST(PlateSet, AStopEndsItAfterThePartBeingPlaced) {
  for (const int stopOnPlate : {1, 2}) {
    SCOPED_TRACE(stopOnPlate);
    std::ostringstream errors;
    PlateSet set = loadSet(dataPath("plates/mixed.txt"), errors);
    std::stop_source stop;
    RunContext ctx;
    ctx.stop = stop.get_token();
    int progressCalls = 0;
    PlateSetOptions setOptions = options(LayOutAllWaiting);
    setOptions.progress = [&](const PlateSetProgress& step) {
      ++progressCalls;
      // The bar, tried first, never fits: the second part tried is placed.
      if (step.plate == stopOnPlate && step.onPlate.tried == 2) {
        stop.request_stop();
      }
    };
    const PlateSetRun run = LayOutPlateSet(set, setOptions, ctx);
    EXPECT_EQ(run.end, PlateSetEnd::Stopped);
    EXPECT_EQ(progressCalls, stopOnPlate == 1 ? 2 : 15);  // plate 1 tries all 13 parts
    ASSERT_EQ(set.plates.size(), std::size_t(stopOnPlate));
    EXPECT_EQ(SummarisePlateSet(set).plates.back().packedCount, 1);
    EXPECT_EQ(run.unplaced.size(), 12u - (stopOnPlate == 2 ? 3u : 0u));
    EXPECT_EQ(run.unplaced.back().reason, UnplacedReason::Stopped);
  }
}

TEST(PlateSetSummary, CountsFullPlatesAndTheUsedLengthOfTheLast) {
  ScratchDir scratch;
  std::ostringstream errors;
  // Three 60 x 50 parts and a small one on 100 x 50 plates, placed by hand one a plate.
  PlateSet set = loadSet(dataPath("plates/three_plates.txt"), errors);
  const auto placeAtOrigin = [](PackingJob& plate, const std::string& name) {
    for (Part& part : plate.workingParts) {
      if (part.nameLabel.text == name) {
        translate(part, -part.bbox.xmin, -part.bbox.ymin);
      }
    }
  };
  placeAtOrigin(set.plates[0], "A");
  MoveWaitingPartsToNextPlate(set, 0);
  placeAtOrigin(set.plates[1], "B");
  MoveWaitingPartsToNextPlate(set, 1);
  placeAtOrigin(set.plates[2], "C");

  const PlateSetSummary summary = SummarisePlateSet(set);
  EXPECT_EQ(summary.partCount, 4);
  EXPECT_EQ(summary.packedCount, 3);
  EXPECT_EQ(summary.usedArea, 2 * 100.0 * 50.0 + 60.0 * 50.0);
  ASSERT_TRUE(summary.utilisation);
  EXPECT_DOUBLE_EQ(*summary.utilisation, 9000.0 / 13000.0);
  EXPECT_EQ(summary.remnant.plate, 3);
  EXPECT_EQ(summary.remnant.x, 60.0);
  EXPECT_EQ(summary.remnant.length, 40.0);
  EXPECT_EQ(summary.remnant.width, 50.0);

  const std::vector<UnplacedPart> unplaced =
      FindUnplacedParts(set.plates[2], UnplacedReason::NoRoom, 2);
  WritePlateSetReport(set, summary, unplaced, "Report.txt");
  EXPECT_EQ(readBytes("Report.txt"), readBytes(dataPath("plates/set_report.txt")));
  EXPECT_THROW(WritePlateSetReport(set, summary, unplaced, "missing/Report.txt"), CoreError);
}

TEST(LargerThanPlate, TriesEveryRotationAndTheQuarterTurns) {
  struct Row {
    const char* label;
    double length, width;  // of the part, mm, drawn along x
    double rotatedDeg;     // as it waits
    int rotationNumber;
    bool larger;
  };
  // On a 6000 x 4000 plate.
  const Row rows[] = {
      {"half a micrometre over is not larger", 4000.0000005, 4000.0000005, 0, 4, false},
      {"ten micrometres over", 4000.00001, 4000.00001, 0, 4, true},
      {"a bar that fits only at 30 degrees: RN 8", 6500, 10, 0, 8, true},
      {"a bar that fits only at 30 degrees: RN 12", 6500, 10, 0, 12, false},
      {"waiting turned by 45 degrees", 5000, 10, 45, 4, false},
      {"no rotations, quarter turns only", 100, 4100, 0, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob t;
    t.job.params.rotationNumber = row.rotationNumber;
    Part part = rectanglePart(0, 0, row.length, row.width);
    rotate(part, Point{}, row.rotatedDeg * std::acos(-1.0) / 180.0);
    translate(part, 9000.0, -9000.0);
    EXPECT_EQ(LargerThanPlate(t.job, part), row.larger);
  }
}

}  // namespace
}  // namespace tarn::test
