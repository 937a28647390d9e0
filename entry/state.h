// Program-wide values that belong to the examinee entry.
#pragma once

#include <cstdint>

#include "framework/core/str.h"

namespace entry {

// Changed-data counter of the main window: every commit or choice adds 1;
// registration, loading an entry and clearing set it to 0.
extern int32_t EDIT_COUNT;
// Entry number of the history entry opened into the main window; "" when none.
extern fw::Str CURRENT_ENTRY;

}  // namespace entry
