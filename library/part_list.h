#pragma once

#include <filesystem>
#include <vector>

#include "job/packing_job.h"

namespace tarn {

// Reads a part list file: plate size and part gap from the header, then the
// parts of every drawing of the folder on line 4 (readDrawingParts: classic
// drawings as they always were read, the others by the import, several parts
// per drawing) into job.workingParts (newest first), the arcs of imported
// parts into job.sources. A relative folder is looked for in the job's output
// folder first, then beside the list file. Ids count the parts read, in name
// order of the drawings; a drawing's problems are told through the notice
// hook, and a drawing without parts warns "零件"<path>"读取失败!" and is
// skipped. Throws CoreError when the file cannot be opened, on a zero plate
// size, an unusable header number or an overlong folder line.
void readPartListFile(PackingJob& job, const std::filesystem::path& path);

// The files directly in `folder` whose names end in ".dxf" in any letter case,
// sorted by name; none when the folder cannot be listed.
std::vector<std::filesystem::path> findDrawings(const std::filesystem::path& folder);

}  // namespace tarn
