#pragma once

#include <filesystem>

#include "app/packing_job.h"

namespace tarn {

// One DXF file per true part, named after the part, in `folder` (the working
// directory by default). Unsafe names are reported and skipped.
void ExportParts(PackingJob& job, const std::filesystem::path& folder = {});

}  // namespace tarn
