#include "job/packing_job.h"
#include "nesting/layout.h"  // side by side
#include "ui_dialog.h"
