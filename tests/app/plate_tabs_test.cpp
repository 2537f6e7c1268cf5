// Plate sets in the window: each plate its own job, history and view; the set
// run, moving waiting parts on and undo; Save Layouts and the reports.
#include "app/plate_tabs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/job_runs.h"
#include "app/status.h"
#include "geometry/core_error.h"
#include "geometry/predicates.h"
#include "geometry/texts.h"
#include "library/library_loader.h"
#include "output/layout_dxf.h"
#include "output/packing_report.h"
#include "plates/plate_set_report.h"
#include "support/pose_dump.h"
#include "support/test_support.h"

namespace tarn {
namespace {

using Names = std::set<std::string>;

// three_plates.txt: 100 x 50 plates, no gap; A, B and C are 60 x 50 (one a
// plate), D is 30 x 20 and fits beside the first. Its name is GBK bytes.
class PlateTabsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(setenv("XDG_STATE_HOME", scratch.path().c_str(), 1), 0);
    state.outputFolder = scratch.path();
    open("plates/three_plates.txt");
  }
  void TearDown() override { unsetenv("XDG_STATE_HOME"); }

  void open(const std::string& library) {
    openLibraryFile(state, test::dataPath(library), LibraryFormat::TextLibrary);
    state.viewport.clientWidth = 600;
    state.viewport.clientHeight = 400;
  }
  void run(RunKind kind) {
    runNow(state, RunRequest{kind, true, {}, LibraryFormat::TextLibrary, {}});
  }
  void command(int id) { runMenuCommand(state, id); }

  Names placed() const { return partNames(true); }
  Names waiting() const { return partNames(false); }
  Names partNames(bool onPlate) const {
    Names names;
    for (const Part& part : state.job->workingParts) {
      if (withinRect(part, state.job->plateExtents) == onPlate) {
        names.insert(part.nameLabel.text);
      }
    }
    return names;
  }
  int idOf(const std::string& name) const {
    for (const Part& part : state.job->workingParts) {
      if (part.nameLabel.text == name) {
        return part.id;
      }
    }
    return -1;
  }
  // One pixel a millimetre on the plate on show: world (x, y) is pixel (x, 400 - y).
  void plainView() {
    View& view = state.viewport.view;
    view.initialise(600, 400, state.job->plateExtents);
    view.scale = 1.0;
    view.centreX = 0.0;
    view.centreY = 0.0;
    view.originX = 0;
    view.originY = 400;
  }
  // Selects the part and drags it `dx` mm to the right in Move mode.
  void movePart(const std::string& name, int dx) {
    selectPartsById(state, {idOf(name)});
    typeCharacter(state, U'M', false);
    pressLeftButton(state, {10, 390}, false);
    pressLeftButton(state, {10 + dx, 390}, false);
  }

  test::ScratchDir scratch;
  test::NoticeRecorder notices;
  AppState state;
  const std::string smallName = "\xbc\xd3-D";  // GBK
};

TEST_F(PlateTabsTest, ASetRunShowsEachPlateAsAJobOfItsOwnAndUndoesAsOneStep) {
  const std::string loaded = test::dumpJob(*state.job);
  EXPECT_EQ(plateCount(state), 1u);
  run(RunKind::PlateSet);
  ASSERT_EQ(plateCount(state), 3u);
  EXPECT_EQ(currentPlate(state), 0u);
  EXPECT_EQ(placed(), (Names{"A", smallName}));
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / std::string(text::kTimingFileName)));
  EXPECT_EQ(notices.notices().size(), 1u);  // the set's time

  const struct {
    std::size_t plate;
    Names parts;
  } plates[] = {{1, {"B"}}, {2, {"C"}}, {0, {"A", smallName}}};
  for (const auto& plate : plates) {
    SCOPED_TRACE(plate.plate);
    switchPlate(state, plate.plate);
    EXPECT_EQ(placed(), plate.parts);
    EXPECT_TRUE(waiting().empty());
    EXPECT_EQ(state.job->outputFolder, scratch.path() / PlateFolderName(int(plate.plate) + 1));
  }
  EXPECT_EQ(statusTexts(state).parts, "2 parts loaded, 2 packed, 0 waiting");

  // The set step is undone whole from any plate it changed, and redone.
  switchPlate(state, 2);
  EXPECT_EQ(undoOffer(state).label, "Lay Out on Several Plates");
  command(kUndo);
  EXPECT_EQ(plateCount(state), 1u);
  EXPECT_EQ(test::firstDifference(loaded, test::dumpJob(*state.job)), "");
  EXPECT_FALSE(undoOffer(state).possible);
  command(kRedo);
  EXPECT_EQ(plateCount(state), 3u);
  EXPECT_EQ(placed(), (Names{"A", smallName}));
  // Open forgets the set.
  open("plates/three_plates.txt");
  EXPECT_EQ(plateCount(state), 1u);
  EXPECT_FALSE(redoOffer(state).possible);
}

TEST_F(PlateTabsTest, EachPlateKeepsItsViewAndHistoryAndEditsStayOnItsJob) {
  run(RunKind::PlateSet);
  switchPlate(state, 1);
  plainView();
  movePart("B", 200);  // off the plate: it waits beside plate 2
  EXPECT_EQ(statusTexts(state).parts, "1 parts loaded, 0 packed, 1 waiting");
  // A gesture half done is dropped with the plate; plate 1 has its own view and history.
  pressLeftButton(state, {10, 390}, false);
  switchPlate(state, 0);
  EXPECT_EQ(state.gesture.clickCount, 0);
  EXPECT_NE(state.viewport.view.originY, 400);
  EXPECT_FALSE(undoOffer(state).possible);
  command(kUndo);  // the set step needs plate 2's own steps undone first
  EXPECT_EQ(plateCount(state), 3u);
  typeCharacter(state, U'A', true);  // a step of plate 1's own
  switchPlate(state, 1);
  EXPECT_EQ(state.viewport.view.originY, 400);
  EXPECT_EQ(waiting(), Names{"B"});

  // The set's report names B as waiting, and leaves the plates as they were.
  std::ostringstream report;
  writeSetReport(state, report);
  EXPECT_NE(report.str().find("\r\nB:" + std::string(text::kGbkNoRoomOnPlate) + "\r\n"),
            std::string::npos);
  EXPECT_TRUE(currentPlate(state) == 1u && waiting() == Names{"B"});
  EXPECT_EQ(reportFile(state), scratch.path() / "plate-2" / "Report.txt");

  // Plate 2's steps go first; the set step waits for plate 1's selection too.
  command(kUndo);  // the move
  command(kUndo);  // the selection
  EXPECT_EQ(placed(), Names{"B"});
  EXPECT_FALSE(undoOffer(state).possible);
  switchPlate(state, 0);
  command(kUndo);  // plate 1's Select All
  EXPECT_EQ(undoOffer(state).label, "Lay Out on Several Plates");
}

TEST_F(PlateTabsTest, MovingWaitingPartsOnMakesTheNextPlateAndUndoesAsOneStep) {
  const Effects none = runMenuCommand(state, kMoveToNextPlate);  // all wait: all go on
  EXPECT_EQ(plateCount(state), 2u);
  EXPECT_TRUE(none.message.empty());
  command(kUndo);
  EXPECT_EQ(state.job->workingParts.count(), 4);

  runNow(state, *pressPackingKitButton(state, kKitLayoutAll).run);
  EXPECT_EQ(waiting(), (Names{"B", "C"}));
  const std::string waited = test::dumpPoses(*state.job);
  command(kMoveToNextPlate);
  ASSERT_EQ(plateCount(state), 2u);
  EXPECT_TRUE(waiting().empty());
  EXPECT_EQ(undoOffer(state).label, "Move Waiting Parts to Next Plate");
  command(kNextPlate);
  EXPECT_EQ(waiting(), (Names{"B", "C"}));  // at the poses they waited in
  std::istringstream poses(test::dumpPoses(*state.job));
  for (std::string pose; std::getline(poses, pose);) {
    EXPECT_NE(waited.find(pose + "\n"), std::string::npos) << pose;
  }
  EXPECT_EQ(state.job->outputFolder, scratch.path() / "plate-2");

  runNow(state, *pressPackingKitButton(state, kKitLayoutAll).run);
  EXPECT_EQ(waiting(), Names{"C"});
  command(kMoveToNextPlate);
  command(kNextPlate);
  ASSERT_EQ(plateCount(state), 3u);
  EXPECT_EQ(waiting(), Names{"C"});
  EXPECT_EQ(state.job->params.plateLength, 100.0);  // the settings of the plate before
  switchPlate(state, 0);
  EXPECT_EQ(runMenuCommand(state, kMoveToNextPlate).message, "No part waits beside plate 1.");
  EXPECT_EQ(plateCount(state), 3u);
  switchPlate(state, 2);

  // Undone from the plate it made: that plate goes, and plate 2 is shown with its history.
  command(kUndo);
  EXPECT_EQ(currentPlate(state), 1u);
  EXPECT_EQ(waiting(), Names{"C"});
  EXPECT_EQ(redoOffer(state).label, "Move Waiting Parts to Next Plate");
  // An edit of a plate it changed drops the redo.
  typeCharacter(state, U'A', true);
  EXPECT_FALSE(redoOffer(state).possible);
}

TEST_F(PlateTabsTest, SaveLayoutsWritesEveryPlatesDrawingAndTheSetReport) {
  run(RunKind::PlateSet);
  switchPlate(state, 1);
  const std::filesystem::path out = scratch.path() / "out";
  const Effects effects = writeLayoutsFolder(state, out);
  EXPECT_EQ(effects.message,
            "3 layout drawings (plate-1/layout.dxf ...) and the set's report "
            "written to " +
                out.string());
  EXPECT_EQ(currentPlate(state), 1u);
  // The files tarnpack --plates writes for the same library.
  std::ostringstream errors;
  PackingJob loaded(errors);
  openLibrary(loaded, test::dataPath("plates/three_plates.txt"), LibraryFormat::TextLibrary);
  PlateSet direct = MakePlateSet(std::move(loaded), "direct");
  PlateSetOptions options;
  options.maxPlates = kMaxPlateCount;
  RunContext ctx;
  const PlateSetRun directRun = LayOutPlateSet(direct, options, ctx);
  ASSERT_EQ(direct.plates.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    std::ostringstream drawing;
    WriteLayoutDxf(direct.plates[k], drawing);
    EXPECT_EQ(test::readBytes(out / PlateFolderName(int(k) + 1) / "layout.dxf"), drawing.str());
  }
  std::ostringstream report;
  WritePlateSetReport(direct, SummarisePlateSet(direct), directRun.unplaced, report);
  EXPECT_EQ(test::readBytes(out / "Report.txt"), report.str());

  test::writeBytes(scratch.path() / "file", "");
  EXPECT_THROW(writeLayoutsFolder(state, scratch.path() / "file"), CoreError);
  EXPECT_EQ(plateCount(state), 3u);
}

TEST_F(PlateTabsTest, ASetRunThatNeedsOnePlateIsALayoutOfTheJobAsToday) {
  open("library/text/two_parts.txt");
  run(RunKind::PlateSet);
  EXPECT_EQ(plateCount(state), 1u);
  EXPECT_EQ(state.job->outputFolder, scratch.path());
  EXPECT_EQ(undoOffer(state).label, "Lay Out on Several Plates");
  command(kUndo);
  EXPECT_EQ(placed(), Names{});
  // Switching is refused with one plate, and while a run holds the job.
  EXPECT_FALSE(switchPlate(state, 1).repaint);
  open("plates/three_plates.txt");
  run(RunKind::PlateSet);
  state.jobLocked = true;
  EXPECT_FALSE(switchPlate(state, 1).repaint);
  EXPECT_EQ(runMenuCommand(state, kMoveToNextPlate).message, "");
  EXPECT_EQ(currentPlate(state), 0u);
}

}  // namespace
}  // namespace tarn
