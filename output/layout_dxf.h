#pragma once

#include <filesystem>
#include <ostream>

#include "job/packing_job.h"

namespace tarn {

// Writes the layout drawing. The file is written whole or not at all; an
// unwritable path throws CoreError "排样文件输出失败!".
void WriteLayoutDxf(PackingJob& job, const std::filesystem::path& path);
void WriteLayoutDxf(PackingJob& job, std::ostream& out);

}  // namespace tarn
