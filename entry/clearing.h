// The defaults a cleared main window gets back from the settings files.
#pragma once

#include "entry/main_window_interface.h"

namespace entry {

// applyClearingDefaults: see main_window_interface.h.

}  // namespace entry
