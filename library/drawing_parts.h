#pragma once

#include <filesystem>
#include <vector>

#include "geometry/part.h"
#include "geometry/part_source.h"
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

}  // namespace tarn
