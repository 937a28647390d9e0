// Input on the main window: commit of the edit boxes with Enter, focus
// selection and input-method modes, the check-box groups, the pickers, the
// today's-date and clear buttons.
#pragma once

#include "entry/main_window_interface.h"

namespace entry {

// ZENBU_KESU: see main_window_interface.h.

// Registers the event procedures of this file (EDITn_CHANGE/_SETFOCUS,
// CHECK1..CHECK11_ON, COMBO1..COMBO3_CHANGE, BUTTON8, BUTTON9).
void registerMainWindowProcedures();

}  // namespace entry
