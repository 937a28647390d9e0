// How FORM6's list shows one doctor.
#pragma once

#include "framework/core/str.h"

namespace masters {

// The line of entry `number` (from 1) in FORM6's list: the number
// left-aligned in 4 columns, the entry, then " (DEFAULT)" or 41 blanks.
fw::Str displayLine(int number, const fw::Str& entry, bool isDefault);

}  // namespace masters
