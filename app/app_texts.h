#pragma once

// The desktop program's own texts (UTF-8): status bar, menus added beside the
// classic ones, undo steps, progress and messages. The classic captions stay in
// the dialogs' resources and the menus' table; the core's messages in
// geometry/texts.h.

#include <cstdio>
#include <string>
#include <string_view>

namespace tarn::app_text {

inline constexpr std::string_view kProgramName = "TarnPacking";

// The RN/PPD dialog refuses a rotation number below 1 in the style of the core's
// message for one above kMaxRotationNumber.
inline constexpr std::string_view kRotationNumberTooSmall =
    "零件旋转角个数错误! (the rotation number must be at least 1)";

// Interaction modes, as the status bar names them.
inline constexpr std::string_view kModeNames[] = {
    "Idle", "Select", "Pan", "Move", "Move (checked)", "Zoom", "Rotate",
};

// Status bar (printf formats).
inline constexpr std::string_view kStatusCursor = "x %.1f mm, y %.1f mm";
inline constexpr std::string_view kStatusNoCursor = "x -, y -";
inline constexpr std::string_view kStatusMode = "Mode: %s";
inline constexpr std::string_view kStatusParts = "%d parts loaded, %d packed, %d waiting";
inline constexpr std::string_view kStatusLength = "packed length %s mm";
inline constexpr std::string_view kStatusUtilisation = "utilisation %.2f %%";
inline constexpr std::string_view kStatusUtilisationUnknown = "utilisation unknown";
inline constexpr std::string_view kStatusRotationNumber = "RN %d";
inline constexpr std::string_view kStatusDistance = "PPD %s mm";
inline constexpr std::string_view kStatusNoJob = "No library loaded";

// Undo steps: what "Undo …" and "Redo …" name.
inline constexpr std::string_view kStepSelect = "Select";
inline constexpr std::string_view kStepMove = "Move";
inline constexpr std::string_view kStepRotate = "Rotate";
inline constexpr std::string_view kStepTurnOver = "Turn Over";
inline constexpr std::string_view kStepContactMove = "Contact Move";
inline constexpr std::string_view kStepStageNext = "Stage Next Part";
inline constexpr std::string_view kStepLayout = "Layout";
inline constexpr std::string_view kStepLayoutAll = "Layout All";
inline constexpr std::string_view kStepLayoutNext = "Layout Next";
inline constexpr std::string_view kStepLayoutMultipleSteps = "Layout Multiple Steps";
inline constexpr std::string_view kStepReport = "Packing Report";
inline constexpr std::string_view kStepLayOutOnPlates = "Lay Out on Several Plates";
inline constexpr std::string_view kStepLayOutOnPlatesInSteps = "Lay Out on Several Plates in Steps";
inline constexpr std::string_view kStepMoveToNextPlate = "Move Waiting Parts to Next Plate";
inline constexpr std::string_view kStepOptimise = "Optimise";

// Long runs: the progress dialog's heading.
inline constexpr std::string_view kRunProgress = "%s: %d parts tried, %d waiting, %.1f s";
inline constexpr std::string_view kRunElapsed = "%s: %.1f s";
inline constexpr std::string_view kRunStopping = "Stopping after the part being placed…";

// Messages after a command (%s: a full path).
inline constexpr std::string_view kPartsExported = "%d part drawings written to %s";
inline constexpr std::string_view kReportNotOpened =
    "The packing report was written to %s, but no program could be started to show it.";

// Plate sets (%s: a full path, or the list of parts).
inline constexpr std::string_view kPlateTab = "Plate %d";
inline constexpr std::string_view kTitlePlate = "%s, plate %d of %d";
inline constexpr std::string_view kLayoutsWritten =
    "%d layout drawings (plate-1/layout.dxf ...) and the set's report written to %s";
inline constexpr std::string_view kNoWaitingParts = "No part waits beside plate %d.";
inline constexpr std::string_view kPartsLeftOff = "%d parts are left waiting beside plate %d: %s";
inline constexpr std::string_view kMoreParts = ", and %d more";
inline constexpr std::string_view kFolderNotCreated = "Cannot create the folder %s";
// Why a set run left a part off, after its name.
inline constexpr std::string_view kLeftOffLargerThanPlate =
    "larger than the plate in every orientation tried";
inline constexpr std::string_view kLeftOffNoRoom = "no room left on the plate";
inline constexpr std::string_view kLeftOffNoRoomOnEmptyPlate =
    "no place found for it even on an empty plate";
inline constexpr std::string_view kLeftOffPlateLimit = "the largest number of plates was reached";
inline constexpr std::string_view kLeftOffStopped = "the run was stopped";

// Jobs from drawings.
inline constexpr std::string_view kMoreDrawings = " and %llu more";
inline constexpr std::string_view kNoDrawings = "No drawing was chosen.";
inline constexpr std::string_view kNoSuchDrawing = "is no drawing or folder";
inline constexpr std::string_view kOpenDrawingsTitle = "Open Drawings";
inline constexpr std::string_view kDrawingsFilter = "DXF drawings (*.dxf)";
inline constexpr std::string_view kDrawingColumns[] = {"Drawing", "Count"};

// The optimiser's window.
inline constexpr std::string_view kOptimiseTitle = "Optimise Layout";
inline constexpr std::string_view kOptimiseStart = "&Start";
inline constexpr std::string_view kOptimiseStop = "&Stop";
inline constexpr std::string_view kOptimiseUtilisation = "%.2f %%";
inline constexpr std::string_view kOptimiseLength = "%.1f mm";
inline constexpr std::string_view kOptimiseEvaluations = "%llu";
inline constexpr std::string_view kOptimiseElapsed = "%.1f s";
inline constexpr std::string_view kOptimiseNone = "-";
inline constexpr std::string_view kOptimiseChartTime = "Time (s)";
inline constexpr std::string_view kOptimiseChartLength = "Packed length (mm)";
inline constexpr std::string_view kOptimiseInvalid =
    "The search returned a layout that breaks the job's rules; the layout is kept as it was.";

// Menus and docks added beside the classic ones.
inline constexpr std::string_view kUndo = "&Undo";
inline constexpr std::string_view kRedo = "&Redo";
inline constexpr std::string_view kFitAllParts = "Fit All &Parts";
inline constexpr std::string_view kOpenDrawings = "Open Dra&wings…";
inline constexpr std::string_view kOptimise = "&Optimise…";
inline constexpr std::string_view kLayOutOnPlates = "Lay Out on Several &Plates";
inline constexpr std::string_view kLayOutOnPlatesInSteps = "Lay Out on Several Plates in &Steps";
inline constexpr std::string_view kMoveToNextPlate = "&Move Waiting Parts to Next Plate";
inline constexpr std::string_view kSaveLayouts = "&Save Layouts…";
inline constexpr std::string_view kNextPlate = "&Next Plate";
inline constexpr std::string_view kPreviousPlate = "Pre&vious Plate";
inline constexpr std::string_view kSaveLayoutsTitle = "Save Layouts into Folder";
inline constexpr std::string_view kRecentLibraries = "&Recent Libraries";
inline constexpr std::string_view kPartsList = "Parts";
inline constexpr std::string_view kPartsListToggle = "Parts &List";
inline constexpr std::string_view kPartsListColumns[] = {"Name", "Id", "State", "Turned over"};
inline constexpr std::string_view kPlaced = "placed";
inline constexpr std::string_view kWaiting = "waiting";
inline constexpr std::string_view kYes = "yes";
inline constexpr std::string_view kNo = "no";

// File dialogs' filters beside the classic ones.
inline constexpr std::string_view kPartListFilter = "Part List Files (*.lst *.txt)";
inline constexpr std::string_view kAllFilesFilter = "All Files (*)";

// The command line of the desktop program.
inline constexpr std::string_view kCommandLineDescription =
    "Lays out flat parts on a plate. LIBRARY, when given, is opened at start; its format is "
    "told from its name and contents as tarnpack tells it.";
inline constexpr std::string_view kCommandLineLibrary = "A part library to open.";

// printf of the values into one of these texts, however long the result (a
// file name or a huge distance may be long).
template <class... Values>
std::string printed(std::string_view format, Values... values) {
  const std::string pattern(format);
  const int length = std::snprintf(nullptr, 0, pattern.c_str(), values...);
  if (length <= 0) {
    return {};
  }
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, pattern.c_str(), values...);
  return text;
}

}  // namespace tarn::app_text
