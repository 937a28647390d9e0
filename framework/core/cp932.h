// CP932 <-> Unicode at the boundary with Qt, the printer and the OS, through
// the system's CP932 code page (glibc iconv "CP932" on Linux). Conversion never throws: an invalid byte or a lone
// lead byte (a field cut in the middle of a character) decodes to U+FFFD.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/core/str.h"

namespace fw {

// CP932 bytes -> UTF-8 text.
std::string toUtf8(std::string_view cp932);
// UTF-8 text -> CP932 bytes; characters without a CP932 form become '?'.
// Text the operator brings in is checked with charactersWithoutCp932 first,
// so that nothing typed is stored as '?' without a word.
Str fromUtf8(std::string_view utf8);

// The characters of a UTF-8 text that CP932 cannot hold, i.e. those that
// fromUtf8 would store as '?': each once, in the order they first appear, as
// UTF-8. Empty when the whole text has a CP932 form. A byte that is not part
// of a well-formed UTF-8 sequence counts as U+FFFD.
std::vector<std::string> charactersWithoutCp932(std::string_view utf8);

}  // namespace fw
