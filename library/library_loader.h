#pragma once

#include <filesystem>

#include "app/packing_job.h"
#include "library/nest_params.h"

namespace tarn {

// Loads a library into a freshly created job: reads, checks, builds, orients,
// sorts, offsets and parks the parts, and derives the packing point distance.
// Throws CoreError on a fatal input error; the caller then drops the job. The
// front end fits its view to job.plateExtents afterwards.
void openLibrary(PackingJob& job, const std::filesystem::path& path, LibraryFormat format);

}  // namespace tarn
