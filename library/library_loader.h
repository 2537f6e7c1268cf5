#pragma once

#include <filesystem>

#include "job/packing_job.h"
#include "library/drawing_job.h"

namespace tarn {

// Which reader openLibrary runs; the values are those of the three Open commands.
enum class LibraryFormat : int { TextLibrary = 1, PartListFile = 2, PreSrcFile = 3 };

// The reader for a file whose format nobody named (the command line, a file
// given to the desktop program): a name ending in ".preSrc" (any case) is a
// preSrc file; a file with a line starting with "NAME" or "#end" is a text
// library; anything else is a part list file. A file that cannot be read is
// taken for a text library, whose reader says best what went wrong.
LibraryFormat detectLibraryFormat(const std::filesystem::path& path);

// Loads a library into a freshly created job: reads, checks, builds, orients,
// sorts, offsets and parks the parts, and derives the packing point distance.
// Throws CoreError on a fatal input error; the caller then drops the job. The
// front end fits its view to job.plateExtents afterwards.
void openLibrary(PackingJob& job, const std::filesystem::path& path, LibraryFormat format);

// Loads a job straight from drawings into a freshly created job: the plate and
// gap of the request, the parts of every drawing read as a part list reads
// them (readDrawingJob), then prepared exactly as openLibrary prepares the
// parts of a library. Throws CoreError as readDrawingJob does; the caller then
// drops the job.
void openDrawings(PackingJob& job, const DrawingJobRequest& request);

}  // namespace tarn
