// Registration of the examinee shown in the main window: "登 録" (BUTTON1),
// the choice window FORM3 and the two writing procedures.
#pragma once

#include <optional>

#include "framework/form/window.h"
#include "history/store/store.h"

namespace history {

// FORM3 while it is open (empty otherwise).
extern fw::FormRef FORM3;

// The version of the entry opened into the main window: its number and the
// stamp of its attribute record as opened, or as this program last wrote
// it. An overwrite of CURRENT_ENTRY writes only over that version; without
// it (no entry opened here) only over an entry that still exists.
struct OpenedEntry {
  long number = 0;
  RecordStamp stamp = 0;
};
extern std::optional<OpenedEntry> OPENED_ENTRY;

// New registration / overwrite of CURRENT_ENTRY. `owner` owns the message
// boxes (the main window or FORM3). Return true when the entry was written;
// false when the operator declined, a check refused the input, the entry was
// changed by another program, or the files could not be written (each told
// to the operator; nothing written then, the typed values stay).
bool SINKITOUROKU(fw::Window* owner);
bool UWAGAKIHOZON(fw::Window* owner);

// The date text of the confirmation and of FORM3: year, month and day each
// followed by 年/月/日, a blank part as three blanks.
fw::Str dateText(const fw::Str& year, const fw::Str& month, const fw::Str& day);

void registerRegistrationProcedures();

}  // namespace history
