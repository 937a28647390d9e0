// Registration of the examinee shown in the main window: "登 録" (BUTTON1),
// the choice window FORM3 and the two writing procedures.
#pragma once

#include "framework/form/window.h"

namespace history {

// FORM3 while it is open (empty otherwise).
extern fw::FormRef FORM3;

// New registration / overwrite of CURRENT_ENTRY. `owner` owns the message
// boxes (the main window or FORM3). Return true when the entry was written;
// false when the operator declined or a check refused the input (nothing
// written then).
bool SINKITOUROKU(fw::Window* owner);
bool UWAGAKIHOZON(fw::Window* owner);

// The date text of the confirmation and of FORM3: year, month and day each
// followed by 年/月/日, a blank part as three blanks.
fw::Str dateText(const fw::Str& year, const fw::Str& month, const fw::Str& day);

void registerRegistrationProcedures();

}  // namespace history
