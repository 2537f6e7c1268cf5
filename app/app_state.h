#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/edit_history.h"
#include "app/menu_ids.h"
#include "app/view.h"
#include "geometry/point.h"
#include "geometry/region.h"
#include "job/packing_job.h"
#include "plates/plate_set.h"
#include "plates/unplaced_parts.h"

namespace tarn {

// What left clicks do in the main window.
enum class InteractionMode : int {
  Idle = 0,
  Select = 1,
  Pan = 2,
  Move = 3,
  MoveChecked = 4,
  ZoomWindow = 5,
  Rotate = 6,
};

// 15 degrees with the constant 3.1415926, not the exact pi.
inline constexpr double kRotationStep = 3.1415926 * 15.0 / 180.0;  // radians

// The mode left clicks act in and the gesture in progress.
struct Gesture {
  InteractionMode mode = InteractionMode::Idle;
  int clickCount = 0;                   // clicks of the gesture so far
  ScreenPoint lastMouse;                // start of the current drag step (Pan, Move, MoveChecked)
  ScreenPoint currentMouse;             // last position seen by a mouse message
  ScreenPoint anchor;                   // first corner of a rubber band
  ScreenPoint rubberEnd;                // second corner of a rubber band
  bool pickedPart = false;              // the first Select click toggled a part: no rubber band
  ScreenPoint rotationCentreScreen;     // where the rotation marker is drawn
  Point rotationCentre;                 // plate point that Rotate mode turns about
  double rotationStep = kRotationStep;  // of A, C and the wheel in Rotate mode
  int dragSerial = 0;                   // counts Move grabs: each drag is one undo step
};

// What the View menu switches.
struct ViewOptions {
  bool packingPointsVisible = true;
  bool offsetPartsVisible = false;
  int backgroundIndex = 0;  // 0 black, 1 white
  int checkedBackgroundItem = kBlackBackground;
};

// The main window's client area and how the plate is shown in it.
struct Viewport {
  View view;  // a fresh one after every Open, fitted to the plate
  int clientWidth = 0;
  int clientHeight = 0;
  // What every resize fits the view to: the plate and the parked parts after an
  // Open, the plate after X, the plate and every part after Shift+X.
  BBox savedExtent;
};

// One plate of a set: its job, the undo history of the edits made on it and
// how it is shown.
struct PlateTab {
  std::unique_ptr<PackingJob> job;  // none: the plate on show (in AppState), or no such plate
  EditHistory history;
  Viewport viewport;
};

// A change that moves parts between plates or adds plates (a set run, moving
// the waiting parts on). It holds the plates it changed as they are on the
// other side of it, each with its history and view; a tab without a job is a
// plate that does not exist there. Doing, undoing and redoing it are the same
// swap (app/plate_tabs.h).
struct PlateSetStep {
  std::string label;
  std::vector<std::pair<std::size_t, PlateTab>> plates;  // by plate index, ascending
  std::vector<UnplacedPart> unplaced;                    // the set's, on the other side
  // While undone: the steps each of its plates' histories had recorded then;
  // a later edit there drops the redo.
  std::vector<std::size_t> recordedSteps;
};

// The plates of a set. Without a set (one plate, as after an Open) `tabs` is
// empty or holds one plate; otherwise it holds every plate in order, and the
// slot of the plate on show is hollow: its job, history and view are
// AppState's own, so every command acts on the plate on show unchanged.
struct PlateTabs {
  std::vector<PlateTab> tabs;
  std::size_t current = 0;
  std::filesystem::path folder;  // where plate k's folder "plate-k" lies
  PlateSet::LoadedOrder loadedOrder;
  std::vector<UnplacedPart> unplaced;  // the last set run's parts left off, with why
  std::vector<PlateSetStep> done;      // oldest first
  std::vector<PlateSetStep> undone;    // newest last
  std::size_t changes = 0;             // counts switches and set steps
};

// The values the main window, the commands and the two tool dialogs share. The
// front end owns one for the life of the window and changes it only through
// the commands (app/commands.h). At window creation: no job, the black
// background, Idle.
struct AppState {
  std::unique_ptr<PackingJob> job;    // none until the first Open; the plate on show
  std::filesystem::path libraryPath;  // the file the job was loaded from (the first drawing)
  std::size_t moreDrawings = 0;       // a job from drawings: how many beside libraryPath
  EditHistory history;                // undo and redo of the job's poses and selection
  PlateTabs plates;                   // the other plates of a set, if any
  // A run on a worker thread will replace the job's parts: until it has been
  // applied, the commands that would change the job do nothing.
  bool jobLocked = false;
  // The best layout a search has found so far, painted instead of the job's
  // working parts while the search goes on (app/optimise_run.h).
  std::shared_ptr<const PackingJob> preview;
  bool announceLayout = true;  // whether B and the kit's layouts tell their time
  std::string lastPath;        // shared by the three file dialogs (UTF-8)
  // Given to every job an Open creates: where its timing file, report and
  // part drawings go. The desktop program sets its working directory.
  std::filesystem::path outputFolder;
  Gesture gesture;
  ViewOptions options;
  Viewport viewport;
};

}  // namespace tarn
