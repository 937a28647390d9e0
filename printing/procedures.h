// The chart printing commands of the main window and their windows:
// BUTTON10_ON (single chart print), BUTTON38_ON and FORM8 (multiple chart
// print, multiple_print.h), BUTTON21_ON and FORM4 (print position
// corrections), BUTTON36_ON and FORM7 (print font), BUTTON42_ON and FORM9
// (print colour).
#pragma once

#include "framework/form/window.h"

namespace printing {

// Registers every event procedure of this folder with the framework.
void registerProcedures();

// The object variables of the windows opened here (empty while closed).
extern fw::FormRef FORM4;
extern fw::FormRef FORM7;
extern fw::FormRef FORM9;

// The single chart print of the examinee shown in the main window. Runs every
// statement under resume-next: a failing printer or drawing call is skipped,
// and the main window is enabled, activated and kept on top on every way out
// once it has been disabled.
void BUTTON10_ON();

}  // namespace printing
