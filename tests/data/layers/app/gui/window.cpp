#include "app/commands.h"
#include "cli/run.h"  // side by side
