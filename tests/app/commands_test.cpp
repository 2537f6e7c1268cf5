#include "app/commands.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/job_operations.h"
#include "geometry/core_error.h"
#include "geometry/part.h"
#include "geometry/region.h"
#include "nesting/packing_points.h"
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
    state.view->initialise(600, 400, job.plateExtents);
    state.view->scale = 1.0;
    state.view->centreX = 0.0;
    state.view->centreY = 0.0;
    state.view->originX = 0;
    state.view->originY = 400;
    job.view = state.view.get();
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

TEST_F(CommandsTest, SelectClickTogglesAPartAndNeverOpensABand) {
  addPart(1, 100, 100, 100);
  key(U's');
  const Effects effects = click(150, 250);  // world (150, 150)
  EXPECT_TRUE(effects.repaint);
  EXPECT_EQ(selectedIds(), std::vector<int>{1});
  EXPECT_EQ(state.clickCount, 0);
  EXPECT_TRUE(state.pickedPart);
  EXPECT_FALSE(moveMouse(state, {300, 300}, false).repaint);

  click(150, 250);
  EXPECT_TRUE(selectedIds().empty());
}

TEST_F(CommandsTest, AClickInAHoleOpensABandThatTheSecondClickCloses) {
  addPart(1, 100, 100, 200, 100);  // hole from 150 to 250
  addPart(2, 400, 100, 50);
  key(U'S');
  click(200, 200);  // world (200, 200): inside the hole
  EXPECT_TRUE(selectedIds().empty());
  EXPECT_EQ(state.clickCount, 1);
  EXPECT_FALSE(state.pickedPart);
  EXPECT_TRUE(moveMouse(state, {500, 390}, false).repaint);
  EXPECT_EQ(state.rubberEnd.x, 500);

  // Left to right: a window; only part 2 lies wholly inside (200..500, 10..200 world).
  click(500, 390);
  EXPECT_EQ(state.clickCount, 0);
  EXPECT_EQ(selectedIds(), std::vector<int>{2});
}

TEST_F(CommandsTest, ABandDraggedLeftwardsSelectsWhatItCrosses) {
  addPart(1, 100, 100, 200);
  addPart(2, 400, 100, 50);
  key(U's');
  click(500, 10);   // world (500, 390), beside both parts
  click(250, 350);  // world (250, 50): crosses part 1, holds part 2 wholly
  EXPECT_EQ(selectedIds(), (std::vector<int>{2, 1}));
}

TEST_F(CommandsTest, SelectAfterAPanGrabClosesABandAtTheStoredAnchor) {
  addPart(1, 100, 100, 50);
  key(U's');
  click(10, 390);  // empty: anchor (10, 390), band opened
  key(kEscapeCharacter);
  EXPECT_EQ(state.clickCount, 0);

  key(U'p');
  click(300, 300);  // grabs the view
  key(U's');        // the switch keeps the count
  EXPECT_EQ(state.clickCount, 1);
  click(590, 10);
  EXPECT_EQ(selectedIds(), std::vector<int>{1});
  EXPECT_EQ(state.view->originX, 0);  // the grab never panned
  EXPECT_EQ(state.view->originY, 400);
}

TEST_F(CommandsTest, ModeSwitchesClearTheClickCountExceptSelectAndZoom) {
  addPart(1, 100, 100, 50);
  struct Row {
    const char* label;
    char32_t key;
    int button;  // used when key is 0
    InteractionMode mode;
    bool keepsCount;
  };
  const Row rows[] = {
      {"M", U'm', 0, InteractionMode::Move, false},
      {"O", U'O', 0, InteractionMode::MoveChecked, false},
      {"P", U'p', 0, InteractionMode::Pan, false},
      {"R", U'r', 0, InteractionMode::Rotate, false},
      {"S", U'S', 0, InteractionMode::Select, true},
      {"Z", U'z', 0, InteractionMode::ZoomWindow, true},
      {"Pan", 0, kKitPan, InteractionMode::Pan, false},
      {"Zoom", 0, kKitZoom, InteractionMode::ZoomWindow, true},
      {"Select Part(s)", 0, kKitSelectParts, InteractionMode::Select, true},
      {"Move Part(s)", 0, kKitMoveParts, InteractionMode::Move, false},
      {"Rotate Part(s)", 0, kKitRotateParts, InteractionMode::Rotate, false},
      {"Move With Colliding Test", 0, kKitMoveChecked, InteractionMode::MoveChecked, false},
      {"Select All", 0, kKitSelectAll, InteractionMode::Select, true},
      {"Select None", 0, kKitSelectNone, InteractionMode::Select, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    state.mode = InteractionMode::Pan;
    state.clickCount = 1;
    if (row.key != 0) {
      key(row.key);
    } else {
      EXPECT_TRUE(pressPackingKitButton(state, row.button).focusMainWindow);
    }
    EXPECT_EQ(state.mode, row.mode);
    EXPECT_EQ(state.clickCount, row.keepsCount ? 1 : 0);
  }
}

TEST_F(CommandsTest, MoveGrabsFollowsTheMouseAndReleases) {
  Part& part = addPart(1, 100, 100, 50);
  part.selected = true;
  key(U'M');
  click(120, 280);
  moveMouse(state, {150, 270}, false);
  EXPECT_DOUBLE_EQ(working(1).bbox.xmin, 130.0);
  EXPECT_DOUBLE_EQ(working(1).bbox.ymin, 110.0);
  click(170, 280);
  EXPECT_EQ(state.clickCount, 0);
  EXPECT_DOUBLE_EQ(working(1).bbox.xmin, 150.0);
  EXPECT_DOUBLE_EQ(working(1).bbox.ymin, 100.0);
  moveMouse(state, {300, 300}, false);  // released: no longer follows
  EXPECT_DOUBLE_EQ(working(1).bbox.xmin, 150.0);
}

TEST_F(CommandsTest, ShiftTurnsAMoveIntoACheckedMove) {
  addPart(2, 300, 100, 50);
  Part& part = addPart(1, 100, 100, 50);
  part.selected = true;
  for (const bool shift : {true, false}) {
    SCOPED_TRACE(shift ? "shift" : "plain");
    working(1).selected = true;
    translate(working(1), 100 - working(1).bbox.xmin, 0);
    key(U'm');
    click(100, 300);
    click(300, 300, shift);  // 200 mm to the right, onto part 2
    EXPECT_DOUBLE_EQ(working(1).bbox.xmin, shift ? 100.0 : 300.0);
  }
}

TEST_F(CommandsTest, RotateTurnsAboutTheClickedCentreBothWays) {
  Part& part = addPart(1, 100, 100, 100);
  part.selected = true;
  key(U'r');
  click(100, 300);  // centre: world (100, 100), the part's lower left corner
  EXPECT_DOUBLE_EQ(state.rotationCentre.x, 100.0);
  EXPECT_DOUBLE_EQ(state.rotationCentre.y, 100.0);
  EXPECT_EQ(state.rotationCentreScreen.x, 100);
  click(100, 300);
  click(100, 300);
  EXPECT_EQ(state.clickCount, 3);  // every press counts and re-centres

  for (int i = 0; i < 6; ++i) {  // six steps of 15 degrees
    key(U'a');
  }
  EXPECT_NEAR(working(1).bbox.xmin, 0.0, 1e-5);  // turned a quarter counter-clockwise
  EXPECT_NEAR(working(1).bbox.ymax, 200.0, 1e-5);
  for (int i = 0; i < 6; ++i) {
    key(U'C');
  }
  EXPECT_NEAR(working(1).bbox.xmin, 100.0, 1e-9);
  turnWheel(state, {0, 0}, 120);
  turnWheel(state, {0, 0}, -120);
  EXPECT_NEAR(working(1).bbox.ymin, 100.0, 1e-9);
  EXPECT_NEAR(working(1).rotation, 0.0, 1e-12);
  EXPECT_NEAR(state.rotationStep, 0.2617993833, 1e-10);
}

TEST_F(CommandsTest, LetterAActsOnlyInRotateModeUnlessShiftSelectsAll) {
  addPart(1, 100, 100, 100);
  addPart(2, 300, 100, 50);
  key(U'm');
  EXPECT_FALSE(key(U'a').repaint);
  EXPECT_TRUE(selectedIds().empty());
  key(U'A', true);
  EXPECT_EQ(selectedIds().size(), 2u);
  key(U'r');
  key(U'a', true);  // Shift wins over rotation
  EXPECT_DOUBLE_EQ(working(1).rotation, 0.0);
  key(kEscapeCharacter);
  EXPECT_TRUE(selectedIds().empty());
}

TEST_F(CommandsTest, ZoomWindowZoomsToTheBandAndXFitsAgain) {
  key(U'z');
  click(0, 400);
  EXPECT_TRUE(moveMouse(state, {300, 200}, false).repaint);
  click(300, 200);  // world 0..300 x 0..200: twice the scale
  EXPECT_DOUBLE_EQ(state.view->scale, 2.0);
  key(U'x');
  EXPECT_DOUBLE_EQ(state.view->scale, 0.95);
  key(U'z');
  click(0, 400);
  click(300, 200);
  state.savedExtent = state.job->plateExtents;
  resizeClient(state, 1200, 800);  // a resize fits the saved extent again
  EXPECT_DOUBLE_EQ(state.view->scale, 1.9);
  EXPECT_EQ(state.view->originX, 600);
}

TEST_F(CommandsTest, IdleClicksCountNothing) {
  addPart(1, 100, 100, 50);
  click(120, 280);
  EXPECT_EQ(state.clickCount, 0);
  EXPECT_TRUE(selectedIds().empty());
}

TEST(CommandsWithoutAJob, KeysAndClicksDoNothing) {
  AppState state;
  for (const char32_t c : {U'S', U'A', U'X', U'M', kEscapeCharacter}) {
    EXPECT_FALSE(typeCharacter(state, c, true).repaint);
  }
  EXPECT_EQ(state.mode, InteractionMode::Idle);
  state.mode = InteractionMode::Select;
  EXPECT_FALSE(pressLeftButton(state, {10, 10}, false).repaint);
  EXPECT_EQ(state.clickCount, 0);
  EXPECT_FALSE(pressArrowKey(state, ArrowKey::Up).repaint);
  EXPECT_FALSE(pressPackingKitButton(state, kKitLayoutAll).repaint);
  EXPECT_EQ(runMenuCommand(state, kLayoutInDxf).fileRequest, FileRequest::None);
  const RenewFields fields = renewDialogFields(state);
  EXPECT_EQ(fields.rotationNumber, "");
  EXPECT_EQ(fields.packingPointDistance, "");
  EXPECT_FALSE(pressRenewDialogButton(state, kRenewRotationNumber, {"7", "1"}).repaint);
  EXPECT_TRUE(pressRenewDialogButton(state, kRenewOk, {"7", "1"}).closeRenewDialog);
}

TEST(CommandsWithoutAJob, ViewTogglesFlipTheirItems) {
  AppState state;
  EXPECT_TRUE(state.packingPointsVisible);
  EXPECT_FALSE(state.offsetPartsVisible);
  EXPECT_EQ(state.checkedBackgroundItem, kBlackBackground);
  const Effects effects = runMenuCommand(state, kPackingPointsVisible);
  EXPECT_TRUE(effects.erase);
  EXPECT_FALSE(state.packingPointsVisible);
  runMenuCommand(state, kPackingPointsVisible);
  EXPECT_TRUE(state.packingPointsVisible);
  runMenuCommand(state, kOffsetPartsVisible);
  EXPECT_TRUE(state.offsetPartsVisible);
  runMenuCommand(state, kWhiteBackground);
  EXPECT_EQ(state.backgroundIndex, 1);
  EXPECT_EQ(state.checkedBackgroundItem, kWhiteBackground);
  runMenuCommand(state, kBlackBackground);
  EXPECT_EQ(state.backgroundIndex, 0);
}

TEST(CommandsWithoutAJob, OpenClosesBothDialogsBeforeAskingForTheFile) {
  AppState state;
  runMenuCommand(state, kShowRenewDialog);
  runMenuCommand(state, kShowPackingKit);
  EXPECT_TRUE(state.renewDialogOpen && state.packingKitOpen);
  const Effects effects = runMenuCommand(state, kOpenPreSrcFile);
  EXPECT_TRUE(effects.closePackingKit && effects.closeRenewDialog);
  EXPECT_FALSE(state.renewDialogOpen || state.packingKitOpen);
  EXPECT_EQ(effects.fileRequest, FileRequest::OpenPreSrc);
  EXPECT_EQ(effects.openFormat, LibraryFormat::PreSrcFile);
  EXPECT_EQ(runMenuCommand(state, kOpenPartListFile).fileRequest, FileRequest::OpenTextLibrary);
}

TEST_F(CommandsTest, AFailedOpenKeepsTheJobAndTheView) {
  test::ScratchDir scratch;
  ASSERT_EQ(setenv("XDG_STATE_HOME", scratch.path().c_str(), 1), 0);
  addPart(1, 100, 100, 50);
  const PackingJob* job = state.job.get();
  const View* view = state.view.get();
  runMenuCommand(state, kOpenTextLibrary);
  EXPECT_THROW(openLibraryFile(state, scratch.path() / "missing.txt", LibraryFormat::TextLibrary),
               CoreError);
  EXPECT_EQ(state.job.get(), job);
  EXPECT_EQ(state.view.get(), view);
  EXPECT_EQ(state.job->view, view);
  EXPECT_FALSE(state.packingKitOpen);

  test::writeBytes(scratch.path() / "one.txt",
                   "Plate length:300\r\nPlate width:200\r\nPart distance:0\r\n"
                   "NAME P\r\n5 0 0\r\n0 10 0\r\n0 10 10\r\n0 0 10\r\n0\r\n#end\r\n");
  state.clientWidth = 600;
  state.clientHeight = 400;
  const Effects effects =
      openLibraryFile(state, scratch.path() / "one.txt", LibraryFormat::TextLibrary);
  EXPECT_TRUE(effects.openPackingKit && effects.repaint);
  EXPECT_TRUE(state.packingKitOpen);
  EXPECT_NE(state.job.get(), job);
  EXPECT_EQ(state.job->view, state.view.get());
  EXPECT_DOUBLE_EQ(state.savedExtent.xmax, 300.0);
  EXPECT_DOUBLE_EQ(state.view->scale, 0.95 * 2.0);  // fitted: 600 / 300 and 400 / 200
  unsetenv("XDG_STATE_HOME");
}

TEST(LenientNumbers, ReadLikeStrtolAndStrtod) {
  EXPECT_EQ(parseLenientInt("12abc"), 12);
  EXPECT_EQ(parseLenientInt("  -7"), -7);
  EXPECT_EQ(parseLenientInt("+3.9"), 3);
  EXPECT_EQ(parseLenientInt(""), 0);
  EXPECT_EQ(parseLenientInt("abc12"), 0);
  EXPECT_EQ(parseLenientInt("99999999999"), INT_MAX);
  EXPECT_EQ(parseLenientInt("-99999999999"), INT_MIN);
  EXPECT_DOUBLE_EQ(parseLenientDouble("12abc"), 12.0);
  EXPECT_DOUBLE_EQ(parseLenientDouble(" +3.5e1x"), 35.0);
  EXPECT_DOUBLE_EQ(parseLenientDouble(".25"), 0.25);
  EXPECT_DOUBLE_EQ(parseLenientDouble("x1"), 0.0);
}

TEST_F(CommandsTest, RenewDialogShowsAndAppliesTheTwoNumbers) {
  addPart(1, 100, 100, 50);
  state.job->params.packingPointDistance = 0.5;
  RenewFields fields = renewDialogFields(state);
  EXPECT_EQ(fields.rotationNumber, "4");
  EXPECT_EQ(fields.packingPointDistance, "0.500000");

  EXPECT_TRUE(pressRenewDialogButton(state, kRenewRotationNumber, {"12abc", "junk"}).repaint);
  EXPECT_EQ(state.job->params.rotationNumber, 12);
  EXPECT_EQ(state.job->gridCountX, 0);  // the grid waits for the next layout

  pressRenewDialogButton(state, kRenewDistance, {"junk", "100"});
  EXPECT_DOUBLE_EQ(state.job->params.packingPointDistance, 100.0);
  EXPECT_EQ(state.job->params.rotationNumber, 12);
  EXPECT_GT(state.job->gridCountX, 0);

  state.renewDialogOpen = true;
  EXPECT_TRUE(pressRenewDialogButton(state, kRenewCancel, {"1", "1"}).closeRenewDialog);
  EXPECT_FALSE(state.renewDialogOpen);
  EXPECT_DOUBLE_EQ(state.job->params.packingPointDistance, 100.0);
}

TEST_F(CommandsTest, ARefusedDistanceChangesNeitherNumber) {
  state.renewDialogOpen = true;
  for (const char* distance : {"0", "-5", "abc"}) {
    SCOPED_TRACE(distance);
    EXPECT_THROW(pressRenewDialogButton(state, kRenewOk, {"9", distance}), CoreError);
    EXPECT_THROW(pressRenewDialogButton(state, kRenewDistance, {"9", distance}), CoreError);
    EXPECT_DOUBLE_EQ(state.job->params.packingPointDistance, 50.0);
    EXPECT_EQ(state.job->params.rotationNumber, 4);
    EXPECT_TRUE(state.renewDialogOpen);
  }
  const Effects effects = pressRenewDialogButton(state, kRenewOk, {"9", "25"});
  EXPECT_TRUE(effects.closeRenewDialog && effects.repaint);
  EXPECT_EQ(state.job->params.rotationNumber, 9);
  EXPECT_DOUBLE_EQ(state.job->params.packingPointDistance, 25.0);
}

// Records what the paint draws.
struct RecordingCanvas : Canvas {
  struct Line {
    ScreenPoint from, to;
    Rgb colour;
    int width;
    bool dashed;
  };
  void fill(Rgb colour) override { fills.push_back(colour); }
  void line(ScreenPoint from, ScreenPoint to, Rgb colour, int width, bool dashed) override {
    lines.push_back({from, to, colour, width, dashed});
  }
  void pixel(ScreenPoint at, Rgb) override { pixels.push_back(at); }

  int count(Rgb colour, int width = 1, bool dashed = false) const {
    int n = 0;
    for (const Line& l : lines) {
      n += l.colour == colour && l.width == width && l.dashed == dashed ? 1 : 0;
    }
    return n;
  }

  std::vector<Rgb> fills;
  std::vector<Line> lines;
  std::vector<ScreenPoint> pixels;
};

TEST(PaintWithoutAJob, FillsTheBackgroundOnly) {
  AppState state;
  state.backgroundIndex = 1;
  RecordingCanvas canvas;
  paintState(state, canvas);
  EXPECT_EQ(canvas.fills, std::vector<Rgb>{kWhite});
  EXPECT_TRUE(canvas.lines.empty());
}

TEST_F(CommandsTest, PaintColoursPartsByTheirWorkingCopies) {
  addPart(1, 100, 100, 50);
  addPart(2, 200, 100, 50, 20);  // a hole: eight edges
  addPart(3, 300, 100, 50);
  working(2).selected = true;
  turnOver(working(3), working(3).centroid);
  RecordingCanvas canvas;
  paintState(state, canvas);
  EXPECT_EQ(canvas.fills, std::vector<Rgb>{kBlack});
  EXPECT_EQ(canvas.count(kBlue), 4);    // the plate
  EXPECT_EQ(canvas.count(kGreen), 4);   // part 1
  EXPECT_EQ(canvas.count(kRed, 2), 8);  // part 2, outline and hole
  EXPECT_EQ(canvas.count(kYellow), 4);  // part 3
  ASSERT_FALSE(canvas.lines.empty());
  EXPECT_EQ(canvas.lines.front().from.x, 0);  // the plate comes first, y up
  EXPECT_EQ(canvas.lines.front().from.y, 400);

  state.offsetPartsVisible = true;
  RecordingCanvas withOffsets;
  paintState(state, withOffsets);
  EXPECT_EQ(withOffsets.count(kGreen), 8);
}

TEST_F(CommandsTest, PaintShowsFreePackingPointsAndTheModeOverlay) {
  addPart(1, 0, 0, 120);
  RebuildPackingPoints(*state.job);
  int free = 0;
  for (const PackingPoint& point : state.job->packingPoints) {
    free += point.occupied ? 0 : 1;
  }
  ASSERT_GT(free, 0);
  RecordingCanvas canvas;
  paintState(state, canvas);
  EXPECT_LE(static_cast<int>(canvas.pixels.size()), free);
  EXPECT_GT(canvas.pixels.size(), 0u);
  state.packingPointsVisible = false;

  state.mode = InteractionMode::Select;
  state.clickCount = 1;
  state.anchor = {300, 100};
  state.rubberEnd = {200, 200};  // left of the anchor: dashed
  RecordingCanvas band;
  paintState(state, band);
  EXPECT_TRUE(band.pixels.empty());
  EXPECT_EQ(band.count(kMagenta, 1, true), 4);
  state.pickedPart = true;
  RecordingCanvas picked;
  paintState(state, picked);
  EXPECT_EQ(picked.count(kMagenta, 1, true), 0);

  state.mode = InteractionMode::Rotate;
  state.rotationCentreScreen = {50, 60};
  RecordingCanvas marker;
  paintState(state, marker);
  ASSERT_EQ(marker.count(kRed), 2);
  EXPECT_EQ(marker.lines.back().from.x, 45);
  EXPECT_EQ(marker.lines.back().from.y, 65);
}

}  // namespace
}  // namespace tarn
