#include <vector>

#include "geometry/point.h"
#include "job/packing_job.h"  // upward
