// Event procedures of the master lists: the default hospital name (CHECK12,
// BUTTON5), the older doctor default switch (CHECK13) and the doctor list
// window FORM6 (BUTTON6 and FORM6's own procedures).
#pragma once

namespace masters {

// Registers CHECK12_ON, CHECK13_ON, BUTTON5_ON, BUTTON6_ON, FORM6_START,
// FORM6_QUERYCLOSE, EDIT96_CHANGE, EDIT96_SETFOCUS, LIST2_CLICK,
// LIST2_DBLCLICK and BUTTON29_ON .. BUTTON33_ON.
void registerProcedures();

}  // namespace masters
