#pragma once

#include <filesystem>
#include <string_view>

#include "geometry/arc.h"
#include "geometry/part_source.h"
#include "job/packing_job.h"
#include "library/line_reader.h"

namespace tarn {

// Reads a text part library: the plate size and part gap from the header,
// then one source per "NAME" part into job.sources (newest first), ids counting
// every part of the file. Parts without a loop or with unusable numbers are
// left out with lines in the job's error report. Throws CoreError when the
// file cannot be opened, on a zero plate size, on an unusable header number
// and on a malformed loop (file, line and part named).
void readTextLibrary(PackingJob& job, const std::filesystem::path& path);

// The three header lines shared with the part list file: plate length, plate
// width and part gap, each read from a fixed offset (13, 12, 14) after a label
// that is never looked at. Sets the plate size and extents (CoreError on a zero
// side or an unusable number).
void readPlateHeader(PackingJob& job, LineReader& file);

enum class PartBody {
  Read,       // outer outline and holes stored in the source
  NoLoop,     // "NAME" or "#end" (or the end of the file) came first
  BadNumber,  // a coordinate or radius that is not usable
};

// Reads the loops of one part up to the next "NAME" or "#end" line (left
// unread) or the end of the file. The first loop is the outer outline.
PartBody readPartBody(LineReader& file, PartSource& source);

// Reads one loop into `polyline`. At a "NAME" or "#end" line, or at the end of
// the file, the line is left unread and `done` is set. Returns whether every
// number of the loop is usable. Throws CoreError when the count is below 2 or
// the loop has fewer lines than its count; `partName` names the part then.
bool readLoop(LineReader& file, RadiusPolyline& polyline, bool& done, std::string_view partName);

}  // namespace tarn
