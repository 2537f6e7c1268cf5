#include "../geometry/point.h"  // relative
#include "output/writer.h"
