#pragma once

#include <filesystem>
#include <vector>

#include "geometry/part.h"
#include "geometry/part_source.h"
#include "job/packing_job.h"
#include "library/dxf_problem.h"

namespace tarn {

// The parts of one drawing of a part list.
struct DrawingParts {
  std::vector<Part> parts;           // in the drawing's order, ids 0
  std::vector<PartSource> sources;   // the same parts with their arcs; empty when read classically
  std::vector<DxfProblem> problems;  // nothing read when one of them is fatal
  bool classic = false;              // read by readDxfPart
};

// A drawing that readDxfPart reads completely (checkClassic) is read by it,
// so its geometry stays what it always was; without a "name:" text its part
// is named after the file. Every other drawing goes through importDxf.
DrawingParts readDrawingParts(const std::filesystem::path& path);

// Tells the drawing's problems through the notice hook, each naming the file,
// and, when the drawing gives no part, "零件"<path>"读取失败!" after them.
void reportDrawingProblems(const DrawingParts& drawing, const std::filesystem::path& path);

// Adds one copy of the drawing's parts to the job, in the drawing's order:
// each part takes the id `nextId` (then counted on) and goes into
// job.workingParts (newest first); the source of an imported part goes into
// job.sources under the same id, for the arcs of the layout drawing; `path` is
// recorded in job.partDrawings.
void addDrawingParts(PackingJob& job, const DrawingParts& drawing,
                     const std::filesystem::path& path, int& nextId);

}  // namespace tarn
