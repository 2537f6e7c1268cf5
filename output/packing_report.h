#pragma once

#include <filesystem>
#include <ostream>

#include "job/packing_job.h"

namespace tarn {

// Marks conflicting parts (selection and warnings) and writes the report. An
// unwritable path throws CoreError "report file open error!".
void WritePackingReport(PackingJob& job, const std::filesystem::path& path);
void WritePackingReport(PackingJob& job, std::ostream& out);

}  // namespace tarn
