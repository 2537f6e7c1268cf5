#pragma once

#include <filesystem>
#include <ostream>
#include <string_view>

#include "job/packing_job.h"

namespace tarn {

// The name the front ends give the report, in the job's output folder.
inline constexpr std::string_view kReportFileName = "Report.txt";

// Marks conflicting parts (selection and warnings) and writes the report. An
// unwritable path throws CoreError "report file open error!".
void WritePackingReport(PackingJob& job, const std::filesystem::path& path);
void WritePackingReport(PackingJob& job, std::ostream& out);

}  // namespace tarn
