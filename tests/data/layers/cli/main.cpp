#include <app/commands.h>
#include "app/gui/window.h"  // side by side
