// The change log of one history entry (FORM10), from the context menu of
// the history list: the entry's versions newest first (time, computer,
// user, operation, and the name and main values of each), and "この版に戻す",
// which overwrites the entry with the chosen version byte for byte (a
// restore, itself logged). A deleted entry comes back the same way from the
// deleted-entries view.
//
// FORM2 stays disabled while FORM10 is open; closing FORM10 gives it back,
// listed again from the files when a version was brought back.
#pragma once

#include <string>

#include "framework/core/str.h"
#include "framework/form/window.h"
#include "history/store/change_log.h"

namespace history {

// FORM10 while it is open (empty otherwise).
extern fw::FormRef FORM10;

// Opens FORM10 for the entry of the selected line of LIST1.
void showChangeLog();

// One line of LIST10 for a version (exposed for its test).
fw::Str versionLine(const changelog::Version& version);

void registerChangeLogProcedures();

}  // namespace history
