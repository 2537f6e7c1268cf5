#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "library/library_loader.h"

namespace tarn {

// The figures a user works by, measured as the command line's summary measures
// them (output/layout_summary.h), and the texts the status bar shows (UTF-8).
struct StatusFigures {
  int loaded = 0;
  int packed = 0;
  int waiting = 0;
  double packedLength = 0.0;          // mm
  std::optional<double> utilisation;  // a fraction; none while nothing is packed
  int rotationNumber = 0;
  double packingPointDistance = 0.0;  // mm
};

StatusFigures statusFigures(const PackingJob& job);

struct StatusTexts {
  std::string parts;        // "46 parts loaded, 46 packed, 0 waiting"
  std::string length;       // "packed length 1515.56 mm"
  std::string utilisation;  // "utilisation 81.30 %"
  std::string rotationNumber;
  std::string packingPointDistance;
};

// Empty texts but `parts` ("No library loaded") without a job.
StatusTexts statusTexts(const AppState& state);
// The plate point under the mouse, "x 123.4 mm, y 56.7 mm".
std::string cursorText(const AppState& state);
std::string modeText(const AppState& state);
// "<file name> - TarnPacking", or the program's name alone without a job.
std::string windowTitle(const AppState& state);

// One row of the parts list, in id order (file order).
struct PartRow {
  int id = 0;
  std::string name;  // bytes as loaded
  bool placed = false;
  bool turnedOver = false;
  bool selected = false;
};

std::vector<PartRow> partRows(const PackingJob& job);

// The libraries the File menu offers again, newest first.
struct RecentLibrary {
  std::string path;  // UTF-8
  LibraryFormat format = LibraryFormat::TextLibrary;
  bool operator==(const RecentLibrary&) const = default;
};

inline constexpr std::size_t kRecentLibraryCount = 6;

// Puts `library` first; an older entry for the same path goes, and the list
// keeps at most kRecentLibraryCount entries.
void rememberLibrary(std::vector<RecentLibrary>& recent, const RecentLibrary& library);

}  // namespace tarn
