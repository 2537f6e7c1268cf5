#include "app/commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "app/job_runs.h"
#include "app/painting.h"
#include "geometry/core_error.h"
#include "job/job_operations.h"
#include "support/test_support.h"

namespace tarn {
namespace {

Region square(double x0, double y0, double size) {
  Region region;
  setPoints(region, {{x0, y0}, {x0 + size, y0}, {x0 + size, y0 + size}, {x0, y0 + size}});
  return region;
}

// A job on a 600 x 400 plate seen at one pixel per millimetre: world (x, y)
// is pixel (x, 400 - y).
class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.job = std::make_unique<PackingJob>(errors);
    PackingJob& job = *state.job;
    job.params.plateLength = 600.0;
    job.params.plateWidth = 400.0;
    setPlateSize(job, 600.0, 400.0);
    resetPlateExtents(job);
    job.params.packingPointDistance = 50.0;
    state.viewport.view.initialise(600, 400, job.plateExtents);
    state.viewport.view.scale = 1.0;
    state.viewport.view.centreX = 0.0;
    state.viewport.view.centreY = 0.0;
    state.viewport.view.originX = 0;
    state.viewport.view.originY = 400;
  }

  // Square parts of `size` mm at (x0, y0), optionally with a centred square hole.
  Part& addPart(int id, double x0, double y0, double size, double holeSize = 0.0) {
    Part part;
    RegionList holes;
    if (holeSize > 0.0) {
      const double inset = (size - holeSize) / 2.0;
      holes.insert(square(x0 + inset, y0 + inset, holeSize));
    }
    setGeometry(part, square(x0, y0, size), holes);
    part.id = id;
    state.job->trueParts.insert(part);
    state.job->workingParts.insert(part);
    return state.job->workingParts.front();
  }

  Part& working(int id) {
    for (Part& part : state.job->workingParts) {
      if (part.id == id) {
        return part;
      }
    }
    throw std::logic_error("no such part");
  }

  std::vector<int> selectedIds() {
    std::vector<int> ids;
    for (const Part& part : state.job->workingParts) {
      if (part.selected) {
        ids.push_back(part.id);
      }
    }
    return ids;
  }

  Effects click(int x, int y, bool shift = false) { return pressLeftButton(state, {x, y}, shift); }
  Effects key(char32_t c, bool shift = false) { return typeCharacter(state, c, shift); }

  std::ostringstream errors;
  AppState state;
};

TEST_F(CommandsTest, SelectTogglesAPartOrOpensABandThatSelectsByWindowOrCrossing) {
  addPart(1, 100, 100, 200, 100);  // hole from 150 to 250
  addPart(2, 400, 100, 50);
  click(120, 280);  // Idle: a click counts nothing
  EXPECT_EQ(state.gesture.clickCount, 0);
  key(U's');
  EXPECT_TRUE(click(120, 280).repaint);  // world (120, 120): part 1's material
  EXPECT_EQ(selectedIds(), std::vector<int>{1});
  EXPECT_EQ(state.gesture.clickCount, 0);
  EXPECT_FALSE(moveMouse(state, {300, 300}, false).repaint);  // no band after a pick
  click(120, 280);
  EXPECT_TRUE(selectedIds().empty());

  click(200, 200);  // world (200, 200): inside the hole
  EXPECT_TRUE(selectedIds().empty());
  EXPECT_EQ(state.gesture.clickCount, 1);
  EXPECT_TRUE(moveMouse(state, {500, 390}, false).repaint);
  EXPECT_EQ(state.gesture.rubberEnd.x, 500);
  // Left to right: a window; only part 2 lies wholly inside (200..500, 10..200 world).
  click(500, 390);
  EXPECT_EQ(state.gesture.clickCount, 0);
  EXPECT_EQ(selectedIds(), std::vector<int>{2});
  key(kEscapeCharacter);
  click(500, 10);   // world (500, 390), beside both parts
  click(250, 350);  // right to left to world (250, 50): crosses part 1, holds part 2
  EXPECT_EQ(selectedIds(), (std::vector<int>{2, 1}));
}

TEST_F(CommandsTest, RotateTurnsAboutTheClickedCentreAndLetterAOnlyThereUnlessShifted) {
  addPart(1, 100, 100, 100).selected = true;
  addPart(2, 300, 100, 50);
  key(U'm');
  EXPECT_FALSE(key(U'a').repaint);  // not in Rotate mode
  key(U'r');
  click(100, 300);               // centre: world (100, 100), the part's lower left corner
  for (int i = 0; i < 6; ++i) {  // six steps of 15 degrees
    key(U'a');
  }
  EXPECT_NEAR(working(1).bbox.xmin, 0.0, 1e-5);  // turned a quarter counter-clockwise
  EXPECT_NEAR(working(1).bbox.ymax, 200.0, 1e-5);
  EXPECT_NEAR(state.gesture.rotationStep, 0.2617993833, 1e-10);  // 15 degrees with pi as 3.1415926
  key(U'a', true);                                               // Shift selects all instead
  EXPECT_EQ(selectedIds().size(), 2u);
  EXPECT_NEAR(working(1).rotation, 6 * state.gesture.rotationStep, 1e-12);
}

TEST(CommandsWithoutAJob, KeysClicksAndButtonsDoNothing) {
  AppState state;
  for (const char32_t c : {U'S', U'A', U'X', U'M', kEscapeCharacter}) {
    EXPECT_FALSE(typeCharacter(state, c, true).repaint);
  }
  state.gesture.mode = InteractionMode::Select;
  EXPECT_FALSE(pressLeftButton(state, {10, 10}, false).repaint);
  EXPECT_FALSE(pressArrowKey(state, ArrowKey::Up).repaint);
  EXPECT_FALSE(pressPackingKitButton(state, kKitLayoutAll).repaint);
  EXPECT_EQ(runMenuCommand(state, kLayoutInDxf).fileRequest, FileRequest::None);
  EXPECT_EQ(renewDialogFields(state).rotationNumber, "");
  EXPECT_FALSE(pressRenewDialogButton(state, kRenewRotationNumber, {"7", "1"}).repaint);
  EXPECT_TRUE(pressRenewDialogButton(state, kRenewOk, {"7", "1"}).closeRenewDialog);
}

TEST_F(CommandsTest, AFailedOpenKeepsTheJobAndTheViewItDraws) {
  const PackingJob* job = state.job.get();
  EXPECT_THROW(openLibraryFile(state, "no/such/missing.txt", LibraryFormat::TextLibrary),
               CoreError);
  EXPECT_EQ(state.job.get(), job);
  EXPECT_EQ(state.viewport.view.originY, 400);  // as SetUp left it, not fitted anew
}

TEST(Commands, AnOpenedJobWritesIntoTheFolderTheFrontEndGave) {
  test::ScratchDir scratch;
  ASSERT_EQ(setenv("XDG_STATE_HOME", scratch.path().c_str(), 1), 0);
  std::filesystem::create_directory("out");
  AppState state;
  state.outputFolder = scratch.path() / "out";
  openLibraryFile(state, test::dataPath("library/text/two_parts.txt"), LibraryFormat::TextLibrary);
  runNow(state, *pressPackingKitButton(state, kKitLayoutAll).run);
  EXPECT_TRUE(typeCharacter(state, U'E', false).showReport);
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "out" / "Report.txt"));
  EXPECT_FALSE(std::filesystem::exists("Report.txt"));
  // A library without parts lays out nothing, as the command line does.
  std::filesystem::remove(reportFile(state));
  openLibraryFile(state, test::dataPath("cli/empty_large_plate.txt"), LibraryFormat::TextLibrary);
  EXPECT_NO_THROW(runNow(state, *pressPackingKitButton(state, kKitLayoutAll).run));
  EXPECT_TRUE(std::filesystem::exists(reportFile(state)));
  unsetenv("XDG_STATE_HOME");
}

TEST_F(CommandsTest, RenewDialogShowsAppliesAndRefusesTheTwoNumbers) {
  state.job->params.packingPointDistance = 0.5;
  const RenewFields fields = renewDialogFields(state);
  EXPECT_EQ(fields.rotationNumber + " " + fields.packingPointDistance, "4 0.500000");
  EXPECT_TRUE(pressRenewDialogButton(state, kRenewRotationNumber, {"12abc", "junk"}).repaint);
  EXPECT_EQ(state.job->params.rotationNumber, 12);
  EXPECT_EQ(state.job->gridCountX, 0);  // the grid waits for the next layout
  // Refused, nothing changes. Below 1 no angle is tried and a layout would place nothing.
  const std::vector<std::pair<int, RenewFields>> refused = {
      {kRenewOk, {"9", "0"}},
      {kRenewDistance, {"9", "-5"}},
      {kRenewDistance, {"9", "abc"}},
      {kRenewOk, {"361", "25"}},
      {kRenewRotationNumber, {"0", "25"}},
      {kRenewOk, {"abc", "25"}},
  };
  for (const auto& [button, given] : refused) {
    SCOPED_TRACE(given.rotationNumber + " " + given.packingPointDistance);
    EXPECT_THROW(pressRenewDialogButton(state, button, given), CoreError);
    EXPECT_DOUBLE_EQ(state.job->params.packingPointDistance, 0.5);
    EXPECT_EQ(state.job->params.rotationNumber, 12);
  }
  pressRenewDialogButton(state, kRenewDistance, {"junk", "100"});
  EXPECT_DOUBLE_EQ(state.job->params.packingPointDistance, 100.0);
  EXPECT_GT(state.job->gridCountX, 0);
  EXPECT_TRUE(pressRenewDialogButton(state, kRenewCancel, {"1", "1"}).closeRenewDialog);
  const Effects effects = pressRenewDialogButton(state, kRenewOk, {"360", "25"});
  EXPECT_TRUE(effects.closeRenewDialog && effects.repaint);
  EXPECT_EQ(state.job->params.rotationNumber, 360);
  EXPECT_DOUBLE_EQ(state.job->params.packingPointDistance, 25.0);
}

// Records the lines the paint draws.
struct RecordingCanvas : Canvas {
  struct Line {
    ScreenPoint from;
    Rgb colour;
    int width;
    bool dashed;
  };
  void fill(Rgb) override {}
  void line(ScreenPoint from, ScreenPoint, Rgb colour, int width, bool dashed) override {
    lines.push_back({from, colour, width, dashed});
  }
  void pixel(ScreenPoint, Rgb) override {}
  int count(Rgb colour, int width = 1, bool dashed = false) const {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const Line& l) {
      return l.colour == colour && l.width == width && l.dashed == dashed;
    }));
  }

  std::vector<Line> lines;
};

TEST_F(CommandsTest, PaintColoursPartsByTheirStateAndDrawsTheModesOverlay) {
  addPart(1, 100, 100, 50);
  addPart(2, 200, 100, 50, 20);  // a hole: eight edges
  addPart(3, 300, 100, 50);
  working(2).selected = true;
  turnOver(working(3), working(3).centroid);
  const auto paint = [this] {
    RecordingCanvas canvas;
    paintState(state, canvas);
    return canvas;
  };
  const RecordingCanvas parts = paint();
  EXPECT_EQ(parts.count(kBlue), 4);    // the plate
  EXPECT_EQ(parts.count(kGreen), 4);   // part 1
  EXPECT_EQ(parts.count(kRed, 2), 8);  // part 2, outline and hole
  EXPECT_EQ(parts.count(kYellow), 4);  // part 3

  state.gesture.mode = InteractionMode::Select;
  state.gesture.clickCount = 1;
  state.gesture.anchor = {300, 100};
  state.gesture.rubberEnd = {200, 200};  // left of the anchor: dashed
  EXPECT_EQ(paint().count(kMagenta, 1, true), 4);
  state.gesture.pickedPart = true;
  EXPECT_EQ(paint().count(kMagenta, 1, true), 0);

  state.gesture.mode = InteractionMode::Rotate;
  state.gesture.rotationCentreScreen = {50, 60};
  const RecordingCanvas marker = paint();
  ASSERT_EQ(marker.count(kRed), 2);
  EXPECT_EQ(marker.lines.back().from.x, 45);
  EXPECT_EQ(marker.lines.back().from.y, 65);
}

TEST_F(CommandsTest, ADragIsOneUndoStepAndUndoRestoresThePosesExactly) {
  addPart(1, 100, 100, 50).selected = true;
  addPart(2, 300, 100, 50);
  state.history.reset(state.job.get());
  const Part before = exactPartCopy(working(1));
  key(U'm');
  click(100, 300);
  moveMouse(state, {113, 300}, false);
  moveMouse(state, {127, 310}, false);
  click(140, 290);  // released: moved by (40, 10) in four steps
  key(U'x');        // the view only: no step
  key(U'T');
  EXPECT_EQ(state.history.undoLabel(), "Turn Over");
  EXPECT_TRUE(runMenuCommand(state, kUndo).repaint);
  EXPECT_EQ(state.history.undoLabel(), "Move");
  EXPECT_NEAR(working(1).bbox.xmin, 140.0, 1e-9);
  runMenuCommand(state, kUndo);
  EXPECT_FALSE(state.history.canUndo());
  EXPECT_TRUE(working(1).refPoint.x == before.refPoint.x &&
              working(1).outer.points[2].y == before.outer.points[2].y);
  runMenuCommand(state, kRedo);
  EXPECT_NEAR(working(1).bbox.xmin, 140.0, 1e-9);
  EXPECT_EQ(state.history.redoLabel(), "Turn Over");
  key(kEscapeCharacter);  // a new step drops the one undone
  EXPECT_FALSE(state.history.canRedo());
  EXPECT_FALSE(working(1).turnedOver);
  key(kEscapeCharacter);  // nothing left to clear: no step
  EXPECT_EQ(state.history.undoLabel(), "Select");
  runMenuCommand(state, kUndo);
  EXPECT_TRUE(working(1).selected);
}

TEST_F(CommandsTest, WhileARunHoldsTheJobOnlyTheViewAndTheModesChange) {
  addPart(1, 100, 100, 50).selected = true;
  state.history.reset(state.job.get());
  state.jobLocked = true;
  const double x0 = working(1).bbox.xmin;
  for (const char32_t c : {U'B', U'T', U'E', U'N', kEscapeCharacter, U'A'}) {
    const Effects effects = key(c, c == U'A');
    EXPECT_FALSE(effects.repaint || effects.run.has_value()) << static_cast<int>(c);
  }
  EXPECT_FALSE(pressArrowKey(state, ArrowKey::Left).repaint);
  for (const int button : {kKitLayoutAll, kKitLayout, kKitSelectNone, kKitContactLeft}) {
    const Effects effects = pressPackingKitButton(state, button);
    EXPECT_FALSE(effects.run.has_value() || effects.repaint) << button;
  }
  EXPECT_EQ(runMenuCommand(state, kOpenTextLibrary).fileRequest, FileRequest::None);
  EXPECT_FALSE(pressRenewDialogButton(state, kRenewOk, {"7", "9"}).repaint);
  EXPECT_EQ(state.job->params.rotationNumber, 4);
  key(U's');
  click(120, 280);  // on the part: refused
  key(U'm');
  click(300, 300);
  moveMouse(state, {350, 300}, false);
  click(360, 300);
  EXPECT_TRUE(working(1).bbox.xmin == x0 && working(1).selected && !state.history.canUndo());
  EXPECT_TRUE(turnWheel(state, {10, 10}, 120).repaint);  // zooms
  EXPECT_EQ(state.gesture.mode, InteractionMode::Move);

  state.jobLocked = false;
  EXPECT_TRUE(key(U'B').run.has_value());
}

}  // namespace
}  // namespace tarn
