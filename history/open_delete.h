// Opening a listed history entry into the main window and deleting it, from
// the history window. Both take the entry number from byte 110 of the
// selected list line and keep it in CURRENT_ENTRY while they work; every
// outcome but a completed opening leaves CURRENT_ENTRY blank.
//
// An entry number that is no longer in the history files (they were
// shortened or replaced while the window was open) is refused with a
// message: nothing in the main window or the files changes and the list is
// shown again from the files as they are now.
#pragma once

#include "common/examinee_record.h"

namespace history {

// Opening (double click on a line / "開 く"): without a selected line the
// first beeps and the second says so.
void LIST1_DBLCLICK();
void BUTTON15_ON();
// "削 除": marks the selected entry deleted (its clinical record is never
// touched) and shows the full list again.
void BUTTON11_ON();

void registerOpenDeleteProcedures();

}  // namespace history
