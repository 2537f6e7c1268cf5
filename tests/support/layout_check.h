#pragma once

#include <string>

#include "geometry/part.h"
#include "job/packing_job.h"

namespace tarn::test {

// Apart from the kernel's predicates: edges that cross, or a vertex deeper than
// 1e-4 mm in the other's material. Touching, or lying in a hole, is no overlap.
bool materialOverlaps(const Part& a, const Part& b);

// The first fault ("part 3 overlaps part 5") or empty; with `everyPart`, a part
// beside the plate is a fault too.
std::string layoutFault(const PackingJob& job, bool everyPart = false);

}  // namespace tarn::test
