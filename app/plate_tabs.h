#pragma once

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/job_runs.h"
#include "plates/unplaced_parts.h"

namespace tarn {

// A job laid out over several plates, shown one plate at a time. Each plate
// is an ordinary job with its own undo history and view (AppState::plates);
// the plate on show is AppState's job, history and view, so every command,
// key and kit button acts on it alone. Plate k's files (report, timing file,
// part drawings) go to the folder "plate-k" beside where the job's own went,
// as tarnpack's --plates lays them out. A job of one plate is shown and
// behaves as it always has.

// Plates in the window: 1 without a set, 0 without a job.
std::size_t plateCount(const AppState& state);
// The plate on show, from 0.
std::size_t currentPlate(const AppState& state);
// "Plate 3" for the index 2.
std::string plateTabTitle(std::size_t index);

// Shows another plate; the one on show keeps its job, history and view, and a
// gesture half done is dropped. Refused while a run holds the job.
Effects switchPlate(AppState& state, std::size_t index);

// "Lay Out on Several Plates" (RunKind::PlateSet, PlateSetInSteps): the work
// lays out snapshots of every plate as a set (as many plates as needed, up to
// kMaxPlateCount), writes the set's time into the timing file of the folder
// the plates' folders lie in and announces it. Its end replaces the plates it
// changed: as one step of the set (undone as a whole) when parts went to
// other plates or plates were added, else as a step in each plate's own
// history. A message names the parts left off, unless the run was stopped.
RunWork prepareSetRun(const AppState& state, const RunRequest& request);
Effects finishSetRun(AppState& state, const RunRequest& request, PlateSetResult result);

// The parts waiting beside the plate on show go to the next plate, made when
// there is none (MoveWaitingPartsToNextPlate), as one step of the set. With
// none waiting a message says so and nothing changes.
Effects moveWaitingPartsToNextPlate(AppState& state);

// "Save Layouts…": every plate's layout drawing into folder / "plate-k" /
// "layout.dxf" and the set's report into folder / "Report.txt", as tarnpack
// --plates names them. A folder that cannot be made throws CoreError naming
// it; the drawings written before stay.
Effects writeLayoutsFolder(AppState& state, const std::filesystem::path& folder);

// The set's report (plates/plate_set_report.h) of the plates as they are now:
// the parts waiting beside any plate, each with the reason the last set run
// gave, else "no room left" (or "larger than the plate", when it is).
void writeSetReport(AppState& state, std::ostream& out);

// Undo and Redo on the plate on show: its own steps first; then a step of the
// set that changed this plate, once no plate it changed has steps of its own
// to take back (Undo), or when none has been edited since it was undone (Redo).
struct UndoOffer {
  bool possible = false;
  std::string label;
};
UndoOffer undoOffer(const AppState& state);
UndoOffer redoOffer(const AppState& state);
bool undoEdit(AppState& state);
bool redoEdit(AppState& state);

// Forgets the set (an Open replaces the job).
void forgetPlates(AppState& state);

}  // namespace tarn
