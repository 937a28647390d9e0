// Program-wide values that belong to the examinee entry: EDIT_COUNT and
// CURRENT_ENTRY, declared with the rest of the main window's interface.
#pragma once

#include "entry/main_window_interface.h"
