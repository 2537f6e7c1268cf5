#include "job/packing_point.h"

#include <algorithm>

#include "job/packing_job.h"

namespace tarn {

double DefaultPackingPointDistance(PackingJob& job) {
  if (job.workingParts.empty()) {
    return job.params.packingPointDistance;
  }
  Part* reference = &job.workingParts.front();
  if (job.workingParts.count() > 1) {
    double smallest = 0.0;
    bool first = true;
    for (Part& part : job.workingParts) {
      const double area = computeNetArea(part);
      if (first || area < smallest) {
        smallest = area;
        reference = &part;
        first = false;
      }
    }
  }
  const BBox& box = reference->bbox;
  const double side = std::min(box.xmax - box.xmin, box.ymax - box.ymin);
  return side / 10.0 > kMinDefaultPackingPointDistance ? side / 10.0
                                                       : kMinDefaultPackingPointDistance;
}

}  // namespace tarn
