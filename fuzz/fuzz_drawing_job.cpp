// A job from one drawing on any bytes, copied twice and prepared as every load
// prepares its parts (oriented, sorted, grown by half the gap, parked): what
// the import reads must survive the kernel's offsets. Every part must come out
// with a finite net area and box, parked beside the plate (world coordinates
// stay within 1e7 mm, so the parking translation is exact to far below 1e-6).
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "fuzz/fuzz_support.h"
#include "geometry/core_error.h"
#include "job/packing_job.h"
#include "library/library_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarn;
  constexpr double kPlateLength = 1000.0;
  std::ostringstream report;
  PackingJob job(report);
  try {
    openDrawings(job, {kPlateLength, 500.0, 6.0, {{fuzz::writeInput(data, size, "part.dxf"), 2}}});
  } catch (const CoreError&) {
    return 0;  // a part the kernel refuses ends the load with its message
  }
  for (const Part& part : job.workingParts) {
    if (!std::isfinite(part.area) || !std::isfinite(part.bbox.xmax) ||
        !std::isfinite(part.bbox.ymin) || std::fabs(part.bbox.xmin - kPlateLength) > 1e-6) {
      std::abort();
    }
  }
  return 0;
}
