// Start and end of the program: the start code run before the event loop,
// the start event of the main window, the program's error trap and the end
// dialog.
#pragma once

#include "entry/main_window_interface.h"

#include "framework/core/error.h"

namespace entry {

// The start code (before any event is handled): closes stray files, shows
// the hourglass, clears the main window's picture, installs the program
// trap, applies the run-time fonts and fills COMBO1 and COMBO2, creates
// EKG_DATA and EKG_SYS, and ends the program when another instance runs.
// The steps are also offered one by one so that tests can run them without
// taking the single-instance lock.
void startProgram();
void prepareMainWindow();       // hourglass, picture, trap, fonts, fixed lists
void createDataDirectories();   // EKG_DATA, EKG_SYS; a failure is a runtime error
void refuseSecondInstance();    // PREVINSTANCE message and end

// The program trap: errors 27 and 63 abandon only the failing procedure;
// any other error is reported ("ERROR") and ends the program.
void programTrap(const fw::RuntimeError& error);

// MAINFORM_START: see main_window_interface.h.

// The end dialog (BUTTON3, the close box). Returns when the operator answers
// No to either question; otherwise closes every file and ends the program.
void OWARI();

void registerStartupProcedures();

}  // namespace entry
