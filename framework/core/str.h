// The program's string type: a Shift_JIS (code page 932) byte string.
//
// std::string already holds any byte, 0 included, with its length, so the
// framework uses it as it is; every length and position is counted in bytes.
// Source files are UTF-8: write Japanese literals as "登 録"_sj (converted
// to CP932 at run time) and never compare a UTF-8 literal with program text.
#pragma once

#include <string>
#include <string_view>

namespace fw {

using Str = std::string;

// UTF-8 -> CP932. Characters that CP932 cannot hold become '?'.
Str sj(std::string_view utf8);

inline namespace literals {
// "受検者"_sj: the CP932 bytes of a UTF-8 literal.
inline Str operator""_sj(const char* utf8, std::size_t n) { return sj({utf8, n}); }
}  // namespace literals

}  // namespace fw
