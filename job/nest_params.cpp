#include "job/nest_params.h"

#include "geometry/core_error.h"
#include "geometry/notify.h"
#include "geometry/texts.h"
#include "job/packing_job.h"

namespace tarn {

bool setPlateSize(PackingJob& job, double length, double width) {
  job.plate.length = length;
  job.plate.width = width;
  job.plate.area = length * width;
  if (length < 0.0 || width < 0.0 || job.plate.area < 0.0) {
    notifyWarning(text::kPlateDataError);
    return false;
  }
  return true;
}

void resetPlateExtents(PackingJob& job) {
  job.plateExtents = BBox{0.0, job.params.plateLength, 0.0, job.params.plateWidth};
  if (job.params.plateLength == 0.0 || job.params.plateWidth == 0.0) {
    throw CoreError(text::kPlateSizeZero);
  }
}

}  // namespace tarn
