// Input on the main window: commit of the edit boxes with Enter, focus
// selection and input-method modes, the check-box groups, the pickers, the
// today's-date and clear buttons.
#pragma once

namespace entry {

// Sets every field of the main window to its default and repaints the option
// marks: texts empty, check boxes clear, REQUEST_KIND 0, the hospital name
// when CHECK12 is ticked, the default doctor when HOKENNI_DF names one.
// Leaves EDIT_COUNT and CHECK12 alone.
void ZENBU_KESU();

// Registers the event procedures of this file (EDITn_CHANGE/_SETFOCUS,
// CHECK1..CHECK11_ON, COMBO1..COMBO3_CHANGE, BUTTON8, BUTTON9).
void registerMainWindowProcedures();

}  // namespace entry
