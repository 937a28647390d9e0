// State of the history window FORM2, shared by its listing, searches, list
// print and the opening and deleting of entries.
#pragma once

#include "framework/form/window.h"

namespace history {

// FORM2 while it is open (empty otherwise).
extern fw::FormRef FORM2;

// What LIST1 shows: 0 the history list or a search result by number or
// name, 1 a chart-number list, 2 the deleted entries.
extern int LIST_MODE;
// The list size chosen in COMBO6 (50 … 2000 lines).
extern int LIST_LIMIT;

}  // namespace history
