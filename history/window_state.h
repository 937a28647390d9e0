// State of the history window FORM2, shared by its listing, searches, list
// print and the opening and deleting of entries.
#pragma once

#include <map>

#include "framework/form/window.h"
#include "history/store/list_lines.h"
#include "history/store/store.h"

namespace history {

// FORM2 while it is open (empty otherwise).
extern fw::FormRef FORM2;

// Which number the list was last chosen to show: the examination number
// (the history list, a search by number or name, RESET) or the chart number
// (a chart-number search). The list print heads its column by it and a
// deletion lists again by it; the deleted-entries view and a change of the
// list size leave it as it is.
extern Column LIST_MODE;
// The list size chosen in COMBO6 (50 … 2000 lines).
extern int LIST_LIMIT;
// The stamps of the entries LIST1 shows, by entry number, as they were when
// listed: opening and deleting act only on an entry that is still so.
extern std::map<long, RecordStamp> LISTED_STAMPS;

}  // namespace history
