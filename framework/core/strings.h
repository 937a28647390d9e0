// Byte-string functions on Shift_JIS text. Positions are 1-based byte
// positions unless a name says characters. Bad arguments raise error 5.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "framework/core/str.h"

namespace fw {

// True for a byte that starts a double-byte character (0x81..0x9F, 0xE0..0xFC).
bool isLeadByte(unsigned char b);

long len(const Str& s);
Str left(const Str& s, long n);                 // n < 0: error 5
Str right(const Str& s, long n);                // n < 0: error 5
Str mid(const Str& s, long k, long n = 2147483647);  // k < 1 or n < 0: error 5
long instr(long k, const Str& s, const Str& t);      // 0 when absent; k < 1: error 5
long instr(const Str& s, const Str& t);              // from position 1
// kind 0 all characters, 1 single-byte ones, 2 double-byte ones; kind > 2: error 5
long charCount(const Str& s, int kind = 0);
long charInstr(long k, const Str& s, const Str& t);  // k and result count characters
Str trim(const Str& s);        // half-width 0x20 and full-width 0x81 0x40 blanks
Str upper(const Str& s);       // a..z only
Str toHalfWidth(const Str& s); // full-width ASCII and katakana -> single-byte forms
Str toFullWidth(const Str& s); // ASCII 0x20..0x7E and half-width katakana -> double-byte
Str chr(std::initializer_list<int> bytes);     // a value outside 0..255: error 5
Str repeat(long n, const Str& s);              // n copies of s's first byte
Str hex(long long n);                          // upper case, no leading zeros
Str date();                                    // today as "YYYY/MM/DD" (clock.h)
bool same(const Str& s, const Str& t);         // byte-wise equality

inline const Str CRLF = "\r\n";

}  // namespace fw
