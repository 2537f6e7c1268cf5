#pragma once

#include <filesystem>
#include <string_view>

#include "job/packing_job.h"

namespace tarn {

// One DXF file per true part, named after the part, in `folder` (the job's
// output folder when none is given), in trueParts order; a later part of the
// same name replaces the earlier file. A name that is empty, holds a path separator, ".."
// or a control character, or starts with '-' is reported with a warning and
// skipped. A file that cannot be written throws CoreError "排样文件输出失败!";
// the files of earlier parts stay.
void ExportParts(PackingJob& job);
void ExportParts(PackingJob& job, const std::filesystem::path& folder);

// Whether the name (bytes, UTF-8 or GBK) can name a file of its own in a folder.
bool isSafePartFileName(std::string_view name);

}  // namespace tarn
