#include "framework/core/str.h"

#include "framework/core/cp932.h"

namespace fw {

Str sj(std::string_view utf8) { return fromUtf8(utf8); }

}  // namespace fw
