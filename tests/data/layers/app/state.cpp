#include "app/gui/window.h"  // upward into the front end
#include "library/reader.h"
