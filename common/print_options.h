// The print options held for every chart print, read from EKG_SYS\INSA_FO
// and EKG_SYS\INSA_CO at start and changed by the font and colour windows:
// font "1" ＭＳ ゴシック, "2" ＭＳ 明朝; colour "1" black, "2" blue.
#pragma once

#include "framework/core/str.h"

namespace common {

extern fw::Str PRINT_FONT;
extern fw::Str PRINT_COLOUR;

}  // namespace common
