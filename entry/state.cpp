#include "entry/state.h"

namespace entry {

int32_t EDIT_COUNT = 0;
fw::Str CURRENT_ENTRY;
fw::Str PRINT_FONT = "1";
fw::Str PRINT_COLOUR = "1";

}  // namespace entry
