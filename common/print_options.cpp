#include "common/print_options.h"

namespace common {

fw::Str PRINT_FONT = "1";
fw::Str PRINT_COLOUR = "1";

}  // namespace common
