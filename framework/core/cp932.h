// CP932 <-> Unicode at the boundary with Qt, the printer and the OS, through
// the system's CP932 code page (glibc iconv "CP932" on Linux). Conversion never throws: an invalid byte or a lone
// lead byte (a field cut in the middle of a character) decodes to U+FFFD.
#pragma once

#include <string>
#include <string_view>

#include "framework/core/str.h"

namespace fw {

// CP932 bytes -> UTF-8 text.
std::string toUtf8(std::string_view cp932);
// UTF-8 text -> CP932 bytes; characters without a CP932 form become '?'.
Str fromUtf8(std::string_view utf8);

}  // namespace fw
