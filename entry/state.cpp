#include "entry/state.h"

namespace entry {

int32_t EDIT_COUNT = 0;
fw::Str CURRENT_ENTRY;

}  // namespace entry
