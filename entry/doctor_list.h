// The doctor list (EKG_SYS\HOKENNI) as the main window offers it in COMBO3,
// and the default doctor (EKG_SYS\HOKENNI_DF).
#pragma once

#include "framework/core/str.h"

namespace entry {

// When EKG_SYS\HOKENNI exists: empties COMBO3 and fills it with " " as item 0
// followed by the entries. Returns false (COMBO3 untouched) when it does not.
bool fillDoctorPicker();

// The default doctor: COMBO3 item d + 1 (trimmed) for the position d stored
// in HOKENNI_DF, read now; "" when there is no default (-1, empty file) or
// when d points past the list COMBO3 holds (a list edited or removed by hand
// must not stop the clearing of the window half-way).
fw::Str defaultDoctorFromPicker();

}  // namespace entry
