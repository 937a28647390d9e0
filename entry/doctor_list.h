// The doctor list (EKG_SYS\HOKENNI) as the main window offers it in COMBO3,
// and the default doctor (EKG_SYS\HOKENNI_DF).
#pragma once

#include "entry/main_window_interface.h"

#include "framework/core/str.h"

namespace entry {

// fillDoctorPicker: see main_window_interface.h.

// The default doctor: COMBO3 item d + 1 (trimmed) for the position d stored
// in HOKENNI_DF, read now; "" when there is no default (-1, empty file) or
// when d points past the list COMBO3 holds (a list edited or removed by hand
// must not stop the clearing of the window half-way).
fw::Str defaultDoctorFromPicker();

}  // namespace entry
