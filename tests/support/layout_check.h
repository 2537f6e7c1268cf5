#pragma once

#include <string>

#include "geometry/part.h"
#include "job/packing_job.h"

namespace tarn::test {

// An overlap test of its own, apart from the kernel's predicates: edges that
// cross properly, or a vertex deeper than 1e-4 mm inside the other part's
// material (even-odd over outline and holes). Touching parts and a part in
// another's hole do not overlap.
bool materialOverlaps(const Part& a, const Part& b);

// Empty when every part on the plate lies within it and overlaps no other;
// otherwise the first fault found ("part 3 overlaps part 5"). With
// `everyPart`, a part beside the plate is a fault too.
std::string layoutFault(const PackingJob& job, bool everyPart = false);

}  // namespace tarn::test
