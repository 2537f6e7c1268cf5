#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "app/menu_ids.h"
#include "app/view.h"
#include "job/nest_params.h"
#include "library/library_loader.h"

namespace tarn {

// Every menu command, key, mouse gesture and tool dialog button of the main
// window as a plain function on the AppState. Each returns what the front end
// must do afterwards; none of them opens a window itself. A failing core
// operation throws CoreError; the front end shows it and the state keeps the
// job it had.

// Which file the front end must ask for.
enum class FileRequest {
  None,
  OpenTextLibrary,    // "Open File of Parts ", *.txt
  OpenPartList,       // the same title, *.lst and *.txt
  OpenPreSrc,         // "Read Velmar File", *.preSrc
  SaveLayoutDxf,      // "Write DXF File of Layout", *.dxf
  SaveLayoutsFolder,  // "Save Layouts…": a folder
  OpenDrawings,       // "Open Drawings…": several *.dxf, then their counts (app/open_drawings.h)
};

// The commands that may run long. The front end runs them on a worker thread
// (app/job_runs.h) and applies the result when it has ended.
enum class RunKind {
  Open,
  Layout,
  LayoutAll,
  LayoutNext,
  LayoutMultipleSteps,
  PlateSet,         // Layout All's walk, plate after plate (app/plate_tabs.h)
  PlateSetInSteps,  // the multi-step walk, plate after plate
  OpenDrawings,     // a job straight from drawings (app/open_drawings.h)
};

struct RunRequest {
  RunKind kind = RunKind::LayoutAll;
  bool announce = true;        // the layouts: raise the timing notice at the end
  std::filesystem::path path;  // Open: the library
  LibraryFormat format = LibraryFormat::TextLibrary;  // Open
  DrawingJobRequest drawings;                         // OpenDrawings
};

// What the front end does after a command, in this order: close the dialogs
// marked, ask for a file, start the run, open the dialogs marked (an open one
// is destroyed and created anew), give the keyboard focus to the main window,
// repaint, show the report, show the message, show the warning.
struct Effects {
  bool closePackingKit = false;
  bool closeRenewDialog = false;
  FileRequest fileRequest = FileRequest::None;
  LibraryFormat openFormat = LibraryFormat::TextLibrary;  // with the open requests
  std::optional<RunRequest> run;
  bool openPackingKit = false;
  bool openRenewDialog = false;
  bool openOptimiser = false;  // "Layout > Optimise…" (app/optimise_run.h)
  bool focusMainWindow = false;
  bool repaint = false;
  bool showReport = false;  // reportFile() in the desktop's text editor
  std::string message;      // UTF-8, for an information box
  std::string warning;      // UTF-8, a failure after the job changed ("Warning!")
};

enum class ArrowKey { Left, Right, Up, Down };

// Keys that are not letters but arrive as characters.
inline constexpr char32_t kEscapeCharacter = 0x1b;

Effects runMenuCommand(AppState& state, int id);
// Steps 3 to 8 of Open on the calling thread, once the user has chosen `path`:
// a fresh job and view are loaded aside and replace the current ones only when
// the load succeeded. The front end runs the same on a worker (app/job_runs.h).
Effects openLibraryFile(AppState& state, const std::filesystem::path& path, LibraryFormat format);
// After the save dialog of "LayoutIn&Dxf" or "Layout In DXF" was confirmed.
Effects writeLayoutFile(AppState& state, const std::filesystem::path& path);

// Where the current job's packing report goes (kReportFileName in its output
// folder); empty without a job.
std::filesystem::path reportFile(const AppState& state);

Effects pressArrowKey(AppState& state, ArrowKey key);
// A character message; `shiftHeld` is the key state of Shift at that moment.
Effects typeCharacter(AppState& state, char32_t character, bool shiftHeld);
Effects pressLeftButton(AppState& state, ScreenPoint point, bool shiftHeld);
Effects moveMouse(AppState& state, ScreenPoint point, bool shiftHeld);
// `delta` as the wheel reports it; `point` in client pixels.
Effects turnWheel(AppState& state, ScreenPoint point, int delta);
Effects resizeClient(AppState& state, int width, int height);

Effects pressPackingKitButton(AppState& state, int id);

// Field texts of the RN/PPD dialog: "%d" and "%lf" of the job's numbers,
// both empty without a job.
struct RenewFields {
  std::string rotationNumber;
  std::string packingPointDistance;
};
RenewFields renewDialogFields(const AppState& state);
// A rotation number below 1 or above kMaxRotationNumber or a distance the grid
// refuses throws CoreError, and neither number changes.
Effects pressRenewDialogButton(AppState& state, int id, const RenewFields& fields);

// Makes exactly the parts with these ids selected (the parts list), as one
// undo step.
Effects selectPartsById(AppState& state, const std::vector<int>& ids);

// Whether a Packing Kit button or menu item can change the job; while a run
// holds the job (AppState::jobLocked) they do nothing, and the front end
// shows them disabled.
bool packingKitButtonChangesJob(int id);
bool menuCommandChangesJob(int id);

// The view fitted to the plate and every working part (Shift+X, "Fit All Parts").
void fitAllParts(AppState& state);

}  // namespace tarn
