#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/cli_texts.h"
#include "library/drawing_job.h"
#include "library/library_loader.h"
#include "optimise/layout_search.h"

namespace tarn::cli {

enum class LayoutMode { All, Multi, None };

struct Options {
  std::filesystem::path library;        // empty with a job from drawings
  std::optional<LibraryFormat> format;  // none: detected from the file
  LayoutMode layout = LayoutMode::All;
  std::optional<int> rotationNumber;
  std::optional<double> packingPointDistance;  // mm
  std::filesystem::path outDir = ".";
  std::filesystem::path dxfPath{text::kLayoutDxfName};  // relative to outDir
  std::optional<std::filesystem::path> errorReport;
  // --plates: lay out on up to this many plates, each into its own folder
  // under outDir; none: the single plate of the job, as without plate sets.
  std::optional<int> plates;
  // --optimise / --evaluations: a layout search after the layout, within this
  // budget; none: the layout alone, exactly as without the search.
  std::optional<SearchSettings> search;
  bool exportParts = false;
  bool json = false;
  bool quiet = false;
  // --plate: a job straight from drawings, their paths as given (from the
  // start folder), each checked to exist.
  std::optional<DrawingJobRequest> drawingJob;
};

struct ParseResult {
  std::optional<Options> options;  // set when the run goes on
  int exitCode = 0;                // when it does not: 0 after --help or --version, 2 on misuse
};

// Help and version go to `out`, misuse (with the usage text) to `err`.
ParseResult parseCommandLine(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err);

// The core's detection, shared with the desktop program.
using ::tarn::detectLibraryFormat;

// "text", "list" or "presrc".
std::string formatName(LibraryFormat format);

// --optimise: seconds above 0 and at most 1e9; --evaluations and --seed: whole
// numbers (evaluations from 1), digits only; --threads: 1 to 256. None when
// the value is refused.
std::optional<double> parseSearchSeconds(const std::string& value);
std::optional<std::uint64_t> parseWholeNumber(const std::string& value);
std::optional<int> parseThreadCount(const std::string& value);

// The number of plates a --plates value allows: "auto" is kMaxPlateCount, a
// whole number from 1 to kMaxPlateCount itself; anything else is none.
std::optional<int> parsePlateCount(const std::string& value);

}  // namespace tarn::cli
